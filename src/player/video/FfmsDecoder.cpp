#include "player/video/FfmsDecoder.h"

#include "player/video/PictureMemory.h"
#include "player/video/VideoDevice.h"

#include <cstring>

namespace kadro {

FfmsDecoder::FfmsDecoder(FfmsVideoPtr source, const QSize& codedSize, int position)
    : source_(std::move(source)), coded_(codedSize), position_(position)
{
    setOutputSize(codedSize);
}

FfmsDecoder::~FfmsDecoder() = default;

void FfmsDecoder::setOutputSize(const QSize& size)
{
    const QSize out = size.isValid() && !size.isEmpty() ? size : coded_;
    if (out == output_)
        return;
    const int formats[] = {FFMS_GetPixFmt("bgra"), -1};
    // Area averaging for scaling down (each output pixel the mean of the pixels it covers);
    // otherwise only the colour conversion runs.
    const bool smaller = out.width() < coded_.width() || out.height() < coded_.height();
    FfmsError err;
    if (FFMS_SetOutputFormatV2(source_.get(), formats, out.width(), out.height(),
                               smaller ? FFMS_RESIZER_AREA : FFMS_RESIZER_BICUBIC, &err.info))
        throw VideoDeviceError(err.text("cannot convert the pictures"));
    output_ = out;
}

QImage FfmsDecoder::picture(int coded)
{
    FfmsError err;
    const FFMS_Frame* f = FFMS_GetFrame(source_.get(), coded, &err.info);
    if (!f) {
        position_ = -1; // where the decoder stands is unknown now
        throw VideoDeviceError(err.text("cannot decode the frame"));
    }
    position_ = coded;
    QImage img = newPicture(f->ScaledWidth, f->ScaledHeight);
    const std::size_t rowBytes = std::size_t(f->ScaledWidth) * 4u;
    for (int y = 0; y < f->ScaledHeight; ++y)
        std::memcpy(img.scanLine(y), f->Data[0] + std::ptrdiff_t(y) * f->Linesize[0], rowBytes);
    return img;
}

} // namespace kadro
