// The device's contract, run against the real device (on the system clock, as in a headless run)
// and against the scripted test double, which other tests use in its place.

#include "video/Corpus.h"
#include "support/TestFiles.h"

#include "support/FakeVideoDevice.h"
#include "player/video/FfmsFrameSource.h"
#include "player/video/FfmsVideoDevice.h"
#include "player/view/PictureSurface.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <memory>
#include <vector>

namespace kadro::test {
namespace {

// A 60-frame (2.4 s) video on the real device, or the double with length 59.
class Rig {
public:
    virtual ~Rig() = default;
    virtual VideoDevice& dev() = 0;
    // Lets playback run until it stops by itself; false if it does not within a few seconds.
    virtual bool runUntilStopped() = 0;
    // Lets a playing device move on a little.
    virtual void runSome() = 0;
    // The number the shown picture carries (the position itself for the double).
    virtual int shown() = 0;
};

class RealRig : public Rig {
public:
    RealRig()
    {
        videogen::Spec spec;
        spec.format = videogen::Format::MjpegAvi;
        spec.frames = 60;
        spec.audio = true;
        surface_.resize(320, 240);
        surface_.attachTo(dev_);
        dev_.setFileName(videoPath(spec));
        dev_.open();
        dev_.setTimeFormatFrames();
        dev_.setFrames(1);
    }
    VideoDevice& dev() override { return dev_; }
    bool runUntilStopped() override
    {
        return waitUntil([&] { return !dev_.isPlaying(); }, 6000);
    }
    void runSome() override { waitUntil([] { return false; }, 200); }
    int shown() override { return videogen::readFrameNumber(surface_.renderedPicture()); }

private:
    PictureSurface surface_;
    FfmsVideoDevice dev_;
};

class FakeRig : public Rig {
public:
    FakeRig()
    {
        dev_.setLength(59);
        dev_.setFileName(QStringLiteral("C:\\Videos\\fall.avi"));
        dev_.open();
    }
    VideoDevice& dev() override { return dev_; }
    bool runUntilStopped() override
    {
        for (int i = 0; i < 1000 && dev_.isPlaying(); ++i)
            dev_.advance(1);
        return !dev_.isPlaying();
    }
    void runSome() override { dev_.advance(3); }
    int shown() override { return dev_.position(); }

private:
    FakeVideoDevice dev_;
};

template <typename R>
class DeviceContract : public ::testing::Test {
protected:
    R rig;
};
using Rigs = ::testing::Types<RealRig, FakeRig>;
TYPED_TEST_SUITE(DeviceContract, Rigs);

TYPED_TEST(DeviceContract, PlayStopsByItselfExactlyAtTheEndPoint)
{
    VideoDevice& d = this->rig.dev();
    int finished = 0;
    std::vector<int> shownFrames;
    QObject::connect(&d, &VideoDevice::playFinished, [&] { ++finished; });
    QObject::connect(&d, &VideoDevice::frameShown, [&](int f) { shownFrames.push_back(f); });
    d.seek(10);
    EXPECT_TRUE(d.waitForPicture());
    d.setEndPos(25);
    EXPECT_EQ(d.endPos(), 25);
    d.play();
    EXPECT_TRUE(d.isPlaying());
    EXPECT_EQ(d.endPos(), -1) << "the end point belongs to this play only";
    ASSERT_TRUE(this->rig.runUntilStopped());
    EXPECT_EQ(d.position(), 25);
    EXPECT_EQ(this->rig.shown(), 25);
    EXPECT_EQ(finished, 1);
    // Frames were shown in increasing order from the seek on, ending with the end point.
    ASSERT_GE(shownFrames.size(), 2u);
    EXPECT_EQ(shownFrames.front(), 10);
    for (std::size_t i = 1; i < shownFrames.size(); ++i)
        EXPECT_GT(shownFrames[i], shownFrames[i - 1]);
    EXPECT_EQ(shownFrames.back(), 25);
}

TYPED_TEST(DeviceContract, PlayAfterASeekWithoutNewEndPointRunsToTheEnd)
{
    VideoDevice& d = this->rig.dev();
    d.seek(30);
    EXPECT_TRUE(d.waitForPicture());
    d.setEndPos(35);
    d.play();
    ASSERT_TRUE(this->rig.runUntilStopped());
    ASSERT_EQ(d.position(), 35);
    d.seek(50);
    EXPECT_TRUE(d.waitForPicture());
    d.play();
    ASSERT_TRUE(this->rig.runUntilStopped());
    EXPECT_EQ(d.position(), d.length());
    EXPECT_EQ(this->rig.shown(), d.length());
    // At the end, play does nothing.
    d.play();
    EXPECT_FALSE(d.isPlaying());
    EXPECT_EQ(d.position(), d.length());
}

TYPED_TEST(DeviceContract, StepAndBackNeverChangeTheEndPoint)
{
    VideoDevice& d = this->rig.dev();
    d.seek(30);
    EXPECT_TRUE(d.waitForPicture());
    d.setEndPos(40);
    d.step();
    EXPECT_TRUE(d.waitForPicture());
    d.step();
    EXPECT_TRUE(d.waitForPicture());
    d.back();
    EXPECT_TRUE(d.waitForPicture());
    EXPECT_EQ(d.position(), 31);
    EXPECT_EQ(d.endPos(), 40);
    d.seek(33);
    EXPECT_TRUE(d.waitForPicture()); // a seek keeps it as well
    EXPECT_EQ(d.endPos(), 40);
    d.play();
    ASSERT_TRUE(this->rig.runUntilStopped());
    EXPECT_EQ(d.position(), 40);
    EXPECT_EQ(this->rig.shown(), 40);
}

TYPED_TEST(DeviceContract, PauseTogglesAndStopKeepsThePosition)
{
    VideoDevice& d = this->rig.dev();
    d.seek(0);
    EXPECT_TRUE(d.waitForPicture());
    d.pause(); // stopped: no effect
    EXPECT_FALSE(d.isPlaying());
    EXPECT_FALSE(d.isPaused());
    d.setEndPos(55);
    d.play();
    this->rig.runSome();
    d.pause();
    EXPECT_FALSE(d.isPlaying());
    EXPECT_TRUE(d.isPaused());
    const int pausedAt = d.position();
    EXPECT_GT(pausedAt, 0);
    this->rig.runSome();
    EXPECT_EQ(d.position(), pausedAt);
    EXPECT_EQ(this->rig.shown(), pausedAt);
    d.pause();
    EXPECT_TRUE(d.isPlaying());
    this->rig.runSome();
    d.stop();
    EXPECT_FALSE(d.isPlaying());
    EXPECT_FALSE(d.isPaused());
    const int stoppedAt = d.position();
    EXPECT_GT(stoppedAt, pausedAt);
    EXPECT_LT(stoppedAt, 55);
    this->rig.runSome();
    EXPECT_EQ(d.position(), stoppedAt);
    EXPECT_EQ(this->rig.shown(), stoppedAt);
    // The paused play kept its end point.
    d.play();
    ASSERT_TRUE(this->rig.runUntilStopped());
    EXPECT_EQ(d.position(), d.length()) << "the end point was used by the earlier play";
}

TYPED_TEST(DeviceContract, SeekStepAndBackStopPlayAndClamp)
{
    VideoDevice& d = this->rig.dev();
    d.play();
    EXPECT_TRUE(d.isPlaying());
    d.seek(3);
    EXPECT_TRUE(d.waitForPicture());
    EXPECT_FALSE(d.isPlaying());
    EXPECT_EQ(d.position(), 3);
    d.setFrames(5);
    d.step();
    EXPECT_TRUE(d.waitForPicture());
    EXPECT_EQ(d.position(), 8);
    d.back();
    EXPECT_TRUE(d.waitForPicture());
    d.back();
    EXPECT_TRUE(d.waitForPicture());
    EXPECT_EQ(d.position(), 0);
    d.seek(d.length() - 2);
    EXPECT_TRUE(d.waitForPicture());
    d.step();
    EXPECT_TRUE(d.waitForPicture());
    EXPECT_EQ(d.position(), d.length());
    d.setFrames(1);
    d.seek(100000);
    EXPECT_TRUE(d.waitForPicture());
    EXPECT_EQ(d.position(), d.length());
    EXPECT_EQ(this->rig.shown(), d.length());
    d.seek(-4);
    EXPECT_TRUE(d.waitForPicture());
    EXPECT_EQ(d.position(), 0);
    EXPECT_EQ(this->rig.shown(), 0);
    d.play();
    d.step();
    EXPECT_TRUE(d.waitForPicture());
    EXPECT_FALSE(d.isPlaying());
    EXPECT_EQ(d.position(), 1);
}

// On the system clock playback keeps real time: 25 frames at 25 per second take about a second
// (never less; the upper bound only guards against a stall).
TEST(RealPlayback, FollowsTheClockAndRunsSilentlyWithoutAudioOutput)
{
    videogen::Spec spec;
    spec.format = videogen::Format::MjpegAvi;
    spec.frames = 60;
    spec.audio = true;
    FfmsVideoDevice dev;
    dev.setFileName(videoPath(spec));
    dev.open();
    ASSERT_TRUE(dev.source()->hasAudio());
    dev.seek(5);
    EXPECT_TRUE(dev.waitForPicture());
    dev.setEndPos(30);
    QElapsedTimer t;
    t.start();
    dev.play();
    ASSERT_TRUE(waitUntil([&] { return !dev.isPlaying(); }, 6000));
    const qint64 ms = t.elapsed();
    EXPECT_GE(ms, 950);
    EXPECT_LE(ms, 4000);
    EXPECT_EQ(dev.position(), 30);
    EXPECT_EQ(videogen::readFrameNumber(dev.currentImage()), 30);
}

// Non-square pixels widen (or narrow) the natural picture size; the frame itself stays coded size.
TEST(DisplayRect, AppliesThePixelAspectToTheWidth)
{
    videogen::Spec spec;
    spec.format = videogen::Format::H264Mp4;
    spec.frames = 10;
    spec.sarNum = 4;
    spec.sarDen = 3;
    FfmsVideoDevice dev;
    EXPECT_EQ(dev.displayRect(), QRect());
    dev.setFileName(videoPath(spec));
    dev.open();
    EXPECT_EQ(dev.displayRect(), QRect(0, 0, 427, 240));
    // Pictures come with square pixels at the size the program shows them: 427 x 240 scaled
    // down to fit 384 x 288.
    EXPECT_EQ(dev.pictureSize(), QSize(384, 216));
    EXPECT_EQ(dev.currentImage().size(), QSize(384, 216));
    spec.format = videogen::Format::MjpegAvi;
    spec.sarNum = 16;
    spec.sarDen = 15;
    dev.setFileName(videoPath(spec));
    dev.open();
    EXPECT_EQ(dev.displayRect(), QRect(0, 0, 341, 240));
    EXPECT_EQ(dev.currentImage().size(), QSize(341, 240));
}

TEST(OpenFailure, MissingAndUndecodableFilesThrowWithTheDecodersText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PictureSurface surface;
    surface.resize(320, 240);
    FfmsVideoDevice dev;
    surface.attachTo(dev);

    // A good file first, so the failure must also close it.
    videogen::Spec spec;
    spec.format = videogen::Format::MjpegAvi;
    spec.frames = 60;
    spec.audio = true;
    dev.setFileName(videoPath(spec));
    dev.open();
    ASSERT_TRUE(surface.hasFrame());

    const QString missing = dir.filePath(QStringLiteral("fehlt.avi"));
    dev.setFileName(missing);
    try {
        dev.open();
        FAIL() << "opening a missing file did not throw";
    } catch (const VideoDeviceError& e) {
        EXPECT_NE(std::string(e.what()).find("fehlt.avi"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(dev.isOpen());
    EXPECT_EQ(dev.length(), 0);
    EXPECT_FALSE(surface.hasFrame());
    EXPECT_EQ(surface.renderedPicture().pixel(10, 10), qRgb(255, 255, 255));

    const QString junk = dir.filePath(QStringLiteral("kaputt.avi"));
    writeText(junk, QByteArray(5000, 'x'));
    dev.setFileName(junk);
    try {
        dev.open();
        FAIL() << "opening an undecodable file did not throw";
    } catch (const VideoDeviceError& e) {
        EXPECT_GT(std::strlen(e.what()), 5u);
    }
    EXPECT_FALSE(dev.isOpen());

    dev.setFileName(QString());
    EXPECT_THROW(dev.open(), VideoDeviceError);
}

} // namespace
} // namespace kadro::test
