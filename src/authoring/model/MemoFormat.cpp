#include "authoring/model/MemoFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace kadro {

int memoAlignOf(Qt::Alignment alignment)
{
    const Qt::Alignment h = alignment & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignHCenter)
        return MemoAlignCentre;
    if (h & (Qt::AlignRight | Qt::AlignTrailing))
        return MemoAlignRight;
    return MemoAlignLeft;
}

Qt::Alignment qtAlignmentOfMemoAlign(int code)
{
    switch (code) {
    case MemoAlignRight: return Qt::AlignRight;
    case MemoAlignCentre: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

QString formatFamily(const QTextCharFormat& format, const QFont& defaultFont)
{
    if (format.hasProperty(QTextFormat::FontFamilies)) {
        const QString family = format.fontFamilies().toStringList().value(0);
        if (!family.isEmpty())
            return family;
    }
    return defaultFont.family();
}

double formatPoints(const QTextCharFormat& format, const QFont& defaultFont)
{
    // Pixel sizes count at the 96 dots per inch of a standard screen, as in the memo files.
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        return format.fontPointSize();
    if (format.hasProperty(QTextFormat::FontPixelSize) && format.intProperty(QTextFormat::FontPixelSize) > 0)
        return format.intProperty(QTextFormat::FontPixelSize) * 0.75;
    return defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : defaultFont.pixelSize() * 0.75;
}

bool formatBold(const QTextCharFormat& format, const QFont& defaultFont)
{
    return format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                       : defaultFont.bold();
}

bool formatItalic(const QTextCharFormat& format, const QFont& defaultFont)
{
    return format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : defaultFont.italic();
}

bool formatUnderline(const QTextCharFormat& format, const QFont& defaultFont)
{
    const bool set = format.hasProperty(QTextFormat::TextUnderlineStyle) || format.hasProperty(QTextFormat::FontUnderline);
    return set ? format.fontUnderline() : defaultFont.underline();
}

QColor formatColour(const QTextCharFormat& format)
{
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        return format.foreground().color();
    return QColor(Qt::black);
}

namespace {
int wholePoints(double points)
{
    return int(std::lround(points));
}

class LookCollector {
public:
    explicit LookCollector(const QFont& font) : m_font(font) {}

    void take(const QTextCharFormat& f)
    {
        const QString family = formatFamily(f, m_font);
        const int points = wholePoints(formatPoints(f, m_font));
        if (m_count == 0) {
            m_look.bold = formatBold(f, m_font);
            m_look.italic = formatItalic(f, m_font);
            m_look.underline = formatUnderline(f, m_font);
            m_look.family = family;
            m_look.points = points;
            m_look.colour = formatColour(f);
        } else {
            m_look.bold = m_look.bold && formatBold(f, m_font);
            m_look.italic = m_look.italic && formatItalic(f, m_font);
            m_look.underline = m_look.underline && formatUnderline(f, m_font);
            if (m_look.family != family)
                m_look.family.clear();
            if (m_look.points && *m_look.points != points)
                m_look.points.reset();
        }
        ++m_count;
    }
    bool empty() const { return m_count == 0; }
    SelectionLook look() const { return m_look; }

private:
    const QFont& m_font;
    SelectionLook m_look;
    int m_count = 0;
};
} // namespace

SelectionLook selectionLook(const QTextCursor& cursor, const QTextCharFormat& caretFormat, const QFont& defaultFont)
{
    LookCollector collector(defaultFont);
    const QTextDocument* doc = cursor.document();
    if (doc && cursor.hasSelection()) {
        const int start = cursor.selectionStart();
        const int end = cursor.selectionEnd();
        for (QTextBlock block = doc->findBlock(start); block.isValid() && block.position() < end; block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                    continue;
                collector.take(fragment.charFormat());
            }
        }
    }
    // A selection of paragraph ends only looks like the caret.
    if (collector.empty())
        collector.take(caretFormat);

    SelectionLook look = collector.look();
    if (doc) {
        const QTextBlock block = doc->findBlock(cursor.hasSelection() ? cursor.selectionStart() : cursor.position());
        if (block.isValid())
            look.alignment = memoAlignOf(block.blockFormat().alignment());
    }
    return look;
}

QString sizeFieldText(const SelectionLook& look)
{
    return look.points ? QString::number(*look.points) : QString();
}

} // namespace kadro
