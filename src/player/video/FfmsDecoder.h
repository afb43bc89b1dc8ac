#pragma once
// A Decoder on one FFMS2 video source: delivers coded pictures as RGB32 at a chosen size (scaled by
// area averaging when smaller than the coded size, converted by FFMS2's swscale inside GetFrame).
// FFMS2 keeps exactly one decoded frame per source, valid until the next call: it is copied.

#include "player/video/Decoder.h"
#include "player/video/FfmsSupport.h"

namespace kadro {

class FfmsDecoder : public Decoder {
public:
    // `position`: the coded picture the source decoded last (-1 if none or unknown).
    FfmsDecoder(FfmsVideoPtr source, const QSize& codedSize, int position);
    ~FfmsDecoder() override;
    FfmsDecoder(const FfmsDecoder&) = delete;
    FfmsDecoder& operator=(const FfmsDecoder&) = delete;

    QImage picture(int coded) override;
    int position() const override { return position_; }
    void setOutputSize(const QSize& size) override;
    QSize outputSize() const override { return output_; }

private:
    FfmsVideoPtr source_;
    QSize coded_;
    QSize output_;
    int position_ = -1;
};

} // namespace kadro
