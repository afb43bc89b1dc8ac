// The decode thread and its frame cache as the device uses them: pictures stay exact under any
// cache bound, the bound holds, and stepping back is served from the cache.

#include "video/Corpus.h"

#include "player/video/FfmsFrameSource.h"
#include "player/video/FfmsVideoDevice.h"
#include "player/video/FrameServer.h"
#include "player/view/PictureSurface.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kadro::test {
namespace {

int shownNumber(const FfmsVideoDevice& dev) { return videogen::readFrameNumber(dev.currentImage()); }

// A long random mix of seeks, steps, back steps and slider-like bursts under a cache bound of a
// few pictures (or less than one): every picture shown is the one named and the bound holds
// after every operation.
TEST(FrameServer, TightCacheBoundsHoldAndStayExact)
{
    const CorpusVideo& video = corpusVideo("H264Mp4"); // 250 frames, keyframe every 100, B-frames
    const QString path = videoPath(video.spec);
    ASSERT_FALSE(path.isEmpty());
    const std::size_t picture = 320u * 240u * 4u;

    for (const std::size_t bound : {picture * 24, picture * 5, picture / 2}) {
        SCOPED_TRACE("bound " + std::to_string(bound));
        FfmsVideoDevice dev;
        dev.setCacheBytes(bound);
        dev.setFileName(path);
        ASSERT_NO_THROW(dev.open());
        dev.setFrames(1);
        ASSERT_EQ(dev.server()->cacheLimit(), bound);

        std::mt19937 rng(99);
        std::uniform_int_distribution<int> anyFrame(0, dev.length());
        std::uniform_int_distribution<int> op(0, 5);
        int wrong = 0;
        std::string firstWrong;
        for (int i = 0; i < 160; ++i) {
            std::string what;
            switch (op(rng)) {
            case 0:
            case 1: {
                const int f = anyFrame(rng);
                dev.seek(f);
                EXPECT_TRUE(dev.waitForPicture());
                what = "seek " + std::to_string(f);
                break;
            }
            case 2:
                dev.step();
                EXPECT_TRUE(dev.waitForPicture());
                what = "step";
                break;
            case 3:
            case 4:
                dev.back();
                EXPECT_TRUE(dev.waitForPicture());
                what = "back";
                break;
            default: {
                // A slider drag: a run of seeks a few frames apart, in either direction.
                const int dir = anyFrame(rng) % 2 ? 1 : -1;
                // Each seek replaces the one whose picture has not come yet.
                for (int k = 0; k < 12; ++k)
                    dev.seek(dev.position() + dir * (1 + anyFrame(rng) % 6));
                EXPECT_TRUE(dev.waitForPicture());
                what = "drag";
                break;
            }
            }
            ASSERT_LE(dev.server()->cacheBytes(), bound) << what;
            if (shownNumber(dev) != dev.position() && ++wrong == 1)
                firstWrong = what + " -> " + std::to_string(dev.position()) + " shows " +
                             std::to_string(shownNumber(dev));
        }
        dev.waitForBackgroundWork(10000);
        EXPECT_LE(dev.server()->cacheBytes(), bound);
        EXPECT_EQ(wrong, 0) << "first wrong: " << firstWrong;
    }
}

// A back step into a keyframe interval leaves the whole interval up to it in the cache, so the
// following back steps need no decoding; while stepping back near the start of an interval the
// one before it is decoded ahead of time.
TEST(FrameServer, BackStepsAreServedFromTheCache)
{
    const CorpusVideo& video = corpusVideo("H264Mp4_1080p"); // 60 frames, keyframe every 25
    const QString path = videoPath(video.spec);
    ASSERT_FALSE(path.isEmpty());
    FfmsVideoDevice dev;
    dev.setFileName(path);
    ASSERT_NO_THROW(dev.open());
    ASSERT_EQ(dev.pictureSize(), QSize(384, 216));
    ASSERT_FALSE(dev.source()->decodesLinearly());
    const std::vector<int>& keys = dev.source()->keyframes();
    ASSERT_GE(keys.size(), 3u);
    const int key = keys[2]; // 50

    // Right after a jump, without waiting for the background: the first back step may have to
    // decode, the following ones must not.
    dev.seek(key + 8);
    EXPECT_TRUE(dev.waitForPicture());
    dev.back();
    EXPECT_TRUE(dev.waitForPicture());
    ASSERT_EQ(shownNumber(dev), key + 7);
    FrameServer::Stats before = dev.server()->stats();
    for (int i = 0; i < 7; ++i) {
        dev.back();
        EXPECT_TRUE(dev.waitForPicture());
        ASSERT_EQ(shownNumber(dev), dev.position());
    }
    EXPECT_EQ(dev.position(), key);
    FrameServer::Stats after = dev.server()->stats();
    EXPECT_EQ(after.requests - before.requests, 7);
    EXPECT_EQ(after.hits - before.hits, 7) << "back steps inside the decoded interval were misses";

    // Stepping back near the start of the interval: the interval before is prefetched, so the
    // steps across the keyframe are hits as well.
    dev.waitForBackgroundWork(20000);
    before = dev.server()->stats();
    for (int i = 0; i < 10; ++i) {
        dev.back();
        EXPECT_TRUE(dev.waitForPicture());
        ASSERT_EQ(shownNumber(dev), dev.position());
    }
    EXPECT_EQ(dev.position(), key - 10);
    after = dev.server()->stats();
    EXPECT_EQ(after.hits - before.hits, 10) << "the interval before the keyframe was not prefetched";

    // Forward steps after a jump are read ahead.
    dev.seek(5);
    EXPECT_TRUE(dev.waitForPicture());
    dev.waitForBackgroundWork(20000);
    before = dev.server()->stats();
    dev.step();
    EXPECT_TRUE(dev.waitForPicture());
    dev.step();
    EXPECT_TRUE(dev.waitForPicture());
    EXPECT_EQ(shownNumber(dev), 7);
    EXPECT_EQ(dev.server()->stats().hits - before.hits, 2);
}

// Pictures come at the display size (the natural size fitted into 384 x 288), whatever the
// coded size; the cache bound counts those pictures.
TEST(FrameServer, PicturesComeAtDisplaySize)
{
    FfmsVideoDevice dev;
    dev.setFileName(videoPath(corpusVideo("H264Mp4_1080p").spec));
    dev.open();
    EXPECT_EQ(dev.currentImage().size(), QSize(384, 216));
    dev.setMaxPictureSize(QSize(192, 192));
    dev.open();
    EXPECT_EQ(dev.pictureSize(), QSize(192, 108));
    EXPECT_EQ(dev.currentImage().size(), QSize(192, 108));
    dev.seek(33);
    EXPECT_TRUE(dev.waitForPicture());
    EXPECT_EQ(shownNumber(dev), 33);

    dev.setMaxPictureSize(QSize(384, 288));
    dev.setFileName(videoPath(corpusVideo("MjpegAvi").spec)); // 320 x 240 stays as it is
    dev.open();
    EXPECT_EQ(dev.currentImage().size(), QSize(320, 240));
}

} // namespace
} // namespace kadro::test
