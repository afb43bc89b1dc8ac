#include "evaluation/EvaluationController.h"

#include "common/ErrorReport.h"
#include "common/MainState.h"
#include "common/ProgramEvents.h"
#include "common/SettingsStore.h"
#include "evaluation/DiagrammeFenster.h"
#include "measure/model/Calibration.h"
#include "common/FrameClock.h"
#include "measure/model/MeasurementSeries.h"
#include "player/Transport.h"
#include "player/view/OverlayBox.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace kadro {

EvaluationController::EvaluationController(const Context& context, const EvaluationWidgets& widgets,
                                           const PictureWidgets& picture, Transport& t,
                                           const MeasurementSeries& measured, const Calibration& calibrated)
    : c(context), ui(widgets), pic(picture), transport(t), series(measured), calibration(calibrated)
{
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(c.prompts, fn); }; };
    connect(ui.DiagrammButton, &QPushButton::clicked, this, guard([this] { DiagrammButtonClick(); }));
    connect(ui.DiagrammButton2, &QPushButton::clicked, this, guard([this] { DiagrammButton2Click(); }));
    connect(ui.MenuKeine, &QAction::triggered, this, guard([this] { MenuKeineClick(); }));
    connect(ui.MenuPunkteverbinden, &QAction::triggered, this, guard([this] { MenuPunkteverbindenClick(); }));
    connect(ui.MenuTrendgerade, &QAction::triggered, this, guard([this] { MenuTrendgeradeClick(); }));
    connect(ui.MenuTrendparabel, &QAction::triggered, this, guard([this] { MenuTrendparabelClick(); }));
    connect(ui.MenuDiagramme, &QAction::triggered, this, guard([this] { MenuDiagrammeClick(); }));
    for (QTimer* timer : {ui.Timer5, ui.Timer6, ui.Timer7, ui.Timer8})
        timer->setSingleShot(true);
    connect(ui.Timer5, &QTimer::timeout, this, guard([this] { Timer5Timer(); }));
    connect(ui.Timer6, &QTimer::timeout, this, guard([this] { Timer6Timer(); }));
    connect(ui.Timer7, &QTimer::timeout, this, guard([this] { Timer7Timer(); }));
    connect(ui.Timer8, &QTimer::timeout, this, guard([this] { Timer8Timer(); }));

    // The player asks for the diagram after every frame change, and for both after a pause.
    connect(&c.events, &ProgramEvents::diagramRedrawRequested, this, guard([this] {
                if (c.st.DiagramShown)
                    DiagrammButtonClick();
            }));
    // The open command: the evaluation starts afresh; a presentation has none.
    connect(&c.events, &ProgramEvents::fileOpening, this, [this] { resetForOpenedFile(); });
    connect(&c.events, &ProgramEvents::presentationEntered, this, [this] { hideForPresentation(); });
    connect(&c.events, &ProgramEvents::refreshDiagramRequested, this, guard([this] { refreshdiagramm(); }));
    connect(&c.events, &ProgramEvents::refreshTrendRequested, this, guard([this] { refreshTrend(); }));
    // The diagram window shows the series over the time base in use and follows both.
    const Transport* player = &transport;
    ui.DiagrammeFenster->attach(
        &series, [player]() -> const FrameClock& { return player->frameClock(); }, &c.prompts);
    connect(&c.events, &ProgramEvents::measurementsChanged, this, guard([this] {
                ui.MenuDiagramme->setEnabled(series.pointCount() >= 2);
                ui.DiagrammeFenster->refresh();
            }));
    connect(&c.events, &ProgramEvents::timeBaseChanged, this, guard([this] { ui.DiagrammeFenster->refresh(); }));
    // A picture drawn afresh wiped the diagram: it comes again a moment later.
    connect(&c.events, &ProgramEvents::pictureRefreshed, this, [this] {
        if (c.st.DiagramShown)
            ui.Timer5->start();
    });
    // Whatever wiped the drawing also wiped the equation written on it.
    connect(pic.PaintBox1, &OverlayBox::cleared, this, [this] {
        if (pic.PaintBox1->layerItems(EvaluationLayer).empty())
            setEquation(QString());
    });
}

void EvaluationController::setUpAuthoringView()
{
    ui.DiagrammeFenster->hide();
    ui.MenuDatenauswertung->menuAction()->setVisible(false);
    c.st.DiagramShown = false;
    for (QTimer* timer : {ui.Timer5, ui.Timer6, ui.Timer7, ui.Timer8})
        timer->stop();
    setEquation(QString());
}

void EvaluationController::setUpPlayerView()
{
    ui.MenuKeine->setChecked(true);
    ui.MenuDatenauswertung->menuAction()->setVisible(true);
    ui.MenuDatenauswertung->setEnabled(false);
    ui.MenuDatenauswertung->menuAction()->setEnabled(false);
    ui.MenuTrendparabel->setEnabled(false);
    ui.DiagrammButton->show();
    ui.DiagrammButton->setEnabled(false);
    ui.DiagrammButton2->hide();
}

void EvaluationController::resetForOpenedFile()
{
    if (c.st.DiagramShown)
        DiagrammButton2Click();
    ui.MenuKeine->setChecked(true);
    c.st.DiagramShown = false;
}

void EvaluationController::hideForPresentation()
{
    ui.MenuDatenauswertung->menuAction()->setVisible(false);
}

void EvaluationController::applySeriesUpdate(const SeriesUpdate& u)
{
    if (u.checkKeine)
        checkKeine();
    if (u.diagramOff || (u.diagramOffIfShown && c.st.DiagramShown))
        DiagrammButton2Click();
    if (u.diagramButtonEnabled)
        ui.DiagrammButton->setEnabled(*u.diagramButtonEnabled);
    if (u.evaluationMenuEnabled) {
        ui.MenuDatenauswertung->setEnabled(*u.evaluationMenuEnabled);
        ui.MenuDatenauswertung->menuAction()->setEnabled(*u.evaluationMenuEnabled);
    }
    if (u.trendParabolaEnabled)
        ui.MenuTrendparabel->setEnabled(*u.trendParabolaEnabled);
    if (u.refreshDiagram)
        refreshdiagramm();
    if (u.refreshTrend)
        refreshTrend();
    if (u.refreshPicture)
        transport.refreshPictureSoon();
}

void EvaluationController::calibrationAccepted()
{
    ui.DiagrammButton->setEnabled(false);
}

void EvaluationController::calibrationRenewed()
{
    c.st.DiagramShown = false;
}

void EvaluationController::checkKeine()
{
    ui.MenuKeine->setChecked(true);
}

DiagramColours EvaluationController::colours() const
{
    const Settings s = c.settings.current();
    return DiagramColours{s.axisColour, s.pointColour, s.trendColour};
}

QSize EvaluationController::surface() const
{
    return pic.PaintBox1->size();
}

void EvaluationController::draw(int layer, const DrawList& items)
{
    std::vector<OverlayItem> out;
    out.reserve(items.size());
    QFont font = pic.PaintBox1->font();
    for (const DrawItem& d : items) {
        OverlayItem item;
        if (d.kind == DrawItem::Kind::Line) {
            item.kind = OverlayItem::Kind::Line;
            item.p1 = d.from;
            item.p2 = d.to;
            item.pen = QPen(d.colour, d.penWidth, Qt::SolidLine, Qt::FlatCap);
            item.endExcluded = d.endExcluded;
        } else {
            item.kind = OverlayItem::Kind::Text;
            item.p1 = d.from;
            item.text = d.text;
            font.setPointSize(d.pointSize);
            item.font = font;
            item.pen = QPen(d.colour);
        }
        out.push_back(item);
    }
    pic.PaintBox1->replaceLayer(layer, std::move(out));
}

void EvaluationController::setEquation(const QString& text)
{
    m_equation = text;
    pic.PaintBox1->setAccessibleDescription(text);
}

void EvaluationController::DiagrammButtonClick()
{
    c.st.DiagramShown = true;
    ui.DiagrammButton2->show();
    ui.DiagrammButton->hide();
    draw(DiagramLayer, diagramItems(series, calibration, surface(), colours(), m_pen));
}

void EvaluationController::DiagrammButton2Click()
{
    ui.DiagrammButton2->hide();
    ui.DiagrammButton->show();
    pic.PaintBox1->requestRepaint();
    c.st.DiagramShown = false;
    refreshTrend();
}

void EvaluationController::refreshdiagramm()
{
    pic.PaintBox1->requestRepaint();
    if (c.st.DiagramShown)
        DiagrammButtonClick();
}

void EvaluationController::refreshTrend()
{
    if (ui.MenuPunkteverbinden->isChecked())
        ui.Timer6->start();
    else if (ui.MenuTrendgerade->isChecked())
        ui.Timer7->start();
    else if (ui.MenuTrendparabel->isChecked())
        ui.Timer8->start();
}

void EvaluationController::MenuKeineClick()
{
    ui.MenuKeine->setChecked(true);
    refreshdiagramm();
    refreshTrend();
}

void EvaluationController::MenuPunkteverbindenClick()
{
    refreshdiagramm();
    ui.Timer6->start();
    ui.MenuPunkteverbinden->setChecked(true);
}

void EvaluationController::MenuTrendgeradeClick()
{
    refreshdiagramm();
    ui.Timer7->start();
    ui.MenuTrendgerade->setChecked(true);
}

void EvaluationController::MenuTrendparabelClick()
{
    refreshdiagramm();
    ui.Timer8->start();
    ui.MenuTrendparabel->setChecked(true);
}

void EvaluationController::MenuDiagrammeClick()
{
    ui.DiagrammeFenster->showBeside(pic.PaintBox1->window());
}

void EvaluationController::Timer5Timer()
{
    ui.Timer5->stop();
    DiagrammButtonClick();
}

void EvaluationController::drawEvaluation(EvaluationMode mode)
{
    const EvaluationDrawing drawing = evaluationDrawing(mode, series, calibration, surface(),
                                                        colours().trend, m_pen, transport.frameClock());
    draw(EvaluationLayer, drawing.items);
    setEquation(drawing.equation);
    // What was drawn before a fit failed stays; the failure ends the step in the error box.
    if (drawing.error)
        throw KadroError(*drawing.error);
}

void EvaluationController::Timer6Timer()
{
    ui.Timer6->stop();
    drawEvaluation(EvaluationMode::PunkteVerbinden);
}

void EvaluationController::Timer7Timer()
{
    ui.Timer7->stop();
    drawEvaluation(EvaluationMode::Trendgerade);
}

void EvaluationController::Timer8Timer()
{
    ui.Timer8->stop();
    drawEvaluation(EvaluationMode::Trendparabel);
}

} // namespace kadro
