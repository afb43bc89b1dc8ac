#include "authoring/MarkTableController.h"

#include "authoring/MemoEditor.h"
#include "authoring/model/VstFile.h"
#include "common/ErrorReport.h"
#include "common/MainState.h"
#include "common/Prompts.h"
#include "common/SettingsStore.h"
#include "common/ShellRoutines.h"
#include "player/Transport.h"
#include "player/video/VideoDevice.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBar>

namespace kadro {

namespace {
constexpr int kTransitionColumn = 3;
} // namespace

MarkTableController::MarkTableController(const Context& context, const MarkTableWidgets& widgets,
                                         Transport& t, MemoEditor& memoEditor,
                                         TMarkenUebergangFenster* transitionDialog)
    : c(context), ui(widgets), transport(t), memo(memoEditor), m_transitionDialog(transitionDialog)
{
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(c.prompts, fn); }; };
    connect(ui.MarkeSetzenButton, &QPushButton::clicked, this, guard([this] { MarkeSetzenButtonClick(); }));
    connect(ui.SpeichernButton, &QPushButton::clicked, this, guard([this] { SpeichernButtonClick(); }));
    connect(ui.PopupMenuMarkeSetzen, &QAction::triggered, this, guard([this] { MarkeSetzenButtonClick(); }));
    connect(ui.PopupMenuMarkeLoeschen, &QAction::triggered, this, guard([this] { PopupMenuMarkeLoeschenClick(); }));
    connect(ui.PopupMenuMarkeEinfuegen, &QAction::triggered, this, guard([this] { PopupMenuMarkeEinfuegenClick(); }));
    connect(ui.PopupMenuMarkeStartFrame, &QAction::triggered, this,
            guard([this] { PopupMenuMarkeStartFrameClick(); }));
    connect(ui.PopupMenuMarkeStopFrame, &QAction::triggered, this, guard([this] { PopupMenuMarkeStopFrameClick(); }));
    connect(ui.PopupMenuOeffnen, &QAction::triggered, this, [this] { emit openRequested(); });
    connect(ui.PopupMenuSpeichern, &QAction::triggered, this, guard([this] { SpeichernButtonClick(); }));

    ui.StringGrid->viewport()->installEventFilter(this);
    if (m_transitionDialog)
        m_transitionDialog->attach(c.st, c.prompts, *this);
    refresh();
}

MemoEditorAccess& MarkTableController::memoEditor()
{
    return memo.access();
}

void MarkTableController::setUpAuthoringView()
{
    ui.VideoBearbeitenZeitschrittPanel->show();
    ui.TestButton->setEnabled(false);
    ui.TestBeendenPanel->hide();
    c.st.TestRunning = false;
    ui.MarkeSetzenButton->setEnabled(false);
    ui.SpeichernButton->setEnabled(false);
    ui.StringGridPanel->show();
    resetGrid();
    ui.StringGrid->setColumnWidth(3, 65);
}

void MarkTableController::checkWorkFolder()
{
    const MemoFolder memos = workMemos();
    if (!memos.writable())
        c.prompts.warning(workFolderNotWritableMessage(memos.path()));
}

void MarkTableController::setUpPlayerView()
{
    ui.StringGridPanel->hide();
    ui.VideoBearbeitenZeitschrittPanel->hide();
}

void MarkTableController::enableMarkSetting()
{
    ui.MarkeSetzenButton->setEnabled(true);
}

void MarkTableController::enableEditing()
{
    ui.MarkeSetzenButton->setEnabled(true);
    ui.SpeichernButton->setEnabled(true);
}

void MarkTableController::enableTestRun()
{
    ui.TestButton->setEnabled(true);
}

QString MarkTableController::transitionCell() const
{
    const QTableWidgetItem* item = ui.StringGrid->item(c.st.SelectedMarkRow, kTransitionColumn);
    return item ? item->text() : QString();
}

void MarkTableController::setTransitionCell(const QString& text)
{
    const int row = c.st.SelectedMarkRow;
    if (row < 0 || row >= ui.StringGrid->rowCount())
        return;
    QTableWidgetItem* item = ui.StringGrid->item(row, kTransitionColumn);
    if (!item) {
        item = new QTableWidgetItem;
        ui.StringGrid->setItem(row, kTransitionColumn, item);
    }
    item->setText(text);
}

MemoFolder MarkTableController::workMemos()
{
    return MemoFolder(QDir::current().filePath(QStringLiteral("Mem")));
}

template <typename F> void MarkTableController::edit(F&& operation)
{
    struct Show {
        MarkTableController* c;
        ~Show()
        {
            c->refresh();
            c->syncState();
        }
    } show{this};
    operation();
}

void MarkTableController::syncState()
{
    c.st.MemoRow = m_grid.memoRow();
}

void MarkTableController::refresh()
{
    QTableWidget* table = ui.StringGrid;
    table->setRowCount(m_grid.rowCount());
    for (int r = 0; r < m_grid.rowCount(); ++r)
        for (int c = 0; c < MarkGrid::ColumnCount; ++c) {
            QTableWidgetItem* item = table->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                table->setItem(r, c, item);
            }
            const QString text = m_grid.cell(r, c);
            if (item->text() != text)
                item->setText(text);
        }
    for (int c = 0; c < MarkGrid::ColumnCount; ++c)
        table->setColumnWidth(c, MarkGrid::columnWidth(c));
    table->resize(m_grid.width(), table->height());
}

void MarkTableController::resetGrid()
{
    m_grid.reset();
    refresh();
    syncState();
}

void MarkTableController::restoreGrid(const MarkGrid& saved)
{
    edit([&] { m_grid.restore(saved, workMemos(), memoEditor()); });
}

MarkDefaults MarkTableController::defaults() const
{
    const Settings s = c.settings.current();
    MarkDefaults d;
    switch (s.transition) {
    case Transition::VonHand: d.transition = MarkDefaults::Transition::ByHand; break;
    case Transition::OhnePause: d.transition = MarkDefaults::Transition::NoPause; break;
    case Transition::MitPause: d.transition = MarkDefaults::Transition::WithPause; break;
    }
    d.pauseText = s.pause;
    for (int i = 0; i < MarkOptionCount; ++i)
        d.options[std::size_t(i)] = s.options[std::size_t(i)];
    return d;
}

quint32 MarkTableController::currentFrame() const
{
    // The display shows the frame within the loaded section; in the authoring view the section
    // is the whole video, so this is the absolute frame number.
    const qint64 frame = cellInteger(transport.currentFrameText()) + c.st.StartFrame;
    if (frame < 0 || frame > qint64(UINT32_MAX))
        throw KadroError(kRangeErrorText);
    return quint32(frame);
}

void MarkTableController::showFrame(qint64 frame)
{
    transport.showFrame(frame);
}

void MarkTableController::MarkeSetzenButtonClick()
{
    ui.SpeichernButton->setEnabled(true);
    ui.TestButton->setEnabled(true);
    const quint32 frame = currentFrame();
    const quint32 length = quint32(std::max(0, c.device.length()));
    edit([&] { m_grid.appendMark(frame, length, defaults()); });
    c.st.DataSaved = false;
}

void MarkTableController::PopupMenuMarkeLoeschenClick()
{
    edit([&] { m_grid.deleteMark(c.st.SelectedMarkRow, workMemos(), memoEditor()); });
    c.st.DataSaved = false;
}

void MarkTableController::PopupMenuMarkeEinfuegenClick()
{
    const quint32 frame = currentFrame();
    const quint32 length = quint32(std::max(0, c.device.length()));
    edit([&] { m_grid.insertMark(c.st.SelectedMarkRow, frame, length, defaults(), workMemos(), memoEditor()); });
    c.st.DataSaved = false;
}

void MarkTableController::PopupMenuMarkeStartFrameClick()
{
    const quint32 frame = currentFrame();
    edit([&] { m_grid.setStartFrame(c.st.SelectedMarkRow, frame); });
    c.st.DataSaved = false;
}

void MarkTableController::PopupMenuMarkeStopFrameClick()
{
    const quint32 frame = currentFrame();
    edit([&] { m_grid.setStopFrame(c.st.SelectedMarkRow, frame, c.prompts); });
    c.st.DataSaved = false;
}

void MarkTableController::StringGridMouseDown(GridMouseButton button, int x, int y)
{
    QTableWidget* table = ui.StringGrid;
    const QPoint inViewport = table->viewport()->mapFrom(table, QPoint(x, y));
    const int row = table->rowAt(inViewport.y());
    const int column = table->columnAt(inViewport.x());
    if (row < 0 || column < 0)
        return;

    GridClickResult result;
    edit([&] { result = m_grid.click(row, column, button, workMemos(), memoEditor()); });
    if (!result.onMark)
        return;
    c.st.SelectedMarkRow = m_grid.selectedRow();
    table->selectRow(row);
    if (result.dataChanged)
        c.st.DataSaved = false;
    if (result.showFrame)
        showFrame(*result.showFrame);
    if (result.openTransitionDialog)
        runTransitionDialog();
    if (result.popupMenu) {
        ui.PopupMenuMarkeLoeschen->setText(result.popupMenu->markeLoeschen);
        ui.PopupMenuMarkeEinfuegen->setText(result.popupMenu->markeEinfuegen);
        ui.PopupMenuMarkeStartFrame->setText(result.popupMenu->startFrameSetzen);
        ui.PopupMenuMarkeStopFrame->setText(result.popupMenu->stopFrameSetzen);
        m_lastPopupPoint = MarkGrid::popupMenuPoint(c.shell.mainWindowPos(), x, y);
        ui.MarkenBearbeitenPopupMenu->popup(m_lastPopupPoint);
    }
}

void MarkTableController::runTransitionDialog()
{
    c.shell.MenuDateiClick();
    TMarkenUebergangFenster* dialog = m_transitionDialog;
    if (!dialog)
        return;
    dialog->FormActivate();
    c.prompts.runModal(dialog);
    // The dialog rewrites the widget's transition cell of the selected row; the grid takes it over.
    const int row = c.st.SelectedMarkRow;
    const QTableWidgetItem* item = ui.StringGrid->item(row, kTransitionColumn);
    edit([&] {
        if (item && row < m_grid.markCount())
            m_grid.setCell(row, kTransitionColumn, item->text());
    });
}

void MarkTableController::SpeichernButtonClick()
{
    PresentationSource source;
    source.videoPath = c.device.fileName();
    source.normalTimeStep = transport.normalStepText();
    source.slowTimeStep = transport.slowStepText();
    SaveOutcome outcome = SaveOutcome::Cancelled;
    edit([&] { outcome = savePresentation(m_grid, source, workMemos(), memoEditor(), c.prompts); });
    if (outcome == SaveOutcome::Saved)
        c.st.DataSaved = true;
}

void MarkTableController::MemDateienLoeschen()
{
    workMemos().removeAll();
}

void MarkTableController::MarkenEinlesenStringGrid(int count, const QString& file)
{
    MarkTable table;
    for (int i = 1; i <= count; ++i)
        table.append(c.marks.mark(i)); // a number the presentation does not have is a range error
    edit([&] { m_grid.fillFromTable(table, file, workMemos(), memoEditor()); });
}

bool MarkTableController::eventFilter(QObject* watched, QEvent* event)
{
    // The second press of a double click arrives as a double-click event; it is a press like the
    // first, so a quick double click on an option switches it twice.
    const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (watched == ui.StringGrid->viewport() && press) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton || me->button() == Qt::RightButton) {
            const GridMouseButton button = me->button() == Qt::LeftButton ? GridMouseButton::Left
                                                                          : GridMouseButton::Right;
            const QPoint inGrid = ui.StringGrid->viewport()->mapTo(ui.StringGrid, me->position().toPoint());
            runGuarded(c.prompts, [&] { StringGridMouseDown(button, inGrid.x(), inGrid.y()); });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kadro
