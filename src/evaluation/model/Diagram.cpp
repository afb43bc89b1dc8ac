#include "evaluation/model/Diagram.h"

#include "common/NumberFormat.h"
#include "evaluation/model/TrendFits.h"
#include "measure/model/Calibration.h"
#include "measure/model/MeasurementSeries.h"

#include <cmath>

namespace kadro {

namespace {

// Offsets and positions beyond this are no picture position; keeping them this small keeps all
// pixel arithmetic far from an int overflow.
constexpr long double kPixelLimit = 1e9L;

const QColor kTextColour(255, 255, 255);

std::optional<int> pixel(long double value)
{
    const long double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || std::fabs(rounded) > kPixelLimit)
        return std::nullopt;
    return int(rounded);
}

// The vertical client position H − OriginY − round(y) of a fitted value; nullopt when it is no
// picture position.
std::optional<int> fittedRow(long double y, const Calibration& calibration, int surfaceHeight)
{
    const std::optional<int> v = pixel(y);
    if (!v)
        return std::nullopt;
    return surfaceHeight - calibration.OriginY - *v;
}

QString errorText(const std::exception& e)
{
    return QString::fromStdString(e.what());
}

} // namespace

void setPenColour(PenState& pen, int colourIndex)
{
    static const QColor colours[] = {
        QColor(255, 255, 255), QColor(0, 0, 0),   QColor(255, 0, 0),
        QColor(0, 255, 0),     QColor(0, 0, 255), QColor(255, 255, 0),
    };
    if (colourIndex >= 0 && colourIndex <= 5)
        pen.colour = colours[colourIndex];
}

std::optional<QPoint> pointOffset(const MeasurementSeries& series, int row, double scale)
{
    const double x = parseDecimal(series.cell(row, MeasurementSeries::XColumn));
    const double y = parseDecimal(series.cell(row, MeasurementSeries::YColumn));
    if (!(scale > 0) || !std::isfinite(scale))
        return std::nullopt;
    const std::optional<int> u = pixel(roundEven(x / scale));
    const std::optional<int> v = pixel(roundEven(y / scale));
    if (!u || !v)
        return std::nullopt;
    return QPoint(*u, *v);
}

QPoint markerCentre(QPoint offset, const Calibration& calibration, int surfaceHeight)
{
    return {calibration.OriginX + offset.x(), surfaceHeight - 1 - calibration.OriginY - offset.y()};
}

QPoint linePoint(QPoint offset, const Calibration& calibration, int surfaceHeight)
{
    return {calibration.OriginX + offset.x(), surfaceHeight - calibration.OriginY - offset.y()};
}

DrawList diagramItems(const MeasurementSeries& series, const Calibration& calibration, QSize surface,
                      const DiagramColours& colours, PenState& pen)
{
    const int w = surface.width();
    const int h = surface.height();
    DrawList items;
    pen.width = 2;
    setPenColour(pen, colours.axis);
    const int xAxisRow = h - 1 - calibration.OriginY;
    items.push_back(DrawItem::line({0, xAxisRow}, {w, xAxisRow}, pen.colour, pen.width));
    const int yAxisColumn = calibration.OriginX + 1;
    items.push_back(DrawItem::line({yAxisColumn, 0}, {yAxisColumn, h}, pen.colour, pen.width));

    pen.width = 1;
    setPenColour(pen, colours.point);
    for (int row = 1; row <= series.pointCount(); ++row) {
        const std::optional<QPoint> offset = pointOffset(series, row, calibration.Scale);
        if (!offset)
            continue;
        const QPoint c = markerCentre(*offset, calibration, h);
        items.push_back(DrawItem::line({c.x() - 3, c.y()}, {c.x() + 4, c.y()}, pen.colour, pen.width));
        items.push_back(DrawItem::line({c.x(), c.y() - 3}, {c.x(), c.y() + 4}, pen.colour, pen.width));
    }
    return items;
}

DrawList connectingLineItems(const MeasurementSeries& series, const Calibration& calibration, QSize surface,
                             int trendColour, PenState& pen)
{
    DrawList items;
    pen.width = 1;
    setPenColour(pen, trendColour);
    for (int row = 1; row <= series.pointCount() - 1; ++row) {
        const std::optional<QPoint> a = pointOffset(series, row, calibration.Scale);
        const std::optional<QPoint> b = pointOffset(series, row + 1, calibration.Scale);
        if (!a || !b)
            continue;
        items.push_back(DrawItem::line(linePoint(*a, calibration, surface.height()),
                                       linePoint(*b, calibration, surface.height()), pen.colour, pen.width));
    }
    return items;
}

EvaluationDrawing trendLineDrawing(const MeasurementSeries& series, const Calibration& calibration,
                                   QSize surface, int trendColour, PenState& pen)
{
    EvaluationDrawing drawing;
    try {
        const LineFit fit = fitTrendLine(fitPoints(series, calibration.Scale));
        const std::optional<int> y1 = fittedRow(fit.a + fit.b * fit.xMin, calibration, surface.height());
        const std::optional<int> y2 = fittedRow(fit.a + fit.b * fit.xMax, calibration, surface.height());
        if (!y1 || !y2)
            throw FitError(kTrendLineFailedText);
        setPenColour(pen, trendColour);
        drawing.items.push_back(DrawItem::line({calibration.OriginX + fit.xMin, *y1},
                                               {calibration.OriginX + fit.xMax, *y2}, pen.colour, pen.width));
        drawing.equation = trendLineText(fit, calibration.Scale);
        drawing.items.push_back(DrawItem::label(kEquationTextPosition, drawing.equation, kTextColour,
                                                kEquationPointSize));
    } catch (const KadroError& e) {
        drawing.error = errorText(e);
    } catch (const ConvertError& e) {
        drawing.error = errorText(e);
    }
    return drawing;
}

EvaluationDrawing trendParabolaDrawing(const MeasurementSeries& series, const Calibration& calibration,
                                       QSize surface, int trendColour, PenState& pen, const FrameClock& clock)
{
    EvaluationDrawing drawing;
    try {
        const std::optional<ParabolaFit> fit = fitTrendParabola(fitPoints(series, calibration.Scale));
        if (fit) {
            // Every column is computed before anything is drawn, so a curve that leaves every
            // sensible position draws nothing at all.
            DrawList curve;
            std::optional<int> previous = fittedRow(parabolaValue(*fit, fit->xMin), calibration, surface.height());
            if (!previous)
                throw FitError(kTrendParabolaFailedText);
            for (qint64 k = 1; k <= qint64(fit->xMax) - fit->xMin; ++k) {
                const int x = int(fit->xMin + k);
                const std::optional<int> y = fittedRow(parabolaValue(*fit, x), calibration, surface.height());
                if (!y)
                    throw FitError(kTrendParabolaFailedText);
                curve.push_back(DrawItem::line({calibration.OriginX + x - 1, *previous},
                                               {calibration.OriginX + x, *y}, QColor(), 0));
                previous = y;
            }
            setPenColour(pen, trendColour);
            for (DrawItem& item : curve) {
                item.colour = pen.colour;
                item.penWidth = pen.width;
                drawing.items.push_back(item);
            }
        }
        const TimeFit timeFit = fitOverTime(series, calibration.Scale, clock);
        drawing.equation = timeFitText(timeFit, calibration.Scale);
        drawing.items.push_back(DrawItem::label(kEquationTextPosition, drawing.equation, kTextColour,
                                                kEquationPointSize));
    } catch (const KadroError& e) {
        drawing.error = errorText(e);
    } catch (const ConvertError& e) {
        drawing.error = errorText(e);
    }
    return drawing;
}

EvaluationDrawing evaluationDrawing(EvaluationMode mode, const MeasurementSeries& series,
                                    const Calibration& calibration, QSize surface, int trendColour,
                                    PenState& pen, const FrameClock& clock)
{
    switch (mode) {
    case EvaluationMode::Keine:
        return {};
    case EvaluationMode::PunkteVerbinden: {
        EvaluationDrawing drawing;
        try {
            drawing.items = connectingLineItems(series, calibration, surface, trendColour, pen);
        } catch (const ConvertError& e) {
            drawing.error = errorText(e);
        }
        return drawing;
    }
    case EvaluationMode::Trendgerade:
        return trendLineDrawing(series, calibration, surface, trendColour, pen);
    case EvaluationMode::Trendparabel:
        return trendParabolaDrawing(series, calibration, surface, trendColour, pen, clock);
    }
    return {};
}

} // namespace kadro
