#include "player/view/PictureSurface.h"

#include "player/view/OverlayBox.h"
#include "player/video/VideoDevice.h"

#include <QPainter>
#include <QResizeEvent>

namespace kadro {

PictureSurface::PictureSurface(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    overlay_ = new OverlayBox(this);
    overlay_->setGeometry(rect());
}

OverlayBox* PictureSurface::overlay() const
{
    fitOverlay();
    return overlay_;
}

void PictureSurface::fitOverlay() const
{
    if (overlay_->geometry() != rect())
        overlay_->setGeometry(rect());
}

void PictureSurface::attachTo(VideoDevice& device)
{
    connect(&device, &VideoDevice::pictureChanged, this, [this](const QImage& picture) {
        if (picture.isNull())
            clearFrame();
        else
            setFrame(picture);
    });
    if (device.picture().isNull())
        clearFrame();
    else
        setFrame(device.picture());
}

void PictureSurface::setSurfaceSize(const QSize& size)
{
    resize(size);
    fitOverlay();
}

void PictureSurface::setFrame(const QImage& frame)
{
    fitOverlay();
    frame_ = frame;
    overlay_->clearItems();
    update();
}

void PictureSurface::clearFrame()
{
    frame_ = QImage();
    overlay_->clearItems();
    update();
}

QImage PictureSurface::renderedPicture() const
{
    QImage out(size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    if (!frame_.isNull() && !out.isNull()) {
        QPainter p(&out);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(out.rect(), frame_);
    }
    return out;
}

void PictureSurface::paintEvent(QPaintEvent*)
{
    fitOverlay();
    QPainter p(this);
    if (frame_.isNull()) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), frame_);
}

void PictureSurface::resizeEvent(QResizeEvent* event)
{
    overlay_->setGeometry(QRect(QPoint(0, 0), event->size()));
    QWidget::resizeEvent(event);
}

} // namespace kadro
