#include "FreeFall.h"

#include "VideoGen.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QSaveFile>
#include <cmath>

namespace kadro::demo {

double timeOf(int frame)
{
    return (frame - kReleaseFrame) / double(kFps);
}

QPointF ballCentre(int frame)
{
    const double t = timeOf(frame);
    double fallen = t <= 0 ? 0.0 : 0.5 * kG * t * t;
    fallen = std::min(fallen, kFallHeight);
    return {kBallX, kTopY + fallen * kPixelsPerMetre};
}

int lastFreeFallFrame()
{
    int n = kReleaseFrame;
    while (0.5 * kG * timeOf(n + 1) * timeOf(n + 1) < kFallHeight)
        ++n;
    return n;
}

QImage renderFrame(int frame, int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(width / double(kWidth), height / double(kHeight));

    QLinearGradient wall(0, 0, 0, kHeight);
    wall.setColorAt(0, QColor(232, 238, 244));
    wall.setColorAt(1, QColor(206, 214, 222));
    p.fillRect(QRectF(0, 0, kWidth, kHeight), wall);

    // Floor under the ball's lowest point.
    const double floorY = kTopY + kFallHeight * kPixelsPerMetre + kBallRadius;
    p.fillRect(QRectF(0, floorY, kWidth, kHeight - floorY), QColor(120, 96, 72));

    // Scale bar: 1 m with ticks every 10 cm, black and white halves for visibility.
    const double barX = 60;
    for (int i = 0; i < 10; ++i) {
        const double y0 = kTopY + i * 0.1 * kPixelsPerMetre;
        p.fillRect(QRectF(barX, y0, 10, 0.1 * kPixelsPerMetre), i % 2 ? Qt::white : Qt::black);
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(QRectF(barX, kTopY, 10, kPixelsPerMetre));
    for (int i = 0; i <= 10; ++i) {
        const double y = kTopY + i * 0.1 * kPixelsPerMetre;
        p.drawLine(QPointF(barX + 10, y), QPointF(barX + (i % 5 == 0 ? 22 : 16), y));
    }
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    p.setFont(f);
    p.drawText(QPointF(barX + 26, kTopY + 4), QStringLiteral("0 m"));
    p.drawText(QPointF(barX + 26, kTopY + 0.5 * kPixelsPerMetre + 4), QStringLiteral("0,5 m"));
    p.drawText(QPointF(barX + 26, kTopY + kPixelsPerMetre + 4), QStringLiteral("1 m"));

    // Holder from which the ball is released.
    p.fillRect(QRectF(kBallX - 18, kTopY - kBallRadius - 10, 36, 6), QColor(90, 90, 90));
    if (frame < kReleaseFrame) {
        p.fillRect(QRectF(kBallX - 2, kTopY - kBallRadius - 4, 4, 4), QColor(90, 90, 90));
    }

    // The ball: uniformly dark red so its centre can be measured.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 20, 20));
    p.drawEllipse(ballCentre(frame), kBallRadius, kBallRadius);
    p.end();
    return img;
}

QByteArray presentationText(const QString& videoPath)
{
    // Four sections: the ball at rest (by hand), the fall (pause of 3 s), the landing as a still
    // picture (without pause), the ball lying on the floor.
    const int land = lastFreeFallFrame() + 1;
    QString text;
    text += QStringLiteral("Videosteuerungsdatei zu Avi-File: *%1*\r\n").arg(videoPath);
    text += QStringLiteral("Zeitschritt(Normal): %1 ms\r\n").arg(kTimeStepMs);
    text += QStringLiteral("Zeitschritt(Zeitlupe): 200 ms\r\n");
    text += QStringLiteral("Marken: 4\r\nOptionen: 10\r\n");
    text += QStringLiteral("#1 0 %1 M 1 0 0 0 1 1 0 0 0\r\n").arg(kReleaseFrame - 1);
    text += QStringLiteral("#2 %1 %2 A3 1 1 1 1 1 1 0 1 0\r\n").arg(kReleaseFrame).arg(land);
    text += QStringLiteral("#3 %1 %1 A0 0 0 0 0 1 1 0 0 0\r\n").arg(land);
    text += QStringLiteral("#4 %1 %2 M 1 1 0 1 1 1 1 0 0\r\n").arg(land).arg(kFrames - 1);
    return text.toLatin1();
}

bool writeDemo(const QString& dir, QString* error)
{
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    videogen::Spec spec;
    spec.format = videogen::Format::MjpegAvi;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.frames = kFrames;
    spec.fps = kFps;
    spec.render = [](int n, int w, int h) { return renderFrame(n, w, h); };
    const QString video = QDir(dir).filePath(QStringLiteral("FreierFall.avi"));
    if (!videogen::generate(spec, video, error))
        return false;
    QSaveFile vst(QDir(dir).filePath(QStringLiteral("FreierFall.vst")));
    if (!vst.open(QIODevice::WriteOnly) || vst.write(presentationText(QDir::toNativeSeparators(video))) < 0
        || !vst.commit()) {
        if (error)
            *error = QStringLiteral("cannot write the presentation file");
        return false;
    }
    return true;
}

} // namespace kadro::demo
