#include "authoring/MemoToolBarIcons.h"

#include <QPainter>
#include <QPixmap>

namespace kadro {

namespace {
constexpr int kSize = 16;

// A letter as German word processors show the styles: F(ett), K(ursiv), U(nterstrichen).
void drawLetter(QPainter& p, QChar letter, bool bold, bool italic, bool underline)
{
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPixelSize(14);
    f.setBold(bold);
    f.setItalic(italic);
    p.setFont(f);
    p.setPen(QColor(20, 20, 20));
    p.drawText(QRect(0, -1, kSize, kSize - 1), Qt::AlignCenter, QString(letter));
    if (underline) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(4, 14, 8, 1), QColor(20, 20, 20));
    }
}

// Four text lines: long and short by turns, set left, centred or right.
void drawLines(QPainter& p, Qt::Alignment align)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const int widths[] = {14, 9, 14, 9, 12};
    for (int i = 0; i < 5; ++i) {
        const int w = widths[i];
        int x = 1;
        if (align & Qt::AlignHCenter)
            x = (kSize - w) / 2;
        else if (align & Qt::AlignRight)
            x = kSize - 1 - w;
        p.fillRect(QRect(x, 2 + i * 3, w, 1), QColor(30, 30, 30));
    }
}

void drawColour(QPainter& p)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(20, 20, 20));
    p.drawText(QRect(0, -2, kSize, 13), Qt::AlignCenter, QStringLiteral("A"));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(2, 12, 12, 3), QColor(220, 0, 0));
    p.setPen(QColor(120, 0, 0));
    p.drawRect(QRect(2, 12, 11, 2));
}

QPixmap render(MemoIcon icon, qreal scale)
{
    QPixmap pix(int(kSize * scale), int(kSize * scale));
    pix.setDevicePixelRatio(scale);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    switch (icon) {
    case MemoIcon::Bold: drawLetter(p, QLatin1Char('F'), true, false, false); break;
    case MemoIcon::Italic: drawLetter(p, QLatin1Char('K'), false, true, false); break;
    case MemoIcon::Underline: drawLetter(p, QLatin1Char('U'), false, false, true); break;
    case MemoIcon::AlignLeft: drawLines(p, Qt::AlignLeft); break;
    case MemoIcon::AlignCentre: drawLines(p, Qt::AlignHCenter); break;
    case MemoIcon::AlignRight: drawLines(p, Qt::AlignRight); break;
    case MemoIcon::TextColour: drawColour(p); break;
    }
    p.end();
    return pix;
}
} // namespace

QIcon memoToolBarIcon(MemoIcon icon)
{
    QIcon result;
    for (qreal scale : {1.0, 1.5, 2.0, 3.0})
        result.addPixmap(render(icon, scale));
    return result;
}

} // namespace kadro
