// Which time base a video gets, how it is shown, and the clocks that turn frames into seconds.
#include "common/NumberFormat.h"
#include "common/TimeBase.h"
#include "common/TimeBasePreferences.h"
#include "measure/model/MeasurementSeries.h"
#include "../measure/MeasureTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <vector>

using namespace kadro;
using Source = TimeBaseChoice::Source;

namespace {

// A video of `frames` frames whose frames carry the time stamps `stamp(n)`.
VideoTimingFacts video(double containerRate, qint64 frames, std::function<double(qint64)> stamp,
                       bool variable = false, double capture = 0)
{
    VideoTimingFacts f;
    f.frameRate = containerRate;
    f.variableRate = variable;
    f.captureRate = capture;
    f.frameCount = frames;
    f.frameSeconds = std::move(stamp);
    return f;
}

VideoTimingFacts evenVideo(double rate, qint64 frames = 300)
{
    return video(rate, frames, [rate](qint64 n) { return double(n) / rate; });
}

} // namespace

TEST(TimeBase, APlainVideoBringsItsOwnRateOnlyWhenThePreferenceSaysSo)
{
    const VideoTimingFacts thirty = evenVideo(30);
    EXPECT_EQ(chooseTimeBase(true, true, thirty, 0), (TimeBaseChoice{Source::FrameRate, 30}));
    // A presentation, or the preference off: the normal time step, as it always was.
    EXPECT_EQ(chooseTimeBase(false, true, thirty, 0), TimeBaseChoice{});
    EXPECT_EQ(chooseTimeBase(true, false, thirty, 0), TimeBaseChoice{});
    EXPECT_EQ(chooseTimeBase(true, false, thirty, 240), TimeBaseChoice{});

    const TimeBaseChoice ntsc = chooseTimeBase(true, true, evenVideo(30000.0 / 1001), 0);
    EXPECT_EQ(ntsc.source, Source::FrameRate);
    EXPECT_DOUBLE_EQ(ntsc.framesPerSecond, 30000.0 / 1001);
}

TEST(TimeBase, TheFramesTimeStampsOverruleAWrongContainerRate)
{
    // The container says 25, the frames come every 1/30 s.
    const VideoTimingFacts mislabelled = video(25, 300, [](qint64 n) { return n / 30.0; });
    const TimeBaseChoice c = chooseTimeBase(true, true, mislabelled, 0);
    EXPECT_EQ(c.source, Source::FrameRate);
    EXPECT_NEAR(c.framesPerSecond, 30, 1e-9);
    // Within 1 % the container's exact rate is kept (its stamps are rounded to the time base).
    const VideoTimingFacts rounded = video(60, 300, [](qint64 n) { return std::round(n * 1000 / 60.0) / 1000; });
    EXPECT_EQ(chooseTimeBase(true, true, rounded, 0), (TimeBaseChoice{Source::FrameRate, 60}));
    // No rate stated: the stamps tell it.
    EXPECT_NEAR(chooseTimeBase(true, true, video(0, 300, [](qint64 n) { return n / 50.0; }), 0).framesPerSecond, 50,
                1e-9);
    // Neither tells anything usable: the time step.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(chooseTimeBase(true, true, video(nan, 300, [](qint64) { return -1.0; }), 0), TimeBaseChoice{});
    EXPECT_EQ(chooseTimeBase(true, true, video(0, 1, {}), 0), TimeBaseChoice{});
    EXPECT_EQ(chooseTimeBase(true, true, video(std::numeric_limits<double>::infinity(), 300, {}), 0),
              TimeBaseChoice{});
}

TEST(TimeBase, ACaptureRateBeatsTheStoredRateAndVariableRatesUseEachFramesStamp)
{
    const VideoTimingFacts slowMotion = evenVideo(30);
    EXPECT_EQ(chooseTimeBase(true, true, slowMotion, 240), (TimeBaseChoice{Source::CaptureRate, 240}));
    EXPECT_EQ(chooseTimeBase(true, true, slowMotion, 0), (TimeBaseChoice{Source::FrameRate, 30}));

    const VideoTimingFacts vfr = video(30, 300, [](qint64 n) { return n / 30.0 + (n % 2) * 0.004; }, true);
    EXPECT_EQ(chooseTimeBase(true, true, vfr, 0).source, Source::TimeStamps);
    EXPECT_EQ(chooseTimeBase(true, true, vfr, 120).source, Source::CaptureRate);
    // Variable, but the device cannot tell the stamps: the container's rate.
    EXPECT_EQ(chooseTimeBase(true, true, video(30, 300, [](qint64) { return -1.0; }, true), 0).source,
              Source::FrameRate);
}

TEST(TimeBase, TheClocksCountFromFrameZero)
{
    auto step = [] { return QStringLiteral("40"); };
    const auto ntsc = makeClock({Source::FrameRate, 30000.0 / 1001}, step, {});
    EXPECT_NEAR(ntsc->secondsAt(30), 1.001, 1e-12);
    EXPECT_NEAR(ntsc->secondsBetween(30, 0), -1.001, 1e-12);

    // The first frame of a phone video often carries a time stamp above 0.
    const VideoTimingFacts vfr = video(30, 300, [](qint64 n) { return 0.5 + n / 30.0 + (n % 2) * 0.004; }, true);
    const auto stamps = makeClock({Source::TimeStamps, 0}, step, vfr);
    EXPECT_NEAR(stamps->secondsAt(0), 0, 1e-12);
    EXPECT_NEAR(stamps->secondsAt(3), 0.104, 1e-12);
    EXPECT_NEAR(stamps->secondsBetween(3, 4), 1 / 30.0 - 0.004, 1e-12);

    // The time step is read at each use, and fails as a time step always did.
    QString text = QStringLiteral("40");
    const auto settings = makeClock({}, [&text] { return text; }, {});
    EXPECT_DOUBLE_EQ(settings->secondsAt(30), 1.2);
    text = QStringLiteral("20");
    EXPECT_DOUBLE_EQ(settings->secondsBetween(0, 30), 0.6);
    text = QStringLiteral("x");
    EXPECT_THROW(settings->secondsBetween(0, 30), ConvertError);
}

TEST(TimeBase, TheTimeBaseIsNamedAsTheUserReadsIt)
{
    EXPECT_EQ(timeBaseText({Source::FrameRate, 30}, "40"), QStringLiteral("Zeitbasis: 30 Bilder/s"));
    EXPECT_EQ(timeBaseText({Source::FrameRate, 30000.0 / 1001}, "40"), QStringLiteral("Zeitbasis: 29,97 Bilder/s"));
    EXPECT_EQ(timeBaseText({Source::FrameRate, 24000.0 / 1001}, "40"), QStringLiteral("Zeitbasis: 23,98 Bilder/s"));
    EXPECT_EQ(timeBaseText({Source::CaptureRate, 240}, "40"), QStringLiteral("Zeitbasis: 240 Bilder/s (Aufnahme)"));
    EXPECT_EQ(timeBaseText({Source::TimeStamps, 0}, "40"),
              QStringLiteral("Zeitbasis: Zeitstempel der Bilder (variable Bildrate)"));
    EXPECT_EQ(timeBaseText({}, "40"), QStringLiteral("Zeitbasis: 40 ms je Bild"));
    EXPECT_EQ(captureRateQuestion(240, 30),
              QStringLiteral("Laut Datei wurde dieses Video mit 240 Bildern pro Sekunde aufgenommen\r(Zeitlupe) und "
                             "wird mit 30 Bildern pro Sekunde abgespielt.\rSollen die Zeiten mit 240 Bildern pro "
                             "Sekunde gemessen werden?"));
    EXPECT_EQ(captureRateQuestion(120, 0),
              QStringLiteral("Laut Datei wurde dieses Video mit 120 Bildern pro Sekunde aufgenommen\r(Zeitlupe).\r"
                             "Sollen die Zeiten mit 120 Bildern pro Sekunde gemessen werden?"));
}

TEST(TimeBase, TheTableKeepsEnoughDecimalsForAVideosOwnTime)
{
    using test::measuring;
    const Calibration c = measuring(0.01);
    auto dtOf = [&c](const FrameClock& clock, qint64 second) {
        MeasurementSeries s;
        s.record(c, {1, 1}, 10, clock);
        s.record(c, {2, 2}, second, clock);
        return s.rowCells(2)[3];
    };
    EXPECT_EQ(dtOf(RateClock(30), 11), QStringLiteral("0,03333"));
    EXPECT_EQ(dtOf(RateClock(240), 11), QStringLiteral("0,00417"));
    EXPECT_EQ(dtOf(RateClock(30000.0 / 1001), 40), QStringLiteral("1,00100"));
    // The settings' time step writes the table as it always did.
    EXPECT_EQ(dtOf(TimeStepClock("40"), 11), QStringLiteral("0,04"));
    EXPECT_EQ(dtOf(*makeClock({}, [] { return QStringLiteral("40"); }, {}), 12), QStringLiteral("0,08"));
}

TEST(TimeBase, PreferencesSurviveAndStartWithTimeFromTheVideo)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("kadro.ini"));
    {
        TimeBasePreferences p(ini);
        EXPECT_TRUE(p.fromVideo());
        EXPECT_FALSE(p.captureRate(QStringLiteral("/v/a.mp4")).has_value());
        p.setFromVideo(false);
        p.setCaptureRate(QStringLiteral("/v/a.mp4"), 240);
        p.setCaptureRate(QStringLiteral("C:\\Kurs\\b.mp4"), 0);
    }
    TimeBasePreferences again(ini);
    EXPECT_FALSE(again.fromVideo());
    EXPECT_EQ(again.captureRate(QStringLiteral("/v/a.mp4")), 240.0);
    EXPECT_EQ(again.captureRate(QStringLiteral("C:\\Kurs\\b.mp4")), 0.0);
    EXPECT_FALSE(again.captureRate(QStringLiteral("/v/c.mp4")).has_value());
}
