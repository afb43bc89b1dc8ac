#include "player/video/StreamProbe.h"

#include "player/video/FfmsSupport.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace kadro {

namespace {

struct InputDeleter {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
using InputPtr = std::unique_ptr<AVFormatContext, InputDeleter>;

double rateOf(AVRational r) { return r.num > 0 && r.den > 0 ? av_q2d(r) : 0.0; }

// Android names the rate of a recording here (a slow-motion recording at 240 fps is stored to
// play at 30 fps); the demuxer puts the MP4's "mdta" keys into the format's metadata.
constexpr const char* kCaptureRateKeys[] = {"com.android.capture.fps"};

struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

InputPtr openInput(const QString& path)
{
    ffmsInit();
    AVFormatContext* raw = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (avformat_open_input(&raw, name.constData(), nullptr, nullptr) < 0)
        return {};
    return InputPtr(raw);
}

// Calls f(nal, size) for each NAL unit of an access unit.
template <class F>
void forEachNal(const uint8_t* d, int n, int lengthSize, F f)
{
    if (!d || n <= 0)
        return;
    if (lengthSize > 0) {
        int at = 0;
        while (at + lengthSize <= n) {
            uint32_t len = 0;
            for (int k = 0; k < lengthSize; ++k)
                len = (len << 8) | d[at + k];
            at += lengthSize;
            if (len == 0 || len > uint32_t(n - at))
                return; // damaged: look no further
            f(d + at, int(len));
            at += int(len);
        }
        return;
    }
    // Start codes 00 00 01 (a leading zero of 00 00 00 01 belongs to the NAL before; harmless).
    int start = -1;
    for (int i = 0; i + 2 < n; ++i) {
        if (d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1) {
            if (start >= 0)
                f(d + start, i - start);
            start = i + 3;
            i += 2;
        }
    }
    if (start >= 0 && start < n)
        f(d + start, n - start);
}

} // namespace

int StreamProbe::lengthSizeH264(const uint8_t* extradata, int size)
{
    // avcC: configurationVersion 1, ..., lengthSizeMinusOne in the low bits of byte 4.
    if (extradata && size >= 7 && extradata[0] == 1)
        return (extradata[4] & 3) + 1;
    return 0;
}

int StreamProbe::lengthSizeHevc(const uint8_t* extradata, int size)
{
    // hvcC: configurationVersion 1, lengthSizeMinusOne in the low bits of byte 21.
    if (extradata && size >= 23 && extradata[0] == 1)
        return (extradata[21] & 3) + 1;
    return 0;
}

bool StreamProbe::isIdrH264(const uint8_t* data, int size, int lengthSize)
{
    bool idr = false;
    bool other = false;
    forEachNal(data, size, lengthSize, [&](const uint8_t* nal, int len) {
        if (len < 1)
            return;
        const int type = nal[0] & 0x1f;
        if (type == 5)
            idr = true;
        else if (type >= 1 && type <= 4)
            other = true; // a slice of a picture that is not an IDR
    });
    return idr && !other;
}

bool StreamProbe::isIdrHevc(const uint8_t* data, int size, int lengthSize)
{
    bool idr = false;
    bool other = false;
    forEachNal(data, size, lengthSize, [&](const uint8_t* nal, int len) {
        if (len < 2)
            return;
        const int type = (nal[0] >> 1) & 0x3f;
        if (type == 19 || type == 20) // IDR_W_RADL, IDR_N_LP
            idr = true;
        else if (type < 32)
            other = true; // any other picture (CRA, BLA, trailing, leading)
    });
    return idr && !other;
}

double StreamProbe::rateFromText(const char* text)
{
    if (!text)
        return 0.0;
    // strtod follows the C locale, which the program never changes: "240.000000" reads as 240.
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text)
        return 0.0;
    while (*end == ' ')
        ++end;
    return *end == '\0' && std::isfinite(v) && v > 0.0 && v < 100000.0 ? v : 0.0;
}

StreamFacts StreamProbe::facts(const QString& path, int track)
{
    StreamFacts f;
    const InputPtr in = openInput(path);
    if (!in || track < 0 || track >= int(in->nb_streams))
        return f;
    const AVStream* st = in->streams[track];
    if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
        return f;
    f.readable = true;
    f.container = QString::fromUtf8(in->iformat->name);
    f.codec = QString::fromUtf8(avcodec_get_name(st->codecpar->codec_id));
    f.statedRate = rateOf(st->avg_frame_rate);
    if (f.statedRate <= 0)
        f.statedRate = rateOf(st->r_frame_rate);
    for (const char* key : kCaptureRateKeys) {
        for (const AVDictionary* dict : {static_cast<const AVDictionary*>(in->metadata),
                                         static_cast<const AVDictionary*>(st->metadata)}) {
            if (const AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0)) {
                f.captureRate = rateFromText(e->value);
                if (f.captureRate > 0)
                    return f;
            }
        }
    }
    return f;
}

StructureVerdict StreamProbe::structure(const QString& path, int track, const std::vector<int64_t>& indexPts,
                                        int keyframes, int maxPackets)
{
    StructureVerdict v;
    auto refuse = [&](const QString& why) {
        v.seekable = false;
        v.reason = why;
        return v;
    };
    InputPtr in = openInput(path);
    if (!in || track < 0 || track >= int(in->nb_streams))
        return refuse(QStringLiteral("the container could not be read"));
    const QString container = QString::fromUtf8(in->iformat->name);
    if (!container.startsWith(QLatin1String("mov,mp4")) && !container.startsWith(QLatin1String("matroska")))
        return refuse(QStringLiteral("no time stamp seeking for container %1").arg(container));
    const AVCodecParameters* par = in->streams[track]->codecpar;
    const bool h264 = par->codec_id == AV_CODEC_ID_H264;
    const bool hevc = par->codec_id == AV_CODEC_ID_HEVC;
    if (!h264 && !hevc)
        return refuse(QStringLiteral("codec %1 is checked by decoding").arg(QString::fromUtf8(avcodec_get_name(par->codec_id))));
    const int lengthSize = h264 ? lengthSizeH264(par->extradata, par->extradata_size)
                                : lengthSizeHevc(par->extradata, par->extradata_size);
    for (unsigned i = 0; i < in->nb_streams; ++i)
        in->streams[i]->discard = int(i) == track ? AVDISCARD_DEFAULT : AVDISCARD_ALL;

    PacketPtr pkt(av_packet_alloc());
    std::vector<int64_t> pts;
    int64_t keyPts = 0;
    int64_t maxBefore = INT64_MIN; // the latest time of the packets before the current keyframe
    int64_t maxSoFar = INT64_MIN;
    bool ended = true;
    while (av_read_frame(in.get(), pkt.get()) >= 0) {
        if (pkt->stream_index != track) {
            av_packet_unref(pkt.get());
            continue;
        }
        const bool key = (pkt->flags & AV_PKT_FLAG_KEY) != 0;
        const int64_t p = pkt->pts;
        const bool discard = (pkt->flags & AV_PKT_FLAG_DISCARD) != 0;
        const bool idr = key && (h264 ? isIdrH264(pkt->data, pkt->size, lengthSize)
                                       : isIdrHevc(pkt->data, pkt->size, lengthSize));
        av_packet_unref(pkt.get());
        if (key && v.keyframes == keyframes) {
            ended = false; // complete intervals only: stop at the next keyframe
            break;
        }
        if (++v.packets > maxPackets) {
            ended = false;
            break;
        }
        if (p == AV_NOPTS_VALUE)
            return refuse(QStringLiteral("a packet without a time stamp"));
        if (discard)
            return refuse(QStringLiteral("packets to be dropped at the start (edit list)"));
        if (pts.empty() && !key)
            return refuse(QStringLiteral("the first packet is no keyframe"));
        if (key) {
            if (!idr)
                return refuse(QStringLiteral("keyframe %1 is no IDR picture").arg(v.keyframes));
            if (maxSoFar != INT64_MIN && p <= maxSoFar)
                return refuse(QStringLiteral("keyframe %1 is shown before pictures decoded earlier").arg(v.keyframes));
            maxBefore = maxSoFar;
            keyPts = p;
            ++v.keyframes;
        } else if (p <= keyPts || p <= maxBefore) {
            return refuse(QStringLiteral("leading pictures (open GOP) after keyframe %1").arg(v.keyframes - 1));
        }
        maxSoFar = std::max(maxSoFar, p);
        pts.push_back(p);
    }
    if (pts.empty())
        return refuse(QStringLiteral("no video packets"));
    if (!ended && v.keyframes < 2)
        return refuse(QStringLiteral("the first keyframe interval is longer than %1 packets").arg(maxPackets));
    if (!ended && v.packets > maxPackets) {
        // Stopped inside an interval: judge the complete intervals only.
        return refuse(QStringLiteral("keyframe intervals longer than the look-ahead"));
    }
    // The index's frames must be exactly these packets, one each, in time order.
    std::sort(pts.begin(), pts.end());
    if (std::adjacent_find(pts.begin(), pts.end()) != pts.end())
        return refuse(QStringLiteral("two packets share a time stamp"));
    if (indexPts.size() < pts.size() || (ended && indexPts.size() != pts.size()))
        return refuse(QStringLiteral("the index counts other frames than the packets"));
    if (!std::equal(pts.begin(), pts.end(), indexPts.begin()))
        return refuse(QStringLiteral("the index's time stamps differ from the packets'"));
    v.seekable = true;
    v.reason = QStringLiteral("IDR keyframes without leading pictures on %1 intervals").arg(v.keyframes);
    return v;
}

StreamProbe::Reordering StreamProbe::reordering(const QString& path, int track, int maxPackets)
{
    InputPtr in = openInput(path);
    if (!in || track < 0 || track >= int(in->nb_streams))
        return Reordering::Unknown;
    const AVCodecID id = in->streams[track]->codecpar->codec_id;
    // A codec that never reorders (MJPEG, MS Video-1, Cinepak, DV, raw video, ...).
    const AVCodecDescriptor* codecInfo = avcodec_descriptor_get(id);
    if (codecInfo && !(codecInfo->props & AV_CODEC_PROP_REORDER))
        return Reordering::No;
    const bool typed = id == AV_CODEC_ID_MPEG4 || id == AV_CODEC_ID_H264 || id == AV_CODEC_ID_MPEG1VIDEO ||
                       id == AV_CODEC_ID_MPEG2VIDEO;
    struct ParserDeleter {
        void operator()(AVCodecParserContext* p) const { av_parser_close(p); }
    };
    struct CodecDeleter {
        void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
    };
    std::unique_ptr<AVCodecParserContext, ParserDeleter> parser(typed ? av_parser_init(id) : nullptr);
    std::unique_ptr<AVCodecContext, CodecDeleter> codec(avcodec_alloc_context3(nullptr));
    if (!codec || avcodec_parameters_to_context(codec.get(), in->streams[track]->codecpar) < 0)
        return Reordering::Unknown;
    if (parser) {
        // The packets are whole pictures: the parser is asked only for their headers.
        parser->flags |= PARSER_FLAG_COMPLETE_FRAMES;
    }
    for (unsigned i = 0; i < in->nb_streams; ++i)
        in->streams[i]->discard = int(i) == track ? AVDISCARD_DEFAULT : AVDISCARD_ALL;

    PacketPtr pkt(av_packet_alloc());
    int packets = 0;
    bool allKeys = true;
    bool allTyped = true;
    while (packets < maxPackets && av_read_frame(in.get(), pkt.get()) >= 0) {
        if (pkt->stream_index != track || pkt->size <= 0) {
            av_packet_unref(pkt.get());
            continue;
        }
        ++packets;
        allKeys = allKeys && (pkt->flags & AV_PKT_FLAG_KEY) != 0;
        if (parser) {
            uint8_t* out = nullptr;
            int outSize = 0;
            parser->pict_type = AV_PICTURE_TYPE_NONE;
            av_parser_parse2(parser.get(), codec.get(), &out, &outSize, pkt->data, pkt->size, pkt->pts, pkt->dts,
                             pkt->pos);
            if (parser->pict_type == AV_PICTURE_TYPE_B) {
                av_packet_unref(pkt.get());
                return Reordering::Yes;
            }
            if (parser->pict_type == AV_PICTURE_TYPE_NONE)
                allTyped = false;
        }
        av_packet_unref(pkt.get());
    }
    if (packets == 0)
        return Reordering::Unknown;
    if (allKeys)
        return Reordering::No; // intra-only
    return parser && allTyped ? Reordering::No : Reordering::Unknown;
}

} // namespace kadro
