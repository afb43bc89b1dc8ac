#include "player/video/FfmsDecoder.h"

#include "player/video/PictureMemory.h"
#include "player/video/PictureVerdicts.h"
#include "player/video/VideoDevice.h"

#include <cstring>

namespace kadro {

FfmsDecoder::FfmsDecoder(Opener open, FfmsVideoPtr source, const QSize& codedSize, int position,
                         std::shared_ptr<PictureVerdicts> verdicts)
    : open_(std::move(open)), verdicts_(std::move(verdicts)), source_(std::move(source)), coded_(codedSize), output_(codedSize), position_(source_ ? position : -1)
{
}

FfmsDecoder::~FfmsDecoder() = default;

// The conversion is set up with the next picture: FFMS2 converts the frame it holds at once, and a
// 1080p frame converted for nothing costs more than decoding it.
void FfmsDecoder::setOutputSize(const QSize& size)
{
    const QSize out = size.isValid() && !size.isEmpty() ? size : coded_;
    if (out == output_ && outputApplied_)
        return;
    output_ = out;
    outputApplied_ = false;
}

void FfmsDecoder::applyOutput()
{
    const int formats[] = {FFMS_GetPixFmt("bgra"), -1};
    // Area averaging for scaling down (each output pixel the mean of the pixels it covers);
    // otherwise only the colour conversion runs.
    const bool smaller = output_.width() < coded_.width() || output_.height() < coded_.height();
    FfmsError err;
    if (FFMS_SetOutputFormatV2(source_.get(), formats, output_.width(), output_.height(),
                               smaller ? FFMS_RESIZER_AREA : FFMS_RESIZER_BICUBIC, &err.info))
        throw VideoDeviceError(err.text("cannot convert the pictures"));
    outputApplied_ = true;
}

QImage FfmsDecoder::picture(int coded)
{
    if (!source_) {
        if (!open_)
            throw VideoDeviceError("the decoder is gone");
        source_ = open_();
        position_ = -1;
        outputApplied_ = false;
    }
    if (!outputApplied_)
        applyOutput();
    const int from = position_;
    DecodeErrors errors;
    FfmsError err;
    const FFMS_Frame* f = FFMS_GetFrame(source_.get(), coded, &err.info);
    bool damaged = false;
    if (f && errors.count() > 0) {
        // FFmpeg complained on the way: the picture must be sound, and so must every picture
        // decoded on the way to it (one that did not come out shifts FFMS2's count). Where only
        // the way was bad, the picture is decoded once more from its keyframe by a fresh source.
        damaged = !(verdicts_ && verdicts_->sound(coded));
        if (!damaged && !verdicts_->soundBetween(from >= 0 && from < coded ? from + 1 : coded, coded)) {
            source_ = open_();
            outputApplied_ = false;
            applyOutput();
            DecodeErrors again;
            f = FFMS_GetFrame(source_.get(), coded, &err.info);
            damaged = f && again.count() > 0 && !verdicts_->soundBetween(verdicts_->keyframeAtOrBefore(coded), coded);
        }
    }
    if (!f || damaged) {
        // Where the decoder stands, and what its pictures are, is unknown now: start afresh.
        source_.reset();
        position_ = -1;
        std::string text = f ? "picture " + std::to_string(coded) + " decoded with errors" : err.text("cannot decode the frame");
        if (!errors.first().empty())
            text += ": " + errors.first();
        throw VideoDeviceError(text);
    }
    position_ = coded;
    QImage img = newPicture(f->ScaledWidth, f->ScaledHeight);
    const std::size_t rowBytes = std::size_t(f->ScaledWidth) * 4u;
    for (int y = 0; y < f->ScaledHeight; ++y)
        std::memcpy(img.scanLine(y), f->Data[0] + std::ptrdiff_t(y) * f->Linesize[0], rowBytes);
    return img;
}

} // namespace kadro
