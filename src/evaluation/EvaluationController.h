#pragma once
#include "common/Context.h"
#include "evaluation/EvaluationWidgets.h"
#include "evaluation/model/Diagram.h"
#include "evaluation/model/DrawItem.h"
#include "player/PictureWidgets.h"

#include <QObject>
#include <QString>

namespace kadro {

class Calibration;
class MeasurementSeries;
class Transport;
struct SeriesUpdate;

// The evaluation drawn over the picture: the diagram (axes and a mark on every measured point,
// "Diagramm an"/"Diagramm aus"), and the evaluation chosen in "Datenaus&wertung" (connected points,
// trend line, trend parabola with the fit over time) with its equation. The drawing lies on the
// picture's drawing surface in two layers, the diagram below and the evaluation on top; a new
// picture wipes both, and they are drawn again as the player and the measuring ask.
class EvaluationController : public QObject {
    Q_OBJECT
public:
    EvaluationController(const Context& context, const EvaluationWidgets& widgets, const PictureWidgets& picture,
                         Transport& transport, const MeasurementSeries& series, const Calibration& calibration);

    // The evaluation's part of laying out the views afresh.
    void setUpAuthoringView();
    void setUpPlayerView();
    // Opening a file: the diagram goes and the evaluation returns to "Keine".
    void resetForOpenedFile();
    // A presentation in the player view: no evaluation menu.
    void hideForPresentation();

    // What the measuring asks after its points or its calibration changed.
    void applySeriesUpdate(const SeriesUpdate& update);
    void calibrationAccepted();
    void calibrationRenewed();
    void checkKeine();

    // Handlers.
    void DiagrammButtonClick();
    void DiagrammButton2Click();
    void refreshdiagramm();
    void refreshTrend();
    void MenuKeineClick();
    void MenuPunkteverbindenClick();
    void MenuTrendgeradeClick();
    void MenuTrendparabelClick();
    void MenuDiagrammeClick();
    void Timer5Timer();
    void Timer6Timer();
    void Timer7Timer();
    void Timer8Timer();

    // The equation written on the picture now (empty when none is); the picture's accessible
    // description says the same.
    QString equationText() const { return m_equation; }

    static constexpr int DiagramLayer = 0;
    static constexpr int EvaluationLayer = 1;

private:
    DiagramColours colours() const;
    QSize surface() const;
    void draw(int layer, const DrawList& items);
    void drawEvaluation(EvaluationMode mode);
    void setEquation(const QString& text);

    Context c;
    EvaluationWidgets ui;
    PictureWidgets pic;
    Transport& transport;
    // What is measured, as the measuring keeps it (read only).
    const MeasurementSeries& series;
    const Calibration& calibration;
    PenState m_pen; // the drawing surface's pen keeps its colour and width between drawings
    QString m_equation;
};

} // namespace kadro
