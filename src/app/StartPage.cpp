#include "app/StartPage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kadro {

QPixmap StartPage::paintBanner(const QSize& size)
{
    // A film strip with a stroboscopic throw: the ball's positions at equal time steps on its
    // parabola, beside the program's name.
    QPixmap pm(size);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF strip(0, 8, size.width(), size.height() - 16);
    p.fillRect(strip, QColor(30, 36, 48));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 235, 235));
    for (double x = 6; x < size.width(); x += 22) {
        p.drawRoundedRect(QRectF(x, strip.top() + 5, 12, 8), 2, 2);
        p.drawRoundedRect(QRectF(x, strip.bottom() - 13, 12, 8), 2, 2);
    }
    const QRectF frame(strip.left() + 6, strip.top() + 20, strip.width() - 12, strip.height() - 40);
    QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
    sky.setColorAt(0, QColor(214, 230, 245));
    sky.setColorAt(1, QColor(245, 248, 252));
    p.fillRect(frame, sky);

    // Horizontal throw to the right: x = v t, y = g t² / 2, sampled at equal steps.
    const double x0 = frame.left() + 250, y0 = frame.top() + 14;
    QPainterPath path;
    for (int i = 0; i <= 60; ++i) {
        const double t = i / 60.0;
        const QPointF pt(x0 + 300 * t, y0 + 78 * t * t);
        i == 0 ? path.moveTo(pt) : path.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 140, 170), 1.2, Qt::DashLine));
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    for (int i = 0; i <= 8; ++i) {
        const double t = i / 8.0;
        const QPointF pt(x0 + 300 * t, y0 + 78 * t * t);
        p.setBrush(QColor(200, 40, 40, 90 + 165 * i / 8));
        p.drawEllipse(pt, 7, 7);
    }

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(54);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(25, 60, 130));
    p.drawText(QRectF(frame.left() + 18, frame.top(), 240, frame.height() * 0.68), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("Kadro"));
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(17);
    p.setFont(sub);
    p.setPen(QColor(60, 70, 90));
    p.drawText(QRectF(frame.left() + 22, frame.top() + frame.height() * 0.68, 300, 30), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Physik mit Video"));
    p.end();
    return pm;
}

LinkLabel::LinkLabel(const QString& caption, const QString& hint, QWidget* parent)
    : QLabel(caption, parent), m_hint(hint)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    setColour(Qt::black);
    adjustSize();
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    // Other buttons go on to the page (a right click there opens the page's menu).
    if (event->button() == Qt::LeftButton)
        emit clicked();
    else
        event->ignore();
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered(this);
    // The move is the label's: the page under it must not hear it too, or its own move handler
    // would at once turn the label black again and empty the hint line.
    event->accept();
}

StartPage::StartPage(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("StartseitePanel"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setMouseTracking(true);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(18);
    setFont(f);

    Banner = new QLabel(this);
    Banner->setObjectName(QStringLiteral("Banner"));
    Banner->setGeometry(103, 15, 593, 167);
    Banner->setScaledContents(true);
    Banner->setPixmap(paintBanner(QSize(593, 167)));
    Banner->setAccessibleName(QStringLiteral("Kadro – Physik mit Video"));

    auto make = [this](const char* name, const QString& caption, const QString& hint, int x, int y) {
        auto* l = new LinkLabel(caption, hint, this);
        l->setObjectName(QString::fromLatin1(name));
        l->move(x, y);
        connect(l, &LinkLabel::hovered, this, &StartPage::setHover);
        m_labels.append(l);
        return l;
    };
    VideoAbspielenLabel = make("VideoAbspielenLabel", QStringLiteral("Video abspielen"),
                               QStringLiteral("  öffnet das Fenster zum Abspielen eines Videos oder einer Präsentation"), 110, 210);
    PraesentationErstellenLabel = make("PraesentationErstellenLabel", QStringLiteral("Präsentation erstellen"),
                                       QStringLiteral("  öffnet das Fenster zur Erstellung einer Präsentation"), 450, 210);
    const int vstTops[5] = {265, 310, 355, 400, 445};
    for (int i = 0; i < 5; ++i)
        vstLabel[i] = make(QStringLiteral("vst%1Label").arg(i + 1).toLatin1().constData(), QString(), QString(), 110, vstTops[i]);
    BeendenLabel = make("BeendenLabel", QStringLiteral("Beenden"),
                        QStringLiteral("  hier können Sie das Programm Kadro beenden"), 110, 495);
    FAQLabel = make("FAQLabel", QStringLiteral("Fragen & Antworten"),
                    QStringLiteral("  hier können Sie sich Fragen und Antworten zum Programm Kadro durchlesen"), 311, 496);
    InfoLabel = make("InfoLabel", QStringLiteral("Info"),
                     QStringLiteral("  hier erhalten Sie Informationen zum Programm Kadro"), 644, 495);
}

void LinkLabel::setColour(const QColor& colour)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, colour);
    setPalette(pal);
}

QColor LinkLabel::colour() const
{
    return palette().color(QPalette::WindowText);
}

void StartPage::resetHover()
{
    for (LinkLabel* l : m_labels)
        l->setColour(Qt::black);
}

void StartPage::setHover(LinkLabel* label)
{
    label->setColour(Qt::red);
    emit hintChanged(label->hint(), label->hint().isEmpty());
}

void StartPage::mouseMoveEvent(QMouseEvent* event)
{
    resetHover();
    emit hintChanged(QString(), false);
    event->accept();
}

void StartPage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        emit rightPressed(event->globalPosition().toPoint());
    // The page covers the whole window: no press on it reaches the window beneath, whose right
    // click would open the player's menu and pause a video.
    event->accept();
}

} // namespace kadro
