#pragma once
#include <QColor>
#include <QPoint>
#include <QString>
#include <vector>

namespace kadro {

// One thing drawn over the picture, in the paint surface's client pixels (y downward).
struct DrawItem {
    enum class Kind { Line, Text };
    Kind kind = Kind::Line;
    // Line: drawn from `from` up to, but not including, `to`. Text: `from` is its top left.
    QPoint from;
    QPoint to;
    QColor colour;     // pen colour of a line, font colour of a text
    int penWidth = 1;  // Line
    bool endExcluded = true;  // Line: the pixel at `to` is not drawn (the next segment starts there)
    QString text;      // Text, drawn without a background
    int pointSize = 0; // Text

    static DrawItem line(QPoint from, QPoint to, const QColor& colour, int penWidth)
    {
        DrawItem item;
        item.kind = Kind::Line;
        item.from = from;
        item.to = to;
        item.colour = colour;
        item.penWidth = penWidth;
        return item;
    }
    static DrawItem label(QPoint topLeft, const QString& text, const QColor& colour, int pointSize)
    {
        DrawItem item;
        item.kind = Kind::Text;
        item.from = topLeft;
        item.text = text;
        item.colour = colour;
        item.pointSize = pointSize;
        return item;
    }
    bool operator==(const DrawItem&) const = default;
};

using DrawList = std::vector<DrawItem>;

// The pen of the paint surface, which keeps its colour and width from one drawing to the next.
struct PenState {
    QColor colour = QColor(0, 0, 0);
    int width = 1;
    bool operator==(const PenState&) const = default;
};

// The six diagram colours of the settings by index: weiß, schwarz, rot, lime, blau, gelb.
// An index outside 0..5 leaves the pen's colour as it was.
void setPenColour(PenState& pen, int colourIndex);

} // namespace kadro
