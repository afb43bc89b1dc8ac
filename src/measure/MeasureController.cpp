#include "measure/MeasureController.h"

#include "common/ErrorReport.h"
#include "common/MainState.h"
#include "common/ProgramEvents.h"
#include "common/Prompts.h"
#include "common/SettingsStore.h"
#include "common/ShellRoutines.h"
#include "common/FrameClock.h"
#include "measure/model/MeasureTexts.h"
#include "measure/model/MeasurementFile.h"
#include "measure/model/tracking/ObjectTracker.h"
#include "player/Transport.h"
#include "player/video/VideoDevice.h"
#include "player/view/OverlayBox.h"

#include <QAction>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

namespace kadro {

MeasureController::MeasureController(const Context& context, const MeasureWidgets& widgets,
                                     const PictureWidgets& picture, Transport& t)
    : c(context), ui(widgets), pic(picture), transport(t)
{
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(c.prompts, fn); }; };
    connect(ui.MenuDatenaufnahme, &QAction::triggered, this, guard([this] { MenuDatenaufnahmeClick(); }));
    connect(pic.PaintBox1, &OverlayBox::pressedAt, this, [this](const QPointF& pos, Qt::MouseButton button) {
        runGuarded(c.prompts, [&] { PaintBox1MouseDown(button, pos.x(), pos.y()); });
    });
    connect(pic.PaintBox1, &OverlayBox::movedAt, this, [this](const QPointF& pos, Qt::MouseButtons) {
        runGuarded(c.prompts, [&] { PaintBox1MouseMove(pos.x(), pos.y()); });
    });
    connect(ui.XYAbstandEdit, &QLineEdit::textChanged, this, guard([this] { XYAbstandEditChange(); }));
    connect(ui.XYAbstandEdit, &QLineEdit::returnPressed, this, guard([this] { XYAbstandEditKeyPress(13); }));
    connect(ui.KalibrierenButton, &QPushButton::clicked, this, guard([this] { KalibrierenButtonClick(); }));
    connect(ui.KalibrierungNeuButton, &QPushButton::clicked, this, guard([this] { KalibrierungNeuButtonClick(); }));
    connect(ui.AuswertungSchliessenButton, &QPushButton::clicked, this,
            guard([this] { AuswertungSchliessenButtonClick(); }));
    connect(ui.MesswerteNeuButton, &QPushButton::clicked, this, guard([this] { MesswerteNeuButtonClick(); }));
    connect(ui.MesswerteSpeichernButton, &QPushButton::clicked, this,
            guard([this] { MesswerteSpeichernButtonClick(); }));
    connect(ui.MesswertePopupMenuMessungLoeschen, &QAction::triggered, this,
            guard([this] { MesswertePopupMenuMessungLoeschenClick(); }));
    if (ui.VerfolgenButton)
        connect(ui.VerfolgenButton, &QPushButton::clicked, this, guard([this] { VerfolgenButtonClick(); }));
    ui.MesswerteStringGrid->viewport()->installEventFilter(this);
    // An opened video makes measuring possible.
    connect(&c.events, &ProgramEvents::videoOpened, this, [this] { ui.MenuDatenaufnahme->setEnabled(true); });
    // The open command: measuring starts afresh; a presentation has none.
    connect(&c.events, &ProgramEvents::fileOpening, this, [this] { resetForOpenedFile(); });
    connect(&c.events, &ProgramEvents::presentationEntered, this, [this] { hideForPresentation(); });
    connect(&c.events, &ProgramEvents::presentationVideoFound, this, [this] { hideDataAcquisitionMenu(); });
    showSeries();
}

bool MeasureController::videoLoaded() const
{
    return !c.device.fileName().isEmpty();
}

void MeasureController::setUpAuthoringView()
{
    ui.BerechnenAbdeckungsPanel->hide();
    ui.BerechnenAnzeigePanel->hide();
    ui.MenuDatenaufnahme->setVisible(false);
}

void MeasureController::setUpPlayerView()
{
    ui.MenuDatenaufnahme->setVisible(true);
    ui.MenuDatenaufnahme->setEnabled(false);

    // The panel under its cover, awaiting a calibration.
    ui.AuswertungSchliessenButton->show();
    ui.BerechnenAbdeckungsPanel->move(0, 0);
    ui.BerechnenAbdeckungsPanel->show();
    ui.BerechnenAbdeckungsPanel->raise();
    ui.BerechnenAnzeigePanel->move(400, 305);
    ui.BerechnenAnzeigePanel->show();
    ui.KalibrierenPanel->show();
    ui.KalibrierenButton->setEnabled(false);
    ui.MesswerteButtonPanel->hide();
    ui.PositionXYPanel->move(ui.PositionXYPanel->x(), 183);
    ui.XLabel->clear();
    ui.YLabel->clear();
    emptyCoordinateFields();
    ui.XYAbstandEdit->clear();
    setUnitLabelsVisible(false);

    // An empty table and no calibration (the scale keeps its value until the next one).
    m_series.reset();
    showSeries();
    m_calibration.resetForPlayerView();
}

void MeasureController::setUnitLabelsVisible(bool visible)
{
    ui.mXLabel->setVisible(visible);
    ui.mYLabel->setVisible(visible);
}

void MeasureController::emptyCoordinateFields()
{
    for (QLineEdit* e : {ui.XKoord1Label, ui.YKoord1Label, ui.XKoord2Label, ui.YKoord2Label})
        e->clear();
}

namespace {

// Where the grid may lie in its panel: right of the pointer's position fields, inside the panel.
constexpr int kGridLeftmost = 194;
constexpr int kGridRightmost = 390;

// The widths that show every text of each column whole, the fixed header's included.
QList<int> fittingColumnWidths(const QTableWidget* grid, const MeasurementSeries& series)
{
    const QFontMetrics cells(grid->font());
    const QFontMetrics header(grid->horizontalHeader()->font());
    const int cellMargin = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
    const int headerMargin = 2 * grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid);
    QList<int> widths;
    for (int col = 0; col < MeasurementSeries::ColumnCount; ++col) {
        int width = header.horizontalAdvance(series.cell(0, col).trimmed()) + headerMargin;
        for (int row = 1; row < series.rowCount(); ++row)
            width = std::max(width, cells.horizontalAdvance(series.cell(row, col)) + cellMargin);
        widths << width + 1; // the grid line
    }
    return widths;
}

} // namespace

void MeasureController::showSeries()
{
    QTableWidget* grid = ui.MesswerteStringGrid;
    grid->setRowCount(m_series.rowCount());
    grid->setColumnCount(MeasurementSeries::ColumnCount);
    for (int row = 0; row < m_series.rowCount(); ++row) {
        for (int col = 0; col < MeasurementSeries::ColumnCount; ++col) {
            QTableWidgetItem* item = grid->item(row, col);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(row == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                grid->setItem(row, col, item);
            }
            const QString text = m_series.cell(row, col);
            if (item->text() != text)
                item->setText(text);
        }
    }
    // Row 0 holds the column titles; they are shown in the grid's fixed header, which stays in
    // place while the points scroll beneath it.
    for (int col = 0; col < MeasurementSeries::ColumnCount; ++col) {
        // The leading blanks that placed a title over its numbers in a grid row are left out:
        // the header centres its titles.
        const QString text = m_series.cell(0, col).trimmed();
        QTableWidgetItem* title = grid->horizontalHeaderItem(col);
        if (!title) {
            title = new QTableWidgetItem;
            grid->setHorizontalHeaderItem(col, title);
        }
        if (title->text() != text)
            title->setText(text);
    }
    grid->setRowHidden(0, true);
    fitSeriesGrid();
    emit c.events.measurementsChanged();
}

void MeasureController::fitSeriesGrid()
{
    // Every text whole: the columns take the width of their longest text, and the grid grows to
    // the left from where it stands when they need more room than it has. Only when even the
    // widest grid is too narrow does a horizontal scroll bar appear.
    QTableWidget* grid = ui.MesswerteStringGrid;
    const QList<int> widths = fittingColumnWidths(grid, m_series);
    int needed = 2 * grid->frameWidth();
    for (int col = 0; col < widths.size(); ++col) {
        grid->setColumnWidth(col, widths[col]);
        needed += widths[col];
    }
    const int rowsHeight = (m_series.rowCount() - 1) * grid->verticalHeader()->defaultSectionSize();
    const int viewHeight = grid->height() - 2 * grid->frameWidth() - grid->horizontalHeader()->height();
    if (rowsHeight > viewHeight)
        needed += grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    const int right = std::min(m_series.left() + m_series.width(), kGridRightmost);
    int width = std::max(m_series.width(), needed);
    int left = right - width;
    if (left < kGridLeftmost) {
        left = kGridLeftmost;
        width = std::min(needed, kGridRightmost - kGridLeftmost);
    }
    grid->setHorizontalScrollBarPolicy(needed > width ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    grid->setGeometry(left, grid->y(), width, grid->height());
}

void MeasureController::applyUpdate(const SeriesUpdate& update)
{
    // Every change of the points is unsaved work until the next save.
    if (update.changed)
        c.st.DataSaved = false;
    showSeries();
    emit seriesUpdated(update);
}

void MeasureController::MenuDatenaufnahmeClick()
{
    ui.XYAbstandEdit->setFocus();
    const DatenaufnahmeResult result = m_calibration.startAcquisition();
    emptyCoordinateFields();
    ui.BerechnenAbdeckungsPanel->hide();
    ui.MenuDatenaufnahme->setEnabled(false);
    setUnitLabelsVisible(result.unitLabelsVisible);
    if (result.information) {
        c.shell.MenuDateiClick();
        c.prompts.information(*result.information);
    }
}

void MeasureController::PaintBox1MouseDown(Qt::MouseButton button, double fx, double fy)
{
    // The calibration and the origin take the nearest pixel, a measured point the exact place.
    const int x = int(std::lround(fx));
    const int y = int(std::lround(fy));
    if (button == Qt::RightButton) {
        emit pictureMenuRequested(Calibration::picturePopupPoint(c.shell.mainWindowPos(), x, y));
        return;
    }
    if (button != Qt::LeftButton)
        return;
    // A click on the picture stops a running tracking (and is no measuring click).
    if (m_trackingState == TrackingState::Running) {
        stopTracking();
        return;
    }
    const PictureCoordinates at = PictureCoordinates::fromClient(x, y, pic.PaintBox1->height());
    m_calibration.setClickFraction(fx, double(pic.PaintBox1->height() - 1) - fy);
    const PictureClickResult result = m_calibration.pictureClick(at, videoLoaded());
    switch (result.action) {
    case PictureClickResult::Action::None: break;
    case PictureClickResult::Action::Position1:
        ui.XKoord1Label->setText(result.xText);
        ui.YKoord1Label->setText(result.yText);
        ui.XKoord2Label->clear();
        ui.YKoord2Label->clear();
        break;
    case PictureClickResult::Action::Position2:
        ui.XKoord2Label->setText(result.xText);
        ui.YKoord2Label->setText(result.yText);
        break;
    case PictureClickResult::Action::Origin:
        if (result.information)
            c.prompts.information(*result.information);
        break;
    case PictureClickResult::Action::MeasuredPoint: {
        if (!videoLoaded())
            break;
        recordPoint(fx, double(pic.PaintBox1->height() - 1) - fy, c.device.position());
        // The tracking waited for this click: it takes the object's look around it.
        if (m_trackingState == TrackingState::AwaitingClick)
            trackingClicked(at);
        break;
    }
    }
}

void MeasureController::recordPoint(double px, double py, qint64 frame)
{
    applyUpdate(m_series.record(m_calibration, px, py, frame, transport.frameClock()));
}

void MeasureController::PaintBox1MouseMove(double fx, double fy)
{
    if (!videoLoaded())
        return;
    const int x = int(std::lround(fx));
    const int y = int(std::lround(fy));
    const Calibration::LiveTexts texts =
        m_calibration.liveTexts(PictureCoordinates::fromClient(x, y, pic.PaintBox1->height()));
    ui.XLabel->setText(texts.x);
    ui.YLabel->setText(texts.y);
}

void MeasureController::XYAbstandEditChange()
{
    const QString text = ui.XYAbstandEdit->text();
    ui.KalibrierenButton->setEnabled(Calibration::calibrateButtonEnabled(text));
    if (text.isEmpty())
        ui.KalibrierungsLabel->clear();
}

void MeasureController::XYAbstandEditKeyPress(int key)
{
    // Enter runs "Kalibrieren", also while the button is disabled.
    if (key == 13)
        KalibrierenButtonClick();
}

void MeasureController::KalibrierenButtonClick()
{
    const CalibrationFields fields{ui.XKoord1Label->text(), ui.YKoord1Label->text(), ui.XKoord2Label->text(),
                                   ui.YKoord2Label->text(), ui.XYAbstandEdit->text()};
    KalibrierenHooks hooks;
    hooks.showScale = [this](const QString& text) { ui.KalibrierungsLabel->setText(text); };
    hooks.accepted = [this] {
        setUnitLabelsVisible(true);
        ui.KalibrierenPanel->hide();
        ui.MesswerteButtonPanel->move(10, 70);
        ui.MesswerteButtonPanel->show();
        emit calibrationAccepted();
        ui.PositionXYPanel->move(ui.PositionXYPanel->x(), 10);
        c.st.DataSaved = false;
    };
    if (m_calibration.kalibrieren(fields, c.prompts, hooks) == KalibrierenOutcome::OriginLowerLeft)
        setUnitLabelsVisible(true);
}

void MeasureController::KalibrierungNeuButtonClick()
{
    const bool ran = c.st.IsPlaying;
    c.shell.MenuDateiClick();
    if (c.prompts.message(BoxKind::Warning, kRenewCalibrationText, {Button::Ja, Button::Nein}) != Button::Ja) {
        if (ran)
            transport.continueRunIfPlaying();
        return;
    }
    ui.KalibrierenPanel->show();
    ui.PositionXYPanel->move(ui.PositionXYPanel->x(), 183);
    ui.MesswerteButtonPanel->hide();
    emptyCoordinateFields();
    ui.XYAbstandEdit->clear();
    ui.KalibrierenButton->setEnabled(false);
    m_calibration.renew();
    setUnitLabelsVisible(false);
    emit calibrationRenewed();
    MesswerteNeuButtonClick();
    emit drawingsReset();
}

void MeasureController::AuswertungSchliessenButtonClick()
{
    ui.BerechnenAbdeckungsPanel->show();
    ui.BerechnenAbdeckungsPanel->raise();
    ui.MenuDatenaufnahme->setEnabled(true);
    m_calibration.closeEvaluation();
}

void MeasureController::MesswerteStringGridMouseDown(Qt::MouseButton button, int x, int y)
{
    if (button != Qt::RightButton)
        return;
    QTableWidget* grid = ui.MesswerteStringGrid;
    const QPoint inViewport = grid->viewport()->mapFrom(grid, QPoint(x, y));
    const int row = grid->rowAt(inViewport.y());
    if (row < 0)
        return;
    const std::optional<QString> caption = m_series.rightClick(row);
    if (!caption)
        return;
    ui.MesswertePopupMenuMessungLoeschen->setText(*caption);
    m_lastPopupPoint = MeasurementSeries::deleteMenuPoint(c.shell.mainWindowPos(), x, y);
    ui.MesswertePopupMenu->popup(m_lastPopupPoint);
}

void MeasureController::MesswertePopupMenuMessungLoeschenClick()
{
    MesswertLoeschen(m_series.selectedRow());
}

void MeasureController::MesswertLoeschen(int row)
{
    applyUpdate(m_series.deletePoint(row));
}

void MeasureController::MesswerteNeuButtonClick()
{
    stopTracking();
    applyUpdate(m_series.clear());
}

void MeasureController::MesswerteSpeichernButtonClick()
{
    if (saveMeasurements(c.prompts, c.device.fileName(), m_calibration.Scale, m_series))
        c.st.DataSaved = true;
}

void MeasureController::timeBaseChanged()
{
    applyUpdate(m_series.refreshIntervals(transport.frameClock()));
}

void MeasureController::offerEvaluation(bool offered)
{
    if (offered) {
        ui.BerechnenAbdeckungsPanel->hide();
        ui.MenuDatenaufnahme->setEnabled(false);
    } else {
        ui.BerechnenAbdeckungsPanel->show();
        ui.BerechnenAbdeckungsPanel->raise();
        ui.MenuDatenaufnahme->setEnabled(true);
    }
}

void MeasureController::resetForOpenedFile()
{
    m_calibration.fileOpened();
}

void MeasureController::hideForPresentation()
{
    ui.MenuDatenaufnahme->setVisible(false);
    ui.AuswertungSchliessenButton->hide();
}

void MeasureController::showCloseButton(bool shown)
{
    ui.AuswertungSchliessenButton->setVisible(shown);
}

void MeasureController::hideDataAcquisitionMenu()
{
    ui.MenuDatenaufnahme->setVisible(false);
}

bool MeasureController::eventFilter(QObject* watched, QEvent* event)
{
    // The grid's own handling of the press (selecting the row) goes on; a right press also
    // opens the pop-up menu of the row.
    if (watched == ui.MesswerteStringGrid->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint inGrid = ui.MesswerteStringGrid->viewport()->mapTo(ui.MesswerteStringGrid, me->position().toPoint());
        const Qt::MouseButton button = me->button();
        runGuarded(c.prompts, [&] { MesswerteStringGridMouseDown(button, inGrid.x(), inGrid.y()); });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kadro
