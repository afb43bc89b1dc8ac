#pragma once
// The transparent drawing surface over the picture. It receives the mouse and keeps a retained
// list of drawn items (lines, texts, markers) that the evaluation adds; a new picture underneath
// (or a requested repaint) wipes the list, and the drawings are then made anew by their owners.

#include <QColor>
#include <QFont>
#include <QPen>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <vector>

class QPainter;

namespace kadro {

struct OverlayItem {
    enum class Kind { Line, Text, Marker };
    enum class MarkerShape { Cross, Square, Circle };

    Kind kind = Kind::Line;
    QPen pen;
    QPoint p1;          // line start, text top left, marker centre
    QPoint p2;          // line end
    QString text;
    QFont font;
    int size = 3;       // marker half size in pixels
    MarkerShape shape = MarkerShape::Cross;
    bool endExcluded = false; // line: drawn up to, but not including, p2
    int layer = 0;            // drawn in layer order, each layer in the order of its items
};

class OverlayBox : public QWidget {
    Q_OBJECT
public:
    explicit OverlayBox(QWidget* parent = nullptr);

    void addLine(const QPoint& from, const QPoint& to, const QPen& pen);
    // Text with its top left corner at `topLeft`, drawn without a background.
    void addText(const QPoint& topLeft, const QString& text, const QFont& font, const QColor& colour);
    void addMarker(const QPoint& centre, int halfSize, const QPen& pen,
                   OverlayItem::MarkerShape shape = OverlayItem::MarkerShape::Cross);
    const std::vector<OverlayItem>& items() const { return items_; }
    // Replaces everything drawn in `layer` by `items` (their layer is set to it); lower layers
    // lie below higher ones.
    void replaceLayer(int layer, std::vector<OverlayItem> items);
    std::vector<OverlayItem> layerItems(int layer) const;

    // Removes every drawn item (emits cleared() if there were any).
    void clearItems();
    // Draws `items` with `painter` as the overlay draws itself (the full-screen view draws them
    // scaled).
    static void paintItems(QPainter& painter, const std::vector<OverlayItem>& items);

    // A press or move at a position given more finely than the overlay's pixels (a larger view
    // of the same picture): the same signals as the mouse over the overlay, with the exact
    // position in pressedAt/movedAt and the nearest pixel in mousePressed/mouseMoved.
    void pressAt(const QPointF& pos, Qt::MouseButton button);
    void moveAt(const QPointF& pos, Qt::MouseButtons buttons);

    // Asks for the surface to be drawn anew: wipes the items and emits repaintRequested(), to
    // which the owner of the picture answers by showing the current frame again.
    void requestRepaint();

signals:
    void mousePressed(const QPoint& pos, Qt::MouseButton button);
    void mouseMoved(const QPoint& pos, Qt::MouseButtons buttons);
    // The same press and move in fractions of a pixel (whole pixels for the overlay's own mouse).
    void pressedAt(const QPointF& pos, Qt::MouseButton button);
    void movedAt(const QPointF& pos, Qt::MouseButtons buttons);
    void doubleClicked();
    // Anything drawn was added, replaced or wiped.
    void itemsChanged();
    void mouseReleased(const QPoint& pos, Qt::MouseButton button);
    void cleared();
    void repaintRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::vector<OverlayItem> items_;
};

} // namespace kadro
