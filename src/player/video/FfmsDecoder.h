#pragma once
// A Decoder on one FFMS2 video source: delivers coded pictures as RGB32 at a chosen size (scaled by
// area averaging when smaller than the coded size, converted by FFMS2's swscale inside GetFrame).
// FFMS2 keeps exactly one decoded frame per source, valid until the next call: it is copied.
//
// A request during which FFmpeg complained is checked with FFmpeg's own verdict on the picture
// (PictureVerdicts): a log line alone is no damage. A picture FFmpeg finds damaged, or one whose
// interval lost a picture (after which FFMS2 would count the following pictures wrongly), fails
// (VideoDeviceError). The source is then given up and a fresh one made for the next request, so
// that FFMS2 finds its place again from the index (a seek, or a new start when decoding linearly).

#include "player/video/Decoder.h"
#include "player/video/FfmsSupport.h"

#include <functional>
#include <memory>

namespace kadro {

class PictureVerdicts;

class FfmsDecoder : public Decoder {
public:
    using Opener = std::function<FfmsVideoPtr()>;
    // `source`: an open source (may be null: made with `open` at the first request); `position`:
    // the coded picture it decoded last (-1 if none or unknown).
    // `verdicts`: FFmpeg's verdict on pictures during whose decoding it complained (none: every
    // complaint is taken for damage).
    FfmsDecoder(Opener open, FfmsVideoPtr source, const QSize& codedSize, int position,
                std::shared_ptr<PictureVerdicts> verdicts = {});
    ~FfmsDecoder() override;
    FfmsDecoder(const FfmsDecoder&) = delete;
    FfmsDecoder& operator=(const FfmsDecoder&) = delete;

    QImage picture(int coded) override;
    int position() const override { return position_; }
    void setOutputSize(const QSize& size) override;
    QSize outputSize() const override { return output_; }

private:
    void applyOutput();

    Opener open_;
    std::shared_ptr<PictureVerdicts> verdicts_;
    FfmsVideoPtr source_;
    QSize coded_;
    QSize output_;
    bool outputApplied_ = false;
    int position_ = -1;
};

} // namespace kadro
