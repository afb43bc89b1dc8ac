// Seeking by the pictures' own time stamps, where FFMS2's seeking lands wrong (HEVC's open GOPs).

#include "video/Corpus.h"

#include "player/video/FfmsFrameSource.h"
#include "player/video/OpenProgress.h"
#include "player/video/PtsDecoder.h"
#include "player/video/VideoIndex.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace kadro::test {
namespace {

// Every picture asked for in the order that makes FFMS2 land wrong (backward jumps onto each
// keyframe, the picture before it and the last pictures of each interval, which an open GOP
// decodes only after the next keyframe) and in a random order comes out as the one asked for.
TEST(PtsDecoder, EveryPictureAskedForIsTheOneWhateverTheOrder)
{
    for (const std::string name : {"HevcMp4", "H264OpenGopMkv", "H264Mp4", "Vp9Webm"}) {
        SCOPED_TRACE(name);
        const QString path = videoPath(corpusVideo(name).spec);
        const std::vector<int> ref = referenceNumbers(path);
        ProgressPhases progress(nullptr);
        VideoIndex::Options options;
        options.useCache = false;
        const VideoIndex index(path, options, progress);
        ASSERT_TRUE(PtsDecoder::suits(index.container(), index.pts()));
        ASSERT_EQ(index.codedCount(), int(ref.size()));
        PtsDecoder decoder(path, index.videoTrack(), std::make_shared<const std::vector<int64_t>>(index.pts()),
                           DecodeModel(index.codedCount(), index.keyframes(), false));
        decoder.setOutputSize(QSize(160, 120));

        std::vector<int> requests;
        const std::vector<int>& keys = index.keyframes();
        for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
            for (int d : {1, 0, -1, -2, -3}) {
                if (*k + d >= 0 && *k + d < index.codedCount())
                    requests.push_back(*k + d);
            }
        }
        std::mt19937 rng(5);
        std::uniform_int_distribution<int> any(0, index.codedCount() - 1);
        for (int i = 0; i < 40; ++i)
            requests.push_back(any(rng));
        for (int c = 0; c < index.codedCount(); ++c)
            requests.push_back(c); // and on through the whole video
        for (int c : requests) {
            const QImage picture = decoder.picture(c);
            ASSERT_EQ(picture.size(), QSize(160, 120));
            ASSERT_EQ(decoder.position(), c);
            ASSERT_EQ(videogen::readFrameNumber(picture), ref[std::size_t(c)]) << "picture " << c;
        }
        EXPECT_THROW(decoder.picture(index.codedCount()), VideoDeviceError);
    }
    // Containers without a time stamp on every picture are not decoded so.
    EXPECT_FALSE(PtsDecoder::suits(QStringLiteral("avi"), {0, 1, 2}));
    EXPECT_FALSE(PtsDecoder::suits(QStringLiteral("mpeg"), {0, 1, 2}));
    EXPECT_FALSE(PtsDecoder::suits(QStringLiteral("mov,mp4,m4a,3gp,3g2,mj2"), {0, 2, 2, 3}));
    EXPECT_TRUE(PtsDecoder::suits(QStringLiteral("matroska,webm"), {0, 40, 80}));
}

// The seek check finds FFMS2's seeking wrong on HEVC's open GOPs and seeking by time stamps
// right: such a file is decoded so, not linearly.
TEST(PtsDecoder, TheSeekCheckChoosesTimeStampsWhereFfms2LandsWrong)
{
    {
        FfmsFrameSource::Options options;
        options.useIndexCache = false;
        const FfmsFrameSource source(videoPath(corpusVideo("HevcMp4").spec), options);
        EXPECT_FALSE(source.decodesLinearly()) << source.seekCheck().reason.toStdString();
        EXPECT_TRUE(source.seeksByTimeStamps()) << source.seekCheck().reason.toStdString();
        EXPECT_GT(source.seekCheck().mismatches, 0) << "FFMS2's own seeking was right after all";
    }
    // Where FFMS2 is right, it stays FFMS2; MPEG program streams have no time stamp on every picture.
    for (const std::string name : {"H264OpenGopMkv", "Vp9Webm", "Mpeg2Ps"}) {
        SCOPED_TRACE(name);
        FfmsFrameSource::Options options;
        options.useIndexCache = false;
        const FfmsFrameSource source(videoPath(corpusVideo(name).spec), options);
        EXPECT_FALSE(source.seeksByTimeStamps()) << source.seekCheck().reason.toStdString();
    }
}

} // namespace
} // namespace kadro::test
