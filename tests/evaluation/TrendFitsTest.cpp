#include "measure/MeasureTestSupport.h"

#include "evaluation/model/GaussSolver.h"
#include "evaluation/model/TrendFits.h"

using namespace kadro;
using namespace kadro::test;

namespace {

// Frames at 30 and then 60 pictures per second, as a phone video with a variable rate has them.
class VariableRateClock : public FrameClock {
public:
    double secondsAt(qint64 frame) const override { return frame < 30 ? frame / 30.0 : 1.0 + (frame - 30) / 60.0; }
    double secondsBetween(qint64 from, qint64 to) const override { return secondsAt(to) - secondsAt(from); }
};

} // namespace

TEST(TrendFits, LineThroughTwoXPlusOne)
{
    // Pixels (0, 1), (1, 3), (2, 5) at 1 cm per pixel.
    const MeasurementSeries s = seriesOf(measuring(0.01), {{0, 1, 1}, {1, 3, 2}, {2, 5, 3}});
    const LineFit fit = fitTrendLine(fitPoints(s, 0.01));
    EXPECT_NEAR(double(fit.b), 2.0, 1e-12);
    EXPECT_NEAR(double(fit.a), 1.0, 1e-12);
    EXPECT_EQ(fit.xMin, 0);
    EXPECT_EQ(fit.xMax, 2);
    EXPECT_EQ(trendLineText(fit, 0.01), " y = 2,000x + 0,010 ");
}

TEST(TrendFits, LineTextSigns)
{
    EXPECT_EQ(trendLineText({-1, 2, 0, 0}, 0.01), " y = 2,000x - 0,010 ");
    EXPECT_EQ(trendLineText({0, 2, 0, 0}, 0.01), " y = 2,000x - 0,000 ");
    EXPECT_EQ(trendLineText({250, -0.5L, 0, 0}, 0.01), " y = -0,500x + 2,500 ");
}

TEST(TrendFits, LineNeedsTwoDifferentX)
{
    // Straight down: the last pivot is zero (or noise); no line of nonsense.
    try {
        fitTrendLine({{3, 1}, {3, 5}, {3, 9}});
        FAIL() << "a vertical set of points has no trend line";
    } catch (const FitError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), kTrendLineFailedText);
    }
    // No point at all: the solver's own failure.
    EXPECT_THROW(fitTrendLine({}), MathError);
}

TEST(TrendFits, ParabolaFiveMinusXSquared)
{
    std::vector<FitPoint> points;
    for (int x = -2; x <= 3; ++x)
        points.push_back({double(x), 5.0 - x * x});
    const std::optional<ParabolaFit> fit = fitTrendParabola(points);
    ASSERT_TRUE(fit.has_value());
    EXPECT_NEAR(double(fit->a), 5.0, 1e-12);
    EXPECT_NEAR(double(fit->b), 0.0, 1e-12);
    EXPECT_NEAR(double(fit->c), -1.0, 1e-12);
    EXPECT_EQ(fit->xMin, -2);
    EXPECT_EQ(fit->xMax, 3);
    EXPECT_EQ(parabolaValue(*fit, 1), 4.0);
    // Fewer than three different X: no curve, and that is no failure.
    EXPECT_FALSE(fitTrendParabola({{1, 1}, {1, 2}, {2, 3}, {2, 4}}).has_value());
}

TEST(TrendFits, RangeRoundsTiesToEven)
{
    const LineFit fit = fitTrendLine({{0.5, 1}, {2.5, 2}, {1.5, 3}});
    EXPECT_EQ(fit.xMin, 0);
    EXPECT_EQ(fit.xMax, 2);
}

TEST(TrendFits, TimesSinceTheFirstPoint)
{
    const MeasurementSeries s = seriesOf(measuring(0.01), {{0, 0, 10}, {1, 1, 11}, {2, 4, 12}});
    const TimeFit fit = fitOverTime(s, 0.01, TimeStepClock("40"));
    ASSERT_EQ(fit.times.size(), 3u);
    EXPECT_EQ(fit.times[0], 0.0);
    EXPECT_NEAR(fit.times[1], 0.04, 1e-15);
    EXPECT_NEAR(fit.times[2], 0.08, 1e-15);

    // Times from the video itself, when it has them.
    const MeasurementSeries v = seriesOf(measuring(0.01), {{0, 0, 27}, {1, 1, 30}, {2, 4, 36}});
    const TimeFit variable = fitOverTime(v, 0.01, VariableRateClock());
    EXPECT_NEAR(variable.times[1], 0.1, 1e-12);
    EXPECT_NEAR(variable.times[2], 0.2, 1e-12);
}

TEST(TrendFits, TimeFitTextFormat)
{
    TimeFit fit;
    fit.a = -30;
    fit.b = 120;
    fit.c = -490.5L;
    EXPECT_EQ(timeFitText(fit, 0.01), " y(x) = -4,9050x² + 1,200x - 0,300  ");
    fit.a = 0;
    fit.b = -12.34567L;
    EXPECT_EQ(timeFitText(fit, 0.01), " y(x) = -4,9050x² - 0,123x - 0,000  ");
}

TEST(TrendFits, TimeFitNeedsThreeDifferentFrames)
{
    const Calibration c = measuring(0.01);
    // Frames 10, 11, 10: enough for the menu, not for a parabola over time.
    try {
        fitOverTime(seriesOf(c, {{0, 0, 10}, {1, 1, 11}, {2, 4, 10}}), 0.01, TimeStepClock("40"));
        FAIL() << "two different times cannot give a parabola";
    } catch (const FitError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), kTimeFitFailedText);
    }
    // One frame only: the solver finds a zero column.
    try {
        fitOverTime(seriesOf(c, {{0, 0, 10}, {1, 1, 10}, {2, 4, 10}}), 0.01, TimeStepClock("40"));
        FAIL() << "one time cannot give a parabola";
    } catch (const MathError& e) {
        EXPECT_STREQ(e.what(), "System insolvable");
    }
}

TEST(TrendFits, ScaleThatIsNoPositiveNumberIsRefused)
{
    const MeasurementSeries s = seriesOf(measuring(0.01), {{0, 0, 10}, {1, 1, 11}, {2, 4, 12}});
    for (double scale : {0.0, -0.01, std::nan(""), 1e-300}) {
        EXPECT_THROW(fitPoints(s, scale), FitError) << scale;
        EXPECT_THROW(fitOverTime(s, scale, TimeStepClock("40")), FitError) << scale;
    }
}
