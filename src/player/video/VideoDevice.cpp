#include "player/video/VideoDevice.h"

namespace kadro {

VideoDevice::VideoDevice(QObject* parent) : QObject(parent) {}

VideoDevice::~VideoDevice() = default;

void VideoDevice::showPicture(const QImage& picture)
{
    picture_ = picture;
    emit pictureChanged(picture_);
}

} // namespace kadro
