#include "measure/MeasureTestSupport.h"

#include "evaluation/model/Diagram.h"
#include "evaluation/model/TrendFits.h"

using namespace kadro;
using namespace kadro::test;

namespace {

const QSize kSurface(384, 288);
const QColor kWhite(255, 255, 255), kBlack(0, 0, 0), kRed(255, 0, 0), kLime(0, 255, 0), kBlue(0, 0, 255),
    kYellow(255, 255, 0);

DrawItem line(QPoint from, QPoint to, const QColor& colour, int width = 1)
{
    return DrawItem::line(from, to, colour, width);
}

DrawItem equation(const QString& text)
{
    return DrawItem::label({5, 5}, text, kWhite, 10);
}

// The client pixel (x, y) of a click on the 384 × 288 picture.
Click at(int x, int y, qint64 frame)
{
    const PictureCoordinates p = PictureCoordinates::fromClient(x, y, kSurface.height());
    return {p.px, p.py, frame};
}

} // namespace

TEST(Diagram, AxesThroughTheLowerLeftOrigin)
{
    PenState pen;
    const DrawList items = diagramItems(MeasurementSeries(), measuring(0.01), kSurface, {2, 4, 0}, pen);
    // The x axis on the bottom row, the y axis on column 1.
    EXPECT_EQ(items, DrawList({line({0, 287}, {384, 287}, kRed, 2), line({1, 0}, {1, 288}, kRed, 2)}));
    EXPECT_EQ(pen, (PenState{kBlue, 1}));
}

TEST(Diagram, MarkerOnTheClickedPixelAndLinesOnePixelLower)
{
    const Calibration c = measuring(0.01);
    const MeasurementSeries s = seriesOf(c, {at(120, 80, 10), at(140, 60, 11)});
    EXPECT_EQ(s.cell(1, 1), "1,200");
    EXPECT_EQ(s.cell(1, 2), "2,070");

    PenState pen;
    const DrawList items = diagramItems(s, c, kSurface, {0, 3, 0}, pen);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[2], line({117, 80}, {124, 80}, kLime));
    EXPECT_EQ(items[3], line({120, 77}, {120, 84}, kLime));
    EXPECT_EQ(items[4], line({137, 60}, {144, 60}, kLime));

    // Two points: one segment, through (120, 81).
    EXPECT_EQ(connectingLineItems(s, c, kSurface, 5, pen), DrawList({line({120, 81}, {140, 61}, kYellow)}));
    const MeasurementSeries one = seriesOf(c, {at(120, 80, 10)});
    EXPECT_TRUE(connectingLineItems(one, c, kSurface, 5, pen).empty());
}

TEST(Diagram, PositionsComeFromTheRoundedTableTexts)
{
    // 377 pixels at 0,0001 m are stored as 0,038 m and drawn 380 pixels right of the origin.
    const Calibration c = measuring(0.0001, 2, 10);
    const MeasurementSeries s = seriesOf(c, {{379, 10, 1}});
    EXPECT_EQ(s.cell(1, 1), "0,038");
    PenState pen;
    const DrawList items = diagramItems(s, c, QSize(500, 100), {}, pen);
    EXPECT_EQ(items[2], line({379, 89}, {386, 89}, kWhite));
}

TEST(Diagram, ColourOutsideTheSixKeepsThePen)
{
    const Calibration c = measuring(0.01);
    const MeasurementSeries s = seriesOf(c, {at(10, 10, 1), at(20, 20, 2)});
    PenState pen;  // black, as the surface starts
    const DrawList items = diagramItems(s, c, kSurface, {9, -1, 0}, pen);
    for (const DrawItem& item : items)
        EXPECT_EQ(item.colour, kBlack);
    pen.colour = kBlue;
    EXPECT_EQ(connectingLineItems(s, c, kSurface, 6, pen).front().colour, kBlue);
}

TEST(Diagram, TrendLineAndItsEquation)
{
    // Y = 2X + 1 from the origin (50, 20).
    const Calibration c = measuring(0.01, 50, 20);
    const MeasurementSeries s = seriesOf(c, {{50, 21, 1}, {51, 23, 2}, {52, 25, 3}});
    PenState pen{kBlack, 3};
    const EvaluationDrawing d = evaluationDrawing(EvaluationMode::Trendgerade, s, c, kSurface, 2, pen, TimeStepClock("40"));
    EXPECT_FALSE(d.error.has_value());
    EXPECT_EQ(d.equation, " y = 2,000x + 0,010 ");
    // The pen width stays as the diagram left it.
    EXPECT_EQ(d.items, DrawList({line({50, 288 - 20 - 1}, {52, 288 - 20 - 5}, kRed, 3), equation(d.equation)}));
}

TEST(Diagram, ParabolaColumnByColumnThenTheFitOverTime)
{
    // Y = 5 − X² at X = −2..2 from the origin (100, 100), one metre per pixel.
    const Calibration c = measuring(1, 100, 100);
    const MeasurementSeries s =
        seriesOf(c, {{98, 101, 1}, {99, 104, 2}, {100, 105, 3}, {101, 104, 4}, {102, 101, 5}});
    PenState pen;
    const EvaluationDrawing d =
        evaluationDrawing(EvaluationMode::Trendparabel, s, c, kSurface, 4, pen, TimeStepClock("40"));
    ASSERT_FALSE(d.error.has_value()) << d.error->toStdString();
    ASSERT_EQ(d.items.size(), 5u);
    EXPECT_EQ(d.items[0], line({98, 187}, {99, 184}, kBlue));
    EXPECT_EQ(d.items[1], line({99, 184}, {100, 183}, kBlue));
    EXPECT_EQ(d.items[3], line({101, 184}, {102, 187}, kBlue));
    EXPECT_TRUE(d.equation.startsWith(" y(x) = "));
    EXPECT_EQ(d.items[4], equation(d.equation));
}

TEST(Diagram, StraightDownDrawsNoCurveButTheFitOverTime)
{
    // A ball dropped straight down, 1 mm per pixel, 100 ms per frame: y = 0,5 + 0,3·t − 4,9·t²
    // with t = 0,1·k; every position is a whole millimetre, so the table keeps it exactly.
    const Calibration c = measuring(0.001, 200, 1200);
    MeasurementSeries s;
    for (int k = 0; k <= 6; ++k)
        s.record(c, {200, 1700 + 30 * k - 49 * k * k}, 20 + k, TimeStepClock("100"));
    PenState pen;
    const EvaluationDrawing d = trendParabolaDrawing(s, c, QSize(400, 1800), 2, pen, TimeStepClock("100"));
    EXPECT_FALSE(d.error.has_value());
    EXPECT_EQ(d.items, DrawList({equation(" y(x) = -4,9000x² + 0,300x + 0,500  ")}));
    EXPECT_EQ(pen, PenState());
}

TEST(Diagram, FailedFitsDrawNothingMoreAndSaySo)
{
    const Calibration c = measuring(0.01);
    PenState pen;
    // All points straight above each other: no trend line.
    const MeasurementSeries vertical = seriesOf(c, {{5, 1, 1}, {5, 2, 2}, {5, 3, 3}});
    EvaluationDrawing d = trendLineDrawing(vertical, c, kSurface, 2, pen);
    EXPECT_EQ(d.error, kTrendLineFailedText);
    EXPECT_TRUE(d.items.empty());
    EXPECT_EQ(pen, PenState());

    // Frames 10, 11, 10: the curve over X is drawn, the fit over time fails after it.
    const MeasurementSeries twoTimes = seriesOf(c, {{0, 0, 10}, {1, 1, 11}, {2, 4, 10}});
    d = trendParabolaDrawing(twoTimes, c, kSurface, 2, pen, TimeStepClock("40"));
    EXPECT_EQ(d.error, kTimeFitFailedText);
    EXPECT_EQ(d.items.size(), 2u);
    EXPECT_TRUE(d.equation.isEmpty());

    // A scale that is no positive number never reaches the drawing.
    Calibration broken = c;
    broken.Scale = 0;
    const MeasurementSeries three = seriesOf(c, {{0, 0, 10}, {1, 1, 11}, {2, 4, 12}});
    EXPECT_EQ(diagramItems(three, broken, kSurface, {}, pen).size(), 2u);  // the axes only
    EXPECT_TRUE(connectingLineItems(three, broken, kSurface, 0, pen).empty());
    EXPECT_EQ(trendParabolaDrawing(three, broken, kSurface, 0, pen, TimeStepClock("40")).error, kInvalidScaleText);
    EXPECT_TRUE(evaluationDrawing(EvaluationMode::Keine, three, c, kSurface, 0, pen, TimeStepClock("40")).items.empty());
}
