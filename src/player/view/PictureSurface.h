#pragma once
// The widget the video is shown on: white while empty, otherwise the current frame scaled to the
// widget's size. It carries the transparent overlay (OverlayBox) as a child that always fills it.

#include <QImage>
#include <QWidget>

namespace kadro {

class OverlayBox;
class VideoDevice;

class PictureSurface : public QWidget {
    Q_OBJECT
public:
    explicit PictureSurface(QWidget* parent = nullptr);

    // Resizes the surface and its overlay at once (a hidden widget gets its resize event only
    // when it is shown; the overlay must have the surface's size before).
    void setSurfaceSize(const QSize& size);

    // Shows `frame` (kept as given, scaled only for drawing). A new picture wipes the overlay.
    void setFrame(const QImage& frame);
    void clearFrame();
    const QImage& frame() const { return frame_; }
    bool hasFrame() const { return !frame_.isNull(); }

    // Shows the pictures of `device` from now on, starting with the one it shows now.
    void attachTo(VideoDevice& device);

    // The overlay, sized to the surface (also while the surface is hidden, when Qt delivers no
    // resize events).
    OverlayBox* overlay() const;

    // What the surface shows right now (the scaled frame, or white), without the overlay.
    QImage renderedPicture() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitOverlay() const;

    QImage frame_;
    OverlayBox* overlay_ = nullptr;
};

} // namespace kadro
