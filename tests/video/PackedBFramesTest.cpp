// AVI files with DivX-style packed B-frames: the generated file has the layout of the classroom
// files, FFmpeg alone numbers its pictures wrongly, and the device shows every slot's own picture.

#include "video/Corpus.h"
#include "support/TestFiles.h"

#include "player/video/FfmsFrameSource.h"
#include "player/video/FfmsVideoDevice.h"
#include "player/video/OpenProgress.h"
#include "player/video/PackedBFrames.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

extern "C" {
#include <libavformat/avformat.h>
}

#include <string>
#include <vector>

namespace kadro::test {
namespace {

using videogen::Format;

const QByteArray kVop("\x00\x00\x01\xb6", 4);

struct Chunk {
    QByteArray data;
    bool key = false;
};

// The video chunks of an AVI file in file order, as FFmpeg's demuxer returns them.
std::vector<Chunk> videoChunks(const QString& path)
{
    std::vector<Chunk> out;
    AVFormatContext* fc = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (avformat_open_input(&fc, name.constData(), nullptr, nullptr) < 0)
        return out;
    AVPacket* pkt = av_packet_alloc();
    while (av_read_frame(fc, pkt) >= 0) {
        if (fc->streams[pkt->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
            out.push_back({QByteArray(reinterpret_cast<const char*>(pkt->data), pkt->size),
                           (pkt->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    avformat_close_input(&fc);
    return out;
}

// The numbers of the pictures FFmpeg's own decoder puts out for the file, in output order.
std::vector<int> ffmpegOutputs(const videogen::Spec& spec)
{
    std::vector<int> out;
    for (const QImage& picture : ffmpegPictures(videoPath(spec), QSize(spec.width, spec.height)))
        out.push_back(videogen::readFrameNumber(picture));
    return out;
}

int vopCount(const QByteArray& chunk) { return int(chunk.count(kVop)); }

// Coding type of the n-th picture in the chunk: 0 I, 1 P, 2 B.
int vopType(const QByteArray& chunk, int n)
{
    qsizetype at = -4;
    for (int i = 0; i <= n; ++i)
        at = chunk.indexOf(kVop, at + 4);
    return at < 0 ? -1 : (uchar(chunk[at + 4]) >> 6) & 3;
}

// The generated file stores each reference picture R with its b B-frames as [R B1] [B2] .. [Bb]
// [N]: one chunk per slot, 7-byte not-coded pictures in the slots the B-frames left, DivX's packed
// marker in the user data of every keyframe.
TEST(PackedBFrames, GeneratedFileHasTheLayoutDivXWrote)
{
    for (const char* name : {"PackedBAvi", "PackedB2Avi_720x528"}) {
        SCOPED_TRACE(name);
        const videogen::Spec spec = corpusVideo(name).spec;
        const int b = videogen::effectiveBFrames(spec);
        const std::vector<Chunk> chunks = videoChunks(videoPath(spec));
        ASSERT_EQ(int(chunks.size()), spec.frames) << "one chunk per slot";
        int groups = 0;
        for (std::size_t k = 1; k < chunks.size(); ++k) {
            const Chunk& c = chunks[k];
            if (c.key) {
                EXPECT_TRUE(c.data.contains("DivX503b1393p")) << "slot " << k;
            }
            if (vopCount(c.data) != 2)
                continue;
            // [R B1], then up to b - 1 chunks of one B-frame each, then a not-coded picture.
            ++groups;
            EXPECT_EQ(vopType(c.data, 1), 2) << "slot " << k;
            std::size_t next = k + 1;
            while (next < chunks.size() && chunks[next].data.size() != 7) {
                EXPECT_EQ(vopCount(chunks[next].data), 1) << "slot " << next;
                EXPECT_EQ(vopType(chunks[next].data, 0), 2) << "slot " << next;
                ++next;
            }
            ASSERT_LT(next, chunks.size()) << "no placeholder after slot " << k;
            EXPECT_LE(int(next - k), b) << "slot " << k;
            const QByteArray& n = chunks[next].data;
            EXPECT_TRUE(n.startsWith(kVop));
            EXPECT_EQ(vopType(n, 0), 1);
            // type 2, modulo 1, marker 1, time 5 (resolution 25), marker 1: vop_coded is bit 10.
            EXPECT_EQ(uchar(n[5]) & 0x20, 0) << "vop_coded of slot " << next;
        }
        EXPECT_TRUE(chunks[0].data.contains("DivX503b1393p"));
        EXPECT_GE(groups, spec.frames / (b + 1) - 2);
    }
}

// What FFmpeg alone makes of such a file: the stream header does not say that pictures come out
// reordered, so the reference after the first keyframe comes out early and again later, one
// picture more than there are slots. Numbering the outputs as frames, one per chunk (as FFMS2
// does), frame 1 shows the next frame's picture and the last slot's picture falls off the end.
TEST(PackedBFrames, FfmpegAloneNumbersThePicturesWrongly)
{
    const videogen::Spec spec = corpusVideo("PackedBAvi").spec;
    const std::vector<int> outputs = ffmpegOutputs(spec);
    ASSERT_GE(outputs.size(), 4u);
    EXPECT_EQ(outputs[0], 0);
    EXPECT_EQ(outputs[1], 2) << "the first reference after the keyframe came out in its place";
    EXPECT_EQ(outputs[2], 1);
    EXPECT_EQ(outputs[3], 2);
    const auto last = std::count(outputs.begin(), outputs.end(), spec.frames - 1);
    const auto early = std::count(outputs.begin(), outputs.end(), 2);
    EXPECT_EQ(early, 2);
    // After the last chunk FFmpeg flushes one more picture than there are slots.
    EXPECT_EQ(int(outputs.size()), spec.frames + 1);
    EXPECT_EQ(last, 1);
}

TEST(PackedBFrames, DetectedOnlyInMpeg4AviWithPackedPictures)
{
    // FFmpeg's Xvid encoder packs its B-frames in AVI as well (its user data ends in 'p').
    for (const char* name : {"PackedBAvi", "PackedB2Avi_720x528", "XvidAvi"})
        EXPECT_TRUE(PackedBFrames::detect(videoPath(corpusVideo(name).spec))) << name;
    for (const char* name : {"MjpegAvi", "DroppedSlotsAvi", "H264Mp4", "Mpeg2Ps"})
        EXPECT_FALSE(PackedBFrames::detect(videoPath(corpusVideo(name).spec))) << name;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = dir.filePath(QStringLiteral("kein.avi"));
    writeText(text, "RIFF\x10\x00\x00\x00" "AVI LIST but nothing else");
    EXPECT_FALSE(PackedBFrames::detect(text));
    EXPECT_FALSE(PackedBFrames::detect(dir.filePath(QStringLiteral("fehlt.avi"))));
}

// ---- the stream header ---------------------------------------------------------------------------

class Bits {
public:
    void put(int value, int n)
    {
        for (int k = n - 1; k >= 0; --k)
            bits_.push_back((value >> k) & 1);
    }
    // Stuffing up to the next start code: a zero, then ones to the byte boundary.
    QByteArray bytes() const
    {
        std::vector<int> b = bits_;
        b.push_back(0);
        while (b.size() % 8)
            b.push_back(1);
        QByteArray out;
        for (std::size_t i = 0; i < b.size(); i += 8) {
            int v = 0;
            for (int k = 0; k < 8; ++k)
                v = (v << 1) | b[i + std::size_t(k)];
            out += char(v);
        }
        return out;
    }

private:
    std::vector<int> bits_;
};

std::vector<int> bitsOf(const QByteArray& data)
{
    std::vector<int> out;
    for (char c : data)
        for (int k = 7; k >= 0; --k)
            out.push_back((uchar(c) >> k) & 1);
    return out;
}

// A VOL header: ASP with object layer identifier, square pixels, then the control parameters as
// given (-1: none), then the rest of a real header's fields.
QByteArray volHeader(int lowDelay)
{
    Bits b;
    b.put(0, 1);  // random_accessible_vol
    b.put(17, 8); // advanced simple
    b.put(1, 1);  // is_object_layer_identifier
    b.put(5, 4);  // verid
    b.put(1, 3);  // priority
    b.put(1, 4);  // aspect 1:1
    if (lowDelay < 0) {
        b.put(0, 1);
    } else {
        b.put(1, 1);
        b.put(1, 2);
        b.put(lowDelay, 1);
        b.put(0, 1);
    }
    b.put(0, 2);       // rectangular
    b.put(1, 1);       // marker
    b.put(25, 16);     // vop_time_increment_resolution
    b.put(1, 1);       // marker
    b.put(0, 1);       // fixed_vop_rate
    b.put(1, 1);       // marker
    b.put(720, 13);    // width
    b.put(1, 1);       // marker
    b.put(528, 13);    // height
    b.put(1, 1);       // marker
    b.put(0b0100, 4);  // interlaced, obmc_disable, sprite_enable
    return QByteArray("\x00\x00\x01\x20", 4) + b.bytes();
}

TEST(PackedBFrames, StreamHeaderIsRewrittenToDeclareReorderedPictures)
{
    const QByteArray vop = kVop + QByteArray("\x55\x66\x77", 3);
    const QByteArray declared = volHeader(0);
    // Missing control parameters are added; a low-delay claim is withdrawn; a header that already
    // declares reordering, and a chunk without a header, stay as they are.
    EXPECT_EQ(PackedBFrames::declareReordering(volHeader(-1) + vop), declared + vop);
    EXPECT_EQ(PackedBFrames::declareReordering(volHeader(1) + vop), declared + vop);
    EXPECT_EQ(PackedBFrames::declareReordering(declared + vop), declared + vop);
    EXPECT_EQ(PackedBFrames::declareReordering(vop), vop);
    // Every header of a chunk, and what lies around them, is kept.
    const QByteArray user = QByteArray("\x00\x00\x01\xb2", 4) + "DivX503b1393";
    EXPECT_EQ(PackedBFrames::declareReordering(user + volHeader(-1) + volHeader(1) + vop), user + declared + declared + vop);
    // The generated file's own header: after the rewrite its control parameters say 4:2:0 and
    // low_delay 0 (bits after the start code: 1 + 8, identifier 1 + 7, aspect 4).
    const QByteArray key = videoChunks(videoPath(corpusVideo("PackedBAvi").spec)).front().data;
    const QByteArray fixed = PackedBFrames::declareReordering(key);
    const qsizetype vol = fixed.indexOf(QByteArray("\x00\x00\x01\x20", 4));
    ASSERT_GE(vol, 0);
    const std::vector<int> bits = bitsOf(fixed.mid(vol + 4, 8));
    const std::size_t vcp = 1 + 8 + 1 + 7 + 4;
    EXPECT_EQ(bits[vcp], 1);
    EXPECT_EQ(bits[vcp + 1] * 2 + bits[vcp + 2], 1);
    EXPECT_EQ(bits[vcp + 3], 0) << "low_delay";
}

// ---- the device ----------------------------------------------------------------------------------

int shownNumber(const FfmsVideoDevice& dev) { return videogen::readFrameNumber(dev.currentImage()); }

// Slot k shows the k-th picture, as a Windows player shows it: after seeks (also to the slots of
// the not-coded placeholders and the last slot, which FFmpeg alone never puts out), steps, back
// steps across keyframes and play to an end point.
TEST(PackedBFrames, EverySlotShowsItsOwnPicture)
{
    for (const char* name : {"PackedBAvi", "PackedB2Avi_720x528"}) {
        SCOPED_TRACE(name);
        const videogen::Spec spec = corpusVideo(name).spec;
        QTemporaryDir cache;
        ASSERT_TRUE(cache.isValid());
        FfmsVideoDevice dev;
        dev.setIndexCacheDir(cache.path());
        dev.setFileName(videoPath(spec));
        ASSERT_NO_THROW(dev.open());
        ASSERT_EQ(dev.length(), spec.frames - 1);
        EXPECT_TRUE(dev.source()->unpackedPackedBFrames());
        EXPECT_DOUBLE_EQ(dev.source()->frameTime(100), 100.0 / spec.fps);
        EXPECT_EQ(shownNumber(dev), 0);

        for (int f : {1, 2, 3, 4, 5, 6, spec.frames - 1, spec.frames - 2, 49, 50, 51, 52, 7, 0}) {
            dev.seek(f);
            EXPECT_TRUE(dev.waitForPicture());
            ASSERT_EQ(shownNumber(dev), f) << "seek to " << f;
        }
        dev.seek(0);
        EXPECT_TRUE(dev.waitForPicture());
        for (int f = 1; f <= 20; ++f) {
            dev.step();
            EXPECT_TRUE(dev.waitForPicture());
            ASSERT_EQ(shownNumber(dev), f) << "step to " << f;
        }
        dev.seek(110);
        EXPECT_TRUE(dev.waitForPicture());
        for (int f = 109; f >= 90; --f) {
            dev.back();
            EXPECT_TRUE(dev.waitForPicture());
            ASSERT_EQ(shownNumber(dev), f) << "back to " << f;
        }
        dev.seek(120);
        EXPECT_TRUE(dev.waitForPicture());
        dev.setEndPos(140);
        dev.play();
        ASSERT_TRUE(waitUntil([&] { return !dev.isPlaying(); }, 5000));
        EXPECT_EQ(dev.position(), 140);
        EXPECT_EQ(shownNumber(dev), 140);
        dev.back();
        EXPECT_TRUE(dev.waitForPicture());
        EXPECT_EQ(shownNumber(dev), 139);
    }
}

// The unpacked copy is written once and used again while the file stays as it is; a changed file
// gets a new copy. Cancelling while the copy is written leaves neither a copy nor a partial file.
TEST(PackedBFrames, UnpackedCopyIsKeptAndRenewedAndCancellingLeavesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Wurf.avi"));
    ASSERT_TRUE(QFile::copy(videoPath(corpusVideo("PackedBAvi").spec), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const QString cacheDir = dir.filePath(QStringLiteral("cache"));
    const QString copies = QDir(cacheDir).filePath(QStringLiteral("unpacked"));

    // Cancelled at the first report of the copy.
    struct CancelAtOnce : OpenProgress {
        bool report(qint64, qint64) override { return ++reports < 2; }
        int reports = 0;
    } cancel;
    FfmsFrameSource::Options options;
    options.indexCacheDir = cacheDir;
    options.progress = &cancel;
    EXPECT_THROW(FfmsFrameSource(path, options), VideoOpenCancelled);
    EXPECT_TRUE(QDir(copies).entryList(QDir::Files).isEmpty()) << QDir(copies).entryList(QDir::Files).join(' ').toStdString();

    options.progress = nullptr;
    QString first;
    {
        FfmsFrameSource src(path, options);
        first = src.decodedPath();
        EXPECT_TRUE(first.startsWith(copies));
        EXPECT_EQ(src.path(), path);
    }
    {
        FfmsFrameSource again(path, options);
        EXPECT_EQ(again.decodedPath(), first);
        EXPECT_TRUE(again.indexFromCache());
        EXPECT_TRUE(again.verdictFromCache());
    }
    EXPECT_EQ(QDir(copies).entryList(QDir::Files).size(), 1);

    // The file changes (a new modification time): a new copy, the old one stays until pruned.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    }
    FfmsFrameSource changed(path, options);
    EXPECT_NE(changed.decodedPath(), first);
    EXPECT_TRUE(QFileInfo::exists(changed.decodedPath()));
    EXPECT_FALSE(changed.indexFromCache());
}

} // namespace
} // namespace kadro::test
