#include "player/view/OverlayBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace kadro {

OverlayBox::OverlayBox(QWidget* parent) : QWidget(parent)
{
    // No background of its own: the picture below shows through.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
}

void OverlayBox::addLine(const QPoint& from, const QPoint& to, const QPen& pen)
{
    OverlayItem item;
    item.kind = OverlayItem::Kind::Line;
    item.p1 = from;
    item.p2 = to;
    item.pen = pen;
    items_.push_back(item);
    update();
}

void OverlayBox::addText(const QPoint& topLeft, const QString& text, const QFont& font,
                         const QColor& colour)
{
    OverlayItem item;
    item.kind = OverlayItem::Kind::Text;
    item.p1 = topLeft;
    item.text = text;
    item.font = font;
    item.pen = QPen(colour);
    items_.push_back(item);
    update();
}

void OverlayBox::addMarker(const QPoint& centre, int halfSize, const QPen& pen,
                           OverlayItem::MarkerShape shape)
{
    OverlayItem item;
    item.kind = OverlayItem::Kind::Marker;
    item.p1 = centre;
    item.size = halfSize;
    item.pen = pen;
    item.shape = shape;
    items_.push_back(item);
    update();
}

void OverlayBox::clearItems()
{
    if (items_.empty())
        return;
    items_.clear();
    update();
    emit cleared();
}

void OverlayBox::requestRepaint()
{
    items_.clear();
    update();
    emit cleared();
    emit repaintRequested();
}

void OverlayBox::paintEvent(QPaintEvent*)
{
    if (items_.empty())
        return;
    QPainter p(this);
    for (const OverlayItem& item : items_) {
        p.setPen(item.pen);
        p.setBrush(Qt::NoBrush);
        switch (item.kind) {
        case OverlayItem::Kind::Line:
            p.drawLine(item.p1, item.p2);
            break;
        case OverlayItem::Kind::Text: {
            p.setFont(item.font);
            const QFontMetrics fm(item.font);
            p.drawText(item.p1 + QPoint(0, fm.ascent()), item.text);
            break;
        }
        case OverlayItem::Kind::Marker: {
            const int s = item.size;
            const QPoint c = item.p1;
            if (item.shape == OverlayItem::MarkerShape::Cross) {
                p.drawLine(c - QPoint(s, 0), c + QPoint(s, 0));
                p.drawLine(c - QPoint(0, s), c + QPoint(0, s));
            } else if (item.shape == OverlayItem::MarkerShape::Square) {
                p.drawRect(QRect(c - QPoint(s, s), QSize(2 * s, 2 * s)));
            } else {
                p.drawEllipse(c, s, s);
            }
            break;
        }
        }
    }
}

void OverlayBox::mousePressEvent(QMouseEvent* event)
{
    emit mousePressed(event->position().toPoint(), event->button());
}

void OverlayBox::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(event->position().toPoint(), event->buttons());
}

void OverlayBox::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased(event->position().toPoint(), event->button());
}

} // namespace kadro
