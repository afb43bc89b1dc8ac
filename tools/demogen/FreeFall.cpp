#include "FreeFall.h"

#include "VideoGen.h"
#include "common/Rtf.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
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
    // Every section shows its memo beside the picture.
    text += QStringLiteral("#1 0 %1 M 1 0 0 0 1 1 0 0 1\r\n").arg(kReleaseFrame - 1);
    text += QStringLiteral("#2 %1 %2 A3 1 1 1 1 1 1 0 1 1\r\n").arg(kReleaseFrame).arg(land);
    text += QStringLiteral("#3 %1 %1 A0 0 0 0 0 1 1 0 0 1\r\n").arg(land);
    text += QStringLiteral("#4 %1 %2 M 1 1 0 1 1 1 1 0 1\r\n").arg(land).arg(kFrames - 1);
    return text.toLatin1();
}

namespace {
// One run of memo text in the memo editor's font, Arial.
struct Run {
    QString text;
    bool bold = false;
    bool italic = false;
    QColor colour = Qt::black;
    int points = 12;
};
struct Paragraph {
    Qt::Alignment align = Qt::AlignLeft;
    QList<Run> runs;
};

const QColor kTitleBlue(0, 0, 160);
const QColor kRed(192, 0, 0);

Run title(const QString& text)
{
    return Run{text, true, false, kTitleBlue, 14};
}
Run plain(const QString& text)
{
    return Run{text};
}
Run strong(const QString& text)
{
    return Run{text, true, false, kRed, 12};
}
Run hint(const QString& text)
{
    return Run{text, false, true, Qt::black, 12};
}

QList<Paragraph> memoParagraphs(int section)
{
    switch (section) {
    case 1:
        return {{Qt::AlignHCenter, {title(QStringLiteral("Freier Fall: der Ball in Ruhe"))}},
                {Qt::AlignLeft,
                 {plain(QStringLiteral("Der Ball hängt still an der Halterung. Der Maßstab links ist genau ")),
                  strong(QStringLiteral("1 m")),
                  plain(QStringLiteral(" lang, schwarz und weiß in Schritten von 10 cm."))}},
                {Qt::AlignLeft,
                 {hint(QStringLiteral("Achten Sie darauf, in welchem Bild der Ball losgelassen wird. "
                                      "Weiter geht es mit „weiter“."))}}};
    case 2:
        return {{Qt::AlignHCenter, {title(QStringLiteral("Der Fall"))}},
                {Qt::AlignLeft,
                 {plain(QStringLiteral("Der Ball fällt 1 m tief. Von Bild zu Bild vergehen ")),
                  strong(QStringLiteral("20 ms")), plain(QStringLiteral("."))}},
                {Qt::AlignLeft,
                 {plain(QStringLiteral("Messen Sie: Kalibrieren Sie mit den beiden Enden des Maßstabs "
                                       "(Abstand 1 m) und klicken Sie dann Bild für Bild auf die Mitte des Balls."))}},
                {Qt::AlignLeft,
                 {hint(QStringLiteral("Wie wächst der Fallweg mit der Zeit? Vergleichen Sie den Weg "
                                      "nach der doppelten Zeit."))}}};
    case 3:
        return {{Qt::AlignHCenter, {title(QStringLiteral("Der Aufprall"))}},
                {Qt::AlignLeft, {plain(QStringLiteral("In diesem Bild erreicht der Ball den Boden."))}}};
    default:
        return {{Qt::AlignHCenter, {title(QStringLiteral("Auswertung"))}},
                {Qt::AlignLeft,
                 {plain(QStringLiteral("Für 1 m braucht der Ball etwa 0,45 s. Aus s = ½·g·t² folgt ")),
                  strong(QStringLiteral("g = 2s/t² ≈ 9,8 m/s²")), plain(QStringLiteral("."))}},
                {Qt::AlignLeft,
                 {hint(QStringLiteral("Stimmt Ihre Messung damit überein? Mit „zurück“ sehen Sie den Fall "
                                      "noch einmal."))}}};
    }
}
} // namespace

QByteArray memoFileText(int section)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    const QList<Paragraph> paragraphs = memoParagraphs(section);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        const Paragraph& p = paragraphs.at(i);
        QTextBlockFormat block;
        block.setAlignment(p.align);
        QTextCharFormat first;
        first.setFontFamilies(QStringList{QStringLiteral("Arial")});
        first.setFontPointSize(p.runs.value(0).points);
        if (i == 0) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(first);
        } else {
            cursor.insertBlock(block, first);
        }
        for (const Run& r : p.runs) {
            QTextCharFormat f;
            f.setFontFamilies(QStringList{QStringLiteral("Arial")});
            f.setFontPointSize(r.points);
            f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
            f.setFontItalic(r.italic);
            if (r.colour != QColor(Qt::black))
                f.setForeground(r.colour);
            cursor.insertText(r.text, f);
        }
    }
    return writeRtf(doc);
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
    // The presentation names its video by the bare file name: the reader finds the video beside
    // it, wherever the demo is copied to, and no path of the machine that built it stays in it.
    QSaveFile vst(QDir(dir).filePath(QStringLiteral("FreierFall.vst")));
    if (!vst.open(QIODevice::WriteOnly) || vst.write(presentationText(QStringLiteral("FreierFall.avi"))) < 0
        || !vst.commit()) {
        if (error)
            *error = QStringLiteral("cannot write the presentation file");
        return false;
    }
    // The memo files lie in the presentation folder beside it, one per section.
    const QString memoDir = QDir(dir).filePath(QStringLiteral("FreierFall"));
    if (!QDir().mkpath(memoDir)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(memoDir);
        return false;
    }
    for (int section = 1; section <= kSections; ++section) {
        QSaveFile memo(QDir(memoDir).filePath(QStringLiteral("%1.mem").arg(section)));
        if (!memo.open(QIODevice::WriteOnly) || memo.write(memoFileText(section)) < 0 || !memo.commit()) {
            if (error)
                *error = QStringLiteral("cannot write the memo of section %1").arg(section);
            return false;
        }
    }
    return true;
}

} // namespace kadro::demo
