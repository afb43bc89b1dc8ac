#pragma once
// The frame being shown, at the video's own resolution: asked from the device's full-resolution
// decoder without waiting, and asked again every few milliseconds until it came.

#include <QImage>
#include <QObject>
#include <QTimer>

namespace kadro {

class VideoDevice;

class CurrentFullFrame : public QObject {
    Q_OBJECT
public:
    CurrentFullFrame(VideoDevice& device, int retryMs, QObject* parent = nullptr);

    // Asks for the frame at the device's position (nothing to do when it is here already).
    void fetch();
    // Forgets the frame and stops asking.
    void clear();
    const QImage& image() const { return m_image; }
    int frame() const { return m_frame; }

signals:
    // The frame asked for is here.
    void arrived();

private:
    VideoDevice& m_device;
    QImage m_image;
    int m_frame = -1;
    QTimer m_retry;
};

} // namespace kadro
