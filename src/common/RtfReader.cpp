#include "common/Rtf.h"

#include "common/Cp1252.h"
#include "common/RtfShared.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <iconv.h>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kadro {

using namespace rtf;

namespace {

constexpr int kDefaultCodePage = 1252;

QString wellFormed(QString text);

Qt::Alignment toQtAlignment(uint8_t align)
{
    switch (align) {
    case AlignCentrePara: return Qt::AlignHCenter;
    case AlignRightPara: return Qt::AlignRight;
    case AlignJustifyPara: return Qt::AlignJustify;
    default: return Qt::AlignLeft;
    }
}

// Code page of a font's \fcharsetN; 0 means "the document's code page".
int codePageOfCharset(long charset)
{
    switch (charset) {
    case 0: return 1252;   // ANSI
    case 77: return 10000; // Mac Roman
    case 128: return 932;  // Shift-JIS
    case 129: return 949;  // Hangul
    case 130: return 1361; // Johab
    case 134: return 936;  // GB2312
    case 136: return 950;  // Big5
    case 161: return 1253; // Greek
    case 162: return 1254; // Turkish
    case 163: return 1258; // Vietnamese
    case 177: return 1255; // Hebrew
    case 178: return 1256; // Arabic
    case 186: return 1257; // Baltic
    case 204: return 1251; // Cyrillic
    case 222: return 874;  // Thai
    case 238: return 1250; // Central European
    case 254: return 437;  // PC 437
    case 255: return 850;  // OEM
    default: return 0;     // 1 (default), 2 (symbol) and anything unknown
    }
}

// Turns the bytes of one code page into text. Windows-1252 is decoded here; any other code page
// goes through the C library's converters, opened once per reading. A code page the library
// does not know is read as Windows-1252, so no byte is ever lost.
class CodePageDecoder {
public:
    CodePageDecoder() = default;
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;
    ~CodePageDecoder()
    {
        for (auto& [page, cd] : m_converters) {
            if (cd != invalid())
                iconv_close(cd);
        }
    }

    QString decode(int codePage, const QByteArray& bytes)
    {
        iconv_t cd = codePage == kDefaultCodePage ? invalid() : converter(codePage);
        if (cd == invalid())
            return fromCp1252(bytes);

        QString out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(bytes.constData());
        size_t inLeft = size_t(bytes.size());
        char16_t buffer[256];
        while (inLeft > 0) {
            char* outPtr = reinterpret_cast<char*>(buffer);
            size_t outLeft = sizeof buffer;
            const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
            const int err = errno;
            const qsizetype produced = qsizetype((sizeof buffer - outLeft) / sizeof(char16_t));
            out.append(reinterpret_cast<const QChar*>(buffer), produced);
            if (r != size_t(-1))
                break;
            if (err == E2BIG)
                continue;
            // A byte the code page does not define, or a multi-byte character cut short.
            out.append(QChar(0xFFFD));
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

    iconv_t converter(int codePage)
    {
        const auto found = m_converters.find(codePage);
        if (found != m_converters.end())
            return found->second;
        QByteArray name;
        switch (codePage) {
        case 10000: name = "MACINTOSH"; break;
        case 20866: name = "KOI8-R"; break;
        case 65001: name = "UTF-8"; break;
        default:
            if (codePage >= 28591 && codePage <= 28599)
                name = "ISO-8859-" + QByteArray::number(codePage - 28590);
            else if (codePage > 0 && codePage < 100000)
                name = "CP" + QByteArray::number(codePage);
        }
        iconv_t cd = name.isEmpty() ? invalid() : iconv_open("UTF-16LE", name.constData());
        m_converters.emplace(codePage, cd);
        return cd;
    }

    std::unordered_map<int, iconv_t> m_converters;
};

// The control words the reader acts on; every other word is read past.
enum class Word {
    Skip, // a destination that is not shown: the rest of its group is read past
    FontTable, ColorTable, Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont,
    Font, FontCharset, FontCodePage, Red, Green, Blue,
    FontSize, Bold, Italic, Underline, UnderlineNone, Colour, Hidden, Plain,
    ParagraphDefault, AlignLeft, AlignCentre, AlignRight, AlignJustify,
    Par, Line, Tab, Cell, Row, Unicode, UnicodeSkip, Bin,
    Character, // a word that stands for one character, e.g. \emdash
};

struct WordInfo {
    Word word;
    char16_t character = 0;
};

const std::unordered_map<std::string_view, WordInfo>& wordTable()
{
    static const std::unordered_map<std::string_view, WordInfo> table = [] {
        std::unordered_map<std::string_view, WordInfo> t;
        // Groups whose content is not shown: document information, style and list tables,
        // pictures and embedded objects, headers, footers, footnotes, annotations, index and
        // contents entries, field instructions (their results are shown), old-style list
        // numbering texts and the plain-text copy of nested tables.
        for (const char* name :
             {"stylesheet", "info", "pict", "object", "objdata", "nonshppict", "shppict", "shp",
              "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
              "footnote", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn",
              "annotation", "atnid", "atnauthor", "atnref", "atndate", "atnicn", "atntime",
              "xe", "tc", "tcn", "txe", "rxe", "fldinst", "datafield", "bkmkstart", "bkmkend",
              "listtable", "listoverridetable", "revtbl", "rsidtbl", "filetbl", "generator",
              "template", "pn", "pntxta", "pntxtb", "nonesttables", "do", "themedata",
              "colorschememapping", "latentstyles", "datastore", "xmlnstbl", "pgdsctbl",
              "userprops", "docvar", "private", "mmathPr", "title", "subject", "author",
              "operator", "keywords", "comment", "doccomm", "company", "manager", "category",
              "hlinkbase", "passwordhash", "upr"})
            t.emplace(name, WordInfo{Word::Skip});
        const std::pair<const char*, Word> words[] = {
            {"fonttbl", Word::FontTable}, {"colortbl", Word::ColorTable}, {"ansi", Word::Ansi},
            {"mac", Word::Mac}, {"pc", Word::Pc}, {"pca", Word::Pca},
            {"ansicpg", Word::AnsiCodePage}, {"deff", Word::DefaultFont}, {"f", Word::Font},
            {"fcharset", Word::FontCharset}, {"cpg", Word::FontCodePage}, {"red", Word::Red},
            {"green", Word::Green}, {"blue", Word::Blue}, {"fs", Word::FontSize},
            {"b", Word::Bold}, {"i", Word::Italic}, {"ulnone", Word::UnderlineNone},
            {"cf", Word::Colour}, {"v", Word::Hidden}, {"plain", Word::Plain},
            {"pard", Word::ParagraphDefault}, {"ql", Word::AlignLeft}, {"qc", Word::AlignCentre},
            {"qr", Word::AlignRight}, {"qj", Word::AlignJustify}, {"qd", Word::AlignJustify},
            {"par", Word::Par}, {"line", Word::Line}, {"tab", Word::Tab}, {"cell", Word::Cell},
            {"nestcell", Word::Cell}, {"row", Word::Row}, {"nestrow", Word::Row},
            {"u", Word::Unicode}, {"uc", Word::UnicodeSkip}, {"bin", Word::Bin},
        };
        for (const auto& [name, word] : words)
            t.emplace(name, WordInfo{word});
        // Every kind of underline reads as underlined.
        for (const char* name : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                 "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd",
                                 "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            t.emplace(name, WordInfo{Word::Underline});
        const std::pair<const char*, char16_t> characters[] = {
            {"emdash", 0x2014}, {"endash", 0x2013}, {"emspace", 0x2003}, {"enspace", 0x2002},
            {"qmspace", 0x2005}, {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},
            {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D}, {"zwnj", 0x200C},
            {"zwbo", 0x200B}, {"ltrmark", 0x200E}, {"rtlmark", 0x200F},
        };
        for (const auto& [name, ch] : characters)
            t.emplace(name, WordInfo{Word::Character, ch});
        return t;
    }();
    return table;
}

enum class Dest : uint8_t { Text, FontTable, ColorTable };

struct CharState {
    int font = 0;
    int halfPoints = kDefaultHalfPoints;
    int colour = -1; // index into the colour table; -1 is the automatic colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hidden = false;
    bool operator==(const CharState&) const = default;
};

// Everything a group saves at "{" and restores at "}".
struct GroupState {
    CharState ch;
    uint8_t align = AlignLeftPara;
    Dest dest = Dest::Text;
    int unicodeSkip = 1;
};

struct FontEntry {
    QString name;
    int codePage = 0; // 0: the document's code page
};

struct Run {
    CharState ch;
    QString text;
};

struct Paragraph {
    std::vector<Run> runs;
    uint8_t align = AlignLeftPara;
    CharState mark; // the formatting of the paragraph mark, used by an empty paragraph
};

// Deeper groups than this are still counted, but share their state with the group around them,
// so a file of nothing but "{" costs no memory per brace.
constexpr size_t kMaxSavedGroups = 4096;

class Reader {
public:
    explicit Reader(const QByteArray& bytes)
        : m_p(bytes.constData()), m_end(bytes.constData() + bytes.size())
    {
    }

    void parse();
    void build(QTextDocument* document);

private:
    struct Token {
        std::string_view name;
        bool hasParam = false;
        long param = 0;
    };

    void readControlWord(Token* t);
    void controlWord(const Token& t);
    void controlSymbol(unsigned char c);
    void readSkipped();
    void openGroup();
    bool closeGroup();
    void startSkipping();

    void literalByte(unsigned char c);
    void codePageByte(unsigned char b);
    void flushBytes();
    void character(char32_t c);
    void endParagraph();
    int codePageOfFont(int font) const;

    void fontTableWord(Word w, const Token& t);
    void commitFont();
    void commitColour();
    QTextCharFormat format(const CharState& s) const;

    const char* m_p;
    const char* m_end;

    GroupState m_cur;
    std::vector<GroupState> m_saved;
    size_t m_unsaved = 0; // open groups beyond kMaxSavedGroups
    size_t m_depth = 0;
    bool m_skipping = false;
    size_t m_skipDepth = 0;
    long m_fallbackLeft = 0; // characters still to skip after \uN

    int m_codePage = kDefaultCodePage;
    int m_defaultFont = 0;
    QHash<int, FontEntry> m_fonts;
    bool m_fontPending = false;
    int m_pendingFontNumber = 0;
    size_t m_pendingFontDepth = 0;
    FontEntry m_pendingFont;
    std::vector<QColor> m_colours; // an invalid colour is the automatic one
    bool m_colourHasValue = false;
    int m_red = 0, m_green = 0, m_blue = 0;

    QByteArray m_bytes; // bytes of a code page not yet turned into characters
    int m_bytesCodePage = kDefaultCodePage;
    CodePageDecoder m_decoder;

    std::vector<Paragraph> m_paragraphs;
    std::vector<Run> m_runs;
};

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int hexValue(unsigned char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads the letters, the optional signed number and the optional blank after a backslash.
// Numbers are saturated, not wrapped: "\fs99999999999" reads as a very large size.
void Reader::readControlWord(Token* t)
{
    const char* start = m_p;
    while (m_p < m_end && isLetter(static_cast<unsigned char>(*m_p)))
        ++m_p;
    t->name = std::string_view(start, size_t(m_p - start));
    t->hasParam = false;
    t->param = 0;
    bool negative = false;
    if (m_p < m_end && *m_p == '-' && m_p + 1 < m_end && isDigit(static_cast<unsigned char>(m_p[1]))) {
        negative = true;
        ++m_p;
    }
    if (m_p < m_end && isDigit(static_cast<unsigned char>(*m_p))) {
        t->hasParam = true;
        long long value = 0;
        while (m_p < m_end && isDigit(static_cast<unsigned char>(*m_p))) {
            if (value < 10'000'000'000LL)
                value = value * 10 + (*m_p - '0');
            ++m_p;
        }
        if (negative)
            value = -value;
        t->param = long(std::clamp<long long>(value, INT_MIN, INT_MAX));
    }
    if (m_p < m_end && *m_p == ' ')
        ++m_p;
}

void Reader::parse()
{
    // Blanks and a byte order mark before the "{" were accepted by looksLikeRtf.
    while (m_p < m_end && *m_p != '{')
        ++m_p;
    while (m_p < m_end) {
        if (m_skipping) {
            readSkipped();
            continue;
        }
        const auto c = static_cast<unsigned char>(*m_p);
        if (c == '\r' || c == '\n') { // line ends in the file mean nothing
            ++m_p;
            continue;
        }
        if (c == '\\' && m_p + 1 < m_end && m_p[1] == '\'') {
            // \'hh: one byte in the current code page
            m_p += 2;
            if (m_end - m_p < 2)
                break; // the file ends inside the escape
            const int hi = hexValue(static_cast<unsigned char>(m_p[0]));
            const int lo = hexValue(static_cast<unsigned char>(m_p[1]));
            if (hi < 0 || lo < 0)
                continue; // a broken escape: its remaining characters are read as text
            m_p += 2;
            if (m_fallbackLeft > 0) {
                --m_fallbackLeft;
                continue;
            }
            codePageByte(static_cast<unsigned char>(hi * 16 + lo));
            continue;
        }
        if (c == '{' || c == '}') {
            flushBytes();
            ++m_p;
            if (c == '{') {
                openGroup();
            } else if (!closeGroup()) {
                return; // the document's own group has ended
            }
            continue;
        }
        if (c == '\\') {
            ++m_p;
            if (m_p >= m_end)
                break;
            const auto next = static_cast<unsigned char>(*m_p);
            if (isLetter(next)) {
                Token t;
                readControlWord(&t);
                if (m_p >= m_end)
                    break; // a word cut off by the end of the file, "u82" of "u8222"
                if (m_fallbackLeft > 0) {
                    --m_fallbackLeft;
                    if (t.name == "bin" && t.hasParam && t.param > 0)
                        m_p += std::min<long long>(t.param, m_end - m_p);
                    continue;
                }
                controlWord(t);
            } else {
                ++m_p;
                if (m_fallbackLeft > 0) {
                    --m_fallbackLeft;
                    continue;
                }
                controlSymbol(next);
            }
            continue;
        }
        ++m_p;
        if (m_fallbackLeft > 0) {
            --m_fallbackLeft;
            continue;
        }
        literalByte(c);
    }
    flushBytes();
}

// Inside a group that is not shown only braces, escapes and raw binary data matter.
void Reader::readSkipped()
{
    const auto c = static_cast<unsigned char>(*m_p);
    if (c == '{') {
        ++m_p;
        ++m_depth;
    } else if (c == '}') {
        ++m_p;
        if (m_depth > m_skipDepth) {
            --m_depth;
        } else {
            m_skipping = false;
            if (!closeGroup())
                m_p = m_end;
        }
    } else if (c == '\\') {
        ++m_p;
        if (m_p < m_end && isLetter(static_cast<unsigned char>(*m_p))) {
            Token t;
            readControlWord(&t);
            if (t.name == "bin" && t.hasParam && t.param > 0)
                m_p += std::min<long long>(t.param, m_end - m_p);
        } else if (m_p < m_end) {
            ++m_p; // \{ \} \\ and the like
        }
    } else {
        ++m_p;
    }
}

void Reader::openGroup()
{
    m_fallbackLeft = 0; // a group boundary ends the characters that stand in for \uN
    ++m_depth;
    if (m_saved.size() < kMaxSavedGroups)
        m_saved.push_back(m_cur);
    else
        ++m_unsaved;
}

bool Reader::closeGroup()
{
    m_fallbackLeft = 0;
    if (m_fontPending && m_depth == m_pendingFontDepth)
        commitFont(); // a font entry without its ";"
    if (m_depth <= 1)
        return false;
    --m_depth;
    if (m_unsaved > 0) {
        --m_unsaved;
    } else if (!m_saved.empty()) {
        m_cur = m_saved.back();
        m_saved.pop_back();
    }
    return true;
}

void Reader::startSkipping()
{
    m_skipping = true;
    m_skipDepth = m_depth;
}

void Reader::controlWord(const Token& t)
{
    flushBytes();
    if (t.name.size() > 32)
        return;
    const auto& table = wordTable();
    const auto found = table.find(t.name);
    if (found == table.end())
        return;
    const Word w = found->second.word;
    const long param = t.param;
    const auto flag = [&t] { return !t.hasParam || t.param != 0; };

    if (m_cur.dest != Dest::Text) {
        // In the font and colour tables only the table's own words, skipped groups and
        // characters of a font name count.
        if (w != Word::Skip && w != Word::Unicode && w != Word::UnicodeSkip && w != Word::Tab
            && w != Word::Character) {
            fontTableWord(w, t);
            return;
        }
    }
    switch (w) {
    case Word::Skip: startSkipping(); break;
    case Word::FontTable:
        m_cur.dest = Dest::FontTable;
        break;
    case Word::ColorTable:
        m_cur.dest = Dest::ColorTable;
        m_colours.clear();
        m_colourHasValue = false;
        break;
    case Word::Ansi: m_codePage = 1252; break;
    case Word::Mac: m_codePage = 10000; break;
    case Word::Pc: m_codePage = 437; break;
    case Word::Pca: m_codePage = 850; break;
    case Word::AnsiCodePage:
        if (param > 0 && param < 100000)
            m_codePage = int(param);
        break;
    case Word::DefaultFont:
        m_defaultFont = int(param);
        m_cur.ch.font = int(param);
        break;
    case Word::Font: m_cur.ch.font = int(param); break;
    case Word::FontSize:
        m_cur.ch.halfPoints = (!t.hasParam || param <= 0)
            ? kDefaultHalfPoints
            : int(std::clamp<long>(param, kMinHalfPoints, kMaxHalfPoints));
        break;
    case Word::Bold: m_cur.ch.bold = flag(); break;
    case Word::Italic: m_cur.ch.italic = flag(); break;
    case Word::Underline: m_cur.ch.underline = flag(); break;
    case Word::UnderlineNone: m_cur.ch.underline = false; break;
    case Word::Hidden: m_cur.ch.hidden = flag(); break;
    case Word::Colour: m_cur.ch.colour = int(param); break;
    case Word::Plain:
        m_cur.ch = CharState{};
        m_cur.ch.font = m_defaultFont;
        break;
    case Word::ParagraphDefault: m_cur.align = AlignLeftPara; break;
    case Word::AlignLeft: m_cur.align = AlignLeftPara; break;
    case Word::AlignCentre: m_cur.align = AlignCentrePara; break;
    case Word::AlignRight: m_cur.align = AlignRightPara; break;
    case Word::AlignJustify: m_cur.align = AlignJustifyPara; break;
    case Word::Par:
    case Word::Row: endParagraph(); break;
    case Word::Line: character(0x2028); break; // a line break inside the paragraph
    case Word::Tab:
    case Word::Cell: character('\t'); break;
    case Word::Character: character(found->second.character); break;
    case Word::Unicode: {
        // A signed 16-bit number; values beyond 16 bits are taken as code points.
        long v = param;
        if (v < 0 && v >= -32768)
            v += 65536;
        if (v >= 0 && v <= 0x10FFFF)
            character(char32_t(v));
        m_fallbackLeft = m_cur.unicodeSkip;
        break;
    }
    case Word::UnicodeSkip: m_cur.unicodeSkip = int(std::max<long>(param, 0)); break;
    case Word::Bin:
        if (t.hasParam && param > 0)
            m_p += std::min<long long>(param, m_end - m_p); // raw data: never shown
        break;
    default: break;
    }
}

// Words inside the font and colour tables.
void Reader::fontTableWord(Word w, const Token& t)
{
    const long param = t.param;
    if (m_cur.dest == Dest::ColorTable) {
        const int v = int(std::clamp<long>(param, 0, 255));
        switch (w) {
        case Word::Red: m_red = v; m_colourHasValue = true; break;
        case Word::Green: m_green = v; m_colourHasValue = true; break;
        case Word::Blue: m_blue = v; m_colourHasValue = true; break;
        default: break;
        }
        return;
    }
    switch (w) {
    case Word::Font:
        if (m_fontPending)
            commitFont();
        m_fontPending = true;
        m_pendingFontNumber = int(param);
        m_pendingFontDepth = m_depth;
        m_pendingFont = FontEntry{};
        break;
    case Word::FontCharset:
        if (m_fontPending && m_pendingFont.codePage == 0)
            m_pendingFont.codePage = codePageOfCharset(param);
        break;
    case Word::FontCodePage:
        if (m_fontPending && param > 0 && param < 100000)
            m_pendingFont.codePage = int(param);
        break;
    case Word::Bin:
        if (t.hasParam && param > 0)
            m_p += std::min<long long>(param, m_end - m_p);
        break;
    default: break;
    }
}

void Reader::commitFont()
{
    flushBytes();
    m_pendingFont.name = wellFormed(m_pendingFont.name.trimmed());
    if (!m_fonts.contains(m_pendingFontNumber))
        m_fonts.insert(m_pendingFontNumber, m_pendingFont);
    m_fontPending = false;
    m_pendingFont = FontEntry{};
}

void Reader::commitColour()
{
    m_colours.push_back(m_colourHasValue ? QColor(m_red, m_green, m_blue) : QColor());
    m_colourHasValue = false;
    m_red = m_green = m_blue = 0;
}

void Reader::controlSymbol(unsigned char c)
{
    flushBytes();
    switch (c) {
    case '\\':
    case '{':
    case '}': literalByte(c); break;
    case '~': character(0x00A0); break; // non-breaking space
    case '-': character(0x00AD); break; // optional hyphen
    case '_': character(0x2011); break; // non-breaking hyphen
    case '*': startSkipping(); break;   // an optional destination the reader does not know
    case '\r':
    case '\n':
        if (m_cur.dest == Dest::Text)
            endParagraph();
        break;
    case '\t': character('\t'); break;
    default: break;
    }
}

void Reader::literalByte(unsigned char c)
{
    if (m_cur.dest == Dest::ColorTable) {
        if (c == ';')
            commitColour();
        return;
    }
    if (m_cur.dest == Dest::FontTable && c == ';') {
        if (m_fontPending)
            commitFont();
        return;
    }
    if (c == '\t') {
        flushBytes();
        character('\t');
        return;
    }
    if (c < 0x20)
        return;
    codePageByte(c);
}

int Reader::codePageOfFont(int font) const
{
    const auto found = m_fonts.constFind(font);
    if (found != m_fonts.constEnd() && found->codePage != 0)
        return found->codePage;
    return m_codePage;
}

void Reader::codePageByte(unsigned char b)
{
    int page;
    if (m_cur.dest == Dest::FontTable)
        page = m_pendingFont.codePage != 0 ? m_pendingFont.codePage : m_codePage;
    else
        page = codePageOfFont(m_cur.ch.font);
    if (page == kDefaultCodePage) {
        flushBytes();
        character(cp1252Char(b).unicode());
        return;
    }
    // Other code pages may need several bytes for one character: collect them.
    if (!m_bytes.isEmpty() && page != m_bytesCodePage)
        flushBytes();
    m_bytesCodePage = page;
    m_bytes.append(char(b));
}

void Reader::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    const QString text = m_decoder.decode(m_bytesCodePage, m_bytes);
    m_bytes.clear();
    for (QChar ch : text)
        character(ch.unicode());
}

void Reader::character(char32_t c)
{
    // Characters that would break the document's structure, or mean nothing in a text.
    if ((c < 0x20 && c != '\t') || c == 0x7F || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1
        || c == 0xFFFC)
        return;
    QString* target = nullptr;
    if (m_cur.dest == Dest::FontTable) {
        if (!m_fontPending)
            return;
        target = &m_pendingFont.name;
    } else if (m_cur.dest == Dest::Text) {
        if (m_cur.ch.hidden)
            return;
        if (m_runs.empty() || !(m_runs.back().ch == m_cur.ch))
            m_runs.push_back(Run{m_cur.ch, QString()});
        target = &m_runs.back().text;
    } else {
        return;
    }
    if (c > 0xFFFF) {
        const char32_t v = c - 0x10000;
        target->append(QChar(char16_t(0xD800 + (v >> 10))));
        target->append(QChar(char16_t(0xDC00 + (v & 0x3FF))));
    } else {
        target->append(QChar(char16_t(c)));
    }
}

void Reader::endParagraph()
{
    m_paragraphs.push_back(Paragraph{std::move(m_runs), m_cur.align, m_cur.ch});
    m_runs.clear();
}

QTextCharFormat Reader::format(const CharState& s) const
{
    QTextCharFormat f;
    auto font = m_fonts.constFind(s.font);
    if (font == m_fonts.constEnd())
        font = m_fonts.constFind(m_defaultFont);
    if (font != m_fonts.constEnd() && !font->name.isEmpty())
        f.setFontFamilies(QStringList{font->name});
    f.setFontPointSize(s.halfPoints / 2.0);
    f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.italic);
    f.setFontUnderline(s.underline);
    if (s.colour >= 0 && size_t(s.colour) < m_colours.size() && m_colours[size_t(s.colour)].isValid())
        f.setForeground(m_colours[size_t(s.colour)]);
    return f;
}

// Text with every surrogate that has lost its partner replaced by U+FFFD.
QString wellFormed(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            text[i] = QChar(0xFFFD);
    }
    return text;
}

void Reader::build(QTextDocument* document)
{
    // Text after the last \par forms a paragraph of its own; an empty rest does not.
    bool restHasText = false;
    for (const Run& r : m_runs)
        restHasText = restHasText || !r.text.isEmpty();
    if (restHasText || m_paragraphs.empty())
        endParagraph();

    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (size_t i = 0; i < m_paragraphs.size(); ++i) {
        const Paragraph& p = m_paragraphs[i];
        QTextBlockFormat block;
        block.setAlignment(toQtAlignment(p.align));
        const QTextCharFormat mark = format(p.mark);
        if (i == 0) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(mark);
        } else {
            cursor.insertBlock(block, mark);
        }
        for (const Run& r : p.runs) {
            if (!r.text.isEmpty())
                cursor.insertText(wellFormed(r.text), format(r.ch));
        }
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
}

} // namespace

bool looksLikeRtf(const QByteArray& bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && i < 64 && QByteArrayView(" \t\r\n").contains(bytes.at(i)))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

bool readRtf(const QByteArray& bytes, QTextDocument* document)
{
    if (!document || !looksLikeRtf(bytes))
        return false;
    Reader reader(bytes);
    reader.parse();
    reader.build(document);
    return true;
}

} // namespace kadro
