// Seeking settled by the structure of the stream: only IDR keyframes without leading pictures in
// MP4 / Matroska qualify, and wherever the structure settles it the decoding check agrees.

#include "player/video/FfmsFrameSource.h"
#include "player/video/StreamProbe.h"
#include "video/Corpus.h"

#include <gtest/gtest.h>

#include <set>

namespace kadro::test {
namespace {

std::vector<uint8_t> lengthPrefixed(const std::vector<std::vector<uint8_t>>& nals, int lengthSize)
{
    std::vector<uint8_t> out;
    for (const auto& nal : nals) {
        for (int k = lengthSize - 1; k >= 0; --k)
            out.push_back(uint8_t(nal.size() >> (8 * k)));
        out.insert(out.end(), nal.begin(), nal.end());
    }
    return out;
}

std::vector<uint8_t> annexB(const std::vector<std::vector<uint8_t>>& nals)
{
    std::vector<uint8_t> out;
    for (const auto& nal : nals) {
        out.insert(out.end(), {0, 0, 0, 1});
        out.insert(out.end(), nal.begin(), nal.end());
    }
    return out;
}

TEST(StreamStructure, RecognisesIdrAccessUnits)
{
    const std::vector<uint8_t> sps{0x67, 0x42}, pps{0x68, 0xce}, idr{0x65, 0x88, 0x84}, slice{0x41, 0x9a};
    auto h264 = [](const std::vector<uint8_t>& au, int ls) { return StreamProbe::isIdrH264(au.data(), int(au.size()), ls); };
    for (int ls : {4, 2, 1}) {
        SCOPED_TRACE(ls);
        EXPECT_TRUE(h264(lengthPrefixed({sps, pps, idr}, ls), ls));
        EXPECT_FALSE(h264(lengthPrefixed({slice}, ls), ls));
        EXPECT_FALSE(h264(lengthPrefixed({idr, slice}, ls), ls)); // another picture in it
        EXPECT_FALSE(h264(lengthPrefixed({sps, pps}, ls), ls));
    }
    EXPECT_TRUE(h264(annexB({sps, pps, idr}), 0));
    EXPECT_FALSE(h264(annexB({slice}), 0));
    // A length running past the end is damage: nothing is believed after it.
    std::vector<uint8_t> cut = lengthPrefixed({idr}, 4);
    cut[3] = 40;
    EXPECT_FALSE(h264(cut, 4));

    auto hevcNal = [](int type) { return std::vector<uint8_t>{uint8_t(type << 1), 1, 0xaf}; };
    auto hevc = [](const std::vector<uint8_t>& au) { return StreamProbe::isIdrHevc(au.data(), int(au.size()), 4); };
    EXPECT_TRUE(hevc(lengthPrefixed({hevcNal(32), hevcNal(33), hevcNal(34), hevcNal(19)}, 4)));
    EXPECT_TRUE(hevc(lengthPrefixed({hevcNal(20)}, 4)));
    EXPECT_FALSE(hevc(lengthPrefixed({hevcNal(21)}, 4))); // CRA: open GOP
    EXPECT_FALSE(hevc(lengthPrefixed({hevcNal(19), hevcNal(8)}, 4))); // with a leading picture
    EXPECT_FALSE(hevc(lengthPrefixed({hevcNal(1)}, 4)));

    const uint8_t avcC[] = {1, 0x64, 0, 0x1f, 0xff, 0xe1, 0};
    EXPECT_EQ(StreamProbe::lengthSizeH264(avcC, int(sizeof avcC)), 4);
    EXPECT_EQ(StreamProbe::lengthSizeH264(avcC, 3), 0);
}

// Wherever the structure settles the seeking, comparing seeks with a linear decode must find
// seeking right too; and the files whose seeking is wrong are never settled so.
TEST(StreamStructure, SettlesOnlyWhereTheDecodingCheckAgrees)
{
    const std::set<std::string> settled = {"H264Mp4", "H264Mp4_1080p"};
    for (const CorpusVideo& video : corpus()) {
        SCOPED_TRACE(video.name);
        const QString path = videoPath(video.spec);
        FfmsFrameSource::Options byStructure;
        byStructure.useIndexCache = false;
        const FfmsFrameSource quick(path, byStructure);
        EXPECT_EQ(quick.verdictFromStructure(), settled.count(video.name) == 1) << quick.seekCheck().reason.toStdString();
        FfmsFrameSource::Options byDecoding = byStructure;
        byDecoding.useStructure = false;
        const FfmsFrameSource checked(path, byDecoding);
        EXPECT_FALSE(checked.verdictFromStructure());
        if (quick.verdictFromStructure()) {
            EXPECT_FALSE(quick.decodesLinearly());
            EXPECT_FALSE(checked.decodesLinearly()) << checked.seekCheck().reason.toStdString();
            // The structure leaves nothing else to learn about the picture.
            EXPECT_EQ(quick.frameSize(), checked.frameSize());
            EXPECT_EQ(quick.pixelAspect(), checked.pixelAspect());
            EXPECT_EQ(quick.frameCount(), checked.frameCount());
        }
    }
    // Phone-style files: variable durations and a capture rate change nothing in the structure.
    for (const videogen::Spec& spec : {videogen::variableRateMp4(90), videogen::slowMotionMp4(240, 30, 90)}) {
        FfmsFrameSource::Options o;
        o.useIndexCache = false;
        EXPECT_TRUE(FfmsFrameSource(videoPath(spec), o).verdictFromStructure());
    }
}

// The packets' picture types tell B-frames as decoding the start of the file does, wherever they
// tell anything; every AVI of the corpus is told so (its frame numbers depend on it).
TEST(StreamStructure, PacketsTellBFramesAsDecodingDoes)
{
    for (const CorpusVideo& video : corpus()) {
        SCOPED_TRACE(video.name);
        FfmsFrameSource::Options o;
        o.useIndexCache = false;
        o.useStructure = false;
        const FfmsFrameSource decoded(videoPath(video.spec), o);
        const StreamProbe::Reordering told = StreamProbe::reordering(decoded.decodedPath(), decoded.videoTrack(), 400);
        if (decoded.containerName() == QLatin1String("avi")) {
            ASSERT_NE(told, StreamProbe::Reordering::Unknown);
        }
        if (told != StreamProbe::Reordering::Unknown) {
            EXPECT_EQ(told == StreamProbe::Reordering::Yes, decoded.sawBFrames());
        }
    }
    EXPECT_EQ(StreamProbe::reordering(QStringLiteral("/no/such/file.avi"), 0, 400), StreamProbe::Reordering::Unknown);
}

} // namespace
} // namespace kadro::test
