// The frame server's planning on a decoder double that counts its work: how much is decoded for
// back steps and slider drags, what the cache bound pays for, and failing pictures.

#include "video/FakeDecoder.h"

#include "player/video/FrameServer.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <string>

namespace kadro::test {
namespace {

using Move = FrameServer::Move;

const QSize kPicture(16, 12);
constexpr std::size_t kPictureBytes = 16 * 12 * 4;

// 1000 pictures with a keyframe every 250, as a phone or camera video has them.
constexpr int kPictures = 1000;
constexpr int kInterval = 250;

std::vector<int> minus(const std::vector<int>& after, const std::vector<int>& before)
{
    std::vector<int> d(after.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        d[i] = after[i] - before[i];
    return d;
}

// After a jump into the middle of an interval, stepping back through it to its keyframe decodes
// each of its pictures once, whether the user steps quickly (the steps overtake the background)
// or waits at every picture; all steps but the first are served from the cache. FFMS2 alone would
// decode from the keyframe again at every step.
TEST(FramePlanning, BackStepsThroughAKeyframeIntervalDecodeItOnce)
{
    for (const bool waitAtEachStep : {false, true}) {
        SCOPED_TRACE(waitAtEachStep ? "waiting at each step" : "quick steps");
        FakeVideo video(kPictures, kInterval);
        FrameServer server(video, kPicture, 1000 * kPictureBytes);
        const int key = 250;
        const int top = 490;

        video.closeGateAfter(1); // nothing but the jump before the count below
        ASSERT_EQ(FakeVideo::numberOf(server.picture(top, Move::Jump)), top);
        const FakeVideo::Work atJump = video.work();
        video.openGate();
        EXPECT_EQ(std::accumulate(atJump.decoded.begin(), atJump.decoded.end(), 0), top - key + 1)
            << "a jump decodes from the keyframe up to the picture, as FFMS2 does";

        const FrameServer::Stats before = server.stats();
        for (int p = top - 1; p >= key; --p) {
            ASSERT_EQ(FakeVideo::numberOf(server.picture(p, Move::Back)), p);
            if (waitAtEachStep) {
                ASSERT_TRUE(server.waitIdle(5000));
            }
        }
        ASSERT_TRUE(server.waitIdle(5000));
        const FrameServer::Stats after = server.stats();
        EXPECT_EQ(after.requests - before.requests, top - key);
        EXPECT_GE(after.hits - before.hits, top - key - 1) << "back steps inside the interval were misses";

        const std::vector<int> work = minus(video.work().decoded, atJump.decoded);
        for (int c = key; c < top; ++c)
            ASSERT_EQ(work[std::size_t(c)], 1) << "picture " << c << " of the interval";
        // Nothing else is decoded twice either (the interval before is prefetched once, the
        // pictures after the jump are read ahead once).
        for (int c = 0; c < kPictures; ++c)
            ASSERT_LE(work[std::size_t(c)], 1) << "picture " << c;
        int ffmsAlone = 0;
        for (int p = top - 1; p >= key; --p)
            ffmsAlone += video.decodeModel().picturesDecoded(p + 1, p);
        const int total = std::accumulate(work.begin(), work.end(), 0);
        EXPECT_LT(total, 2 * kInterval);
        EXPECT_GT(ffmsAlone, 50 * total);
    }
}

// The first back step into the interval before, while nothing of it is decoded: the asked
// picture comes from a seek of its own on the front decoder (as FFMS2 alone decodes it, without
// waiting for every picture before it to be kept), and the second decoder then fills the interval
// up to it, each picture once; the steps after it are served from that fill.
TEST(FramePlanning, TheFirstStepIntoTheIntervalBeforeSeeksAndItsIntervalFillsAfter)
{
    FakeVideo video(kPictures, kInterval);
    FrameServer server(video, kPicture, 1000 * kPictureBytes);
    const int key = 500;
    const int before = key - kInterval;
    ASSERT_EQ(FakeVideo::numberOf(server.picture(key + 20, Move::Jump)), key + 20);
    ASSERT_TRUE(server.waitIdle(5000));

    // Back to the keyframe through the cache; the gate holds the decoders meanwhile, so nothing of
    // the interval before is there yet.
    video.closeGate();
    for (int p = key + 19; p >= key; --p)
        ASSERT_EQ(FakeVideo::numberOf(server.picture(p, Move::Back)), p);
    const std::size_t deliveredBefore = video.work().delivered.size();
    FrameServer::Answer answer = server.pictureWithin(key - 1, Move::Back, 0);
    ASSERT_EQ(answer.state, FrameServer::Answer::Pending);
    video.openGate();
    for (int i = 0; i < 500 && answer.state == FrameServer::Answer::Pending; ++i) {
        server.waitIdle(10);
        answer = server.poll(answer.ticket);
    }
    ASSERT_EQ(answer.state, FrameServer::Answer::Ready);
    EXPECT_EQ(FakeVideo::numberOf(answer.image), key - 1);
    ASSERT_TRUE(server.waitIdle(5000));

    const FakeVideo::Work work = video.work();
    std::map<int, std::vector<int>> deliveredBy; // picture -> decoders that delivered it
    for (std::size_t i = deliveredBefore; i < work.delivered.size(); ++i)
        deliveredBy[work.delivered[i]].push_back(work.decoderOf[i]);
    EXPECT_EQ(deliveredBy[key - 1], std::vector<int>{0}) << "the asked picture was not decoded by itself";
    for (int c = before; c < key - 1; ++c)
        ASSERT_EQ(deliveredBy[c], std::vector<int>{1}) << "picture " << c << " of the fill";

    const FrameServer::Stats at = server.stats();
    for (int p = key - 2; p >= before; --p)
        ASSERT_EQ(FakeVideo::numberOf(server.picture(p, Move::Back)), p);
    EXPECT_EQ(server.stats().hits - at.hits, key - 1 - before);
}

// A slider dragged over 100 positions while the decoder is busy: every new position replaces the
// one before, so after the picture in work only the last position is decoded, and the background
// then works for it alone.
TEST(FramePlanning, SliderDragDecodesOnlyThePositionsStillWanted)
{
    FakeVideo video(kPictures, kInterval);
    FrameServer server(video, kPicture, 1000 * kPictureBytes);
    std::vector<int> drag;
    for (int i = 0; i < 100; ++i)
        drag.push_back(100 + i * 8); // 100 .. 892, across four intervals

    video.closeGate();
    EXPECT_TRUE(server.pictureIfReady(drag.front(), Move::Jump).isNull());
    ASSERT_EQ(video.heldAtGate(5000), drag.front()) << "the first position is not being decoded";
    for (std::size_t i = 1; i < drag.size(); ++i)
        EXPECT_TRUE(server.pictureIfReady(drag[i], Move::Jump).isNull());
    video.openGate();
    ASSERT_TRUE(server.waitIdle(5000));
    EXPECT_EQ(FakeVideo::numberOf(server.picture(drag.back(), Move::Jump)), drag.back());
    EXPECT_EQ(server.stats().hits, 1) << "the last position was not decoded by itself";

    const FakeVideo::Work work = video.work();
    ASSERT_GE(work.delivered.size(), 2u);
    EXPECT_EQ(work.delivered[0], drag.front());
    EXPECT_EQ(work.delivered[1], drag.back()) << "a position the slider had left was decoded";
    // Everything after it belongs to the last position: its interval and the few pictures after.
    const int last = drag.back();
    const int lastKey = video.decodeModel().keyframeAtOrBefore(last);
    for (std::size_t i = 2; i < work.delivered.size(); ++i) {
        const int d = work.delivered[i];
        EXPECT_TRUE(d >= lastKey && d <= last + 3) << "background work for " << d;
    }
    for (int c = 0; c < kPictures; ++c) {
        if (work.decoded[std::size_t(c)] == 0)
            continue;
        const bool firstInterval = c >= 0 && c <= drag.front();
        EXPECT_TRUE(firstInterval || c >= lastKey) << "picture " << c << " was decoded";
    }
}

// The cache's bound counts the bytes of its pictures; the second decoder, while it exists, is
// paid from the bound with the bytes its factory declares; one that would take more than half of
// the bound is never made, and the front decoder does the background work.
TEST(FramePlanning, CacheBoundPaysForPicturesAndTheSecondDecoder)
{
    const std::size_t bound = 200 * kPictureBytes;
    struct Case {
        std::size_t decoderPictures;
        bool secondDecoder;
    };
    for (const Case c : {Case{40, true}, Case{150, false}}) {
        SCOPED_TRACE("decoder of " + std::to_string(c.decoderPictures) + " pictures");
        FakeVideo video(kPictures, kInterval, c.decoderPictures * kPictureBytes);
        FrameServer server(video, kPicture, bound);
        EXPECT_EQ(server.cacheLimit(), bound);
        for (int p : {400, 620, 130, 900}) {
            ASSERT_EQ(FakeVideo::numberOf(server.picture(p, Move::Jump)), p);
            ASSERT_TRUE(server.waitIdle(5000));
            EXPECT_LE(server.cacheBytes(), server.cacheBudget());
        }
        const FrameServer::Stats stats = server.stats();
        const FakeVideo::Work work = video.work();
        if (c.secondDecoder) {
            const std::size_t cost = (c.decoderPictures + 1) * kPictureBytes; // its pictures + output
            EXPECT_EQ(stats.backDecoderBytes, cost);
            EXPECT_EQ(server.cacheBudget(), bound - cost);
            EXPECT_EQ(work.decodersMade, 2);
            EXPECT_FALSE(stats.backDecoderDropped);
        } else {
            EXPECT_TRUE(stats.backDecoderDropped);
            EXPECT_EQ(server.cacheBudget(), bound);
            EXPECT_EQ(work.decodersMade, 1);
        }
        // The pictures held are whole pictures of the output size.
        EXPECT_EQ(server.cacheBytes() % kPictureBytes, 0u);
        EXPECT_GT(server.cacheBytes(), 50 * kPictureBytes) << "the background filled nothing";
    }
}

// A picture that cannot be decoded is reported to the one who waits for it; the background skips
// it after a failure instead of trying again and again, and the pictures around it still come.
TEST(FramePlanning, FailingPicturesAreReportedAndNotRetriedForEver)
{
    FakeVideo video(kPictures, kInterval);
    video.failAt(300);
    FrameServer server(video, kPicture, 1000 * kPictureBytes);
    EXPECT_THROW(server.picture(300, Move::Jump), VideoDeviceError);
    ASSERT_EQ(FakeVideo::numberOf(server.picture(305, Move::Jump)), 305);
    ASSERT_TRUE(server.waitIdle(5000)) << "the background keeps trying the failing picture";
    // Once for the jump, at most once more by the background filling the interval.
    EXPECT_LE(video.work().attempts[300], 2);
    for (int p : {299, 301, 304})
        EXPECT_EQ(FakeVideo::numberOf(server.picture(p, Move::Back)), p);
    EXPECT_THROW(server.picture(300, Move::Back), VideoDeviceError);
    ASSERT_TRUE(server.waitIdle(5000));
    EXPECT_LE(video.work().attempts[300], 3);
}

} // namespace
} // namespace kadro::test
