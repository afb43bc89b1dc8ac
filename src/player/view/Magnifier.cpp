#include "player/view/Magnifier.h"

#include "player/view/CurrentFullFrame.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace kadro {

Magnifier::Magnifier(VideoDevice& device, QWidget* parent)
    : QWidget(parent), m_frame(new CurrentFullFrame(device, 20, this))
{
    setObjectName(QStringLiteral("Lupe"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(kDiameter, kDiameter);
    hide();
    connect(m_frame, &CurrentFullFrame::arrived, this, [this] { update(); });
}

Magnifier::~Magnifier() = default;

const QImage& Magnifier::source() const
{
    return m_frame->image();
}

QPointF Magnifier::videoPointOf(const QPointF& shown, const QSizeF& shownSize, const QSize& frameSize)
{
    if (shownSize.isEmpty() || frameSize.isEmpty())
        return {};
    return QPointF((shown.x() + 0.5) * frameSize.width() / shownSize.width(),
                   (shown.y() + 0.5) * frameSize.height() / shownSize.height());
}

void Magnifier::showAt(const QPointF& videoPoint, const QPoint& centre)
{
    m_videoPoint = videoPoint;
    move(centre - QPoint(kDiameter / 2, kDiameter / 2));
    m_frame->fetch();
    show();
    raise();
    update();
}

QPoint Magnifier::pixelUnderCross() const
{
    if (source().isNull())
        return {-1, -1};
    return QPoint(int(std::floor(m_videoPoint.x())), int(std::floor(m_videoPoint.y())));
}

void Magnifier::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath round;
    round.addEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
    p.setClipPath(round);
    p.fillRect(rect(), Qt::black);
    if (!source().isNull()) {
        // The pixels as squares: no smoothing between them.
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.translate(width() / 2.0, height() / 2.0);
        p.scale(kZoom, kZoom);
        p.translate(-m_videoPoint);
        p.drawImage(QPointF(0, 0), source());
        p.restore();
    }
    p.setClipping(false);
    // The cross, with a gap at its centre so the pixel under it stays visible.
    const QPointF c(width() / 2.0, height() / 2.0);
    const double gap = kZoom;
    const double arm = kDiameter / 2.0 - 6;
    for (const QColor& colour : {QColor(0, 0, 0, 160), QColor(255, 40, 40)}) {
        p.setPen(QPen(colour, colour.alpha() < 255 ? 3 : 1));
        p.drawLine(QPointF(c.x() - arm, c.y()), QPointF(c.x() - gap, c.y()));
        p.drawLine(QPointF(c.x() + gap, c.y()), QPointF(c.x() + arm, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - arm), QPointF(c.x(), c.y() - gap));
        p.drawLine(QPointF(c.x(), c.y() + gap), QPointF(c.x(), c.y() + arm));
    }
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
}

} // namespace kadro
