#include "authoring/model/MemoFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <gtest/gtest.h>

using namespace kadro;

namespace {
// The memo editor's own font: Arial, 20 pixels high (15 points).
QFont editorFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(20);
    return f;
}

QTextCharFormat chars(const QString& family, double points, bool bold = false, bool italic = false,
                      bool underline = false, QColor colour = QColor())
{
    QTextCharFormat f;
    if (!family.isEmpty())
        f.setFontFamilies(QStringList{family});
    if (points > 0)
        f.setFontPointSize(points);
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    if (colour.isValid())
        f.setForeground(colour);
    return f;
}

// "Kugel fällt" in Arial 12 with "Kugel" bold and red, then a centred second paragraph
// "schneller" in Times 18 italic.
struct Memo {
    QTextDocument doc;
    Memo()
    {
        doc.setDefaultFont(editorFont());
        QTextCursor c(&doc);
        c.insertText(QStringLiteral("Kugel"), chars(QStringLiteral("Arial"), 12, true, false, false, Qt::red));
        c.insertText(QStringLiteral(" fällt"), chars(QStringLiteral("Arial"), 12));
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        c.insertBlock(centred);
        c.insertText(QStringLiteral("schneller"), chars(QStringLiteral("Times"), 18, false, true, true));
    }
    // A cursor selecting [from, to), or a caret at `from`.
    QTextCursor select(int from, int to = -1) const
    {
        QTextCursor c(const_cast<QTextDocument*>(&doc));
        c.setPosition(from);
        if (to >= 0)
            c.setPosition(to, QTextCursor::KeepAnchor);
        return c;
    }
    SelectionLook look(int from, int to = -1) const
    {
        const QTextCursor c = select(from, to);
        return selectionLook(c, c.charFormat(), doc.defaultFont());
    }
};
} // namespace

TEST(MemoFormat, AlignmentCodesAreTheButtonTags)
{
    EXPECT_EQ(memoAlignOf(Qt::AlignLeft), MemoAlignLeft);
    EXPECT_EQ(memoAlignOf(Qt::AlignRight), MemoAlignRight);
    EXPECT_EQ(memoAlignOf(Qt::AlignHCenter), MemoAlignCentre);
    EXPECT_EQ(memoAlignOf(Qt::AlignHCenter | Qt::AlignVCenter), MemoAlignCentre);
    // Justified text from a word processor and a paragraph without alignment count as left.
    EXPECT_EQ(memoAlignOf(Qt::AlignJustify), MemoAlignLeft);
    EXPECT_EQ(memoAlignOf(Qt::Alignment()), MemoAlignLeft);
    EXPECT_EQ(MemoAlignLeft, 0);
    EXPECT_EQ(MemoAlignRight, 1);
    EXPECT_EQ(MemoAlignCentre, 2);
    for (int tag : {0, 1, 2})
        EXPECT_EQ(memoAlignOf(qtAlignmentOfMemoAlign(tag)), tag);
}

TEST(MemoFormat, UniformSelectionShowsItsStylesFontSizeAndColour)
{
    const Memo memo;
    const SelectionLook kugel = memo.look(0, 5);
    EXPECT_TRUE(kugel.bold);
    EXPECT_FALSE(kugel.italic);
    EXPECT_FALSE(kugel.underline);
    EXPECT_EQ(kugel.family, QStringLiteral("Arial"));
    EXPECT_EQ(kugel.points, 12);
    EXPECT_EQ(kugel.colour, QColor(Qt::red));
    EXPECT_EQ(kugel.alignment, MemoAlignLeft);

    const SelectionLook schneller = memo.look(12, 21);
    EXPECT_FALSE(schneller.bold);
    EXPECT_TRUE(schneller.italic);
    EXPECT_TRUE(schneller.underline);
    EXPECT_EQ(schneller.family, QStringLiteral("Times"));
    EXPECT_EQ(sizeFieldText(schneller), QStringLiteral("18"));
    EXPECT_EQ(schneller.colour, QColor(Qt::black)); // the automatic colour
    EXPECT_EQ(schneller.alignment, MemoAlignCentre);
}

TEST(MemoFormat, MixedSelectionShowsOnlyWhatAllOfItHas)
{
    const Memo memo;
    // "gel fä": bold and plain, one font and size.
    const SelectionLook part = memo.look(2, 8);
    EXPECT_FALSE(part.bold);
    EXPECT_EQ(part.family, QStringLiteral("Arial"));
    EXPECT_EQ(part.points, 12);
    EXPECT_EQ(part.colour, QColor(Qt::red)); // the first selected character's

    // Across both paragraphs: two fonts and two sizes, so the font box and size field stay
    // empty and nothing is applied from them.
    const SelectionLook all = memo.look(0, 21);
    EXPECT_FALSE(all.bold);
    EXPECT_FALSE(all.italic);
    EXPECT_TRUE(all.family.isEmpty());
    EXPECT_FALSE(all.points.has_value());
    EXPECT_TRUE(sizeFieldText(all).isEmpty());
    EXPECT_EQ(all.alignment, MemoAlignLeft); // the paragraph where the selection starts
}

TEST(MemoFormat, CaretShowsTheFormatTypedThereAndItsParagraph)
{
    const Memo memo;
    // Inside "schneller": its format and the centred paragraph.
    const SelectionLook inside = memo.look(15);
    EXPECT_TRUE(inside.italic);
    EXPECT_EQ(inside.points, 18);
    EXPECT_EQ(inside.alignment, MemoAlignCentre);

    // At the very start: the first character's format.
    EXPECT_TRUE(memo.look(0).bold);

    // A selection of nothing but a paragraph end looks like the caret.
    const QTextCursor end = memo.select(11, 12);
    QTextCharFormat typed = chars(QStringLiteral("Courier"), 9);
    const SelectionLook paragraphEnd = selectionLook(end, typed, memo.doc.defaultFont());
    EXPECT_EQ(paragraphEnd.family, QStringLiteral("Courier"));
    EXPECT_EQ(paragraphEnd.points, 9);
}

TEST(MemoFormat, WhatAFormatLeavesOpenComesFromTheEditorFont)
{
    const QFont font = editorFont();
    const QTextCharFormat none;
    EXPECT_EQ(formatFamily(none, font), QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(formatPoints(none, font), 15.0); // 20 pixels at 96 dots per inch
    EXPECT_FALSE(formatBold(none, font));
    EXPECT_EQ(formatColour(none), QColor(Qt::black));

    QTextCharFormat pixels;
    pixels.setProperty(QTextFormat::FontPixelSize, 32);
    EXPECT_DOUBLE_EQ(formatPoints(pixels, font), 24.0);

    // A half-point size from a word processor shows as the nearest whole size.
    QTextDocument doc;
    doc.setDefaultFont(font);
    QTextCursor cursor(&doc);
    QTextCharFormat half;
    half.setFontPointSize(10.5);
    cursor.insertText(QStringLiteral("klein"), half);
    cursor.setPosition(0, QTextCursor::KeepAnchor);
    EXPECT_EQ(sizeFieldText(selectionLook(cursor, cursor.charFormat(), font)), QStringLiteral("11"));
}
