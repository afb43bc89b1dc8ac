#include "player/video/PictureVerdicts.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <memory>

namespace kadro {

namespace {
struct InputClose {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
} // namespace

PictureVerdicts::PictureVerdicts(const QString& path, int track, std::vector<int64_t> pts, std::vector<int> keyframes)
    : path_(path), track_(track), pts_(std::move(pts)), keyframes_(std::move(keyframes))
{
}

bool PictureVerdicts::sound(int coded)
{
    if (coded < 0 || coded >= int(pts_.size()))
        return false;
    const Interval iv = interval(coded);
    const auto it = std::upper_bound(keyframes_.begin(), keyframes_.end(), coded);
    const int key = it == keyframes_.begin() ? 0 : *std::prev(it);
    const std::size_t at = std::size_t(coded - key);
    return iv.complete && at < iv.flagged.size() && !iv.flagged[at];
}

bool PictureVerdicts::soundBetween(int from, int to)
{
    for (int c = std::max(0, from); c <= to; ++c)
        if (!sound(c))
            return false;
    return from <= to || sound(to);
}

int PictureVerdicts::keyframeAtOrBefore(int coded) const
{
    const auto it = std::upper_bound(keyframes_.begin(), keyframes_.end(), coded);
    return it == keyframes_.begin() ? 0 : *std::prev(it);
}

PictureVerdicts::Interval PictureVerdicts::interval(int coded)
{
    const auto it = std::upper_bound(keyframes_.begin(), keyframes_.end(), coded);
    const int key = it == keyframes_.begin() ? 0 : *std::prev(it);
    const int end = it == keyframes_.end() ? int(pts_.size()) : *it;
    std::lock_guard lock(mutex_);
    auto found = intervals_.find(key);
    if (found == intervals_.end())
        found = intervals_.emplace(key, judge(key, end)).first;
    return found->second;
}

PictureVerdicts::Interval PictureVerdicts::judge(int key, int end) const
{
    Interval result;
    const int count = end - key;
    if (count <= 0 || count > kMaxInterval)
        return result;
    AVFormatContext* raw = nullptr;
    const QByteArray name = QFile::encodeName(path_);
    if (avformat_open_input(&raw, name.constData(), nullptr, nullptr) < 0)
        return result;
    std::unique_ptr<AVFormatContext, InputClose> input(raw);
    if (avformat_find_stream_info(input.get(), nullptr) < 0 || track_ < 0 || track_ >= int(input->nb_streams))
        return result;
    AVStream* stream = input->streams[track_];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return result;
    std::unique_ptr<AVCodecContext, CodecFree> decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0)
        return result;
    decoder->thread_count = 1;
    // A picture coded alone (intra-only video) has no other picture a complaint could be about:
    // the decoder is asked to refuse it rather than hand on what it could not decode (MJPEG gives
    // no error flags on a half-decoded picture).
    if (count == 1)
        decoder->err_recognition |= AV_EF_EXPLODE;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return result;
    if (key > 0 && av_seek_frame(input.get(), track_, pts_[std::size_t(key)], AVSEEK_FLAG_BACKWARD) < 0)
        return result;

    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    bool started = false;
    int packets = 0;
    int outputs = 0;
    auto drain = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
            if (outputs < count)
                result.flagged.push_back(frame->decode_error_flags != 0 || (frame->flags & AV_FRAME_FLAG_CORRUPT));
            ++outputs;
            av_frame_unref(frame.get());
        }
    };
    // The interval's packets, from its keyframe up to the next keyframe, then what the decoder
    // still holds: exactly the interval's pictures must come out.
    for (;;) {
        const int r = av_read_frame(input.get(), packet.get());
        if (r < 0)
            break;
        if (packet->stream_index != track_) {
            av_packet_unref(packet.get());
            continue;
        }
        const bool keyframe = packet->flags & AV_PKT_FLAG_KEY;
        if (!started) {
            // Decoding starts at the interval's keyframe; landing elsewhere tells nothing.
            if (!keyframe) {
                av_packet_unref(packet.get());
                if (++packets > count)
                    return result;
                continue;
            }
            const int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (key > 0 && stamp != AV_NOPTS_VALUE && stamp != pts_[std::size_t(key)])
                return result;
            started = true;
            packets = 0;
        } else if (keyframe) {
            av_packet_unref(packet.get());
            break;
        }
        ++packets;
        avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        drain();
        if (packets > count + 64)
            return result;
    }
    avcodec_send_packet(decoder.get(), nullptr);
    drain();
    result.complete = outputs == count;
    return result;
}

} // namespace kadro
