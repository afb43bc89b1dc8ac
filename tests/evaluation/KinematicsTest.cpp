#include "measure/MeasureTestSupport.h"

#include "evaluation/model/Kinematics.h"

#include <cmath>
#include <random>

using namespace kadro;
using namespace kadro::test;

namespace {

// Seconds of each frame from a list (a video whose frames have their own time stamps).
StampClock stampsOf(std::vector<double> seconds)
{
    return StampClock([seconds](qint64 frame) { return seconds.at(std::size_t(frame)); });
}

// Normal deviates from the standard's fully specified engine (Box–Muller), so the trials are the
// same with every standard library.
class Noise {
public:
    explicit Noise(unsigned seed) : m_engine(seed) {}
    double next()
    {
        const double u1 = (double(m_engine()) + 0.5) / 4294967296.0;
        const double u2 = (double(m_engine()) + 0.5) / 4294967296.0;
        return std::sqrt(-2 * std::log(u1)) * std::cos(2 * M_PI * u2);
    }

private:
    std::mt19937 m_engine;
};

} // namespace

TEST(Kinematics, UniformMotionWithUnequalStepsHasExactVelocities)
{
    // x = 0,1 m + 1 m/s · t, y = 0,5 m − 2 m/s · t at 1 mm per pixel, frames with irregular times.
    const std::vector<double> seconds{0, 0.02, 0.05, 0.06, 0.10, 0.13};
    MeasurementSeries s;
    const Calibration c = measuring(0.001);
    const StampClock clock = stampsOf(seconds);
    for (int f = 0; f < 6; ++f)
        s.record(c, {int(std::lround(100 + 1000 * seconds[f])), int(std::lround(500 - 2000 * seconds[f]))}, f, clock);

    const std::vector<KinematicsRow> rows = kinematicsOf(s, clock);
    ASSERT_EQ(rows.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(rows[i].t, seconds[i], 1e-15);
        EXPECT_NEAR(rows[i].x, 0.1 + seconds[i], 1e-12);
        const bool inner = i > 0 && i < 5;
        ASSERT_EQ(rows[i].vx.has_value(), inner) << i;
        ASSERT_EQ(rows[i].v.has_value(), inner) << i;
        if (inner) {
            EXPECT_NEAR(*rows[i].vx, 1.0, 1e-9) << i;
            EXPECT_NEAR(*rows[i].vy, -2.0, 1e-9) << i;
            EXPECT_NEAR(*rows[i].v, std::sqrt(5.0), 1e-9) << i;
        }
        // The five-point parabola needs two neighbours on each side.
        ASSERT_EQ(rows[i].ay.has_value(), i >= 2 && i <= 3) << i;
        if (rows[i].ay) {
            EXPECT_NEAR(*rows[i].ax, 0.0, 1e-6);
            EXPECT_NEAR(*rows[i].ay, 0.0, 1e-6);
        }
    }
}

TEST(Kinematics, FallAtEqualStepsHasExactVelocityAndAcceleration)
{
    // y = 1 + 5·t − 12,5·t² m at 20 ms per frame: pixels 1000 + 100·k − 5·k².
    MeasurementSeries s;
    const Calibration c = measuring(0.001);
    for (int k = 0; k <= 10; ++k)
        s.record(c, {300, 1000 + 100 * k - 5 * k * k}, 10 + k, TimeStepClock("20"));
    const std::vector<KinematicsRow> rows = kinematicsOf(s, TimeStepClock("20"));
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_NEAR(rows[10].t, 0.2, 1e-12);
    for (std::size_t i = 1; i + 1 < rows.size(); ++i) {
        ASSERT_TRUE(rows[i].vy.has_value());
        EXPECT_NEAR(*rows[i].vy, 5 - 25 * rows[i].t, 1e-9) << i;
        EXPECT_NEAR(*rows[i].vx, 0.0, 1e-12);
    }
    for (std::size_t i = 2; i + 2 < rows.size(); ++i)
        EXPECT_NEAR(*rows[i].ay, -25.0, 1e-7) << i;
    EXPECT_FALSE(rows[1].ay.has_value());
    EXPECT_FALSE(rows[9].ay.has_value());
}

TEST(Kinematics, ParabolaWithUnequalStepsFollowsTheFormulas)
{
    // q = 2 − 3t + 4t²: the central difference is (q(i+1) − q(i−1)) / (t(i+1) − t(i−1))
    // = −3 + 4·(t(i+1) + t(i−1)), the five-point parabola gives 2·4 whatever the steps.
    const std::vector<double> t{0, 0.1, 0.15, 0.3, 0.32, 0.5, 0.61, 0.9};
    std::vector<double> q;
    for (double x : t)
        q.push_back(2 - 3 * x + 4 * x * x);
    const auto v = centralDifference(t, q);
    const auto a = fivePointAcceleration(t, q);
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (i == 0 || i + 1 == t.size()) {
            EXPECT_FALSE(v[i].has_value());
        } else {
            ASSERT_TRUE(v[i].has_value());
            EXPECT_NEAR(*v[i], -3 + 4 * (t[i + 1] + t[i - 1]), 1e-12) << i;
        }
        if (i < 2 || i + 2 >= t.size())
            EXPECT_FALSE(a[i].has_value());
        else
            EXPECT_NEAR(*a[i], 8.0, 1e-9) << i;
    }
}

TEST(Kinematics, DeletedAndRepeatedPointsUseTheFramesOwnTimes)
{
    // 0,1 m per frame at 40 ms per frame: 2,5 m/s; point 3 (frame 3) deleted afterwards.
    MeasurementSeries s;
    const Calibration c = measuring(0.001);
    for (int f = 1; f <= 6; ++f)
        s.record(c, {100 * f, 50}, f, TimeStepClock("40"));
    s.deletePoint(3);
    std::vector<KinematicsRow> rows = kinematicsOf(s, TimeStepClock("40"));
    ASSERT_EQ(rows.size(), 5u);
    const double expectedT[] = {0, 0.04, 0.12, 0.16, 0.2};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(rows[i].t, expectedT[i], 1e-12) << i;
    for (int i = 1; i < 4; ++i)
        EXPECT_NEAR(*rows[i].vx, 2.5, 1e-9) << i;
    EXPECT_NEAR(*rows[2].ax, 0.0, 1e-6);

    // Two clicks on frames 5 and 5 around one on frame 6: the middle point's neighbours lie on
    // the same frame, so it has no velocity (empty, not infinite).
    MeasurementSeries same;
    same.record(c, {100, 50}, 5, TimeStepClock("40"));
    same.record(c, {140, 50}, 6, TimeStepClock("40"));
    same.record(c, {110, 50}, 5, TimeStepClock("40"));
    rows = kinematicsOf(same, TimeStepClock("40"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows[1].vx.has_value());
    EXPECT_FALSE(rows[1].v.has_value());
    EXPECT_DOUBLE_EQ(rows[2].t, 0.0);
}

TEST(Kinematics, LineFitUncertaintiesAsComputedByHand)
{
    // (0, 0), (1, 1), (2, 3): b = 1,5, a = −1/6, SSE = 1/6 with one degree of freedom,
    // u(b)² = σ² / Σ(t − t̄)² = 1/12, u(a)² = σ² (1/n + t̄² / Σ(t − t̄)²) = 5/36.
    const std::optional<PolynomialFit> fit = fitPolynomial({0, 1, 2}, {0, 1, 3}, 1);
    ASSERT_TRUE(fit.has_value());
    EXPECT_NEAR(fit->c[1], 1.5, 1e-14);
    EXPECT_NEAR(fit->c[0], -1.0 / 6, 1e-14);
    ASSERT_EQ(fit->uncertainty.size(), 2u);
    EXPECT_NEAR(fit->uncertainty[1], std::sqrt(1.0 / 12), 1e-14);
    EXPECT_NEAR(fit->uncertainty[0], std::sqrt(5.0 / 36), 1e-14);
    EXPECT_NEAR(fit->rms, std::sqrt(1.0 / 18), 1e-14);
    EXPECT_EQ(fit->n, 3);
    EXPECT_NEAR(fit->value(4), -1.0 / 6 + 6, 1e-13);

    // Points exactly on a parabola: no spread, only rounding noise of the arithmetic.
    const std::optional<PolynomialFit> onCurve = fitPolynomial({0, 0.02, 0.04, 0.06}, {2, 1.98, 1.92, 1.82}, 2);
    ASSERT_TRUE(onCurve.has_value());
    EXPECT_EQ(onCurve->uncertainty, (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(onCurve->rms, 0.0);
    EXPECT_EQ(fitTexts(Quantity::Y, *onCurve).at(3), "n = 4 Punkte, RMS-Abweichung = 0 m");

    // As many points as parameters: the curve goes through them, nothing judges the spread.
    const std::optional<PolynomialFit> exact = fitPolynomial({0, 1, 3}, {1, 0, 4}, 2);
    ASSERT_TRUE(exact.has_value());
    EXPECT_TRUE(exact->uncertainty.empty());
    // Too few different times: no fit.
    EXPECT_FALSE(fitPolynomial({1, 1, 2, 2}, {0, 1, 2, 3}, 2).has_value());
    EXPECT_FALSE(fitPolynomial({1, 1}, {0, 1}, 1).has_value());
}

TEST(Kinematics, ParabolaFitFarFromZeroStaysExact)
{
    // Times around 1000 s: uncentred normal equations would lose every digit of c here.
    std::vector<double> t, q;
    for (int k = 0; k < 20; ++k) {
        t.push_back(1000 + 0.01 * k);
        q.push_back(1.5 + 0.25 * t.back() - 4.905 * t.back() * t.back());
    }
    const std::optional<PolynomialFit> fit = fitPolynomial(t, q, 2);
    ASSERT_TRUE(fit.has_value());
    EXPECT_NEAR(fit->c[2], -4.905, 1e-6);
    for (std::size_t i = 0; i < t.size(); ++i)
        EXPECT_NEAR(fit->value(t[i]), q[i], 1e-9 * std::fabs(q[i]));
}

TEST(Kinematics, UncertaintyOfGCoversTheTrueValueAsOftenAsItShould)
{
    // 200 seeded throws: 30 points at 50 fps, y = 1 m + 0,5 m/s·t − g/2·t², 3 mm of noise. The
    // interval g ± u(g) holds the true g in about 68 % of the trials (Student's t with 27
    // degrees of freedom: 67,4 %), g ± 2u(g) in about 95 %. The bands are ±2,5 binomial
    // standard deviations.
    const double g = 9.81;
    Noise noise(20240601u);
    int withinOne = 0;
    int withinTwo = 0;
    double meanG = 0;
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<double> t, y;
        for (int k = 0; k < 30; ++k) {
            t.push_back(k / 50.0);
            y.push_back(1.0 + 0.5 * t.back() - 0.5 * g * t.back() * t.back() + 0.003 * noise.next());
        }
        const std::optional<PolynomialFit> fit = fitPolynomial(t, y, 2);
        ASSERT_TRUE(fit.has_value());
        const double fittedG = -2 * fit->c[2];
        const double u = 2 * fit->uncertainty[2];
        meanG += fittedG / 200;
        if (std::fabs(fittedG - g) <= u)
            ++withinOne;
        if (std::fabs(fittedG - g) <= 2 * u)
            ++withinTwo;
    }
    RecordProperty("withinOne", withinOne);
    RecordProperty("withinTwo", withinTwo);
    EXPECT_GE(withinOne, 118);
    EXPECT_LE(withinOne, 152);
    EXPECT_GE(withinTwo, 181);
    EXPECT_LE(withinTwo, 197);
    EXPECT_NEAR(meanG, g, 0.05);
}

TEST(Kinematics, ValuesAreRoundedToTheirUncertainty)
{
    EXPECT_EQ(valueWithUncertainty(9.82637, 0.01234), "9,826 ± 0,012");
    EXPECT_EQ(valueWithUncertainty(-4.91318, 0.0061), "−4,9132 ± 0,0061");
    EXPECT_EQ(valueWithUncertainty(1234.5, 56.7), "1235 ± 57");
    EXPECT_EQ(valueWithUncertainty(12345, 567), "12350 ± 570");
    // 0,0996 rounds to 0,10: two digits from the new leading digit on.
    EXPECT_EQ(valueWithUncertainty(0.5, 0.0996), "0,50 ± 0,10");
    EXPECT_EQ(valueWithUncertainty(-0.0004, 0.012), "0,000 ± 0,012");
    EXPECT_EQ(valueWithUncertainty(3, 0), "3,000 ± 0");
    EXPECT_EQ(valueRoundedTo(0.00123, 0.014), "0,001");
    // Without an uncertainty: four significant digits, no more than four decimals.
    EXPECT_EQ(valueRoundedTo(-50, 0), "−50,00");
    EXPECT_EQ(valueRoundedTo(3e-14, 0), "0,0000");
}

TEST(Kinematics, FitTextsOfAParabolaInYAndALineInX)
{
    PolynomialFit parabola;
    parabola.degree = 2;
    parabola.c = {1.06317, 0.00123, -4.91318};
    parabola.uncertainty = {0.012, 0.014, 0.0061};
    parabola.n = 25;
    parabola.rms = 0.00213;
    EXPECT_EQ(fitTexts(Quantity::Y, parabola),
              QStringList({"y(t) = 1,063 + 0,001·t − 4,9132·t²",
                           "Parameter: 1,063 ± 0,012 m;  0,001 ± 0,014 m/s;  −4,9132 ± 0,0061 m/s²",
                           "g = 9,826 ± 0,012 m/s²", "n = 25 Punkte, RMS-Abweichung = 0,0021 m"}));

    PolynomialFit line;
    line.degree = 1;
    line.c = {-0.2049, 1.2345};
    line.uncertainty = {0.0031, 0.0123};
    line.n = 12;
    line.rms = 0.0106;
    EXPECT_EQ(fitTexts(Quantity::X, line),
              QStringList({"x(t) = −0,2049 + 1,234·t", "Parameter: −0,2049 ± 0,0031 m;  1,234 ± 0,012 m/s",
                           "v = 1,234 ± 0,012 m/s", "n = 12 Punkte, RMS-Abweichung = 0,011 m"}));
    // A line in vy gives g from its slope; a line in ay says nothing more.
    EXPECT_EQ(fitTexts(Quantity::Vy, {1, {0.1, -9.7}, {0.02, 0.13}, 10, 0.05}).at(2), "g = 9,70 ± 0,13 m/s²");
    EXPECT_EQ(fitTexts(Quantity::Ay, {1, {-9.8, 0.1}, {0.2, 1.3}, 10, 0.5}).size(), 3);
    EXPECT_EQ(fitTexts(Quantity::Y, {2, {1, 0, -4.9}, {}, 3, 0}).at(1),
              "Für die Unsicherheiten sind mehr als 3 Punkte nötig.");
}

TEST(Kinematics, ClipboardAndCsvTexts)
{
    // Frames 10 to 14 at 40 ms: x 0,1 m per frame, y = 1 m − 1,25 m/s·t − 6,25 m/s²·t².
    MeasurementSeries s;
    const Calibration c = measuring(0.001);
    for (int k = 0; k < 5; ++k)
        s.record(c, {100 + 100 * k, 1000 - 50 * k - 10 * k * k}, 10 + k, TimeStepClock("40"));
    const std::vector<KinematicsRow> rows = kinematicsOf(s, TimeStepClock("40"));
    const QString expected = QStringLiteral(
        "t [s]\tx [m]\ty [m]\tvx [m/s]\tvy [m/s]\tv [m/s]\tax [m/s²]\tay [m/s²]\n"
        "0,00\t0,100\t1,000\t\t\t\t\t\n"
        "0,04\t0,200\t0,940\t2,500\t-1,750\t3,052\t\t\n"
        "0,08\t0,300\t0,860\t2,500\t-2,250\t3,363\t0,000\t-12,500\n"
        "0,12\t0,400\t0,760\t2,500\t-2,750\t3,717\t\t\n"
        "0,16\t0,500\t0,640\t\t\t\t\t\n");
    EXPECT_EQ(kinematicsClipboardText(rows, QStringLiteral("0.00")), expected);

    QString csv = expected;
    csv.replace(QLatin1Char('\t'), QLatin1Char(';')).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    EXPECT_EQ(kinematicsCsvBytes(rows, QStringLiteral("0.00")), QByteArray("\xEF\xBB\xBF") + csv.toUtf8());
}
