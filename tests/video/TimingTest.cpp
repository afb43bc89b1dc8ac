// The video's timing: the frame rate the container states, variable frame durations, the capture
// rate a phone names in the metadata, and each frame's own time, on generated videos and on
// constructed time stamps.

#include "player/video/AviSlots.h"
#include "player/video/FfmsFrameSource.h"
#include "player/video/FfmsVideoDevice.h"
#include "player/video/StreamProbe.h"
#include "video/Corpus.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kadro::test {
namespace {

using videogen::Format;
using videogen::Spec;

TEST(FrameDurations, VaryOnlyBeyondTheToleranceAndMoreThanOneTick)
{
    struct Case {
        const char* what;
        std::vector<int64_t> pts;
        bool avi;
        bool variable;
    };
    const Case cases[] = {
        {"even", {0, 512, 1024, 1536, 2048}, false, false},
        {"one frame 2 % longer", {0, 512, 1024, 1546, 2058}, false, true},
        {"0.8 % longer is still even", {0, 512, 1024, 1540, 2052}, false, false},
        {"millisecond stamps at 30 fps", {0, 33, 67, 100, 133, 167}, false, false},
        {"alternating by a quarter", {0, 3, 8, 11, 16, 19}, false, true},
        {"a dropped frame in an MP4", {0, 10, 20, 40, 50, 60}, false, true},
        {"AVI slots always last one step", {0, 1, 2, 4, 5, 8}, true, false},
        {"two frames cannot vary", {0, 7}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(AviSlots(c.pts, 0.001, c.avi, false).variableDurations(0.01), c.variable);
    }
    // The mean rate runs from the first frame's time to the last one's.
    EXPECT_DOUBLE_EQ(AviSlots({100, 140, 180, 220}, 0.001, false, false).meanRate(), 25.0);
    EXPECT_DOUBLE_EQ(AviSlots({0, 1, 2, 5}, 0.04, true, false).meanRate(), 25.0);
    EXPECT_EQ(AviSlots({7}, 0.04, false, false).meanRate(), 0.0);
}

// Stamps rounded to the container's precision are a constant rate: a camera's microsecond MP4
// stamps rounded to whole milliseconds (33, 34, 32 ms at 29.97 fps), Matroska's millisecond stamps
// at 25, 30, 29.97 and 60 fps. A rate that really changes stays variable at any precision.
TEST(FrameDurations, RoundedStampsOfAConstantRateAreNotVariable)
{
    for (const double rate : {25.0, 30.0, 30000.0 / 1001.0, 60.0, 24000.0 / 1001.0}) {
        SCOPED_TRACE(rate);
        std::vector<int64_t> micro, milli;
        for (int i = 0; i < 455; ++i) {
            const int64_t ms = std::llround(i * 1000.0 / rate);
            micro.push_back(ms * 1000);
            milli.push_back(ms);
        }
        EXPECT_FALSE(AviSlots(micro, 1e-6, false, false).variableDurations(0.01));
        EXPECT_FALSE(AviSlots(milli, 0.001, false, false).variableDurations(0.01));
        EXPECT_EQ(AviSlots(micro, 1e-6, false, false).stampPrecision(), 1000);
        // Truncated instead of rounded: still one rate.
        std::vector<int64_t> cut;
        for (int i = 0; i < 455; ++i)
            cut.push_back(int64_t(std::floor(i * 1000.0 / rate)) * 1000);
        EXPECT_FALSE(AviSlots(cut, 1e-6, false, false).variableDurations(0.01));
    }
    // Whole milliseconds, but the durations alternate by a quarter: variable.
    std::vector<int64_t> alternating{0};
    for (int i = 1; i < 60; ++i)
        alternating.push_back(alternating.back() + (i % 2 ? 25000 : 42000));
    EXPECT_TRUE(AviSlots(alternating, 1e-6, false, false).variableDurations(0.01));
    // One frame missing from a millisecond-rounded 30 fps MP4: variable.
    std::vector<int64_t> gap;
    for (int i = 0; i < 100; ++i)
        if (i != 50)
            gap.push_back(std::llround(i * 1000.0 / 30) * 1000);
    EXPECT_TRUE(AviSlots(gap, 1e-6, false, false).variableDurations(0.01));
    // Microsecond stamps that are not whole milliseconds keep the precision of one tick: a
    // millisecond of jitter is then a change of rate.
    std::vector<int64_t> jitter;
    for (int i = 0; i < 100; ++i)
        jitter.push_back(i * 33367 + (i % 3 == 1 ? 1001 : 0));
    EXPECT_EQ(AviSlots(jitter, 1e-6, false, false).stampPrecision(), 1);
    EXPECT_TRUE(AviSlots(jitter, 1e-6, false, false).variableDurations(0.01));
}

TEST(FrameDurations, TimingTakesTheStatedRateAndACaptureRateOnlyWhereItDiffers)
{
    const AviSlots even({0, 1000, 2000, 3000}, 0.0001, false, false); // 10 fps by the stamps
    StreamFacts facts;
    facts.statedRate = 30000.0 / 1001.0;
    EXPECT_DOUBLE_EQ(FfmsFrameSource::timingOf(facts, even).frameRate, 30000.0 / 1001.0);
    facts.statedRate = 0; // none stated: the stamps tell
    EXPECT_DOUBLE_EQ(FfmsFrameSource::timingOf(facts, even).frameRate, 10.0);
    facts.statedRate = 30;
    facts.captureRate = 30.2; // a phone's ordinary recording
    EXPECT_EQ(FfmsFrameSource::timingOf(facts, even).captureRate, 0.0);
    facts.captureRate = 240;
    EXPECT_EQ(FfmsFrameSource::timingOf(facts, even).captureRate, 240.0);
    EXPECT_FALSE(FfmsFrameSource::timingOf(facts, even).variableRate);

    EXPECT_EQ(StreamProbe::rateFromText("240.000000"), 240.0);
    EXPECT_EQ(StreamProbe::rateFromText("120"), 120.0);
    EXPECT_EQ(StreamProbe::rateFromText("fast"), 0.0);
    EXPECT_EQ(StreamProbe::rateFromText("240 fps"), 0.0);
    EXPECT_EQ(StreamProbe::rateFromText("-30"), 0.0);
    EXPECT_EQ(StreamProbe::rateFromText(nullptr), 0.0);
}

// Opens the video and checks its timing, and that each frame's time is the generator's and the
// frame shown there is the right one.
void expectTiming(const Spec& spec, double rate, bool variable, double capture)
{
    FfmsVideoDevice dev;
    EXPECT_EQ(dev.timing().frameRate, 0.0);
    EXPECT_LT(dev.frameSeconds(0), 0.0);
    dev.setFileName(videoPath(spec));
    ASSERT_NO_THROW(dev.open());
    ASSERT_EQ(dev.length(), spec.frames - 1);
    const VideoTiming t = dev.timing();
    EXPECT_NEAR(t.frameRate, rate, rate * 1e-6);
    EXPECT_EQ(t.variableRate, variable);
    EXPECT_EQ(t.captureRate, capture);
    for (int n = 0; n < spec.frames; ++n)
        ASSERT_NEAR(dev.frameSeconds(n), videogen::frameSeconds(spec, n), 1e-4) << "frame " << n;
    for (int n : {spec.frames - 1, 1, spec.frames / 2}) {
        dev.seek(n);
        EXPECT_TRUE(dev.waitForPicture());
        EXPECT_EQ(videogen::readFrameNumber(dev.currentImage()), n);
    }
    EXPECT_LT(dev.frameSeconds(-1), 0.0);
    EXPECT_LT(dev.frameSeconds(spec.frames), 0.0);
    dev.close();
    EXPECT_EQ(dev.timing().frameRate, 0.0);
    EXPECT_LT(dev.frameSeconds(0), 0.0);
}

TEST(VideoTiming, ConstantRatesOfMp4)
{
    for (const auto& [num, den] : {std::pair{25, 1}, {30, 1}, {60, 1}, {30000, 1001}}) {
        SCOPED_TRACE(num / den);
        expectTiming(videogen::h264Mp4AtRate(num, den, 40), double(num) / den, false, 0);
    }
}

TEST(VideoTiming, MatroskaMillisecondStampsAreAConstantRate)
{
    for (const auto& [num, den] : {std::pair{25, 1}, {30, 1}, {30000, 1001}, {60, 1}}) {
        SCOPED_TRACE(double(num) / den);
        Spec spec = videogen::h264Mp4AtRate(num, den, 60);
        spec.format = Format::H264OpenGopMkv;
        FfmsVideoDevice dev;
        dev.setFileName(videoPath(spec));
        ASSERT_NO_THROW(dev.open());
        EXPECT_EQ(dev.source()->containerName(), QStringLiteral("matroska,webm"));
        const VideoTiming t = dev.timing();
        EXPECT_NEAR(t.frameRate, double(num) / den, 0.01);
        EXPECT_FALSE(t.variableRate);
        // Each frame's own stamp is within the millisecond it was rounded to.
        for (int n = 0; n < spec.frames; ++n)
            ASSERT_NEAR(dev.frameSeconds(n), videogen::frameSeconds(spec, n), 0.0011) << "frame " << n;
    }
}

TEST(VideoTiming, VariableFrameDurationsGiveEachFrameItsOwnTime)
{
    const Spec spec = videogen::variableRateMp4(40);
    // The generator's stamps themselves: 3/4 and 5/4 of a thirtieth of a second.
    EXPECT_NEAR(videogen::frameSeconds(spec, 1), 0.025, 1e-12);
    EXPECT_NEAR(videogen::frameSeconds(spec, 2), 2.0 / 30, 1e-12);
    expectTiming(spec, 30, true, 0);
}

TEST(VideoTiming, SlowMotionNamesItsCaptureRate)
{
    const Spec spec = videogen::slowMotionMp4(240, 30, 40);
    expectTiming(spec, 30, false, 240);
    // The same video at its recording rate names none.
    Spec same = videogen::slowMotionMp4(30, 30, 40);
    expectTiming(same, 30, false, 0);
}

TEST(VideoTiming, AviFramesLastOneSlotEachAlsoWhereSlotsAreEmpty)
{
    const Spec spec = corpusVideo("DroppedSlotsAvi").spec;
    FfmsVideoDevice dev;
    dev.setFileName(videoPath(spec));
    ASSERT_NO_THROW(dev.open());
    const VideoTiming t = dev.timing();
    EXPECT_EQ(t.frameRate, spec.fps);
    EXPECT_FALSE(t.variableRate);
    EXPECT_EQ(t.captureRate, 0.0);
    for (int n = 0; n <= dev.length(); ++n)
        ASSERT_NEAR(dev.frameSeconds(n), double(n) / spec.fps, 1e-9) << "slot " << n;
}

} // namespace
} // namespace kadro::test
