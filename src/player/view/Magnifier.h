#pragma once
// A round magnifier of the video's own pixels: each pixel of the frame drawn as a square of
// kZoom × kZoom screen pixels, with a cross at the place it magnifies. It lies over a picture,
// centred on the pointer, and lets every mouse event through to the picture below.

#include <QImage>
#include <QPointF>
#include <QWidget>

namespace kadro {

class VideoDevice;

class CurrentFullFrame;

class Magnifier : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDiameter = 150;
    static constexpr int kZoom = 4;

    Magnifier(VideoDevice& device, QWidget* parent);
    ~Magnifier() override;

    // Magnifies the frame being shown around `videoPoint` (the frame's own pixels, pixel i
    // covering [i, i + 1)), the magnifier centred on `centre` in the parent's coordinates.
    void showAt(const QPointF& videoPoint, const QPoint& centre);
    QPointF videoPoint() const { return m_videoPoint; }
    // The video pixel under the cross, or (-1, -1) while the frame's pixels are not at hand.
    QPoint pixelUnderCross() const;
    // The magnified frame (null until it came from the decoder).
    const QImage& source() const;

    // Where a point on a picture of `shownSize` lies on the frame of `frameSize` pixels: `shown`
    // is in the picture's pixels, whole numbers meaning a pixel's centre.
    static QPointF videoPointOf(const QPointF& shown, const QSizeF& shownSize, const QSize& frameSize);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CurrentFullFrame* m_frame = nullptr;
    QPointF m_videoPoint;
};

} // namespace kadro
