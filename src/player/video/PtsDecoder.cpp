#include "player/video/PtsDecoder.h"

#include "player/video/FfmsSupport.h"
#include "player/video/PictureMemory.h"
#include "player/video/VideoDevice.h"

#include <QFile>
#include <QHash>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

namespace kadro {

std::size_t pictureHash(const uint8_t* const data[4], const int linesize[4], int format, int width, int height)
{
    const auto fmt = AVPixelFormat(format);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(fmt);
    int lineBytes[4] = {};
    std::size_t hash = std::size_t(width) * 31u + std::size_t(height);
    if (!desc || av_image_fill_linesizes(lineBytes, fmt, width) < 0) {
        // Unknown format: hash the first plane by its line size.
        for (int y = 0; y < height; ++y)
            hash = qHashBits(data[0] + std::ptrdiff_t(y) * linesize[0], std::size_t(std::abs(linesize[0])), hash);
        return hash;
    }
    const int planes = av_pix_fmt_count_planes(fmt);
    for (int p = 0; p < planes && p < 4; ++p) {
        if (!data[p])
            continue;
        const bool chroma = (p == 1 || p == 2) && !(desc->flags & AV_PIX_FMT_FLAG_RGB);
        const int ph = chroma ? -((-height) >> desc->log2_chroma_h) : height;
        for (int y = 0; y < ph; ++y)
            hash = qHashBits(data[p] + std::ptrdiff_t(y) * linesize[p], std::size_t(lineBytes[p]), hash);
    }
    return hash;
}

namespace {

std::string averror(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The deprecated full-range ("JPEG") formats as swscale wants them: the plain format, full range.
AVPixelFormat plainFormat(AVPixelFormat f, bool& fullRange)
{
    switch (f) {
    case AV_PIX_FMT_YUVJ420P: fullRange = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: fullRange = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: fullRange = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: fullRange = true; return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: fullRange = true; return AV_PIX_FMT_YUV411P;
    default: return f;
    }
}

} // namespace

bool PtsDecoder::suits(const QString& container, const std::vector<int64_t>& pts)
{
    if (!container.startsWith(QLatin1String("mov,mp4")) && !container.startsWith(QLatin1String("matroska")))
        return false;
    if (pts.empty())
        return false;
    for (std::size_t i = 1; i < pts.size(); ++i)
        if (pts[i] <= pts[i - 1])
            return false;
    return true;
}

PtsDecoder::PtsDecoder(const QString& path, int track, std::shared_ptr<const std::vector<int64_t>> pts,
                       DecodeModel model, int threads)
    : pts_(std::move(pts)), model_(std::move(model)), track_(track)
{
    ffmsInit();
    const QByteArray name = QFile::encodeName(path);
    auto fail = [&](const std::string& what) {
        release();
        throw VideoDeviceError(what);
    };
    if (int r = avformat_open_input(&format_, name.constData(), nullptr, nullptr); r < 0)
        fail("cannot open the video: " + averror(r));
    if (track_ < 0 || track_ >= int(format_->nb_streams))
        fail("the video track is missing");
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        format_->streams[i]->discard = int(i) == track_ ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    const AVStream* stream = format_->streams[track_];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        fail("no decoder for the video");
    codec_ = avcodec_alloc_context3(codec);
    if (!codec_ || avcodec_parameters_to_context(codec_, stream->codecpar) < 0)
        fail("cannot set up the video decoder");
    codec_->pkt_timebase = stream->time_base;
    codec_->thread_count = std::max(1, threads);
    codec_->thread_type = FF_THREAD_FRAME;
    if (int r = avcodec_open2(codec_, codec, nullptr); r < 0)
        fail("cannot open the video decoder: " + averror(r));
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!packet_ || !frame_)
        fail("out of memory");
    output_ = QSize(codec_->width, codec_->height);
}

PtsDecoder::~PtsDecoder() { release(); }

void PtsDecoder::release()
{
    sws_freeContext(sws_);
    sws_ = nullptr;
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
}

void PtsDecoder::setOutputSize(const QSize& size)
{
    output_ = size.isValid() && !size.isEmpty() ? size : QSize(codec_->width, codec_->height);
}

int PtsDecoder::indexOf(int64_t stamp) const
{
    const auto it = std::lower_bound(pts_->begin(), pts_->end(), stamp);
    return it != pts_->end() && *it == stamp ? int(it - pts_->begin()) : -1;
}

void PtsDecoder::seekTo(int keyframe)
{
    // Backward: the last keyframe packet at or before the keyframe's time (MP4 looks it up by
    // decoding times, which never lie after the presentation time of the same picture).
    const int64_t target = (*pts_)[std::size_t(keyframe)];
    if (int r = av_seek_frame(format_, track_, target, AVSEEK_FLAG_BACKWARD); r < 0 && keyframe == 0) {
        if (int again = av_seek_frame(format_, track_, INT64_MIN, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY); again < 0)
            throw VideoDeviceError("cannot seek in the video: " + averror(again));
    } else if (r < 0) {
        throw VideoDeviceError("cannot seek in the video: " + averror(r));
    }
    avcodec_flush_buffers(codec_);
    av_frame_unref(frame_);
    position_ = -1;
    inputEnded_ = false;
    drained_ = false;
}

// The next picture in presentation order into frame_; false at the end of the video.
bool PtsDecoder::nextFrame()
{
    for (;;) {
        const int r = avcodec_receive_frame(codec_, frame_);
        if (r == 0)
            return true;
        if (r == AVERROR_EOF) {
            drained_ = true;
            return false;
        }
        if (r != AVERROR(EAGAIN))
            throw VideoDeviceError("cannot decode the video: " + averror(r));
        if (inputEnded_) {
            // Draining already asked for: nothing more comes.
            drained_ = true;
            return false;
        }
        const int read = av_read_frame(format_, packet_);
        if (read < 0) {
            inputEnded_ = true;
            avcodec_send_packet(codec_, nullptr); // drain the pictures still held
            continue;
        }
        if (packet_->stream_index == track_) {
            const int sent = avcodec_send_packet(codec_, packet_);
            // A damaged packet is passed over; the pictures that need it come out flagged.
            if (sent < 0 && sent != AVERROR_INVALIDDATA && sent != AVERROR(EAGAIN)) {
                av_packet_unref(packet_);
                throw VideoDeviceError("cannot decode the video: " + averror(sent));
            }
        }
        av_packet_unref(packet_);
    }
}

void PtsDecoder::decode(int coded)
{
    const int count = int(pts_->size());
    if (coded < 0 || coded >= count)
        throw VideoDeviceError("picture " + std::to_string(coded) + " is not in the video");
    if (coded == position_)
        return;
    int seekedTo = -1;
    if (position_ < 0 || drained_ || !model_.decodesForward(position_, coded)) {
        seekedTo = model_.keyframeAtOrBefore(coded);
        seekTo(seekedTo);
    }
    int retreats = 0;
    auto retreat = [&] {
        // The picture did not come out from here: start one keyframe earlier.
        const int from = seekedTo < 0 ? model_.keyframeAtOrBefore(coded) : (seekedTo > 0 ? model_.keyframeAtOrBefore(seekedTo - 1) : -1);
        if (from < 0 || from == seekedTo || ++retreats > kMaxRetreats) {
            position_ = -1;
            throw VideoDeviceError("picture " + std::to_string(coded) + " does not come out of the decoder");
        }
        seekedTo = from;
        seekTo(from);
    };
    for (;;) {
        if (!nextFrame()) {
            retreat();
            continue;
        }
        const int64_t stamp = frame_->best_effort_timestamp != AV_NOPTS_VALUE ? frame_->best_effort_timestamp : frame_->pts;
        const int at = indexOf(stamp);
        if (at < 0) {
            // A picture the index does not know: where the decoder stands cannot be told.
            position_ = -1;
            throw VideoDeviceError("a decoded picture's time stamp is not in the index");
        }
        position_ = at;
        if (at < coded)
            continue;
        if (at > coded) {
            retreat();
            continue;
        }
        if (frame_->decode_error_flags != 0 || (frame_->flags & AV_FRAME_FLAG_CORRUPT)) {
            position_ = -1; // asked again, it is decoded again (and fails again)
            throw VideoDeviceError("picture " + std::to_string(coded) + " decoded with errors");
        }
        return;
    }
}

std::size_t PtsDecoder::decodedHash() const
{
    if (position_ < 0)
        return 0;
    const uint8_t* planes[4] = {frame_->data[0], frame_->data[1], frame_->data[2], frame_->data[3]};
    return pictureHash(planes, frame_->linesize, frame_->format, frame_->width, frame_->height);
}

QImage PtsDecoder::picture(int coded)
{
    decode(coded);
    return convert();
}

// Converted as FFMS2 converts to BGRA: its swscale flags, the decoder's colour space and range, so
// the pictures are the same, bit for bit.
QImage PtsDecoder::convert()
{
    bool fullRange = frame_->color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat source = plainFormat(AVPixelFormat(frame_->format), fullRange);
    const int w = output_.width();
    const int h = output_.height();
    const int colourSpace = codec_->colorspace;
    const int key[6] = {int(source), frame_->width, frame_->height, colourSpace, w, h};
    if (!sws_ || !std::equal(std::begin(key), std::end(key), std::begin(swsKey_))) {
        sws_freeContext(sws_);
        sws_ = sws_alloc_context();
        if (!sws_)
            throw VideoDeviceError("cannot convert the pictures");
        const bool smaller = w < frame_->width || h < frame_->height;
        const int64_t flags = (smaller ? SWS_AREA : SWS_BICUBIC) | SWS_FULL_CHR_H_INT | SWS_FULL_CHR_H_INP |
                              SWS_ACCURATE_RND;
        const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(source);
        // An unstated range is limited for YUV, full for RGB and grey.
        const bool yuv = desc && !(desc->flags & AV_PIX_FMT_FLAG_RGB) && desc->nb_components >= 3;
        const int srcRange = frame_->color_range == AVCOL_RANGE_UNSPECIFIED && !fullRange ? (yuv ? 0 : 1)
                                                                                          : (fullRange ? 1 : 0);
        av_opt_set_int(sws_, "sws_flags", flags, 0);
        av_opt_set_int(sws_, "srcw", frame_->width, 0);
        av_opt_set_int(sws_, "srch", frame_->height, 0);
        av_opt_set_int(sws_, "dstw", w, 0);
        av_opt_set_int(sws_, "dsth", h, 0);
        av_opt_set_int(sws_, "src_range", srcRange, 0);
        av_opt_set_int(sws_, "dst_range", 1, 0);
        av_opt_set_int(sws_, "src_format", source, 0);
        av_opt_set_int(sws_, "dst_format", AV_PIX_FMT_BGRA, 0);
        sws_setColorspaceDetails(sws_, sws_getCoefficients(colourSpace), srcRange, sws_getCoefficients(AVCOL_SPC_RGB),
                                 1, 0, 1 << 16, 1 << 16);
        if (sws_init_context(sws_, nullptr, nullptr) < 0) {
            sws_freeContext(sws_);
            sws_ = nullptr;
            throw VideoDeviceError("cannot convert the pictures");
        }
        std::copy(std::begin(key), std::end(key), std::begin(swsKey_));
    }
    QImage img = newPicture(w, h);
    uint8_t* dst[4] = {img.bits(), nullptr, nullptr, nullptr};
    int dstStride[4] = {int(img.bytesPerLine()), 0, 0, 0};
    sws_scale(sws_, frame_->data, frame_->linesize, 0, frame_->height, dst, dstStride);
    return img;
}

} // namespace kadro
