#include "player/view/CurrentFullFrame.h"

#include "player/video/VideoDevice.h"

namespace kadro {

CurrentFullFrame::CurrentFullFrame(VideoDevice& device, int retryMs, QObject* parent)
    : QObject(parent), m_device(device)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(retryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] { fetch(); });
}

void CurrentFullFrame::fetch()
{
    const int frame = m_device.position();
    if (frame == m_frame && !m_image.isNull())
        return;
    const QImage image = m_device.fullColourFrame(frame, 0);
    if (image.isNull()) {
        // Decoded meanwhile (a device without such frames has none to wait for).
        if (!m_device.fullFrameSize().isEmpty())
            m_retry.start();
        return;
    }
    m_image = image;
    m_frame = frame;
    emit arrived();
}

void CurrentFullFrame::clear()
{
    m_retry.stop();
    m_image = QImage();
    m_frame = -1;
}

} // namespace kadro
