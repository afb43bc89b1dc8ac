#include "authoring/model/MemoFormat.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace kadro;

namespace {
QTextCharFormat chars(const QString& family, double points, bool bold = false, bool italic = false,
                      QColor colour = QColor())
{
    QTextCharFormat f;
    f.setFontFamilies(QStringList{family});
    f.setFontPointSize(points);
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    if (colour.isValid())
        f.setForeground(colour);
    return f;
}

// "Kugel fällt" in Arial 12 with "Kugel" bold and red, then a centred paragraph "schneller" in
// Times 18 italic; the editor's own font is Arial 20 pixels (15 points).
struct Memo {
    QTextDocument doc;
    Memo()
    {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(20);
        doc.setDefaultFont(font);
        QTextCursor c(&doc);
        c.insertText(QStringLiteral("Kugel"), chars(QStringLiteral("Arial"), 12, true, false, Qt::red));
        c.insertText(QStringLiteral(" fällt"), chars(QStringLiteral("Arial"), 12));
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        c.insertBlock(centred);
        c.insertText(QStringLiteral("schneller"), chars(QStringLiteral("Times"), 18, false, true));
    }
    // The look of the selection [from, to), or of the caret at `from`.
    SelectionLook look(int from, int to = -1, std::optional<QTextCharFormat> caret = std::nullopt)
    {
        QTextCursor c(&doc);
        c.setPosition(from);
        if (to >= 0)
            c.setPosition(to, QTextCursor::KeepAnchor);
        return selectionLook(c, caret.value_or(c.charFormat()), doc.defaultFont());
    }
};
} // namespace

TEST(MemoFormat, SelectionShowsWhatAllOfItHasAndItsFirstParagraphsAlignment)
{
    Memo memo;
    const SelectionLook kugel = memo.look(0, 5);
    EXPECT_TRUE(kugel.bold);
    EXPECT_FALSE(kugel.italic);
    EXPECT_EQ(kugel.family, QStringLiteral("Arial"));
    EXPECT_EQ(sizeFieldText(kugel), QStringLiteral("12"));
    EXPECT_EQ(kugel.colour, QColor(Qt::red));
    EXPECT_EQ(kugel.alignment, MemoAlignLeft);

    // "gel fä": bold and plain; the colour is the first character's.
    const SelectionLook part = memo.look(2, 8);
    EXPECT_FALSE(part.bold);
    EXPECT_EQ(part.points, 12);
    EXPECT_EQ(part.colour, QColor(Qt::red));

    // Across both paragraphs: two fonts and sizes, so font box and size field stay empty.
    const SelectionLook all = memo.look(0, 21);
    EXPECT_TRUE(all.family.isEmpty());
    EXPECT_TRUE(sizeFieldText(all).isEmpty());
    EXPECT_EQ(all.alignment, MemoAlignLeft);

    const SelectionLook schneller = memo.look(12, 21);
    EXPECT_TRUE(schneller.italic);
    EXPECT_EQ(schneller.family, QStringLiteral("Times"));
    EXPECT_EQ(schneller.colour, QColor(Qt::black)); // the automatic colour
    EXPECT_EQ(schneller.alignment, MemoAlignCentre);
    // Justified text from a word processor counts as left.
    EXPECT_EQ(memoAlignOf(Qt::AlignJustify), MemoAlignLeft);
}

TEST(MemoFormat, CaretShowsTheFormatTypedThere)
{
    Memo memo;
    const SelectionLook inside = memo.look(15);
    EXPECT_TRUE(inside.italic);
    EXPECT_EQ(inside.points, 18);
    EXPECT_EQ(inside.alignment, MemoAlignCentre);
    EXPECT_TRUE(memo.look(0).bold); // at the very start: the first character

    // A selection of nothing but a paragraph end looks like the caret; what the caret's format
    // leaves open comes from the editor's font.
    QTextCharFormat typed;
    typed.setFontItalic(true);
    const SelectionLook end = memo.look(11, 12, typed);
    EXPECT_TRUE(end.italic);
    EXPECT_EQ(end.family, QStringLiteral("Arial"));
    EXPECT_EQ(end.points, 15);

    // A half-point size from a word processor shows as the nearest whole size.
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("klein"), chars(QStringLiteral("Arial"), 10.5));
    c.setPosition(0, QTextCursor::KeepAnchor);
    EXPECT_EQ(sizeFieldText(selectionLook(c, c.charFormat(), doc.defaultFont())), QStringLiteral("11"));
}
