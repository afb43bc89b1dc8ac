#pragma once
#include "evaluation/model/DrawItem.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>

namespace kadro {

class Calibration;
class FrameClock;
class MeasurementSeries;

// The checked item of the menu "Datenauswertung".
enum class EvaluationMode { Keine, PunkteVerbinden, Trendgerade, Trendparabel };

// The colour indices of the settings: axes, measured points, and the connecting lines, trend
// line and parabola.
struct DiagramColours {
    int axis = 0;
    int point = 0;
    int trend = 0;
};

// Position and size of the equation texts.
inline constexpr QPoint kEquationTextPosition{5, 5};
inline constexpr int kEquationPointSize = 10;

// Pixel offsets (u, v) of point `row` from the origin, taken back from its rounded table texts:
// u = round(x / Scale), v = round(y / Scale), ties to even. nullopt when the scale is not a
// positive finite number or the offsets are no picture position. A text that is not a number
// throws ConvertError.
std::optional<QPoint> pointOffset(const MeasurementSeries& series, int row, double scale);
// Client pixel of a marker's centre: (OriginX + u, H − 1 − OriginY − v), the clicked pixel.
QPoint markerCentre(QPoint offset, const Calibration& calibration, int surfaceHeight);
// Client pixel of a point on the connecting lines, trend line and parabola: one pixel lower.
QPoint linePoint(QPoint offset, const Calibration& calibration, int surfaceHeight);

// "Diagramm an": the axes through the origin with pen width 2 in the axis colour, then a plus of
// 7 × 7 pixels on every point with pen width 1 in the point colour. A point whose position
// cannot be had is left out.
DrawList diagramItems(const MeasurementSeries& series, const Calibration& calibration, QSize surface,
                      const DiagramColours& colours, PenState& pen);

// The drawing of an evaluation mode: what was drawn, the equation text written (also the
// picture's description for a screen reader; empty if none) and, when the fit failed, the
// message for the general error box. Items drawn before a failure stay.
struct EvaluationDrawing {
    DrawList items;
    QString equation;
    std::optional<QString> error;
};

// "Punkte verbinden": pen width 1 in the trend colour, a segment from each point to the next.
DrawList connectingLineItems(const MeasurementSeries& series, const Calibration& calibration, QSize surface,
                             int trendColour, PenState& pen);
// "Trendgerade": the fitted line across the points' horizontal range in the trend colour (the
// pen width as it is), then its equation at (5, 5) in white, 10 points.
EvaluationDrawing trendLineDrawing(const MeasurementSeries& series, const Calibration& calibration,
                                   QSize surface, int trendColour, PenState& pen);
// "Trendparabel": the parabola over X column by column across the points' range, then the fit
// over time and its equation. With fewer than three different X values there is no curve and no
// error, and the equation of the fit over time is still written.
EvaluationDrawing trendParabolaDrawing(const MeasurementSeries& series, const Calibration& calibration,
                                       QSize surface, int trendColour, PenState& pen, const FrameClock& clock);

// What the timer of an evaluation mode draws; nothing for "Keine".
EvaluationDrawing evaluationDrawing(EvaluationMode mode, const MeasurementSeries& series,
                                    const Calibration& calibration, QSize surface, int trendColour,
                                    PenState& pen, const FrameClock& clock);

} // namespace kadro
