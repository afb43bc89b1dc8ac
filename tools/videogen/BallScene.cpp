#include "BallScene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace kadro::videogen {

namespace {

constexpr std::size_t kNoiseTable = std::size_t(1) << 20;  // noise samples, reused at offsets per frame
constexpr int kEdgeSamples = 8;                             // sub-samples per side of an edge pixel

// The share of the pixel centred at (px, py) covered by the disc of radius r around (cx, cy).
double discCoverage(double px, double py, double cx, double cy, double r)
{
    const double d = std::hypot(px - cx, py - cy);
    if (d <= r - 0.7072)
        return 1.0;
    if (d >= r + 0.7072)
        return 0.0;
    int inside = 0;
    const double r2 = r * r;
    for (int j = 0; j < kEdgeSamples; ++j) {
        const double sy = py - 0.5 + (j + 0.5) / kEdgeSamples - cy;
        for (int i = 0; i < kEdgeSamples; ++i) {
            const double sx = px - 0.5 + (i + 0.5) / kEdgeSamples - cx;
            if (sx * sx + sy * sy <= r2)
                ++inside;
        }
    }
    return inside / double(kEdgeSamples * kEdgeSamples);
}

// The share of the pixel centred at (px, py) covered by the rectangle.
double rectCoverage(double px, double py, const QRectF& r)
{
    const double w = std::min(px + 0.5, r.right()) - std::max(px - 0.5, r.left());
    const double h = std::min(py + 0.5, r.bottom()) - std::max(py - 0.5, r.top());
    return w > 0 && h > 0 ? w * h : 0.0;
}

std::uint32_t mix(std::uint32_t a, std::uint32_t b)
{
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u + (a << 6) + (a >> 2));
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    return h;
}

} // namespace

QPointF BallScene::centreAt(int frame) const
{
    const double t = frame / fps;
    return start + velocity * t + acceleration * (0.5 * t * t);
}

bool BallScene::fullyVisible(int frame) const
{
    const QPointF c = centreAt(frame);
    if (c.x() - radius < -0.5 || c.y() - radius < -0.5 || c.x() + radius > width - 0.5
        || c.y() + radius > height - 0.5)
        return false;
    if (cover) {
        const QRectF grown = cover->adjusted(-radius, -radius, radius, radius);
        if (grown.contains(c))
            return false;
    }
    return true;
}

void BallScene::prepare() const
{
    if (!background_.empty())
        return;
    background_.resize(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        const double base = backgroundTop + (backgroundBottom - backgroundTop) * (height > 1 ? y / double(height - 1) : 0.0);
        for (int x = 0; x < width; ++x) {
            double v = base;
            if (texture != 0)
                v += texture * 0.5 * (std::sin(x * 0.11 + 2.0 * std::sin(y * 0.05)) + std::sin(y * 0.07 + x * 0.03));
            background_[std::size_t(y) * width + x] = (unsigned char)std::clamp(std::lround(v), 0L, 255L);
        }
    }
    if (noise > 0) {
        std::mt19937 gen(seed);
        noise_.resize(kNoiseTable);
        // Box-Muller from the generator's raw numbers, the same on every standard library.
        for (std::size_t i = 0; i + 1 < kNoiseTable; i += 2) {
            const double u1 = (gen() + 1.0) / 4294967297.0;
            const double u2 = gen() / 4294967296.0;
            const double m = std::sqrt(-2.0 * std::log(u1)) * noise;
            noise_[i] = float(m * std::cos(2 * M_PI * u2));
            noise_[i + 1] = float(m * std::sin(2 * M_PI * u2));
        }
    }
}

QImage BallScene::render(int frame) const
{
    prepare();
    // The ball's places while the shutter is open, spread evenly over the exposure.
    std::vector<QPointF> places;
    if (exposure > 0) {
        const double half = 0.5 * exposure / fps;
        const double t = frame / fps;
        const QPointF v = velocity + acceleration * t;
        const double length = std::hypot(v.x(), v.y()) * 2 * half;
        const int n = std::max(2, int(std::ceil(2 * length)) + 1);
        for (int k = 0; k < n; ++k) {
            const double tk = t + half * (2.0 * (k + 0.5) / n - 1.0);
            places.push_back(start + velocity * tk + acceleration * (0.5 * tk * tk));
        }
    } else {
        places.push_back(centreAt(frame));
    }

    // Grey values as floats where the ball may be, composed over the background.
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const QPointF& p : places) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    const int x0 = std::max(0, int(std::floor(minX - radius - 1)));
    const int x1 = std::min(width - 1, int(std::ceil(maxX + radius + 1)));
    const int y0 = std::max(0, int(std::floor(minY - radius - 1)));
    const int y1 = std::min(height - 1, int(std::ceil(maxY + radius + 1)));

    std::vector<float> picture(std::size_t(width) * height);
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = background_[i];
    const double share = 1.0 / double(places.size());
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            double covered = 0, ballSum = 0;
            for (const QPointF& p : places) {
                const double c = discCoverage(x, y, p.x(), p.y(), radius);
                if (c > 0) {
                    covered += c * share;
                    ballSum += c * share * (ball + ballShading * 0.5 * std::clamp((x - p.x()) / radius, -1.0, 1.0));
                }
            }
            float& v = picture[std::size_t(y) * width + x];
            v = float(v * (1.0 - covered) + ballSum);
        }
    }
    if (cover) {
        const int cx0 = std::max(0, int(std::floor(cover->left())));
        const int cx1 = std::min(width - 1, int(std::ceil(cover->right())));
        const int cy0 = std::max(0, int(std::floor(cover->top())));
        const int cy1 = std::min(height - 1, int(std::ceil(cover->bottom())));
        for (int y = cy0; y <= cy1; ++y) {
            for (int x = cx0; x <= cx1; ++x) {
                const double c = rectCoverage(x, y, *cover);
                float& v = picture[std::size_t(y) * width + x];
                v = float(v * (1.0 - c) + coverGrey * c);
            }
        }
    }

    QImage out(width, height, QImage::Format_Grayscale8);
    const std::size_t offset = noise > 0 ? mix(seed, std::uint32_t(frame)) % kNoiseTable : 0;
    for (int y = 0; y < height; ++y) {
        uchar* row = out.scanLine(y);
        const float* in = &picture[std::size_t(y) * width];
        const std::size_t base = offset + std::size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            float v = in[x];
            if (noise > 0)
                v += noise_[(base + x) & (kNoiseTable - 1)];
            row[x] = uchar(std::clamp(int(std::lround(v)), 0, 255));
        }
    }
    return out;
}

BallScene BallScene::falling(int width, int height, double fps, double radius, double seconds)
{
    BallScene s;
    s.width = width;
    s.height = height;
    s.fps = fps;
    s.radius = radius;
    s.start = QPointF(0.5 * width + 0.37, 0.1 * height + 0.21);
    s.velocity = QPointF(0, 0);
    s.acceleration = QPointF(0, 2.0 * 0.8 * height / (seconds * seconds));
    return s;
}

BallScene BallScene::thrown(int width, int height, double fps, double radius, double seconds)
{
    BallScene s;
    s.width = width;
    s.height = height;
    s.fps = fps;
    s.radius = radius;
    s.start = QPointF(0.1 * width + 0.29, 0.9 * height - 0.43);
    const double rise = 0.75 * height;
    const double half = seconds / 2;
    const double g = 2.0 * rise / (half * half);
    s.velocity = QPointF(0.8 * width / seconds, -g * half);
    s.acceleration = QPointF(0, g);
    return s;
}

Parabola fitParabola(const std::vector<double>& t, const std::vector<double>& y)
{
    // Normal equations over times centred on their mean (well conditioned), then shifted back.
    const std::size_t n = std::min(t.size(), y.size());
    Parabola p;
    if (n < 3)
        return p;
    double mean = 0;
    for (std::size_t i = 0; i < n; ++i)
        mean += t[i];
    mean /= double(n);
    double s[5] = {0, 0, 0, 0, 0}, r[3] = {0, 0, 0};
    for (std::size_t i = 0; i < n; ++i) {
        const double u = t[i] - mean;
        double pw = 1;
        for (int k = 0; k < 5; ++k) {
            s[k] += pw;
            if (k < 3)
                r[k] += pw * y[i];
            pw *= u;
        }
    }
    // Solve [[s0 s1 s2][s1 s2 s3][s2 s3 s4]] (a b c) = r by Cramer's rule.
    auto det3 = [](double a, double b, double c, double d, double e, double f, double g, double h, double i) {
        return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    };
    const double D = det3(s[0], s[1], s[2], s[1], s[2], s[3], s[2], s[3], s[4]);
    if (D == 0)
        return p;
    const double A = det3(r[0], s[1], s[2], r[1], s[2], s[3], r[2], s[3], s[4]) / D;
    const double B = det3(s[0], r[0], s[2], s[1], r[1], s[3], s[2], r[2], s[4]) / D;
    const double C = det3(s[0], s[1], r[0], s[1], s[2], r[1], s[2], s[3], r[2]) / D;
    // y = A + B u + C u², u = t - mean
    p.c = C;
    p.b = B - 2 * C * mean;
    p.a = A - B * mean + C * mean * mean;
    return p;
}

} // namespace kadro::videogen
