#pragma once
// Where a red ball lies in a decoded picture: the centre of the mass of its red pixels.
#include <QColor>
#include <QImage>
#include <QPointF>

#include <optional>

namespace kadro::test {

// The centre, or nothing when fewer than 20 pixels are red enough.
inline std::optional<QPointF> redBallCentre(const QImage& image)
{
    double sx = 0, sy = 0, n = 0;
    for (int row = 0; row < image.height(); ++row)
        for (int col = 0; col < image.width(); ++col) {
            const QColor c = image.pixelColor(col, row);
            if (c.red() > 110 && c.green() < 90 && c.blue() < 90) {
                sx += col;
                sy += row;
                n += 1;
            }
        }
    if (n < 20)
        return std::nullopt;
    return QPointF(sx / n, sy / n);
}

} // namespace kadro::test
