#include "evaluation/model/TrendFits.h"

#include "common/NumberFormat.h"
#include "evaluation/model/GaussSolver.h"
#include "common/FrameClock.h"
#include "measure/model/MeasurementSeries.h"

#include <algorithm>
#include <cmath>

namespace kadro {

namespace {

// Pixel positions beyond this are no picture position: far from any int overflow in the
// arithmetic of the drawing.
constexpr double kPixelLimit = 1e9;

int distinctCount(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return int(std::unique(values.begin(), values.end()) - values.begin());
}

bool allFinite(std::initializer_list<long double> values)
{
    return std::all_of(values.begin(), values.end(), [](long double v) { return std::isfinite(v); });
}

void xRange(const std::vector<FitPoint>& points, int* xMin, int* xMax)
{
    *xMin = 0;
    *xMax = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int x = int(roundEven(points[i].x));
        if (i == 0 || x < *xMin)
            *xMin = x;
        if (i == 0 || x > *xMax)
            *xMax = x;
    }
}

QString signText(long double value)
{
    return value > 0 ? QStringLiteral(" + ") : QStringLiteral(" - ");
}

} // namespace

std::vector<FitPoint> fitPoints(const MeasurementSeries& series, double scale)
{
    if (!(scale > 0) || !std::isfinite(scale))
        throw FitError(kInvalidScaleText);
    std::vector<FitPoint> points;
    for (int row = 1; row <= series.pointCount(); ++row) {
        const double x = parseDecimal(series.cell(row, MeasurementSeries::XColumn));
        const double y = parseDecimal(series.cell(row, MeasurementSeries::YColumn));
        const FitPoint p{x / scale, y / scale};
        if (!(std::fabs(p.x) < kPixelLimit) || !(std::fabs(p.y) < kPixelLimit))
            throw FitError(kInvalidScaleText);
        points.push_back(p);
    }
    return points;
}

LineFit fitTrendLine(const std::vector<FitPoint>& points)
{
    double sx = 0, sxx = 0, sy = 0, sxy = 0;
    std::vector<double> xs;
    for (const FitPoint& p : points) {
        sx += p.x;
        sxx += Potenz(2, p.x);
        sy += p.y;
        sxy += p.x * p.y;
        xs.push_back(p.x);
    }
    const long double n = points.size();
    const TGaussMatrix matrix = {{n, sx, sy}, {sx, sxx, sxy}};
    TGaussSolved solution;
    SolveLinearSystem(matrix, 2, 3, solution);

    LineFit fit;
    fit.a = solution[0];
    fit.b = solution[1];
    // With a single X value the last pivot is zero, or rounding noise that gives a slope of
    // nonsense: no line is drawn from that.
    if (distinctCount(xs) < 2 || !allFinite({fit.a, fit.b}))
        throw FitError(kTrendLineFailedText);
    xRange(points, &fit.xMin, &fit.xMax);
    return fit;
}

QString trendLineText(const LineFit& fit, double scale)
{
    return QStringLiteral(" y = ") + formatFixed(double(fit.b), 4, 3) + QStringLiteral("x") + signText(fit.a)
        + formatFixed(double(std::fabs(fit.a) * scale), 4, 3) + QStringLiteral(" ");
}

std::optional<ParabolaFit> fitTrendParabola(const std::vector<FitPoint>& points)
{
    double sx = 0, sx2 = 0, sx3 = 0, sx4 = 0, sy = 0, sxy = 0, sx2y = 0;
    std::vector<double> xs;
    for (const FitPoint& p : points) {
        sx += p.x;
        sx2 += Potenz(2, p.x);
        sx3 += Potenz(3, p.x);
        sx4 += Potenz(4, p.x);
        sy += p.y;
        sxy += p.x * p.y;
        sx2y += Potenz(2, p.x) * p.y;
        xs.push_back(p.x);
    }
    if (distinctCount(xs) < 3)
        return std::nullopt;
    const long double n = points.size();
    const TGaussMatrix matrix = {{n, sx, sx2, sy}, {sx, sx2, sx3, sxy}, {sx2, sx3, sx4, sx2y}};
    TGaussSolved solution;
    SolveLinearSystem(matrix, 3, 4, solution);

    ParabolaFit fit;
    fit.a = solution[0];
    fit.b = solution[1];
    fit.c = solution[2];
    if (!allFinite({fit.a, fit.b, fit.c}))
        throw FitError(kTrendParabolaFailedText);
    xRange(points, &fit.xMin, &fit.xMax);
    return fit;
}

double parabolaValue(const ParabolaFit& fit, long double x)
{
    return double(fit.a + fit.b * x + fit.c * x * x);
}

TimeFit fitOverTime(const MeasurementSeries& series, double scale, const FrameClock& clock)
{
    const std::vector<FitPoint> points = fitPoints(series, scale);
    TimeFit fit;
    std::vector<double> ys;
    double t0 = 0;
    for (int row = 1; row <= int(points.size()); ++row) {
        const int frame = parseInteger(series.cell(row, MeasurementSeries::FrameColumn));
        const double seconds = clock.secondsAt(frame);
        if (!std::isfinite(seconds))
            throw FitError(kTimeFitFailedText);
        if (row == 1)
            t0 = seconds;
        fit.times.push_back(seconds - t0);
        ys.push_back(points[row - 1].y);
    }

    double st = 0, st2 = 0, st3 = 0, st4 = 0, sy = 0, sty = 0, st2y = 0;
    for (std::size_t i = 0; i < ys.size(); ++i) {
        const double t = fit.times[i];
        st += t;
        st2 += Potenz(2, t);
        st3 += Potenz(3, t);
        st4 += Potenz(4, t);
        sy += ys[i];
        sty += t * ys[i];
        st2y += Potenz(2, t) * ys[i];
    }
    const long double n = ys.size();
    const TGaussMatrix matrix = {{n, st, st2, sy}, {st, st2, st3, sty}, {st2, st3, st4, st2y}};
    TGaussSolved solution;
    SolveLinearSystem(matrix, 3, 4, solution);
    fit.a = solution[0];
    fit.b = solution[1];
    fit.c = solution[2];
    if (distinctCount(fit.times) < 3 || !allFinite({fit.a, fit.b, fit.c}))
        throw FitError(kTimeFitFailedText);
    return fit;
}

QString timeFitText(const TimeFit& fit, double scale)
{
    return QStringLiteral(" y(x) = ") + formatFixed(double(fit.c * scale), 5, 4) + QStringLiteral("x²")
        + signText(fit.b) + formatFixed(double(std::fabs(fit.b) * scale), 4, 3) + QStringLiteral("x")
        + signText(fit.a) + formatFixed(double(std::fabs(fit.a) * scale), 4, 3) + QStringLiteral("  ");
}

} // namespace kadro
