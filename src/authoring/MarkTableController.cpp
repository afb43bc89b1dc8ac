#include "authoring/MarkTableController.h"

#include "app/VideoAbspielenFenster.h"
#include "authoring/model/VstFile.h"
#include "common/ErrorReport.h"
#include "common/Prompts.h"
#include "player/MarkenUebergangFenster.h"
#include "player/Transport.h"
#include "player/video/VideoDevice.h"
#include "settings/OptionenFenster.h"

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

MarkTableController::MarkTableController(TVideoAbspielenFenster& window)
    : QObject(&window), w(window), m_memo(window.ui.RichEdit)
{
    auto& ui = w.ui;
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(w.prompts(), fn); }; };
    connect(ui.MarkeSetzenButton, &QPushButton::clicked, this, guard([this] { MarkeSetzenButtonClick(); }));
    connect(ui.SpeichernButton, &QPushButton::clicked, this, guard([this] { SpeichernButtonClick(); }));
    connect(ui.PopupMenuMarkeSetzen, &QAction::triggered, this, guard([this] { MarkeSetzenButtonClick(); }));
    connect(ui.PopupMenuMarkeLoeschen, &QAction::triggered, this, guard([this] { PopupMenuMarkeLoeschenClick(); }));
    connect(ui.PopupMenuMarkeEinfuegen, &QAction::triggered, this, guard([this] { PopupMenuMarkeEinfuegenClick(); }));
    connect(ui.PopupMenuMarkeStartFrame, &QAction::triggered, this,
            guard([this] { PopupMenuMarkeStartFrameClick(); }));
    connect(ui.PopupMenuMarkeStopFrame, &QAction::triggered, this, guard([this] { PopupMenuMarkeStopFrameClick(); }));
    connect(ui.PopupMenuOeffnen, &QAction::triggered, this, guard([this] {
                if (w.openCommand)
                    w.openCommand();
            }));
    connect(ui.PopupMenuSpeichern, &QAction::triggered, this, guard([this] { SpeichernButtonClick(); }));

    ui.StringGrid->viewport()->installEventFilter(this);
    // The view set-ups empty the widget; the marks it showed are gone with it.
    connect(ui.StringGrid->model(), &QAbstractItemModel::modelReset, this, [this] {
        if (!m_refreshing)
            m_grid.reset();
    });
    refresh();
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
    w.st.MemoRow = m_grid.memoRow();
}

void MarkTableController::refresh()
{
    QTableWidget* table = w.ui.StringGrid;
    m_refreshing = true;
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
    m_refreshing = false;
}

void MarkTableController::resetGrid()
{
    m_grid.reset();
    refresh();
    syncState();
}

MarkDefaults MarkTableController::defaults() const
{
    MarkDefaults d;
    const TOptionenFenster* o = w.OptionenFenster();
    if (!o)
        return d;
    if (o->vonHandRadioButton->isChecked())
        d.transition = MarkDefaults::Transition::ByHand;
    else if (o->ohnePauseRadioButton->isChecked())
        d.transition = MarkDefaults::Transition::NoPause;
    else if (o->mitPauseRadioButton->isChecked())
        d.transition = MarkDefaults::Transition::WithPause;
    d.pauseText = o->PauseEdit->text();
    const QCheckBox* boxes[8] = {o->StartStopCheckBox,     o->EinzelbildCheckBox,   o->ZeitlupeCheckBox,
                                 o->SchiebereglerCheckBox, o->FrameAnzeigeCheckBox, o->ZeitAnzeigeCheckBox,
                                 o->AutostartCheckBox,     o->AuswertungCheckBox};
    for (int i = 0; i < 8; ++i)
        d.options[i] = boxes[i]->isChecked();
    return d;
}

quint32 MarkTableController::currentFrame() const
{
    // The display shows the frame within the loaded section; in the authoring view the section
    // is the whole video, so this is the absolute frame number.
    const qint64 frame = cellInteger(w.ui.FrameAnzeige2Label->text()) + w.st.StartFrame;
    if (frame < 0 || frame > qint64(UINT32_MAX))
        throw KadroError(kRangeErrorText);
    return quint32(frame);
}

void MarkTableController::showFrame(qint64 frame)
{
    QSlider* slider = w.ui.VideoTrackBar;
    {
        const QSignalBlocker block(slider);
        slider->setValue(int(std::clamp<qint64>(frame, INT32_MIN, INT32_MAX)));
    }
    w.transport().VideoTrackBarChange(true);
}

void MarkTableController::MarkeSetzenButtonClick()
{
    w.ui.SpeichernButton->setEnabled(true);
    w.ui.TestButton->setEnabled(true);
    const quint32 frame = currentFrame();
    const quint32 length = quint32(std::max(0, w.MediaPlayer1().length()));
    edit([&] { m_grid.appendMark(frame, length, defaults()); });
    w.st.DataSaved = false;
}

void MarkTableController::PopupMenuMarkeLoeschenClick()
{
    edit([&] { m_grid.deleteMark(w.st.SelectedMarkRow, workMemos(), m_memo); });
    w.st.DataSaved = false;
}

void MarkTableController::PopupMenuMarkeEinfuegenClick()
{
    const quint32 frame = currentFrame();
    const quint32 length = quint32(std::max(0, w.MediaPlayer1().length()));
    edit([&] { m_grid.insertMark(w.st.SelectedMarkRow, frame, length, defaults(), workMemos(), m_memo); });
    w.st.DataSaved = false;
}

void MarkTableController::PopupMenuMarkeStartFrameClick()
{
    const quint32 frame = currentFrame();
    edit([&] { m_grid.setStartFrame(w.st.SelectedMarkRow, frame); });
    w.st.DataSaved = false;
}

void MarkTableController::PopupMenuMarkeStopFrameClick()
{
    const quint32 frame = currentFrame();
    edit([&] { m_grid.setStopFrame(w.st.SelectedMarkRow, frame, w.prompts()); });
    w.st.DataSaved = false;
}

void MarkTableController::StringGridMouseDown(GridMouseButton button, int x, int y)
{
    QTableWidget* table = w.ui.StringGrid;
    const QPoint inViewport = table->viewport()->mapFrom(table, QPoint(x, y));
    const int row = table->rowAt(inViewport.y());
    const int column = table->columnAt(inViewport.x());
    if (row < 0 || column < 0)
        return;

    GridClickResult result;
    edit([&] { result = m_grid.click(row, column, button, workMemos(), m_memo); });
    if (!result.onMark)
        return;
    w.st.SelectedMarkRow = m_grid.selectedRow();
    table->selectRow(row);
    if (result.dataChanged)
        w.st.DataSaved = false;
    if (result.showFrame)
        showFrame(*result.showFrame);
    if (result.openTransitionDialog)
        runTransitionDialog();
    if (result.popupMenu) {
        auto& ui = w.ui;
        ui.PopupMenuMarkeLoeschen->setText(result.popupMenu->markeLoeschen);
        ui.PopupMenuMarkeEinfuegen->setText(result.popupMenu->markeEinfuegen);
        ui.PopupMenuMarkeStartFrame->setText(result.popupMenu->startFrameSetzen);
        ui.PopupMenuMarkeStopFrame->setText(result.popupMenu->stopFrameSetzen);
        m_lastPopupPoint = MarkGrid::popupMenuPoint(w.pos(), x, y);
        ui.MarkenBearbeitenPopupMenu->popup(m_lastPopupPoint);
    }
}

void MarkTableController::runTransitionDialog()
{
    w.MenuDateiClick();
    TMarkenUebergangFenster* dialog = w.MarkenUebergangFenster();
    if (!dialog)
        return;
    dialog->FormActivate();
    w.prompts().runModal(dialog);
    // The dialog rewrites the widget's transition cell of the selected row; the grid takes it over.
    const int row = w.st.SelectedMarkRow;
    const QTableWidgetItem* item = w.ui.StringGrid->item(row, kTransitionColumn);
    edit([&] {
        if (item && row < m_grid.markCount())
            m_grid.setCell(row, kTransitionColumn, item->text());
    });
}

void MarkTableController::SpeichernButtonClick()
{
    PresentationSource source;
    source.videoPath = w.MediaPlayer1().fileName();
    source.normalTimeStep = w.ui.ZeitschrittNormalLabel->text();
    source.slowTimeStep = w.ui.ZeitschrittZeitlupeLabel->text();
    SaveOutcome outcome = SaveOutcome::Cancelled;
    edit([&] { outcome = savePresentation(m_grid, source, workMemos(), m_memo, w.prompts()); });
    if (outcome == SaveOutcome::Saved)
        w.st.DataSaved = true;
}

void MarkTableController::MemDateienLoeschen()
{
    workMemos().removeAll();
}

void MarkTableController::MarkenEinlesenStringGrid(int count, const QString& file)
{
    MarkTable table;
    for (int i = 1; i <= count; ++i)
        table.append(w.marks.mark(i)); // a number the presentation does not have is a range error
    edit([&] { m_grid.fillFromTable(table, file, workMemos(), m_memo); });
}

bool MarkTableController::eventFilter(QObject* watched, QEvent* event)
{
    // The second press of a double click arrives as a double-click event; it is a press like the
    // first, so a quick double click on an option switches it twice.
    const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (watched == w.ui.StringGrid->viewport() && press) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton || me->button() == Qt::RightButton) {
            const GridMouseButton button = me->button() == Qt::LeftButton ? GridMouseButton::Left
                                                                          : GridMouseButton::Right;
            const QPoint inGrid = w.ui.StringGrid->viewport()->mapTo(w.ui.StringGrid, me->position().toPoint());
            runGuarded(w.prompts(), [&] { StringGridMouseDown(button, inGrid.x(), inGrid.y()); });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kadro
