#include "player/video/PackedBFrames.h"

#include "player/video/IndexCache.h"
#include "player/video/VideoDevice.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace kadro {

namespace {

const QByteArray kVopStart("\x00\x00\x01\xb6", 4);
const QByteArray kUserDataStart("\x00\x00\x01\xb2", 4);

struct InputDeleter {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct OutputDeleter {
    void operator()(AVFormatContext* c) const
    {
        if (c->pb && !(c->oformat->flags & AVFMT_NOFILE))
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FilterDeleter {
    void operator()(AVBSFContext* b) const { av_bsf_free(&b); }
};
using InputPtr = std::unique_ptr<AVFormatContext, InputDeleter>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using FilterPtr = std::unique_ptr<AVBSFContext, FilterDeleter>;

QString avText(int err)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return QString::fromLocal8Bit(buf);
}

bool isRiffAvi(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "AVI ";
}

InputPtr openInput(const QString& path)
{
    AVFormatContext* raw = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (avformat_open_input(&raw, name.constData(), nullptr, nullptr) < 0)
        return {};
    return InputPtr(raw);
}

// Coding type of the picture starting at `at` (a VOP start code): 0 I, 1 P, 2 B, 3 S.
int vopType(const QByteArray& data, qsizetype at)
{
    return at + 4 < data.size() ? (uchar(data[at + 4]) >> 6) & 3 : -1;
}

// The signs of packing in one chunk: DivX user data ending in 'p', or a second picture that is a
// B-frame.
bool showsPacking(const QByteArray& chunk)
{
    for (qsizetype at = chunk.indexOf(kUserDataStart); at >= 0; at = chunk.indexOf(kUserDataStart, at + 4)) {
        const qsizetype end = chunk.indexOf(QByteArray("\x00\x00\x01", 3), at + 4);
        const QByteArray text = chunk.mid(at + 4, (end < 0 ? chunk.size() : end) - at - 4);
        if (text.startsWith("DivX") && text.endsWith('p'))
            return true;
    }
    const qsizetype first = chunk.indexOf(kVopStart);
    if (first < 0)
        return false;
    const qsizetype second = chunk.indexOf(kVopStart, first + 4);
    return second >= 0 && vopType(chunk, second) == 2;
}

// Bits of the stream header after its start code, up to the next start code.
class HeaderBits {
public:
    HeaderBits(const QByteArray& data, qsizetype from, qsizetype to)
    {
        for (qsizetype i = from; i < to; ++i)
            for (int k = 7; k >= 0; --k)
                bits_.push_back((uchar(data[i]) >> k) & 1);
    }
    std::size_t size() const { return bits_.size(); }
    int at(std::size_t i) const { return i < bits_.size() ? bits_[i] : 0; }
    int read(std::size_t i, int n) const
    {
        int v = 0;
        for (int k = 0; k < n; ++k)
            v = (v << 1) | at(i + std::size_t(k));
        return v;
    }
    void set(std::size_t i, int bit) { bits_[i] = bit; }
    void insert(std::size_t i, std::initializer_list<int> bits)
    {
        bits_.insert(bits_.begin() + std::ptrdiff_t(i), bits.begin(), bits.end());
    }
    // Drops the stuffing before the next start code (a zero, then ones to the byte boundary)
    // and writes it afresh after a change of length.
    QByteArray bytesRestuffed()
    {
        while (!bits_.empty() && bits_.back() == 1)
            bits_.pop_back();
        if (!bits_.empty())
            bits_.pop_back();
        bits_.push_back(0);
        while (bits_.size() % 8)
            bits_.push_back(1);
        QByteArray out;
        for (std::size_t i = 0; i < bits_.size(); i += 8)
            out += char(read(i, 8));
        return out;
    }

private:
    std::vector<int> bits_;
};

} // namespace

QByteArray PackedBFrames::declareReordering(const QByteArray& chunk)
{
    QByteArray out = chunk;
    qsizetype from = 0;
    for (;;) {
        // Video object layer start codes are 0x120 .. 0x12F.
        qsizetype vol = -1;
        for (qsizetype i = out.indexOf(QByteArray("\x00\x00\x01", 3), from); i >= 0 && i + 3 < out.size();
             i = out.indexOf(QByteArray("\x00\x00\x01", 3), i + 1)) {
            if ((uchar(out[i + 3]) & 0xf0) == 0x20) {
                vol = i;
                break;
            }
        }
        if (vol < 0)
            return out;
        qsizetype end = out.indexOf(QByteArray("\x00\x00\x01", 3), vol + 4);
        if (end < 0)
            end = out.size();
        HeaderBits bits(out, vol + 4, end);
        // random_accessible_vol (1), video_object_type_indication (8), is_object_layer_identifier
        // (1, then verid 4 and priority 3), aspect_ratio_info (4, extended: 16 more), then
        // vol_control_parameters.
        std::size_t at = 9;
        at += bits.at(at) ? 8 : 1;
        const int aspect = bits.read(at, 4);
        at += 4 + (aspect == 15 ? 16 : 0);
        if (at + 4 < bits.size()) {
            QByteArray rewritten;
            if (bits.at(at)) {
                // Control parameters present: chroma_format (2), then low_delay.
                if (bits.at(at + 3)) {
                    bits.set(at + 3, 0);
                    rewritten = bits.bytesRestuffed();
                }
            } else {
                // None: add them, 4:2:0 chroma, low_delay 0, no VBV parameters.
                bits.set(at, 1);
                bits.insert(at + 1, {0, 1, 0, 0});
                rewritten = bits.bytesRestuffed();
            }
            if (!rewritten.isEmpty()) {
                out.replace(vol + 4, end - vol - 4, rewritten);
                end = vol + 4 + rewritten.size();
            }
        }
        from = end;
    }
}

bool PackedBFrames::detect(const QString& path)
{
    if (!isRiffAvi(path))
        return false;
    InputPtr in = openInput(path);
    if (!in)
        return false;
    const int video = av_find_best_stream(in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0 || in->streams[video]->codecpar->codec_id != AV_CODEC_ID_MPEG4)
        return false;
    const AVCodecParameters* par = in->streams[video]->codecpar;
    if (par->extradata_size > 0 &&
        showsPacking(QByteArray(reinterpret_cast<const char*>(par->extradata), par->extradata_size)))
        return true;
    // The user data comes with the first keyframe, packed pairs within the first few chunks.
    PacketPtr pkt(av_packet_alloc());
    int seen = 0;
    while (seen < 60 && av_read_frame(in.get(), pkt.get()) >= 0) {
        bool packed = false;
        if (pkt->stream_index == video) {
            ++seen;
            packed = showsPacking(QByteArray::fromRawData(reinterpret_cast<const char*>(pkt->data), pkt->size));
        }
        av_packet_unref(pkt.get());
        if (packed)
            return true;
    }
    return false;
}

PackedBFrames::Result PackedBFrames::unpack(const QString& source, const QString& target, const Progress& progress,
                                            QString* error)
{
    auto fail = [&](const QString& what, int err = 0) {
        if (error)
            *error = err ? QStringLiteral("%1: %2").arg(what, avText(err)) : what;
        return Result::Failed;
    };
    InputPtr in = openInput(source);
    if (!in)
        return fail(QStringLiteral("cannot open %1").arg(source));
    int err = avformat_find_stream_info(in.get(), nullptr);
    if (err < 0)
        return fail(QStringLiteral("cannot read %1").arg(source), err);
    const int video = av_find_best_stream(in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0)
        return fail(QStringLiteral("no video in %1").arg(source));

    // A name of this process's own, so two programs unpacking the same file do not meet.
    const QString partial = target + QStringLiteral(".part%1").arg(QCoreApplication::applicationPid());
    const QByteArray partialName = QFile::encodeName(partial);
    AVFormatContext* rawOut = nullptr;
    err = avformat_alloc_output_context2(&rawOut, nullptr, "avi", partialName.constData());
    if (err < 0 || !rawOut)
        return fail(QStringLiteral("cannot write an AVI file"), err);
    OutputPtr out(rawOut);

    // Video and audio streams keep their parameters; other streams are left out.
    std::vector<int> map(in->nb_streams, -1);
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        const AVStream* is = in->streams[i];
        const AVMediaType type = is->codecpar->codec_type;
        if (type != AVMEDIA_TYPE_AUDIO && int(i) != video)
            continue;
        AVStream* os = avformat_new_stream(out.get(), nullptr);
        if (!os || avcodec_parameters_copy(os->codecpar, is->codecpar) < 0)
            return fail(QStringLiteral("cannot copy the streams"));
        os->time_base = is->time_base;
        os->avg_frame_rate = is->avg_frame_rate;
        os->r_frame_rate = is->r_frame_rate;
        os->sample_aspect_ratio = is->sample_aspect_ratio;
        map[i] = os->index;
    }
    AVStream* outVideo = out->streams[map[std::size_t(video)]];
    if (outVideo->codecpar->extradata_size > 0) {
        const QByteArray fixed = declareReordering(QByteArray(
            reinterpret_cast<const char*>(outVideo->codecpar->extradata), outVideo->codecpar->extradata_size));
        auto* data = static_cast<uint8_t*>(av_mallocz(std::size_t(fixed.size()) + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!data)
            return fail(QStringLiteral("out of memory"));
        std::memcpy(data, fixed.constData(), std::size_t(fixed.size()));
        av_freep(&outVideo->codecpar->extradata);
        outVideo->codecpar->extradata = data;
        outVideo->codecpar->extradata_size = int(fixed.size());
    }

    const AVBitStreamFilter* unpacker = av_bsf_get_by_name("mpeg4_unpack_bframes");
    AVBSFContext* rawFilter = nullptr;
    if (!unpacker || av_bsf_alloc(unpacker, &rawFilter) < 0)
        return fail(QStringLiteral("the unpacking filter is not available"));
    FilterPtr filter(rawFilter);
    avcodec_parameters_copy(filter->par_in, in->streams[video]->codecpar);
    filter->time_base_in = in->streams[video]->time_base;
    err = av_bsf_init(filter.get());
    if (err < 0)
        return fail(QStringLiteral("cannot start the unpacking filter"), err);

    err = avio_open(&out->pb, partialName.constData(), AVIO_FLAG_WRITE);
    if (err < 0)
        return fail(QStringLiteral("cannot write %1").arg(partial), err);
    err = avformat_write_header(out.get(), nullptr);
    if (err < 0) {
        out.reset();
        QFile::remove(partial);
        return fail(QStringLiteral("cannot write the AVI header"), err);
    }

    const qint64 total = std::max<qint64>(1, QFileInfo(source).size());
    Result result = Result::Written;
    auto write = [&](AVPacket* p, int inIndex) {
        const AVStream* is = in->streams[inIndex];
        AVStream* os = out->streams[map[std::size_t(inIndex)]];
        if (inIndex == video) {
            // One chunk per slot: the slot's time is its decoding time.
            if (p->pts == AV_NOPTS_VALUE || p->pts < p->dts)
                p->pts = p->dts;
            const QByteArray fixed =
                declareReordering(QByteArray::fromRawData(reinterpret_cast<const char*>(p->data), p->size));
            if (fixed.size() != p->size || std::memcmp(fixed.constData(), p->data, std::size_t(p->size)) != 0) {
                PacketPtr copy(av_packet_alloc());
                if (av_new_packet(copy.get(), int(fixed.size())) < 0)
                    return AVERROR(ENOMEM);
                std::memcpy(copy->data, fixed.constData(), std::size_t(fixed.size()));
                av_packet_copy_props(copy.get(), p);
                av_packet_unref(p);
                av_packet_move_ref(p, copy.get());
            }
        }
        av_packet_rescale_ts(p, is->time_base, os->time_base);
        p->stream_index = os->index;
        p->pos = -1;
        return av_interleaved_write_frame(out.get(), p);
    };

    PacketPtr pkt(av_packet_alloc());
    bool flushed = false;
    while (result == Result::Written && !flushed) {
        const int read = av_read_frame(in.get(), pkt.get());
        if (read < 0) {
            flushed = true;
            av_bsf_send_packet(filter.get(), nullptr); // drain the filter
        } else {
            if (progress && in->pb && !progress(in->pb->pos, total)) {
                result = Result::Cancelled;
                break;
            }
            const int inIndex = pkt->stream_index;
            if (inIndex < 0 || inIndex >= int(map.size()) || map[std::size_t(inIndex)] < 0) {
                av_packet_unref(pkt.get());
                continue;
            }
            if (inIndex != video) {
                err = write(pkt.get(), inIndex);
                av_packet_unref(pkt.get());
                if (err < 0)
                    result = fail(QStringLiteral("cannot write the copy"), err);
                continue;
            }
            err = av_bsf_send_packet(filter.get(), pkt.get());
            av_packet_unref(pkt.get());
            if (err < 0) {
                result = fail(QStringLiteral("cannot unpack the video"), err);
                break;
            }
        }
        while (result == Result::Written) {
            err = av_bsf_receive_packet(filter.get(), pkt.get());
            if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
                break;
            if (err < 0) {
                result = fail(QStringLiteral("cannot unpack the video"), err);
                break;
            }
            err = write(pkt.get(), video);
            av_packet_unref(pkt.get());
            if (err < 0)
                result = fail(QStringLiteral("cannot write the copy"), err);
        }
    }
    if (result == Result::Written) {
        err = av_write_trailer(out.get());
        if (err < 0)
            result = fail(QStringLiteral("cannot finish the copy"), err);
    }
    out.reset();
    if (result == Result::Written) {
        QFile::remove(target);
        if (!QFile::rename(partial, target))
            result = fail(QStringLiteral("cannot store %1").arg(target));
    }
    if (result != Result::Written)
        QFile::remove(partial);
    return result;
}

// ---- the copies --------------------------------------------------------------------------------

UnpackedCopies::UnpackedCopies(const QString& dir)
    : dir_(dir.isEmpty() ? QDir(IndexCache::defaultDir()).filePath(QStringLiteral("unpacked")) : dir)
{
}

QString UnpackedCopies::copyPath(const QString& source) const
{
    const QFileInfo fi(source);
    const QString canonical = fi.canonicalFilePath().isEmpty() ? fi.absoluteFilePath() : fi.canonicalFilePath();
    const QString key = QStringLiteral("%1|%2|%3").arg(canonical).arg(fi.size()).arg(fi.lastModified().toMSecsSinceEpoch());
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir(dir_).filePath(QString::fromLatin1(hash) + QStringLiteral(".avi"));
}

QString UnpackedCopies::fileToDecode(const QString& source, const PackedBFrames::Progress& progress) const
{
    if (!PackedBFrames::detect(source))
        return source;
    // A copy keeps the time it was written: the index cache knows it by that time.
    const QString copy = copyPath(source);
    if (QFileInfo(copy).size() > 0)
        return copy;
    if (!QDir().mkpath(dir_))
        throw VideoDeviceError(QStringLiteral("cannot create %1").arg(dir_).toStdString());
    QString error;
    switch (PackedBFrames::unpack(source, copy, progress, &error)) {
    case PackedBFrames::Result::Written: break;
    case PackedBFrames::Result::Cancelled: throw VideoOpenCancelled();
    case PackedBFrames::Result::Failed: throw VideoDeviceError(error.toStdString());
    }
    prune();
    return copy;
}

void UnpackedCopies::prune() const
{
    const QFileInfoList copies =
        QDir(dir_).entryInfoList({QStringLiteral("*.avi")}, QDir::Files, QDir::Time); // newest first
    for (qsizetype i = kMaxCopies; i < copies.size(); ++i)
        QFile::remove(copies[i].absoluteFilePath());
}

} // namespace kadro
