#include "common/Rtf.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

using namespace kadro;

namespace {

// One line per paragraph: its alignment (L, C, R, J), then each run of equal formatting as
// «text» font size [b] [i] [u] [#colour]. Tabs show as \t and line breaks as \n.
QString describe(const QTextDocument& doc)
{
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        QString line = a & Qt::AlignJustify ? QStringLiteral("J:")
            : a & Qt::AlignHCenter          ? QStringLiteral("C:")
            : a & Qt::AlignRight            ? QStringLiteral("R:")
                                            : QStringLiteral("L:");
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat c = f.charFormat();
            QString text = f.text();
            text.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
            text.replace(QChar(0x2028), QStringLiteral("\\n"));
            line += QStringLiteral(" «%1» %2 %3").arg(text, c.fontFamilies().toStringList().value(0))
                        .arg(c.fontPointSize());
            if (c.fontWeight() >= QFont::DemiBold)
                line += QStringLiteral(" b");
            if (c.fontItalic())
                line += QStringLiteral(" i");
            if (c.fontUnderline())
                line += QStringLiteral(" u");
            if (c.foreground().style() != Qt::NoBrush)
                line += QLatin1Char(' ') + c.foreground().color().name();
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

QString describeRtf(const QByteArray& rtf)
{
    QTextDocument doc;
    EXPECT_TRUE(readRtf(rtf, &doc));
    return describe(doc);
}

QByteArray rewritten(const QByteArray& rtf)
{
    QTextDocument doc;
    EXPECT_TRUE(readRtf(rtf, &doc));
    return writeRtf(doc);
}

QString plainText(const QByteArray& rtf)
{
    QTextDocument doc;
    readRtf(rtf, &doc);
    return doc.toPlainText();
}

// As Windows 2000/XP rich-edit controls and WordPad save a memo.
const QByteArray kOlderRichEdit =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\froman\\fcharset0 Times New Roman;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 Text \\b fett\\b0  \\cf1 rot\\cf0  \\i kursiv\\i0  "
    "\\ul unterstrichen\\ulnone  Gr\\'f6\\'dfe\\par\r\n"
    "\\pard\\qc\\f1\\fs32 Zentriert \\cf2 blau\\cf0\\par\r\n"
    "\\pard\\qr\\f0\\fs20 Rechts\\par\r\n"
    "}\r\n";

// As the first rich-edit control wrote it: no code page, a colour table without the empty
// first entry, every run restarting with \plain.
const QByteArray kVeryOldRichEdit =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}"
    "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fswiss Arial;}}\r\n"
    "{\\colortbl\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
    "\\deflang1031\\pard\\plain\\f2\\fs24 Die \\plain\\f2\\fs24\\b Kugel\\plain\\f2\\fs24  rollt "
    "\\plain\\f2\\fs24\\cf1 schneller\\plain\\f2\\fs24\\cf0  \\'fcber die Bahn.\\par\r\n"
    "\\plain\\f2\\fs16\\par\r\n"
    "}";

// As WordPad of Windows 10 writes: generator, \nouicompat, paragraph spacing, \lang9, a Greek
// font, a character outside the code page.
const QByteArray kNewerRichEdit =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 "
    "Calibri;}{\\f1\\fnil\\fcharset161 Calibri;}}\r\n"
    "{\\colortbl ;\\red0\\green176\\blue80;}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\qc\\b\\f0\\fs22\\lang9 Fallgesetz\\b0\\par\r\n"
    "\\pard\\sa200\\sl276\\slmult1\\cf1 s = \\f1\\'e1\\f0 /2 \\'b7 t\\'b2 \\u8776? 4,9 m\\cf0\\par\r\n"
    "}\r\n";

// As LibreOffice Writer saves: style sheet, document information, page styles, associated
// fonts for other scripts, \uN with a \'hh fallback.
const QByteArray kLibreOffice =
    "{\\rtf1\\ansi\\deff3\\adeflang1025\n"
    "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2\\fcharset2 "
    "Symbol;}{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}{\\f3\\froman\\fprq2\\fcharset0 Liberation "
    "Serif{\\*\\falt Times New Roman};}{\\f4\\fswiss\\fprq2\\fcharset0 Liberation Sans{\\*\\falt "
    "Arial};}{\\f5\\fnil\\fprq2\\fcharset0 Noto Sans CJK SC;}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\n"
    "{\\stylesheet{\\s0\\snext0\\dbch\\af5\\langfe2052\\dbch\\af6\\afs24\\alang1081\\loch\\f3"
    "\\fs24\\lang1031 Standard;}\n"
    "{\\s15\\sbasedon0\\snext16\\dbch\\af5\\afs28\\loch\\f4\\fs28 \\'dcberschrift;}\n"
    "}{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
    "{\\info{\\creatim\\yr2024\\mo3\\dy5\\hr10\\min12}{\\revtim\\yr2024\\mo3\\dy5\\hr10\\min13}"
    "{\\printim\\yr0\\mo0\\dy0\\hr0\\min0}}{\\*\\userprops}\\deftab709\n"
    "\\hyphauto1\\viewscale100\n"
    "{\\*\\pgdsctbl\n"
    "{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pghsxn16838\\marglsxn1134\\margrsxn1134\\margtsxn1134"
    "\\margbsxn1134\\pgdscnxt0 Standard;}}\n"
    "\\formshade\\paperh16838\\paperw11906\\margl1134\\margr1134\\margt1134\\margb1134\\sectd"
    "\\sbknone\\pgndec\\sftnnar\\saftnnrlc\\sectunlocked1\\pgwsxn11906\\pghsxn16838\\marglsxn1134"
    "\\margrsxn1134\\margtsxn1134\\margbsxn1134\\ftnbj\\ftnstart1\\ftnrstcont\\ftnnar\\aenddoc"
    "\\aftnrstcont\\aftnstart1\\aftnnrlc\n"
    "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\widctlpar\\hyphpar0\\ltrpar\\cf0\\dbch"
    "\\af5\\langfe2052\\dbch\\af6\\afs24\\alang1081\\loch\\f3\\fs24\\lang1031\\qc\\widctlpar"
    "\\hyphpar0\\ltrpar{\\cf2\\b\\rtlch \\ltrch\\loch\\f4\n"
    "Schiefe Ebene}\n"
    "\\par \\pard\\plain \\s0\\widctlpar\\hyphpar0\\ltrpar\\cf0\\dbch\\af5\\langfe2052\\dbch"
    "\\af6\\afs24\\alang1081\\loch\\f3\\fs24\\lang1031\\widctlpar\\hyphpar0\\ltrpar{\\rtlch "
    "\\ltrch\\loch\n"
    "Die }{\\i\\ul\\rtlch \\ltrch\\loch\n"
    "Gr\\u246\\'f6\\u223\\'dfe}{\\rtlch \\ltrch\\loch\\fs32\n"
    " \\u8222\\'84a\\u8220\\'93 \\u8364\\'80}\n"
    "\\par }";

QTextCharFormat runFormat(const QString& family, double points)
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(points);
    f.setFontWeight(QFont::Normal);
    f.setFontItalic(false);
    f.setFontUnderline(false);
    return f;
}

} // namespace

TEST(Rtf, RecognisesRtfByItsOpeningOnly)
{
    EXPECT_TRUE(looksLikeRtf("{\\rtf1\\ansi x}"));
    EXPECT_TRUE(looksLikeRtf("{\\rtf"));
    EXPECT_TRUE(looksLikeRtf("\xEF\xBB\xBF{\\rtf1 x}"));
    EXPECT_TRUE(looksLikeRtf("\r\n  {\\rtf1 x}"));
    EXPECT_FALSE(looksLikeRtf(""));
    EXPECT_FALSE(looksLikeRtf("{\\rt"));
    EXPECT_FALSE(looksLikeRtf("{\\RTF1 x}"));
    EXPECT_FALSE(looksLikeRtf("Frage: Wie \\"));
    EXPECT_FALSE(looksLikeRtf("<html><body>{\\rtf1}</body></html>"));
    EXPECT_FALSE(looksLikeRtf("x{\\rtf1 x}"));

    // Not RTF: the document keeps what it had.
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("vorher"));
    EXPECT_FALSE(readRtf("Hallo {\\b Welt}", &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("vorher"));
    EXPECT_FALSE(readRtf("{\\rtf1 x}", nullptr));
}

TEST(Rtf, ReadsOlderRichEditOutput)
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("alter Inhalt"));
    ASSERT_TRUE(readRtf(kOlderRichEdit, &doc));
    EXPECT_EQ(describe(doc),
              QStringLiteral("L: «Text » Arial 10 «fett» Arial 10 b « » Arial 10 «rot» Arial 10 #ff0000"
                             " « » Arial 10 «kursiv» Arial 10 i « » Arial 10"
                             " «unterstrichen» Arial 10 u « Größe» Arial 10\n"
                             "C: «Zentriert » Times New Roman 16 «blau» Times New Roman 16 #0000ff\n"
                             "R: «Rechts» Arial 10"));
    // Loading replaces the content for good: nothing to undo, nothing modified.
    EXPECT_FALSE(doc.isUndoAvailable());
    EXPECT_FALSE(doc.isModified());
}

TEST(Rtf, ReadsTheFirstRichEditFormWithPlainRunsAndAColourTableWithoutEmptyEntry)
{
    // \cf0 is the table's black here; \plain goes back to the automatic colour.
    EXPECT_EQ(describeRtf(kVeryOldRichEdit),
              QStringLiteral("L: «Die » Arial 12 «Kugel» Arial 12 b « rollt » Arial 12"
                             " «schneller» Arial 12 #ff0000 « über die Bahn.» Arial 12 #000000\n"
                             "L:"));
    // The empty paragraph keeps the size of its mark.
    QTextDocument doc;
    readRtf(kVeryOldRichEdit, &doc);
    ASSERT_EQ(doc.blockCount(), 2);
    EXPECT_EQ(doc.lastBlock().charFormat().fontPointSize(), 8.0);
}

TEST(Rtf, ReadsNewerRichEditOutputWithFontCodePagesAndUnicode)
{
    EXPECT_EQ(describeRtf(kNewerRichEdit),
              QStringLiteral("C: «Fallgesetz» Calibri 11 b\n"
                             "L: «s = α/2 · t² ≈ 4,9 m» Calibri 11 #00b050"));
}

TEST(Rtf, ReadsLibreOfficeOutput)
{
    EXPECT_EQ(describeRtf(kLibreOffice),
              QStringLiteral("C: «Schiefe Ebene» Liberation Sans 12 b #ff0000\n"
                             "L: «Die » Liberation Serif 12 «Größe» Liberation Serif 12 i u"
                             " « „a“ €» Liberation Serif 16"));
}

TEST(Rtf, ReadsWordOutput)
{
    // Word's header: theme fonts with large numbers, default properties, math settings and the
    // footnote separator outside any "\*" group, revision ids on every run.
    const QByteArray word =
        "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\stshfdbch31505"
        "\\deflang1031{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose "
        "02020603050405020304}Times New Roman;}{\\f31506\\fbidi \\fminor\\fcharset0\\fprq2"
        "{\\*\\panose 020f0502020204030204}Calibri;}}\r\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;}{\\*\\defchp \\f31506\\fs22 }"
        "{\\*\\defpap \\ql \\sa160\\sl259\\slmult1 }\\noqfpromote {\\stylesheet{\\ql \\rtlch\\fcs1 "
        "\\af31507\\afs22 \\ltrch\\fcs0 \\f31506\\fs22 \\snext0 Normal;}}{\\*\\rsidtbl \\rsid123}"
        "{\\mmathPr\\mmathFont34\\mbrkBin0}{\\info{\\author Lehrer}{\\version1}}\r\n"
        "\\paperw11906\\paperh16838\\margl1417 {\\*\\ftnsep \\ltrpar \\pard\\plain \\ltrpar "
        "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\chftnsep \\par }}\r\n"
        "\\pard\\plain \\ltrpar\\qc \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\itap0 \\rtlch"
        "\\fcs1 \\af31507\\afs22\\alang1025 \\ltrch\\fcs0 \\f31506\\fs22\\lang1031\\langfe1033 "
        "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\b\\insrsid123 Hallo}{\\rtlch\\fcs1 \\af31507 "
        "\\ltrch\\fcs0 \\insrsid123  Welt\r\n\\par }\\pard \\ltrpar\\ql {\\field{\\*\\fldinst "
        "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 HYPERLINK \"https://example.org\" }}{\\fldrslt "
        "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\ul\\cf2 Seite}}}{\\rtlch\\fcs1 \\af31507 "
        "\\ltrch\\fcs0 \\insrsid123 \r\n\\par }{\\*\\themedata 504b030414}\r\n"
        "{\\*\\latentstyles\\lsdstimax376{\\lsdlockedexcept \\lsdqformat1 Normal;}}}";
    EXPECT_EQ(describeRtf(word), QStringLiteral("C: «Hallo» Calibri 11 b « Welt» Calibri 11\n"
                                                "L: «Seite» Calibri 11 u #c00000"));
}

TEST(Rtf, DecodesCodePagesAndUnicodeWithTheirFallbacks)
{
    // Umlauts as \'hh in upper or lower case, and as \uN with the fallback skipped.
    EXPECT_EQ(plainText("{\\rtf1\\ansi \\'e4\\'F6\\'Fc\\'c4\\'d6\\'dc\\'df \\u228?\\u246?\\u252?}"),
              QStringLiteral("äöüÄÖÜß äöü"));
    // \ucN: N fallback characters, each a byte, an escape or a control word.
    EXPECT_EQ(plainText("{\\rtf1\\uc2 \\u8364\\'80\\'80x \\uc0 \\u8364 y \\uc1\\u8364\\emdash z}"),
              QStringLiteral("€x €y €z"));
    // The fallback count is group state; a group end stops the skipping.
    EXPECT_EQ(plainText("{\\rtf1 {\\uc3 \\u8364 ab}c{\\u8364}d\\u8364\\par e}"),
              QStringLiteral("€c€d€e"));
    // Negative numbers are 16-bit: \u-3913 is U+F0B7; \u-1279 is the ligature fi.
    EXPECT_EQ(plainText("{\\rtf1 \\u-1279?\\u-3913?}"), QString(QChar(0xFB01)) + QChar(0xF0B7));
    // The document's code page, then a font's character set.
    EXPECT_EQ(plainText("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}"),
              QStringLiteral("Привет"));
    EXPECT_EQ(plainText("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 Arial;}"
                        "{\\f1\\fcharset238 Arial CE;}}\\f0 \\'b9 \\f1 \\'b9\\'ea}"),
              QStringLiteral("¹ ąę"));
    // A double-byte code page: two escapes make one character.
    EXPECT_EQ(plainText("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 \\'82\\'a0\\'82\\'a2}"),
              QStringLiteral("あい"));
    // A code page nobody knows reads as Windows-1252 rather than losing the text.
    EXPECT_EQ(plainText("{\\rtf1\\ansicpg99999 \\'e4}"), QStringLiteral("ä"));
    // Font names are decoded too.
    QTextDocument doc;
    readRtf("{\\rtf1{\\fonttbl{\\f0\\fnil Sch\\'f6nschrift;}}\\f0 x}", &doc);
    EXPECT_EQ(doc.begin().begin().fragment().charFormat().fontFamilies().toStringList(),
              QStringList{QStringLiteral("Schönschrift")});
}

TEST(Rtf, GroupsPlainAndPardRestoreAndResetFormatting)
{
    EXPECT_EQ(describeRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\f0\\fs20 "
                          "a{\\b\\i\\f1\\fs40 b{\\ul c}d}e\\b\\i\\ul\\fs30\\f1 f\\plain g}"),
              QStringLiteral("L: «a» Arial 10 «b» Courier New 20 b i «c» Courier New 20 b i u"
                             " «d» Courier New 20 b i «e» Arial 10 «f» Courier New 15 b i u"
                             " «g» Arial 12"));
    // Toggles with a parameter: \b0 and \ul0 switch off, \b1 and \uldb switch on.
    EXPECT_EQ(describeRtf("{\\rtf1 \\b1\\uldb a\\b0 b\\ul0 c\\i1 d\\i0 e}"),
              QStringLiteral("L: «a»  12 b u «b»  12 u «c»  12 «d»  12 i «e»  12"));
    // Alignment belongs to each paragraph; \pard resets it but keeps the characters' format.
    EXPECT_EQ(describeRtf("{\\rtf1\\pard\\qc\\b eins\\par zwei\\par\\pard drei\\par\\qr vier\\par"
                          "\\qj f\\'fcnf\\par\\pard\\ql sechs}"),
              QStringLiteral("C: «eins»  12 b\nC: «zwei»  12 b\nL: «drei»  12 b\nR: «vier»  12 b\n"
                             "J: «fünf»  12 b\nL: «sechs»  12 b"));
    // The alignment in force at \par decides, even when set inside a group.
    EXPECT_EQ(describeRtf("{\\rtf1 {\\qc a\\par}{\\qr b}\\par}"),
              QStringLiteral("C: «a»  12\nL: «b»  12"));
}

TEST(Rtf, ColourTablesWithAndWithoutTheAutomaticEntry)
{
    // Leading ";": \cf0 is the automatic colour, written as no colour at all.
    EXPECT_EQ(describeRtf("{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\cf1 a\\cf0 b\\cf7 c}"),
              QStringLiteral("L: «a»  12 #ff0000 «bc»  12"));
    // Without it every entry is a colour, the first one black.
    EXPECT_EQ(describeRtf("{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red0\\green128\\blue0;}"
                          "\\cf1 a\\cf0 b}"),
              QStringLiteral("L: «a»  12 #008000 «b»  12 #000000"));
    // Components default to 0 and are held to 0..255.
    EXPECT_EQ(describeRtf("{\\rtf1{\\colortbl;\\green999;\\red-4\\blue16;}\\cf1 a\\cf2 b}"),
              QStringLiteral("L: «a»  12 #00ff00 «b»  12 #000010"));
}

TEST(Rtf, SpecialCharactersAndParagraphStructure)
{
    EXPECT_EQ(describeRtf("{\\rtf1 a\\tab b\\line c\\~d\\-e\\_f\\{\\}\\\\\\emdash\\endash"
                          "\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\tg}"),
              QStringLiteral("L: «a\\tb\\nc\u00a0d\u00ade\u2011f{}\\—–‘’“”•\\tg»  12"));
    // Line ends in the file are not text; a backslash before one is a paragraph break.
    EXPECT_EQ(plainText("{\\rtf1 ab\r\ncd\\\nef\\\r\ngh}"), QStringLiteral("abcd\nef\ngh"));
    // The final \par closes the last paragraph; text after it forms one more.
    EXPECT_EQ(QTextDocument().blockCount(), 1);
    QTextDocument doc;
    readRtf("{\\rtf1 a\\par}", &doc);
    EXPECT_EQ(doc.blockCount(), 1);
    readRtf("{\\rtf1 a\\par\\par}", &doc);
    EXPECT_EQ(doc.blockCount(), 2);
    readRtf("{\\rtf1 a\\par b}", &doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("a\nb"));
    readRtf("{\\rtf1 }", &doc);
    EXPECT_EQ(doc.blockCount(), 1);
    EXPECT_TRUE(doc.isEmpty());
    // Table cells separate with tabs, rows are paragraphs; hidden text is not shown.
    EXPECT_EQ(plainText("{\\rtf1\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row c{\\v verborgen}d"
                        "\\v x\\v0 e}"),
              QStringLiteral("a\tb\t\ncde"));
    // Text after the document's closing brace is not part of it.
    EXPECT_EQ(plainText(QByteArray("{\\rtf1 a}\r\n\0 Rest", 15)), QStringLiteral("a"));
}

TEST(Rtf, SkipsWhatIsNotShown)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0"
        "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times "
        "New Roman;}{\\f1\\fswiss\\fcharset0{\\*\\falt Helvetica}Arial}}"
        "{\\stylesheet{\\ql \\f0 Normal;}{\\*\\cs10 Default Paragraph Font;}}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel{\\leveltext \\'01\\u-3913 ?;}}}}"
        "{\\info{\\title Titel}{\\author Lehrer}{\\*\\company Schule}}"
        "{\\*\\themedata 504b0304}{\\*\\latentstyles\\lsdstimax376{\\lsdlockedexcept Normal;}}"
        "{\\header \\pard Kopfzeile\\par}{\\footer \\pard Fu\\'dfzeile\\par}"
        "{\\*\\unbekannt {\\b tief {verschachtelt}} Text}"
        "\\pard\\plain\\f1 A{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt Link}}"
        "B{\\pict\\wmetafile8\\picw100 0100090000 {\\*\\blipuid 12ab}}"
        "C{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105}{\\result nix}}"
        "D{\\footnote \\pard Fu\\'dfnote}{\\*\\bkmkstart m}E{\\*\\bkmkend m}"
        "F{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody{\\pntxta .}}G"
        "{\\pn\\pnlvlblt{\\pntxtb \\'b7}}H"
        "I\\bin5 {}\\}xJ{\\pict\\bin6 }}}}}}}K}";
    QTextDocument doc;
    ASSERT_TRUE(readRtf(rtf, &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("ALinkBCDEF1.\tGHIJK"));
    EXPECT_EQ(doc.begin().begin().fragment().charFormat().fontFamilies().toStringList(),
              QStringList{QStringLiteral("Arial")});
    // The font entry whose name comes after a skipped group.
    readRtf("{\\rtf1{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 0202}Times New "
            "Roman;}}\\f0 x}",
            &doc);
    EXPECT_EQ(doc.begin().begin().fragment().charFormat().fontFamilies().toStringList(),
              QStringList{QStringLiteral("Times New Roman")});
    // The older font table form without a group per font.
    EXPECT_EQ(describeRtf("{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1\\froman Times;}\\f1 x\\f0 y\\f9 z}"),
              QStringLiteral("L: «x» Times 12 «yz» Arial 12"));
}

TEST(Rtf, WritesTheRichEditForm)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    const QTextCharFormat base = runFormat(QStringLiteral("Arial"), 10);
    c.setBlockCharFormat(base);
    c.insertText(QStringLiteral("Text "), base);
    QTextCharFormat bold = base;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("fett"), bold);
    c.insertText(QStringLiteral(" "), base);
    QTextCharFormat red = base;
    red.setForeground(QColor(255, 0, 0));
    c.insertText(QStringLiteral("rot"), red);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centre, base);
    QTextCharFormat times = runFormat(QStringLiteral("Times New Roman"), 16);
    times.setFontItalic(true);
    times.setFontUnderline(true);
    c.insertText(QStringLiteral("Größe 5 € {a\\b}\tΩ中") + QChar(0xFB01), times);
    c.insertText(QString(QChar(0x2028)) + QStringLiteral("x"), base);
    c.insertBlock(QTextBlockFormat(), base);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right, base);
    QTextCharFormat blue = base;
    blue.setForeground(QColor(0, 0, 255));
    c.insertText(QStringLiteral(" rechts"), blue);
    QTextBlockFormat justify;
    justify.setAlignment(Qt::AlignJustify);
    c.insertBlock(justify, red);

    const QByteArray expected =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
        "{\\f1\\fnil\\fcharset0 Times New Roman;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 Text \\b fett\\b0  \\cf1 rot\\par\r\n"
        "\\pard\\qc\\f1\\fs32\\cf0\\i\\ul Gr\\'f6\\'dfe 5 \\'80 \\{a\\\\b\\}\\tab\\u937?\\u20013?"
        "\\u-1279?\\f0\\fs20\\i0\\ulnone\\line x\\par\r\n"
        "\\pard\\par\r\n"
        "\\pard\\qr\\cf2  rechts\\par\r\n"
        "\\pard\\qj\\cf1\\par\r\n"
        "}\r\n";
    const QByteArray written = writeRtf(doc);
    EXPECT_EQ(written, expected);
    // What was written reads back with the same formatting.
    QTextDocument back;
    ASSERT_TRUE(readRtf(written, &back));
    EXPECT_EQ(describe(back), describe(doc));
    EXPECT_EQ(back.lastBlock().charFormat().foreground().color(), QColor(255, 0, 0));
}

TEST(Rtf, WritesTheEditorsDefaultFontAndPixelSizesInPoints)
{
    // The memo editor's font is Arial 20 pixels: 15 points on a 96 dpi screen.
    QTextDocument doc;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(20);
    doc.setDefaultFont(font);
    doc.setPlainText(QStringLiteral("Hallo\n"));
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    QTextCharFormat px;
    px.setProperty(QTextFormat::FontPixelSize, 32);
    px.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("groß"), px);
    const QByteArray rtf = writeRtf(doc);
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\viewkind4")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\pard\\f0\\fs30 Hallo\\par\r\n\\pard\\fs48\\b gro\\'df\\par\r\n}"))
        << rtf.constData();

    // An empty document is one empty paragraph.
    QTextDocument empty;
    empty.setDefaultFont(font);
    EXPECT_EQ(writeRtf(empty), QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl"
                                          "{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\viewkind4\\uc1"
                                          "\\pard\\f0\\fs30\\par\r\n}\r\n"));
    QTextDocument back;
    readRtf(writeRtf(empty), &back);
    EXPECT_TRUE(back.isEmpty());
    EXPECT_EQ(back.blockCount(), 1);
}

TEST(Rtf, WrittenReadAndWrittenAgainIsByteIdentical)
{
    // Documents as the editor makes them.
    std::vector<QByteArray> firsts;
    {
        QTextDocument doc;
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(20);
        doc.setDefaultFont(font);
        doc.setPlainText(QStringLiteral("Eine Zeile\n\n\tmit Tab und Ümläuten ½ – “Zitat” ✓\n"));
        firsts.push_back(writeRtf(doc));
    }
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        for (int i = 0; i < 12; ++i) {
            QTextCharFormat f = runFormat(i % 2 ? QStringLiteral("Verdana") : QStringLiteral("Comic Sans MS"),
                                          6 + 1.5 * i);
            f.setFontWeight(i % 3 == 0 ? QFont::Bold : QFont::Normal);
            f.setFontItalic(i % 4 == 1);
            f.setFontUnderline(i % 5 == 2);
            if (i % 3 == 1)
                f.setForeground(QColor::fromHsv(i * 30, 255, 200));
            c.insertText(QStringLiteral("Teil %1 ").arg(i), f);
            if (i % 4 == 3) {
                QTextBlockFormat b;
                b.setAlignment(i % 8 == 3 ? Qt::AlignRight : Qt::AlignHCenter);
                c.insertBlock(b, f);
            }
        }
        firsts.push_back(writeRtf(doc));
    }
    // Documents as other programs write them.
    for (const QByteArray& sample : {kOlderRichEdit, kVeryOldRichEdit, kNewerRichEdit, kLibreOffice})
        firsts.push_back(rewritten(sample));

    for (const QByteArray& first : firsts) {
        const QByteArray second = rewritten(first);
        EXPECT_EQ(second, first);
        EXPECT_EQ(describeRtf(second), describeRtf(first));
    }
    // The rewritten samples keep their formatting.
    EXPECT_EQ(describeRtf(firsts[2]), describeRtf(kOlderRichEdit));
    EXPECT_EQ(describeRtf(firsts[5]), describeRtf(kLibreOffice));
}

TEST(Rtf, WhatTheFormCannotCarryIsWrittenAsItReadsBack)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat red = runFormat(QStringLiteral("Arial"), 10);
    red.setForeground(QColor(Qt::red));
    c.insertText(QStringLiteral("rot "), red);
    // Characters that are never written, in a font and colour of their own: no trace is left,
    // not even in the font and colour tables.
    QTextCharFormat unseen = runFormat(QStringLiteral("Wingdings"), 30);
    unseen.setForeground(QColor(Qt::blue));
    c.insertText(QString(2, QChar(0x01)) + QChar(0xFFFC), unseen);
    // A font name with a semicolon and blanks around it, and half a surrogate pair in the text.
    c.insertText(QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b"),
                 runFormat(QStringLiteral("  Semi;kolon "), 10));
    const QByteArray first = writeRtf(doc);
    EXPECT_FALSE(first.contains("Wingdings")) << first.constData();
    EXPECT_FALSE(first.contains("\\blue255")) << first.constData();
    EXPECT_TRUE(first.contains("\\fcharset0 Semi\\'3bkolon;}")) << first.constData();
    EXPECT_EQ(describeRtf(first), QStringLiteral("L: «rot » Arial 10 #ff0000 «a") + QChar(0xFFFD) +
                                      QStringLiteral("b» Semi;kolon 10"));
    EXPECT_EQ(rewritten(first), first);

    // The same read from RTF: an escaped semicolon and a lone half in a font name.
    const QByteArray named = "{\\rtf1{\\fonttbl{\\f0 A\\'3bB\\u55357?;}}\\f0\\fs20 x}";
    EXPECT_EQ(describeRtf(named), QStringLiteral("L: «x» A;B") + QChar(0xFFFD) + QStringLiteral(" 10"));
    EXPECT_EQ(describeRtf(rewritten(named)), describeRtf(named));
    EXPECT_EQ(rewritten(rewritten(named)), rewritten(named));
}

TEST(Rtf, BrokenInputShowsWhatCouldBeRead)
{
    // Cut at every position: never more text than the whole file has, always the start of it.
    for (const QByteArray& sample : {kOlderRichEdit, kNewerRichEdit, kLibreOffice}) {
        QTextDocument full;
        readRtf(sample, &full);
        const QString whole = full.toPlainText();
        for (qsizetype n = 5; n <= sample.size(); ++n) {
            const QString part = plainText(sample.left(n));
            ASSERT_TRUE(whole.startsWith(part)) << n << ": " << part.toStdString();
        }
    }
    // Unbalanced braces: a missing "}" loses nothing, an extra one ends the document.
    EXPECT_EQ(plainText("{\\rtf1 {\\b a{{{ b"), QStringLiteral("a b"));
    EXPECT_EQ(plainText("{\\rtf1 {\\b a}} b}"), QStringLiteral("a"));
    EXPECT_EQ(plainText("{\\rtf1 }}}}{{{x"), QString());
    EXPECT_EQ(plainText("{\\rtf1 \\"), QString());
    EXPECT_EQ(plainText("{\\rtf1 a\\'"), QStringLiteral("a"));
    EXPECT_EQ(plainText("{\\rtf1 a\\'4"), QStringLiteral("a"));
    EXPECT_EQ(plainText("{\\rtf1 a\\'zz b}"), QStringLiteral("azz b"));
    EXPECT_EQ(plainText("{\\rtf1{\\fonttbl{\\f0 Ari"), QString());
    EXPECT_EQ(plainText("{\\rtf1{\\*\\generator x"), QString());
    // Absurd numbers are held to sensible values instead of wrapping round.
    EXPECT_EQ(describeRtf("{\\rtf1\\fs99999999999 a\\fs-5 b\\fs0 c\\fs1 d}"),
              QStringLiteral("L: «a»  1638 «bc»  12 «d»  1"));
    EXPECT_EQ(plainText("{\\rtf1 a\\u99999999999?b\\u-99999?c\\u1114112?d\\u128512?e"
                        "\\uc99999999999 \\u65 fgh}"),
              QStringLiteral("abcd") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("eA"));
    EXPECT_EQ(plainText("{\\rtf1 \\cf99999999999 \\f-99999999999 \\ansicpg-5 \\'e4"
                        "\\uc-3 \\u66 x\\b999999999999999999999999999999 y}"),
              QStringLiteral("äBxy"));
    // Characters that would split paragraphs or mean nothing as text are not taken from \uN.
    EXPECT_EQ(plainText("{\\rtf1\\uc0 a\\u10 b\\u13 c\\u8233 d\\u0 e\\u65532 f\\u-560 g\\u-9216 h}"),
              QStringLiteral("abcdefg") + QChar(0xFFFD) + QStringLiteral("h"));
    // \bin with a count beyond the end, in the text, in a skipped group and as a fallback.
    EXPECT_EQ(plainText("{\\rtf1 a\\bin99999999999 b}c}"), QStringLiteral("a"));
    EXPECT_EQ(plainText("{\\rtf1 a{\\*\\x\\bin4294967296 b}c}"), QStringLiteral("a"));
    EXPECT_EQ(plainText("{\\rtf1 a\\u66\\bin3 }}}c}"), QStringLiteral("aBc"));
    EXPECT_EQ(plainText("{\\rtf1 a\\bin-5 b}"), QStringLiteral("ab"));
}

TEST(Rtf, DeepNestingCostsNeitherStackNorTime)
{
    QElapsedTimer timer;
    timer.start();
    const int depth = 100000;
    // The innermost bold ends with its groups.
    QByteArray rtf = "{\\rtf1 a";
    rtf += QByteArray(depth, '{') + "\\b b" + QByteArray(depth, '}') + "c}";
    EXPECT_EQ(describeRtf(rtf), QStringLiteral("L: «a»  12 «b»  12 b «c»  12"));
    // Never closed, and inside a skipped group.
    EXPECT_EQ(plainText("{\\rtf1 x" + QByteArray(depth, '{') + "y"), QStringLiteral("xy"));
    EXPECT_EQ(plainText("{\\rtf1 x{\\*" + QByteArray(depth, '{') + "y" + QByteArray(depth, '}')
                        + "}z}"),
              QStringLiteral("xz"));
    // A million braces of either kind, and a million control words.
    EXPECT_EQ(plainText("{\\rtf1 " + QByteArray(1000000, '{')), QString());
    EXPECT_EQ(plainText("{\\rtf1 q" + QByteArray(1000000, '}')), QStringLiteral("q"));
    QByteArray words = "{\\rtf1 ";
    for (int i = 0; i < 200000; ++i)
        words += "\\b\\i0\\fs30\\cf1 ";
    EXPECT_EQ(plainText(words + "z}"), QStringLiteral("z"));
    EXPECT_LT(timer.elapsed(), 20000);
}

TEST(Rtf, GarbledSamplesNeverFail)
{
    // Deterministic mutations of real samples: any result is fine as long as reading ends, says
    // it is RTF when the opening survived, and produces no more text than there are bytes.
    const char alphabet[] = "{}\\'*;-09afuxbcp \r\n\x80\xff";
    uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFF;
    };
    int read = 0;
    for (const QByteArray& sample : {kOlderRichEdit, kLibreOffice, kNewerRichEdit}) {
        for (int round = 0; round < 400; ++round) {
            QByteArray bytes = sample;
            const int edits = 1 + next() % 8;
            for (int e = 0; e < edits; ++e) {
                if (bytes.size() < 8)
                    break;
                const qsizetype at = 6 + next() % (bytes.size() - 6);
                const char ch = alphabet[next() % (sizeof alphabet - 1)];
                switch (next() % 3) {
                case 0: bytes[at] = ch; break;
                case 1: bytes.insert(at, ch); break;
                default: bytes.remove(at, 1 + next() % 16); break;
                }
            }
            QTextDocument doc;
            ASSERT_TRUE(readRtf(bytes, &doc));
            EXPECT_LE(doc.characterCount(), bytes.size() + 1);
            writeRtf(doc);
            ++read;
        }
    }
    EXPECT_EQ(read, 1200);
}
