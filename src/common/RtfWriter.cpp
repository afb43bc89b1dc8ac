#include "common/Rtf.h"

#include "common/Cp1252.h"
#include "common/RtfShared.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kadro {

using namespace rtf;

namespace {

uint8_t fromQtAlignment(Qt::Alignment a)
{
    const Qt::Alignment h = a & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignJustify)
        return AlignJustifyPara;
    if (h & Qt::AlignHCenter)
        return AlignCentrePara;
    if (h & (Qt::AlignRight | Qt::AlignTrailing))
        return AlignRightPara;
    return AlignLeftPara;
}

// The Windows-1252 byte of a character, or -1 when the code page has none.
int cp1252Byte(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int b = 0x80; b < 0xA0; ++b) {
        if (cp1252Char(static_cast<unsigned char>(b)).unicode() == u)
            return b;
    }
    return -1;
}

struct WriteFormat {
    int font = 0;
    int halfPoints = kDefaultHalfPoints;
    int colour = 0; // 0: automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

class Writer {
public:
    explicit Writer(const QTextDocument& document)
        : m_doc(document), m_default(document.defaultFont())
    {
    }
    QByteArray write();

private:
    WriteFormat resolve(const QTextCharFormat& f);
    void changeTo(const WriteFormat& f);
    void word(const char* w, int param);
    void word(const char* w);
    void text(const QString& s);
    void fontName(const QString& s);
    static bool isDropped(char16_t c);
    static bool hasText(const QString& s);

    const QTextDocument& m_doc;
    QFont m_default;
    QStringList m_fonts;
    QList<QRgb> m_colours; // entry 0 of the table is the automatic colour, not listed here
    QByteArray m_out;
    bool m_needBlank = false;
    WriteFormat m_state;
    bool m_stateKnown = false;
};

WriteFormat Writer::resolve(const QTextCharFormat& f)
{
    WriteFormat w;
    // A font name as it reads back: without blanks around it and without the characters that
    // are not written.
    const auto written = [](QString name) {
        name.removeIf([](QChar c) { return isDropped(c.unicode()); });
        return name.trimmed();
    };
    QString family;
    if (f.hasProperty(QTextFormat::FontFamilies))
        family = written(f.fontFamilies().toStringList().value(0));
    if (family.isEmpty())
        family = written(m_default.family());
    if (family.isEmpty())
        family = QStringLiteral("Arial");
    w.font = int(m_fonts.indexOf(family));
    if (w.font < 0) {
        m_fonts.append(family);
        w.font = int(m_fonts.size() - 1);
    }

    // Pixel sizes are converted at the 96 dots per inch of a standard Windows screen.
    double points = 0;
    if (f.hasProperty(QTextFormat::FontPointSize))
        points = f.fontPointSize();
    else if (f.hasProperty(QTextFormat::FontPixelSize))
        points = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
    else
        points = m_default.pointSizeF() > 0 ? m_default.pointSizeF() : m_default.pixelSize() * 0.75;
    w.halfPoints = points > 0 ? std::clamp(qRound(points * 2), kMinHalfPoints, kMaxHalfPoints)
                              : kDefaultHalfPoints;

    w.bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold
                                                     : m_default.bold();
    w.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : m_default.italic();
    w.underline = (f.hasProperty(QTextFormat::TextUnderlineStyle)
                   || f.hasProperty(QTextFormat::FontUnderline))
        ? f.fontUnderline()
        : m_default.underline();

    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush) {
        const QRgb rgb = f.foreground().color().rgb() | 0xFF000000u;
        qsizetype index = m_colours.indexOf(rgb);
        if (index < 0) {
            m_colours.append(rgb);
            index = m_colours.size() - 1;
        }
        w.colour = int(index + 1);
    }
    return w;
}

void Writer::word(const char* w)
{
    m_out += '\\';
    m_out += w;
    m_needBlank = true;
}

void Writer::word(const char* w, int param)
{
    word(w);
    m_out += QByteArray::number(param);
}

void Writer::changeTo(const WriteFormat& f)
{
    if (!m_stateKnown || f.font != m_state.font)
        word("f", f.font);
    if (!m_stateKnown || f.halfPoints != m_state.halfPoints)
        word("fs", f.halfPoints);
    if (!m_stateKnown || f.colour != m_state.colour) {
        if (m_stateKnown || f.colour != 0)
            word("cf", f.colour);
    }
    if (f.bold != (m_stateKnown && m_state.bold))
        word(f.bold ? "b" : "b0");
    if (f.italic != (m_stateKnown && m_state.italic))
        word(f.italic ? "i" : "i0");
    if (f.underline != (m_stateKnown && m_state.underline))
        word(f.underline ? "ul" : "ulnone");
    m_state = f;
    m_stateKnown = true;
}

// Characters that stand for the document's structure (frames, objects) or mean nothing in a
// text: they are not written.
bool Writer::isDropped(char16_t c)
{
    return (c < 0x20 && c != '\t') || c == 0x7F || c == 0x2029 || c == 0xFFFC || c == 0xFDD0 || c == 0xFDD1;
}

bool Writer::hasText(const QString& s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return !isDropped(c.unicode()); });
}

void Writer::text(const QString& s)
{
    static const char hex[] = "0123456789abcdef";
    for (qsizetype i = 0; i < s.size(); ++i) {
        char16_t c = s.at(i).unicode();
        // Half of a surrogate pair without its partner is no character: it is written as the
        // replacement character, which is what it reads back as.
        if (QChar::isSurrogate(c)) {
            const bool paired = QChar::isHighSurrogate(c) ? i + 1 < s.size() && s.at(i + 1).isLowSurrogate()
                                                          : i > 0 && s.at(i - 1).isHighSurrogate();
            if (!paired)
                c = 0xFFFD;
        }
        if (c == '\t') {
            word("tab");
        } else if (c == 0x2028) {
            word("line");
        } else if (isDropped(c)) {
            // not written
        } else if (c == '\\' || c == '{' || c == '}') {
            m_out += '\\';
            m_out += char(c);
            m_needBlank = false;
        } else if (c < 0x80) {
            if (m_needBlank)
                m_out += ' ';
            m_out += char(c);
            m_needBlank = false;
        } else if (const int b = cp1252Byte(c); b >= 0) {
            m_out += "\\'";
            m_out += hex[b >> 4];
            m_out += hex[b & 15];
            m_needBlank = false;
        } else {
            m_out += "\\u";
            m_out += QByteArray::number(int(int16_t(c)));
            m_out += '?'; // what a reader without Unicode shows
            m_needBlank = false;
        }
    }
}

void Writer::fontName(const QString& s)
{
    m_needBlank = true; // after \fcharset0
    // A plain ";" ends the name in the font table; one inside the name is written as a byte.
    const QStringList parts = s.split(QLatin1Char(';'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            m_out += "\\'3b";
            m_needBlank = false;
        }
        text(parts.at(i));
    }
}

QByteArray Writer::write()
{
    // Fonts and colours are numbered in the order of their first use.
    struct BlockOut {
        QTextBlock block;
        std::vector<std::pair<QString, WriteFormat>> runs;
        WriteFormat mark;
    };
    std::vector<BlockOut> blocks;
    blocks.reserve(size_t(m_doc.blockCount()));
    for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
        BlockOut out{b, {}, {}};
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            // A fragment of nothing but characters that are not written (an image, say) leaves
            // no trace, not even its font or colour.
            const QTextFragment frag = it.fragment();
            if (frag.isValid() && hasText(frag.text()))
                out.runs.emplace_back(frag.text(), resolve(frag.charFormat()));
        }
        if (out.runs.empty())
            out.mark = resolve(b.charFormat());
        blocks.push_back(std::move(out));
    }
    if (blocks.empty()) {
        BlockOut out{QTextBlock(), {}, resolve(QTextCharFormat())};
        blocks.push_back(std::move(out));
    }

    m_out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        m_out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0";
        fontName(m_fonts.at(i));
        m_out += ";}";
    }
    m_out += "}\r\n";
    if (!m_colours.isEmpty()) {
        m_out += "{\\colortbl ;";
        for (QRgb c : m_colours) {
            m_out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c))
                + "\\blue" + QByteArray::number(qBlue(c)) + ';';
        }
        m_out += "}\r\n";
    }
    m_out += "\\viewkind4\\uc1";
    m_needBlank = false;

    for (const BlockOut& b : blocks) {
        word("pard");
        const uint8_t align = b.block.isValid() ? fromQtAlignment(b.block.blockFormat().alignment())
                                                : uint8_t(AlignLeftPara);
        switch (align) {
        case AlignCentrePara: word("qc"); break;
        case AlignRightPara: word("qr"); break;
        case AlignJustifyPara: word("qj"); break;
        default: break;
        }
        if (b.runs.empty())
            changeTo(b.mark);
        for (const auto& [s, f] : b.runs) {
            changeTo(f);
            text(s);
        }
        word("par");
        m_out += "\r\n";
        m_needBlank = false;
    }
    m_out += "}\r\n";
    return m_out;
}

} // namespace

QByteArray writeRtf(const QTextDocument& document)
{
    return Writer(document).write();
}

} // namespace kadro
