#pragma once
// Frames of a ball on a known path for the tracker's tests and benchmark: a disc with exact
// antialiased edges on a grey or dark background, optionally blurred by its motion while the
// shutter is open, covered by a bar, and with sensor noise from a fixed seed. The centre of each
// frame is known to the bit.
//
// Coordinates are the frame's pixels: x to the right, y downward, (0, 0) the centre of the
// top-left pixel.

#include <QImage>
#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

namespace kadro::videogen {

struct BallScene {
    int width = 640;
    int height = 480;
    double fps = 50;
    // The path: centre(t) = start + velocity t + acceleration t² / 2 (pixels, pixels per second,
    // pixels per second²), t = frame / fps.
    QPointF start{320, 40};
    QPointF velocity{0, 0};
    QPointF acceleration{0, 0};
    double radius = 8;
    // Grey levels: the ball's middle and how much brighter its right edge is than its left
    // (lit from one side), the background at the top and bottom of the picture (a linear
    // gradient) with a faint texture of this amplitude fixed to the picture.
    double ball = 40;
    double ballShading = 0;
    double backgroundTop = 150;
    double backgroundBottom = 110;
    double texture = 0;
    // The share of the frame's time the shutter is open: the ball is drawn at its positions over
    // that time, centred on the frame's time. 0: a sharp picture.
    double exposure = 0;
    // Standard deviation of the noise added to every pixel, in grey levels; 0: none.
    double noise = 0;
    unsigned seed = 1;
    // A bar in front of the ball (its grey level `coverGrey`).
    std::optional<QRectF> cover;
    double coverGrey = 90;

    // The ball's centre at the moment of frame n (the middle of its exposure).
    QPointF centreAt(int frame) const;
    // The ball lies wholly inside the picture (and off the cover) in frame n.
    bool fullyVisible(int frame) const;
    // Frame n in grey (Format_Grayscale8). The same scene and frame always give the same bytes.
    QImage render(int frame) const;

    // A ball let go from rest at the top middle (a tenth of the height down) at frame 0, falling
    // to nine tenths of the height in `seconds`; g is acceleration.y().
    static BallScene falling(int width, int height, double fps, double radius, double seconds);
    // A ball thrown at frame 0 from the lower left (a tenth of the width in, a tenth of the height
    // up), flying over its highest point (0.15 of the height down) to the lower right at the same
    // height in `seconds`.
    static BallScene thrown(int width, int height, double fps, double radius, double seconds);

private:
    mutable std::vector<unsigned char> background_;  // built on first use
    mutable std::vector<float> noise_;
    void prepare() const;
};

// The least-squares parabola y = a + b t + c t² through (t_i, y_i); returns {a, b, c}.
struct Parabola {
    double a = 0, b = 0, c = 0;
};
Parabola fitParabola(const std::vector<double>& t, const std::vector<double>& y);

} // namespace kadro::videogen
