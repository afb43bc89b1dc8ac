#include "VideoGen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace kadro::videogen {

namespace {

constexpr int kBlocks = 20;
constexpr int kDataBits = 17;

// Vertical extent of the block band, as fractions of the picture height.
constexpr double kBandTop = 0.04;
constexpr double kBandBottom = 0.30;

struct FormatInfo {
    Format format;
    const char* name;
    const char* ext;
};

constexpr FormatInfo kFormats[] = {
    {Format::MjpegAvi, "mjpeg-avi", ".avi"},
    {Format::MsVideo1Avi, "msvideo1-avi", ".avi"},
    {Format::RawAvi, "raw-avi", ".avi"},
    {Format::DroppedSlotsAvi, "dropped-avi", ".avi"},
    {Format::XvidAvi, "xvid-avi", ".avi"},
    {Format::H264Mp4, "h264-mp4", ".mp4"},
    {Format::H264OpenGopMkv, "h264-opengop-mkv", ".mkv"},
    {Format::HevcMp4, "hevc-mp4", ".mp4"},
    {Format::Vp9Webm, "vp9-webm", ".webm"},
    {Format::Mpeg2Ps, "mpeg2-ps", ".mpg"},
    {Format::PackedBAvi, "packed-b-avi", ".avi"},
};

const FormatInfo& info(Format f)
{
    for (const auto& i : kFormats)
        if (i.format == f)
            return i;
    return kFormats[0];
}

QString avError(int err)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return QString::fromLocal8Bit(buf);
}

// ---- drawing -------------------------------------------------------------------------------

void fill(QImage& img, int x0, int y0, int x1, int y1, QRgb colour)
{
    x0 = std::clamp(x0, 0, img.width());
    x1 = std::clamp(x1, 0, img.width());
    y0 = std::clamp(y0, 0, img.height());
    y1 = std::clamp(y1, 0, img.height());
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::fill(line + x0, line + x1, colour);
    }
}

// Seven-segment digit with its top left corner at (x, y).
void drawDigit(QImage& img, int digit, int x, int y, int w, int h, int t, QRgb colour)
{
    //  segments: a top, b top right, c bottom right, d bottom, e bottom left, f top left, g middle
    static constexpr unsigned char kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66,
                                                    0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    const unsigned s = kSegments[digit % 10];
    const int mid = y + h / 2;
    if (s & 0x01) fill(img, x, y, x + w, y + t, colour);
    if (s & 0x02) fill(img, x + w - t, y, x + w, mid + t / 2, colour);
    if (s & 0x04) fill(img, x + w - t, mid - t / 2, x + w, y + h, colour);
    if (s & 0x08) fill(img, x, y + h - t, x + w, y + h, colour);
    if (s & 0x10) fill(img, x, mid - t / 2, x + t, y + h, colour);
    if (s & 0x20) fill(img, x, y, x + t, mid + t / 2, colour);
    if (s & 0x40) fill(img, x, mid - t / 2, x + w, mid + t / 2 + t % 2, colour);
}

// ---- encoding ------------------------------------------------------------------------------

struct FormatCtxDeleter {
    void operator()(AVFormatContext* oc) const
    {
        if (!oc)
            return;
        if (oc->pb && !(oc->oformat->flags & AVFMT_NOFILE))
            avio_closep(&oc->pb);
        avformat_free_context(oc);
    }
};
struct CodecCtxDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsDeleter {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCtxDeleter>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCtxDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;

struct OutStream {
    CodecPtr enc;
    AVStream* st = nullptr;
};

class Writer {
public:
    explicit Writer(const Spec& spec) : spec_(spec) {}

    bool run(const QString& path, QString* error)
    {
        const bool ok = write(path);
        if (!ok && error)
            *error = error_;
        return ok;
    }

private:
    bool fail(const QString& what, int err = 0)
    {
        error_ = err ? QStringLiteral("%1: %2").arg(what, avError(err)) : what;
        return false;
    }

    const char* containerName() const
    {
        switch (spec_.format) {
        case Format::H264Mp4:
        case Format::HevcMp4: return "mp4";
        case Format::H264OpenGopMkv: return "matroska";
        case Format::Vp9Webm: return "webm";
        case Format::Mpeg2Ps: return "vob";
        default: return "avi";
        }
    }

    bool openVideo()
    {
        const char* codecName = nullptr;
        AVPixelFormat pixfmt = AV_PIX_FMT_YUV420P;
        switch (spec_.format) {
        case Format::MjpegAvi:
        case Format::DroppedSlotsAvi: codecName = "mjpeg"; pixfmt = AV_PIX_FMT_YUVJ420P; break;
        case Format::MsVideo1Avi: codecName = "msvideo1"; pixfmt = AV_PIX_FMT_RGB555LE; break;
        case Format::RawAvi: codecName = "rawvideo"; pixfmt = AV_PIX_FMT_BGR24; break;
        case Format::XvidAvi: codecName = "libxvid"; break;
        case Format::H264Mp4:
        case Format::H264OpenGopMkv: codecName = "libx264"; break;
        case Format::HevcMp4: codecName = "libx265"; break;
        case Format::Vp9Webm: codecName = "libvpx-vp9"; break;
        case Format::Mpeg2Ps: codecName = "mpeg2video"; break;
        case Format::PackedBAvi: codecName = "mpeg4"; break;
        }
        const AVCodec* codec = avcodec_find_encoder_by_name(codecName);
        if (!codec && spec_.format == Format::XvidAvi)
            codec = avcodec_find_encoder_by_name("mpeg4");
        if (!codec)
            return fail(QStringLiteral("encoder %1 not available").arg(QLatin1String(codecName)));

        video_.enc.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = video_.enc.get();
        c->width = spec_.width;
        c->height = spec_.height;
        c->pix_fmt = pixfmt;
        // Variable durations need a finer clock: quarters of the nominal frame duration.
        c->time_base = AVRational{spec_.fpsDen, spec_.fps * (spec_.variableRate ? 4 : 1)};
        c->framerate = AVRational{spec_.fps, spec_.fpsDen};
        c->sample_aspect_ratio = AVRational{std::max(1, spec_.sarNum), std::max(1, spec_.sarDen)};
        c->gop_size = effectiveGop(spec_);
        if (oc_->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

        AVDictionary* opts = nullptr;
        const double pixels = double(spec_.width) * spec_.height;
        switch (spec_.format) {
        case Format::MjpegAvi:
        case Format::DroppedSlotsAvi:
            c->flags |= AV_CODEC_FLAG_QSCALE;
            c->global_quality = FF_QP2LAMBDA * 10;
            c->color_range = AVCOL_RANGE_JPEG;
            break;
        case Format::XvidAvi:
            c->max_b_frames = 2;
            c->bit_rate = int64_t(pixels * rate() * 0.15);
            break;
        case Format::H264Mp4:
        case Format::H264OpenGopMkv:
            c->max_b_frames = 3;
            av_dict_set(&opts, "preset", "veryfast", 0);
            av_dict_set(&opts, "crf", "30", 0);
            av_dict_set(&opts, "x264-params",
                        spec_.format == Format::H264OpenGopMkv ? "open-gop=1:scenecut=0:log=-1"
                                                               : "scenecut=0:log=-1",
                        0);
            break;
        case Format::HevcMp4:
            av_dict_set(&opts, "preset", "ultrafast", 0);
            av_dict_set(&opts, "crf", "30", 0);
            av_dict_set(&opts, "x265-params", "log-level=none:bframes=3:open-gop=1:scenecut=0", 0);
            break;
        case Format::Vp9Webm:
            c->bit_rate = int64_t(pixels * rate() * 0.08);
            av_dict_set(&opts, "deadline", "good", 0);
            av_dict_set(&opts, "cpu-used", "5", 0);
            break;
        case Format::Mpeg2Ps:
            c->max_b_frames = 2;
            c->bit_rate = int64_t(pixels * rate() * 0.25);
            c->rc_buffer_size = int(c->bit_rate);
            c->rc_max_rate = c->bit_rate * 2;
            break;
        case Format::PackedBAvi:
            // Always the full number of B-frames between references, so the pattern is known.
            c->max_b_frames = effectiveBFrames(spec_);
            c->bit_rate = int64_t(pixels * rate() * 0.3);
            av_dict_set(&opts, "b_strategy", "0", 0);
            break;
        default: break;
        }
        const int err = avcodec_open2(c, codec, &opts);
        av_dict_free(&opts);
        if (err < 0)
            return fail(QStringLiteral("cannot open encoder %1").arg(QLatin1String(codec->name)), err);

        video_.st = avformat_new_stream(oc_.get(), nullptr);
        if (!video_.st)
            return fail(QStringLiteral("cannot add video stream"));
        video_.st->time_base = c->time_base;
        video_.st->avg_frame_rate = c->framerate;
        video_.st->sample_aspect_ratio = c->sample_aspect_ratio;
        if (avcodec_parameters_from_context(video_.st->codecpar, c) < 0)
            return fail(QStringLiteral("cannot set video stream parameters"));
        if (spec_.format == Format::HevcMp4)
            video_.st->codecpar->codec_tag = MKTAG('h', 'v', 'c', '1');
        if (spec_.format == Format::PackedBAvi)
            video_.st->codecpar->codec_tag = MKTAG('D', 'X', '5', '0');

        sws_.reset(sws_getContext(spec_.width, spec_.height, AV_PIX_FMT_BGRA, spec_.width,
                                  spec_.height, pixfmt, SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (!sws_)
            return fail(QStringLiteral("cannot convert pictures to the encoder's format"));
        return true;
    }

    bool openAudio()
    {
        const bool avi = QLatin1String(containerName()) == QLatin1String("avi");
        const bool aacCapable =
            spec_.format == Format::H264Mp4 || spec_.format == Format::HevcMp4 ||
            spec_.format == Format::H264OpenGopMkv;
        if ((!avi && !aacCapable) || spec_.format == Format::PackedBAvi)
            return fail(QStringLiteral("an audio track is not offered for %1")
                            .arg(formatName(spec_.format)));
        const AVCodec* codec = avcodec_find_encoder_by_name(avi ? "pcm_s16le" : "aac");
        if (!codec)
            return fail(QStringLiteral("audio encoder not available"));
        audio_.enc.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = audio_.enc.get();
        c->sample_rate = avi ? 22050 : 44100;
        c->sample_fmt = avi ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_FLTP;
        av_channel_layout_default(&c->ch_layout, 1);
        c->bit_rate = avi ? 0 : 48000;
        c->time_base = AVRational{1, c->sample_rate};
        if (oc_->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        int err = avcodec_open2(c, codec, nullptr);
        if (err < 0)
            return fail(QStringLiteral("cannot open audio encoder"), err);
        audio_.st = avformat_new_stream(oc_.get(), nullptr);
        if (!audio_.st)
            return fail(QStringLiteral("cannot add audio stream"));
        audio_.st->time_base = c->time_base;
        if (avcodec_parameters_from_context(audio_.st->codecpar, c) < 0)
            return fail(QStringLiteral("cannot set audio stream parameters"));
        audioFrameSize_ = c->frame_size > 0 ? c->frame_size : 1024;
        return true;
    }

    bool drain(OutStream& s, const AVFrame* frame)
    {
        int err = avcodec_send_frame(s.enc.get(), frame);
        if (err < 0)
            return fail(QStringLiteral("encoding failed"), err);
        for (;;) {
            err = avcodec_receive_packet(s.enc.get(), pkt_.get());
            if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
                return true;
            if (err < 0)
                return fail(QStringLiteral("encoding failed"), err);
            if (&s == &video_ && spec_.format == Format::PackedBAvi) {
                // Packed after the last picture (see writePacked).
                coded_.emplace_back(av_packet_clone(pkt_.get()));
                av_packet_unref(pkt_.get());
                continue;
            }
            if (&s == &video_ && spec_.variableRate && pkt_->duration <= 0) {
                // Every picture carries its duration, the last one too, so the container's mean
                // rate is the stated one (frame n starts at 4n - n % 2 quarters).
                pkt_->duration = pkt_->pts % 4 == 0 ? 3 : 5;
            }
            av_packet_rescale_ts(pkt_.get(), s.enc->time_base, s.st->time_base);
            pkt_->stream_index = s.st->index;
            err = av_interleaved_write_frame(oc_.get(), pkt_.get());
            if (err < 0)
                return fail(QStringLiteral("writing failed"), err);
        }
    }

    // Audio up to (not including) video time `untilSeconds`.
    bool writeAudioUntil(double untilSeconds)
    {
        if (!audio_.enc)
            return true;
        AVCodecContext* c = audio_.enc.get();
        const int64_t target = int64_t(std::llround(untilSeconds * c->sample_rate));
        while (audioSamples_ < target) {
            FramePtr f(av_frame_alloc());
            f->format = c->sample_fmt;
            f->sample_rate = c->sample_rate;
            av_channel_layout_copy(&f->ch_layout, &c->ch_layout);
            f->nb_samples = audioFrameSize_;
            if (av_frame_get_buffer(f.get(), 0) < 0)
                return fail(QStringLiteral("out of memory"));
            for (int i = 0; i < f->nb_samples; ++i) {
                const int64_t n = audioSamples_ + i;
                const double t = double(n) / c->sample_rate;
                // A 440 Hz tone that beeps every second, so playback with sound is audible.
                const double env = std::fmod(t, 1.0) < 0.15 ? 0.4 : 0.1;
                const double v = env * std::sin(2.0 * std::numbers::pi * 440.0 * t);
                if (c->sample_fmt == AV_SAMPLE_FMT_S16)
                    reinterpret_cast<int16_t*>(f->data[0])[i] = int16_t(std::lround(v * 32767));
                else
                    reinterpret_cast<float*>(f->data[0])[i] = float(v);
            }
            f->pts = audioSamples_;
            audioSamples_ += f->nb_samples;
            if (!drain(audio_, f.get()))
                return false;
        }
        return true;
    }

    bool write(const QString& path)
    {
        if (spec_.width < 32 || spec_.height < 32 || spec_.width % 2 || spec_.height % 2)
            return fail(QStringLiteral("picture size must be even and at least 32 x 32"));
        if (spec_.frames < 1 || spec_.frames > maxFrameNumber + 1)
            return fail(QStringLiteral("frame count out of range"));
        if (spec_.fps < 1 || spec_.fpsDen < 1 || rate() < 1 || rate() > 240)
            return fail(QStringLiteral("frame rate out of range"));
        const bool mp4 = spec_.format == Format::H264Mp4 || spec_.format == Format::HevcMp4;
        if (spec_.variableRate && !mp4 && spec_.format != Format::H264OpenGopMkv)
            return fail(QStringLiteral("variable frame durations are offered for MP4 and Matroska only"));
        if (spec_.captureFps != 0 && (!mp4 || !(spec_.captureFps > 0 && spec_.captureFps < 100000)))
            return fail(QStringLiteral("a capture rate is offered for MP4 only"));

        const QByteArray file = QFile::encodeName(path);
        AVFormatContext* raw = nullptr;
        int err = avformat_alloc_output_context2(&raw, nullptr, containerName(), file.constData());
        if (err < 0 || !raw)
            return fail(QStringLiteral("cannot create container"), err);
        oc_.reset(raw);
        pkt_.reset(av_packet_alloc());

        if (!openVideo())
            return false;
        if (spec_.audio && !openAudio())
            return false;

        err = avio_open(&oc_->pb, file.constData(), AVIO_FLAG_WRITE);
        if (err < 0)
            return fail(QStringLiteral("cannot write %1").arg(path), err);
        AVDictionary* muxerOptions = nullptr;
        if (spec_.captureFps > 0) {
            // The muxer writes "mdta" metadata as text; the placeholder of four bytes is turned
            // into the float Android writes once the file is complete (patchCaptureRate).
            av_dict_set(&oc_->metadata, kCaptureRateKey, kCaptureRatePlaceholder, 0);
            av_dict_set(&muxerOptions, "movflags", "use_metadata_tags", 0);
        }
        err = avformat_write_header(oc_.get(), &muxerOptions);
        av_dict_free(&muxerOptions);
        if (err < 0)
            return fail(QStringLiteral("cannot write header"), err);

        const std::vector<int> dropped = droppedSlots(spec_);
        FramePtr frame(av_frame_alloc());
        frame->format = video_.enc->pix_fmt;
        frame->width = spec_.width;
        frame->height = spec_.height;
        frame->color_range = video_.enc->color_range;
        if (av_frame_get_buffer(frame.get(), 0) < 0)
            return fail(QStringLiteral("out of memory"));

        for (int slot = 0; slot < spec_.frames; ++slot) {
            if (!writeAudioUntil(frameSeconds(spec_, slot + 1)))
                return false;
            if (std::binary_search(dropped.begin(), dropped.end(), slot))
                continue;
            const QImage img = spec_.render ? spec_.render(slot, spec_.width, spec_.height)
                                            : renderFrame(slot, spec_.width, spec_.height);
            if (av_frame_make_writable(frame.get()) < 0)
                return fail(QStringLiteral("out of memory"));
            const uint8_t* src[1] = {img.constBits()};
            const int srcStride[1] = {int(img.bytesPerLine())};
            sws_scale(sws_.get(), src, srcStride, 0, spec_.height, frame->data, frame->linesize);
            frame->pts = spec_.variableRate ? 4 * int64_t(slot) - slot % 2 : slot;
            if (!drain(video_, frame.get()))
                return false;
        }
        if (!drain(video_, nullptr))
            return false;
        if (spec_.format == Format::PackedBAvi && !writePacked())
            return false;
        if (audio_.enc) {
            if (!drain(audio_, nullptr))
                return false;
        }
        err = av_write_trailer(oc_.get());
        if (err < 0)
            return fail(QStringLiteral("cannot finish file"), err);
        oc_.reset(); // closes the file
        if (spec_.captureFps > 0 && !patchCaptureRate(path))
            return false;
        return true;
    }

    double rate() const { return double(spec_.fps) / double(spec_.fpsDen); }

    static constexpr const char* kCaptureRateKey = "com.android.capture.fps";
    static constexpr const char* kCaptureRatePlaceholder = "KcFp";

    // Rewrites the capture rate's value atom from UTF-8 text (type 1) holding the placeholder to a
    // big-endian 32-bit float (type 23), as Android writes it. Same size, so no atom changes.
    bool patchCaptureRate(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadWrite))
            return fail(QStringLiteral("cannot reopen %1").arg(path));
        QByteArray all = f.readAll();
        QByteArray text("data\x00\x00\x00\x01\x00\x00\x00\x00", 12);
        text += kCaptureRatePlaceholder;
        const qsizetype at = all.lastIndexOf(text);
        if (at < 0)
            return fail(QStringLiteral("the muxer did not write the capture rate"));
        const float value = float(spec_.captureFps);
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        const char patched[8] = {0, 0, 0, 23, char(bits >> 24), char(bits >> 16), char(bits >> 8), char(bits)};
        if (!f.seek(at + 4) || f.write(patched, 4) != 4 || !f.seek(at + 12) || f.write(patched + 4, 4) != 4)
            return fail(QStringLiteral("cannot write the capture rate"));
        return true;
    }


    // Writes the encoder's packets (coded order) in DivX's packed layout: a reference picture's
    // chunk also carries the first B-frame shown before it, every further B-frame moves one chunk
    // earlier, and the slot left over holds a "not coded" picture. One chunk per frame slot.
    bool writePacked()
    {
        const QByteArray divx = makeUserData("DivX503b1393p");
        std::vector<QByteArray> chunks;
        std::vector<bool> keys;
        for (std::size_t i = 0; i < coded_.size();) {
            const AVPacket* ref = coded_[i].get();
            QByteArray chunk(reinterpret_cast<const char*>(ref->data), ref->size);
            const bool key = vopType(chunk) == 0;
            if (key) {
                // DivX marks a packed stream in its user data, before the picture itself.
                const qsizetype vop = vopStart(chunk);
                if (vop < 0)
                    return fail(QStringLiteral("keyframe without a picture start code"));
                chunk.insert(vop, divx);
                dropVolControlParameters(chunk);
            }
            std::size_t j = i + 1;
            std::vector<QByteArray> bs;
            while (j < coded_.size()) {
                const QByteArray b(reinterpret_cast<const char*>(coded_[j]->data), coded_[j]->size);
                if (vopType(b) != 2)
                    break;
                bs.push_back(b);
                ++j;
            }
            if (!bs.empty())
                chunk += bs.front();
            chunks.push_back(chunk);
            keys.push_back(key);
            for (std::size_t k = 1; k < bs.size(); ++k) {
                chunks.push_back(bs[k]);
                keys.push_back(false);
            }
            if (!bs.empty()) {
                chunks.push_back(notCodedPicture(int(chunks.size())));
                keys.push_back(false);
            }
            i = j;
        }
        if (int(chunks.size()) != spec_.frames)
            return fail(QStringLiteral("packing gave %1 chunks for %2 frames").arg(chunks.size()).arg(spec_.frames));
        for (std::size_t slot = 0; slot < chunks.size(); ++slot) {
            PacketPtr out(av_packet_alloc());
            if (av_new_packet(out.get(), int(chunks[slot].size())) < 0)
                return fail(QStringLiteral("out of memory"));
            std::memcpy(out->data, chunks[slot].constData(), std::size_t(chunks[slot].size()));
            out->pts = out->dts = int64_t(slot);
            out->duration = 1;
            if (keys[slot])
                out->flags |= AV_PKT_FLAG_KEY;
            av_packet_rescale_ts(out.get(), AVRational{spec_.fpsDen, spec_.fps}, video_.st->time_base);
            out->stream_index = video_.st->index;
            const int err = av_interleaved_write_frame(oc_.get(), out.get());
            if (err < 0)
                return fail(QStringLiteral("writing failed"), err);
        }
        return true;
    }

    // Rewrites the stream header (VOL) of a keyframe chunk as DivX 5 writes it: without the VOL
    // control parameters, so the header does not say whether pictures come out reordered.
    static void dropVolControlParameters(QByteArray& chunk)
    {
        const qsizetype vol = chunk.indexOf(QByteArray("\x00\x00\x01\x20", 4));
        if (vol < 0)
            return;
        const qsizetype end = chunk.indexOf(QByteArray("\x00\x00\x01", 3), vol + 4);
        if (end < 0)
            return;
        std::vector<int> bits;
        for (qsizetype i = vol + 4; i < end; ++i)
            for (int k = 7; k >= 0; --k)
                bits.push_back((uchar(chunk[i]) >> k) & 1);
        // random_accessible_vol, video_object_type_indication, is_object_layer_identifier
        // (+ verid, priority), aspect_ratio_info (+ extended PAR), then vol_control_parameters.
        std::size_t at = 1 + 8;
        at += bits[at] ? 8 : 1;
        const int aspect = bits[at] * 8 + bits[at + 1] * 4 + bits[at + 2] * 2 + bits[at + 3];
        at += 4 + (aspect == 15 ? 16 : 0);
        if (!bits[at] || bits[at + 4]) // none, or with VBV parameters: leave it
            return;
        // chroma_format (2), low_delay (1) and vbv_parameters (1) go with the flag.
        bits.erase(bits.begin() + std::ptrdiff_t(at) + 1, bits.begin() + std::ptrdiff_t(at) + 5);
        bits[at] = 0;
        // Stuffing to the next start code: a zero, then ones up to the byte boundary.
        while (!bits.empty() && bits.back() == 1)
            bits.pop_back();
        if (!bits.empty())
            bits.pop_back();
        bits.push_back(0);
        while (bits.size() % 8)
            bits.push_back(1);
        QByteArray rewritten;
        for (std::size_t i = 0; i < bits.size(); i += 8) {
            int byte = 0;
            for (int k = 0; k < 8; ++k)
                byte = (byte << 1) | bits[i + std::size_t(k)];
            rewritten += char(byte);
        }
        chunk.replace(vol + 4, end - vol - 4, rewritten);
    }

    // Position of the first picture (VOP) start code, or -1.
    static qsizetype vopStart(const QByteArray& data)
    {
        return data.indexOf(QByteArray("\x00\x00\x01\xb6", 4));
    }
    // Coding type of the first picture in `data`: 0 I, 1 P, 2 B, 3 S; -1 if there is none.
    static int vopType(const QByteArray& data)
    {
        const qsizetype at = vopStart(data);
        if (at < 0 || at + 4 >= data.size())
            return -1;
        return (uchar(data[at + 4]) >> 6) & 3;
    }
    static QByteArray makeUserData(const char* text)
    {
        return QByteArray("\x00\x00\x01\xb2", 4) + QByteArray(text);
    }
    // A "not coded" P picture (vop_coded = 0) for slot `slot`, padded to the 7 bytes DivX writes.
    QByteArray notCodedPicture(int slot) const
    {
        const int resolution = std::max(2, video_.enc->time_base.den);
        int bits = 1;
        while ((1 << bits) < resolution)
            ++bits;
        std::vector<int> b = {0, 1, 0, 1}; // P picture, modulo_time_base 0, marker
        for (int k = bits - 1; k >= 0; --k)
            b.push_back(((slot % resolution) >> k) & 1);
        b.push_back(1); // marker
        b.push_back(0); // vop_coded = 0
        b.push_back(0); // stuffing: a zero, then ones up to the byte boundary
        while (b.size() % 8)
            b.push_back(1);
        QByteArray out("\x00\x00\x01\xb6", 4);
        for (std::size_t k = 0; k < b.size(); k += 8) {
            int byte = 0;
            for (int m = 0; m < 8; ++m)
                byte = (byte << 1) | b[k + std::size_t(m)];
            out += char(byte);
        }
        while (out.size() < 7)
            out += char(0x7f);
        return out;
    }

    const Spec& spec_;
    QString error_;
    FormatPtr oc_;
    PacketPtr pkt_;
    SwsPtr sws_;
    OutStream video_;
    OutStream audio_;
    int audioFrameSize_ = 1024;
    int64_t audioSamples_ = 0;
    std::vector<PacketPtr> coded_; // PackedBAvi: the encoder's packets in coded order
};

double blockLuma(const QImage& img, int block)
{
    const double w = img.width();
    const double h = img.height();
    const double bw = w / kBlocks;
    const int x0 = int(std::floor((block + 0.3) * bw));
    const int x1 = std::max(x0 + 1, int(std::ceil((block + 0.7) * bw)));
    const double bandH = (kBandBottom - kBandTop) * h;
    const int y0 = int(std::floor(kBandTop * h + 0.25 * bandH));
    const int y1 = std::max(y0 + 1, int(std::ceil(kBandTop * h + 0.75 * bandH)));
    double sum = 0;
    int count = 0;
    for (int y = y0; y < y1 && y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = x0; x < x1 && x < img.width(); ++x) {
            const QRgb p = line[x];
            sum += 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p);
            ++count;
        }
    }
    return count ? sum / count : 0.0;
}

} // namespace

std::vector<Format> allFormats()
{
    std::vector<Format> out;
    for (const auto& i : kFormats)
        out.push_back(i.format);
    return out;
}

QString formatName(Format format) { return QLatin1String(info(format).name); }

std::optional<Format> formatFromName(const QString& name)
{
    for (const auto& i : kFormats)
        if (name == QLatin1String(i.name))
            return i.format;
    return std::nullopt;
}

QString extension(Format format) { return QLatin1String(info(format).ext); }

int effectiveGop(const Spec& spec)
{
    if (spec.gop > 0)
        return spec.gop;
    switch (spec.format) {
    case Format::MjpegAvi:
    case Format::MsVideo1Avi:
    case Format::RawAvi:
    case Format::DroppedSlotsAvi: return 1;
    case Format::H264Mp4: return 100;
    case Format::Mpeg2Ps: return 15;
    default: return 50;
    }
}

int effectiveBFrames(const Spec& spec)
{
    switch (spec.format) {
    case Format::PackedBAvi: return spec.bFrames > 0 ? spec.bFrames : 1;
    case Format::XvidAvi: return 2;
    default: return 0;
    }
}

std::vector<int> droppedSlots(const Spec& spec)
{
    if (spec.format != Format::DroppedSlotsAvi)
        return {};
    std::vector<int> out;
    if (!spec.dropped.empty()) {
        out = spec.dropped;
    } else {
        // Single drops at irregular intervals plus one run of three consecutive empty slots.
        for (int s = 5; s < spec.frames - 1; s += 9)
            out.push_back(s);
        for (int s = 40; s < 43 && s < spec.frames - 1; ++s)
            out.push_back(s);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    out.erase(std::remove_if(out.begin(), out.end(),
                             [&](int s) { return s <= 0 || s >= spec.frames; }),
              out.end());
    return out;
}

int expectedNumber(const Spec& spec, int slot)
{
    const std::vector<int> dropped = droppedSlots(spec);
    int n = slot;
    while (n > 0 && std::binary_search(dropped.begin(), dropped.end(), n))
        --n;
    return n;
}

namespace {

uint32_t le32(const QByteArray& b, qsizetype at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

uint32_t be32(const QByteArray& b, qsizetype at)
{
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint32_t(uint8_t(b[at + 3]));
}

void putLe32(QByteArray& b, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (8 * i));
}

struct Region {
    qsizetype start = -1;
    qsizetype size = 0;
};

// Where the headers end and where the picture data and the index lie.
struct Layout {
    qsizetype headerEnd = -1;
    Region data;
    Region index;
    std::vector<qsizetype> aviIndexEntries; // offsets of the idx1 entries' chunk offset fields
    std::vector<qsizetype> odmlBases;       // offsets of the ix## chunks' 64-bit base offsets
};

bool aviLayout(const QByteArray& b, Layout& l)
{
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "AVI ")
        return false;
    // Walk the RIFF's chunks: LIST hdrl, LIST movi, idx1.
    qsizetype at = 12;
    while (at + 8 <= b.size()) {
        const QByteArray id = b.mid(at, 4);
        const qsizetype size = qsizetype(le32(b, at + 4));
        if (id == "LIST" && b.mid(at + 8, 4) == "movi") {
            l.headerEnd = at + 12;
            l.data = {at + 12, std::min(size - 4, b.size() - at - 12)};
            // Standard index chunks (OpenDML) inside the movi list.
            for (qsizetype ix = b.indexOf("ix00", at); ix >= 0 && ix < at + 8 + size; ix = b.indexOf("ix00", ix + 4))
                if (ix + 32 <= b.size() && uint8_t(b[ix + 11]) == 1) // AVI_INDEX_OF_CHUNKS
                    l.odmlBases.push_back(ix + 20);
        } else if (id == "idx1") {
            l.index = {at, std::min(size + 8, b.size() - at)};
            for (qsizetype e = at + 8; e + 16 <= at + 8 + size && e + 16 <= b.size(); e += 16)
                l.aviIndexEntries.push_back(e + 8);
        }
        at += 8 + size + (size & 1);
    }
    return l.headerEnd > 0 && l.data.size > 0 && l.index.start > 0;
}

bool mp4Layout(const QByteArray& b, Layout& l)
{
    qsizetype at = 0;
    while (at + 8 <= b.size()) {
        const qsizetype size = qsizetype(be32(b, at));
        const QByteArray type = b.mid(at + 4, 4);
        if (size < 8)
            return false; // 64-bit and open-ended boxes are not written by the generator
        if (type == "ftyp")
            l.headerEnd = at + size;
        else if (type == "mdat")
            l.data = {at + 8, size - 8};
        else if (type == "moov")
            l.index = {at, size};
        at += size;
    }
    return l.headerEnd > 0 && l.data.size > 0 && l.index.start > 0;
}

} // namespace

std::vector<Damage> allDamages()
{
    return {Damage::HeaderOnly, Damage::CutInIndex, Damage::CutInData, Damage::FlippedBytes,
            Damage::Empty,      Damage::TextAsAvi,  Damage::IndexPastEnd};
}

QString damageName(Damage damage)
{
    switch (damage) {
    case Damage::HeaderOnly: return QStringLiteral("header-only");
    case Damage::CutInIndex: return QStringLiteral("cut-in-index");
    case Damage::CutInData: return QStringLiteral("cut-in-data");
    case Damage::FlippedBytes: return QStringLiteral("flipped-bytes");
    case Damage::Empty: return QStringLiteral("empty");
    case Damage::TextAsAvi: return QStringLiteral("text-as-avi");
    case Damage::IndexPastEnd: return QStringLiteral("index-past-end");
    }
    return {};
}

bool writeDamaged(const QString& source, Damage damage, const QString& path, QString* error)
{
    auto fail = [&](const QString& what) {
        if (error)
            *error = what;
        return false;
    };
    QByteArray out;
    if (damage == Damage::TextAsAvi) {
        out = "Liebe Kolleginnen und Kollegen,\nanbei die Messwerte vom Dienstag.\n";
    } else if (damage != Damage::Empty) {
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1").arg(source));
        out = in.readAll();
        Layout l;
        const bool avi = aviLayout(out, l);
        if (!avi && !mp4Layout(out, l))
            return fail(QStringLiteral("%1 is neither a generated AVI nor MP4").arg(source));
        switch (damage) {
        case Damage::HeaderOnly: out.truncate(l.headerEnd); break;
        case Damage::CutInIndex: out.truncate(l.index.start + l.index.size / 2); break;
        case Damage::CutInData: out.truncate(l.data.start + l.data.size / 2); break;
        case Damage::FlippedBytes:
            // Eight bytes every 3001 bytes, inverted, in the middle half of the data.
            for (qsizetype at = l.data.start + l.data.size / 4; at < l.data.start + l.data.size * 3 / 4; at += 3001)
                for (qsizetype k = at; k < at + 8; ++k)
                    out[k] = char(~uint8_t(out[k]));
            break;
        case Damage::IndexPastEnd: {
            if (!avi)
                return fail(QStringLiteral("index-past-end is made of AVI files only"));
            const uint32_t far = 0x40000000u;
            for (const qsizetype e : l.aviIndexEntries)
                putLe32(out, e, le32(out, e) + far);
            for (const qsizetype base : l.odmlBases)
                putLe32(out, base + 4, le32(out, base + 4) + 1); // + 4 GiB
            break;
        }
        default: break;
        }
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(out) != out.size())
        return fail(QStringLiteral("cannot write %1").arg(path));
    return true;
}

double frameSeconds(const Spec& spec, int n)
{
    const double rate = double(spec.fps) / double(std::max(1, spec.fpsDen));
    if (spec.variableRate)
        return double(4 * int64_t(n) - n % 2) / (4.0 * rate);
    return double(n) / rate;
}

Spec h264Mp4AtRate(int num, int den, int frames)
{
    Spec s;
    s.format = Format::H264Mp4;
    s.fps = num;
    s.fpsDen = den;
    s.frames = frames;
    return s;
}

Spec variableRateMp4(int frames)
{
    Spec s = h264Mp4AtRate(30, 1, frames);
    s.variableRate = true;
    return s;
}

Spec slowMotionMp4(double captureFps, int fps, int frames)
{
    Spec s = h264Mp4AtRate(fps, 1, frames);
    s.captureFps = captureFps;
    return s;
}

bool generate(const Spec& spec, const QString& path, QString* error)
{
    Writer writer(spec);
    const bool ok = writer.run(path, error);
    if (!ok)
        QFile::remove(path);
    return ok;
}

QString fileNameFor(const Spec& spec)
{
    QString name = QStringLiteral("v%7_%1_%2x%3_%4f_%5fps_g%6")
                       .arg(formatName(spec.format))
                       .arg(spec.width)
                       .arg(spec.height)
                       .arg(spec.frames)
                       .arg(spec.fps)
                       .arg(effectiveGop(spec))
                       .arg(generatorVersion);
    if (spec.fpsDen != 1)
        name += QStringLiteral("_r%1-%2").arg(spec.fps).arg(spec.fpsDen);
    if (spec.variableRate)
        name += QStringLiteral("_vfr");
    if (spec.captureFps != 0)
        name += QStringLiteral("_cap%1").arg(spec.captureFps);
    if (spec.audio)
        name += QStringLiteral("_a");
    if (spec.sarNum != spec.sarDen)
        name += QStringLiteral("_sar%1-%2").arg(spec.sarNum).arg(spec.sarDen);
    if (spec.format == Format::PackedBAvi)
        name += QStringLiteral("_b%1").arg(effectiveBFrames(spec));
    if (!spec.dropped.empty()) {
        size_t h = 0;
        for (int d : droppedSlots(spec))
            h = h * 1000003u + size_t(d);
        name += QStringLiteral("_d%1").arg(h, 0, 16);
    }
    return name + extension(spec.format);
}

QString cachedVideo(const Spec& spec, const QString& dir, QString* error)
{
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(dir);
        return {};
    }
    const QString path = QDir(dir).filePath(fileNameFor(spec));
    if (QFileInfo(path).size() > 0)
        return path;
    // Write under a temporary name of this process and rename, so neither an interrupted run nor
    // two test programs generating at the same time leave a partial file taken as complete.
    const QString tmp = path + QStringLiteral(".part%1").arg(QCoreApplication::applicationPid());
    if (!generate(spec, tmp, error))
        return {};
    QFile::remove(path);
    if (!QFile::rename(tmp, path)) {
        QFile::remove(tmp);
        if (error)
            *error = QStringLiteral("cannot rename %1").arg(tmp);
        return {};
    }
    return path;
}

QImage renderFrame(int number, int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(qRgb(70, 70, 90));

    // A slowly moving bright square gives the encoders real motion to predict.
    const int sq = std::max(4, height / 8);
    const int travel = std::max(1, width - sq);
    const int pos = (number * std::max(1, width / 60)) % (2 * travel);
    const int sx = pos < travel ? pos : 2 * travel - pos;
    fill(img, sx, int(height * 0.82), sx + sq, int(height * 0.82) + sq, qRgb(230, 200, 60));

    // Block band: white marker, black marker, data bits, parity.
    const int y0 = int(std::lround(kBandTop * height));
    const int y1 = int(std::lround(kBandBottom * height));
    int parity = 0;
    for (int b = 0; b < kBlocks; ++b) {
        bool white;
        if (b == 0) {
            white = true;
        } else if (b == 1) {
            white = false;
        } else if (b < 2 + kDataBits) {
            white = (number >> (kDataBits - 1 - (b - 2))) & 1;
            parity ^= int(white);
        } else {
            white = parity != 0;
        }
        const int x0 = int(std::lround(double(b) * width / kBlocks));
        const int x1 = int(std::lround(double(b + 1) * width / kBlocks));
        fill(img, x0, y0, x1, y1, white ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }

    // Visible digits, centred below the band.
    const QString text = QString::number(number);
    const int dh = int(height * 0.34);
    const int dw = std::max(3, dh / 2);
    const int t = std::max(2, dh / 9);
    const int gap = std::max(2, dw / 4);
    const int total = int(text.size()) * dw + (int(text.size()) - 1) * gap;
    int x = (width - total) / 2;
    const int y = int(height * 0.38);
    fill(img, x - gap, y - gap, x + total + gap, y + dh + gap, qRgb(20, 20, 20));
    for (QChar ch : text) {
        drawDigit(img, ch.digitValue(), x, y, dw, dh, t, qRgb(255, 255, 255));
        x += dw + gap;
    }
    return img;
}

int readFrameNumber(const QImage& image)
{
    if (image.isNull() || image.width() < kBlocks * 2 || image.height() < 16)
        return -1;
    const QImage img = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    double luma[kBlocks];
    for (int b = 0; b < kBlocks; ++b)
        luma[b] = blockLuma(img, b);
    const double white = luma[0];
    const double black = luma[1];
    if (white - black < 100.0)
        return -1;
    const double threshold = (white + black) / 2.0;
    const double margin = (white - black) * 0.2;
    int value = 0;
    int parity = 0;
    for (int b = 2; b < kBlocks; ++b) {
        if (std::abs(luma[b] - threshold) < margin)
            return -1;
        const int bit = luma[b] > threshold ? 1 : 0;
        if (b < 2 + kDataBits)
            value = (value << 1) | bit;
        parity ^= bit;
    }
    return parity == 0 ? value : -1;
}

} // namespace kadro::videogen
