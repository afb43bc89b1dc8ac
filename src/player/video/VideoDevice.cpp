#include "player/video/VideoDevice.h"

#include "player/video/PictureSurface.h"

namespace kadro {

VideoDevice::VideoDevice(QObject* parent) : QObject(parent) {}

VideoDevice::~VideoDevice() = default;

void VideoDevice::setDisplay(PictureSurface* surface)
{
    display_ = surface;
    displayChanged();
}

PictureSurface* VideoDevice::display() const { return display_.data(); }

} // namespace kadro
