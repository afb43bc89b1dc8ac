#pragma once
// A Decoder of its own on libavformat and libavcodec for files whose packets carry presentation
// time stamps (MP4, MOV, Matroska, WebM), where FFMS2's seeking lands wrong (HEVC and H.264 with
// open GOPs). Every decoded picture is known by its own time stamp, looked up among the index's,
// so no seek can deliver another picture than the one asked for: counting decoder output after a
// seek, which goes wrong when the decoder drops the leading pictures of a keyframe, is never
// needed.
//
// A picture is reached from the keyframe at or before it in presentation order: a seek there,
// then decoding on, dropping what comes before the picture. The pictures at the end of an interval
// that are decoded only after the next keyframe (the leading pictures of an open GOP's keyframe)
// come out on the way, since decoding then runs on past that keyframe with its references intact.
// Where a seek lands past the picture, the keyframe before is taken.
//
// Pictures are scaled and converted to RGB32 as FFMS2 converts them (its resizer, the stream's
// colour space and range), so a picture looks the same whichever decoder made it. Damaged pictures (FFmpeg's flags on the
// decoded frame) fail with VideoDeviceError.

#include "player/video/Decoder.h"

#include <QSize>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace kadro {

class PtsDecoder : public Decoder {
public:
    // `pts`: the index's time stamps of the coded pictures in presentation order (ascending and
    // unique, see suits()), in the stream's time base; `model`: the keyframes. Throws
    // VideoDeviceError when the file or its decoder cannot be opened.
    PtsDecoder(const QString& path, int track, std::shared_ptr<const std::vector<int64_t>> pts, DecodeModel model,
               int threads = 1);
    ~PtsDecoder() override;
    PtsDecoder(const PtsDecoder&) = delete;
    PtsDecoder& operator=(const PtsDecoder&) = delete;

    QImage picture(int coded) override;
    int position() const override { return position_; }
    void setOutputSize(const QSize& size) override;
    QSize outputSize() const override { return output_; }

    // Decodes up to coded picture `coded` without converting it (the seek check compares the
    // decoded planes); throws as picture() does.
    void decode(int coded);
    // Hash of the picture decoded last, in the decoder's own format (pictureHash).
    std::size_t decodedHash() const;

    // Whether a file of this container with these index time stamps can be decoded so: Matroska,
    // WebM or MP4/MOV, every time stamp distinct.
    static bool suits(const QString& container, const std::vector<int64_t>& pts);

    // Most keyframes a request goes back before giving up on a picture that never comes out.
    static constexpr int kMaxRetreats = 3;

private:
    void release();
    void seekTo(int keyframe);
    bool nextFrame();
    int indexOf(int64_t stamp) const;
    QImage convert();

    std::shared_ptr<const std::vector<int64_t>> pts_;
    DecodeModel model_;
    int track_ = -1;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwsContext* sws_ = nullptr;
    int swsKey_[6] = {-1, -1, -1, -1, -1, -1}; // sws_'s source format, size, colour space, output size
    QSize output_;
    int position_ = -1;     // coded index of frame_, -1 when none
    bool inputEnded_ = false;
    bool drained_ = false;
};

// Hash of a decoded picture's planes (without row padding) in pixel format `format`.
std::size_t pictureHash(const uint8_t* const data[4], const int linesize[4], int format, int width, int height);

} // namespace kadro
