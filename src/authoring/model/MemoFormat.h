#pragma once
// What the memo editor's tool bar shows of a selection, and the formatting it applies.

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextCharFormat>
#include <optional>

class QTextCursor;

namespace kadro {

// The alignment codes of the three alignment buttons (their tags).
enum MemoAlign { MemoAlignLeft = 0, MemoAlignRight = 1, MemoAlignCentre = 2 };

// A paragraph's alignment as one of the three codes; justified text counts as left.
int memoAlignOf(Qt::Alignment alignment);
Qt::Alignment qtAlignmentOfMemoAlign(int code);

// Character properties as the editor shows them, with what a format leaves open taken from the
// editor's default font.
QString formatFamily(const QTextCharFormat& format, const QFont& defaultFont);
double formatPoints(const QTextCharFormat& format, const QFont& defaultFont);
bool formatBold(const QTextCharFormat& format, const QFont& defaultFont);
bool formatItalic(const QTextCharFormat& format, const QFont& defaultFont);
bool formatUnderline(const QTextCharFormat& format, const QFont& defaultFont);
// The automatic colour is the editor's black.
QColor formatColour(const QTextCharFormat& format);

// The selection as the tool bar shows it.
struct SelectionLook {
    bool bold = false;       // every selected character has the style
    bool italic = false;
    bool underline = false;
    QString family;          // empty when the selection mixes fonts
    std::optional<int> points;  // whole points; none when the selection mixes sizes
    QColor colour;           // of the first selected character
    int alignment = MemoAlignLeft;  // of the paragraph where the selection starts
};

// Looks at the selection of `cursor`; without a selection, at `caretFormat`, the format text
// typed at the caret gets.
SelectionLook selectionLook(const QTextCursor& cursor, const QTextCharFormat& caretFormat, const QFont& defaultFont);

// The size field's text: a whole number of points, or empty for mixed sizes.
QString sizeFieldText(const SelectionLook& look);

} // namespace kadro
