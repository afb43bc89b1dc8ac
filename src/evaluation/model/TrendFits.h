#pragma once
#include "common/ErrorReport.h"

#include <QString>
#include <optional>
#include <vector>

namespace kadro {

class FrameClock;
class MeasurementSeries;

// A fit that cannot give a usable result (a zero last pivot, a result that is not finite, too
// few different values); its message is shown by the general error box.
class FitError : public KadroError {
public:
    using KadroError::KadroError;
};

inline const QString kTrendLineFailedText = QStringLiteral(
    "Die Trendgerade kann nicht berechnet werden.\r"
    "Dazu sind Messpunkte mit mindestens zwei verschiedenen X-Werten nötig.");
inline const QString kTrendParabolaFailedText =
    QStringLiteral("Die Trendparabel kann aus diesen Messwerten nicht berechnet werden.");
inline const QString kTimeFitFailedText = QStringLiteral(
    "Die Bahnkurve kann nicht berechnet werden.\r"
    "Dazu sind Messpunkte aus mindestens drei verschiedenen Frames nötig.");
inline const QString kInvalidScaleText =
    QStringLiteral("Die Kalibrierung ist ungültig.\rBitte kalibrieren Sie neu.");

// A measured point in pixels relative to the origin, computed from the rounded table texts
// (X = x / Scale, Y = y / Scale; not rounded).
struct FitPoint {
    double x = 0;
    double y = 0;
};

// The points of the series (rows 1 to nextRow()−1) in pixels. A cell that is not a number throws
// ConvertError; a scale that is not a positive finite number, or a point that would not be a
// finite pixel position, throws FitError(kInvalidScaleText).
std::vector<FitPoint> fitPoints(const MeasurementSeries& series, double scale);

// Least squares Y = a + b·X, and the horizontal pixel range of the points (the smallest and
// largest X, each rounded to the nearest integer, ties to even).
struct LineFit {
    long double a = 0;
    long double b = 0;
    int xMin = 0;
    int xMax = 0;
};
// Throws MathError("System insolvable") as the solver does, and FitError(kTrendLineFailedText)
// when the points have fewer than two different X values or the result is not finite.
LineFit fitTrendLine(const std::vector<FitPoint>& points);
// " y = 2,000x + 0,010 ": the slope (the same in pixels and metres) and the intercept in metres,
// in the fixed format with 4 significant digits and 3 decimals.
QString trendLineText(const LineFit& fit, double scale);

// Least squares Y = a + b·X + c·X² over the same range.
struct ParabolaFit {
    long double a = 0;
    long double b = 0;
    long double c = 0;
    int xMin = 0;
    int xMax = 0;
};
// nullopt when the points have fewer than three different X values (an object moving straight
// up or down): no curve over X exists then, which is no error. Throws MathError as the solver
// does, and FitError(kTrendParabolaFailedText) when the result is not finite.
std::optional<ParabolaFit> fitTrendParabola(const std::vector<FitPoint>& points);
// Y(X) = a + b·X + c·X·X in extended precision, rounded to double.
double parabolaValue(const ParabolaFit& fit, long double x);

// Least squares Y = a + b·t + c·t² over the time t of each point since the first one (the fit
// over time). `times` holds t of every point in seconds.
struct TimeFit {
    long double a = 0;
    long double b = 0;
    long double c = 0;
    std::vector<double> times;
};
// The computation of `bahnkurve`. Times from `clock` by the frames of the series (column 4), Y as
// in fitPoints. Throws ConvertError for a text that is not a number, FitError(kInvalidScaleText)
// as fitPoints does, MathError as the solver does, and FitError(kTimeFitFailedText) when the
// points have fewer than three different times or the result is not finite.
TimeFit fitOverTime(const MeasurementSeries& series, double scale, const FrameClock& clock);
// " y(x) = -4,9050x² + 1,200x - 0,300  ": c·Scale with 5 significant digits and 4 decimals,
// b·Scale and a·Scale with 4 and 3; x stands for the time in seconds since the first point.
QString timeFitText(const TimeFit& fit, double scale);

} // namespace kadro
