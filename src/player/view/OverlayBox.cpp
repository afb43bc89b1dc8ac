#include "player/view/OverlayBox.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kadro {

namespace {
// A line from p1 up to, but not including, p2, pixel by pixel along the line (a thin pen) or as a
// shortened stroke (a wide one), so that a chain of segments draws each joint pixel once.
void drawLineWithoutEnd(QPainter& p, const OverlayItem& item)
{
    const QPoint a = item.p1;
    const QPoint b = item.p2;
    if (a == b)
        return;
    const int dx = std::abs(b.x() - a.x());
    const int dy = std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1;
    const int sy = a.y() < b.y() ? 1 : -1;
    if (item.pen.width() > 1) {
        // Along the major axis the stroke stops one pixel short of its end.
        const QPoint end = dx >= dy ? QPoint(b.x() - sx, b.y()) : QPoint(b.x(), b.y() - sy);
        p.drawLine(a, end);
        return;
    }
    QVector<QPoint> points;
    points.reserve(std::max(dx, dy));
    int x = a.x();
    int y = a.y();
    int err = dx - dy;
    while (QPoint(x, y) != b) {
        points.append(QPoint(x, y));
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
    p.drawPoints(points.constData(), int(points.size()));
}
} // namespace

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
    emit itemsChanged();
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
    emit itemsChanged();
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
    emit itemsChanged();
}

void OverlayBox::replaceLayer(int layer, std::vector<OverlayItem> items)
{
    std::vector<OverlayItem> kept;
    for (OverlayItem& item : items_)
        if (item.layer != layer)
            kept.push_back(std::move(item));
    for (OverlayItem& item : items)
        item.layer = layer;
    kept.insert(kept.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
    std::stable_sort(kept.begin(), kept.end(),
                     [](const OverlayItem& a, const OverlayItem& b) { return a.layer < b.layer; });
    items_ = std::move(kept);
    update();
    emit itemsChanged();
}

std::vector<OverlayItem> OverlayBox::layerItems(int layer) const
{
    std::vector<OverlayItem> out;
    for (const OverlayItem& item : items_)
        if (item.layer == layer)
            out.push_back(item);
    return out;
}

void OverlayBox::clearItems()
{
    if (items_.empty())
        return;
    items_.clear();
    update();
    emit itemsChanged();
    emit cleared();
}

void OverlayBox::requestRepaint()
{
    items_.clear();
    update();
    emit itemsChanged();
    emit cleared();
    emit repaintRequested();
}

void OverlayBox::paintEvent(QPaintEvent*)
{
    if (items_.empty())
        return;
    QPainter p(this);
    paintItems(p, items_);
}

void OverlayBox::paintItems(QPainter& p, const std::vector<OverlayItem>& items)
{
    for (const OverlayItem& item : items) {
        p.setPen(item.pen);
        p.setBrush(Qt::NoBrush);
        switch (item.kind) {
        case OverlayItem::Kind::Line:
            if (item.endExcluded)
                drawLineWithoutEnd(p, item);
            else
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
    const QPoint pixel = event->position().toPoint();
    emit mousePressed(pixel, event->button());
    emit pressedAt(QPointF(pixel), event->button());
}

void OverlayBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pixel = event->position().toPoint();
    emit mouseMoved(pixel, event->buttons());
    emit movedAt(QPointF(pixel), event->buttons());
}

void OverlayBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press as well (two quick clicks while measuring
    // are two points); the double click may ask for more besides.
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void OverlayBox::pressAt(const QPointF& pos, Qt::MouseButton button)
{
    emit mousePressed(QPoint(int(std::lround(pos.x())), int(std::lround(pos.y()))), button);
    emit pressedAt(pos, button);
}

void OverlayBox::moveAt(const QPointF& pos, Qt::MouseButtons buttons)
{
    emit mouseMoved(QPoint(int(std::lround(pos.x())), int(std::lround(pos.y()))), buttons);
    emit movedAt(pos, buttons);
}

void OverlayBox::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased(event->position().toPoint(), event->button());
}

} // namespace kadro
