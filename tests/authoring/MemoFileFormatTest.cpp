#include "AuthoringTestSupport.h"

#include "common/Rtf.h"
#include "support/WriteFailures.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace kadro;
using namespace kadro::test;

namespace {
// The format of the character at a position.
QTextCharFormat charAt(QTextDocument& doc, int position)
{
    QTextCursor c(&doc);
    c.setPosition(position + 1);
    return c.charFormat();
}

// "Kugel " bold, red, 14 pt; "fällt" 10 pt; then a centred line.
void formattedMemo(QTextDocument& doc)
{
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontFamilies(QStringList{QStringLiteral("Arial")});
    bold.setFontPointSize(14);
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(Qt::red));
    c.insertText(QStringLiteral("Kugel "), bold);
    QTextCharFormat plain;
    plain.setFontFamilies(QStringList{QStringLiteral("Arial")});
    plain.setFontPointSize(10);
    c.insertText(QStringLiteral("fällt"), plain);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centred);
    c.insertText(QStringLiteral("9,81 m/s² ≈ g"), plain);
}

void expectFormatted(QTextDocument& doc)
{
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Kugel fällt\n9,81 m/s² ≈ g"));
    EXPECT_EQ(charAt(doc, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(charAt(doc, 0).foreground().color(), QColor(Qt::red));
    EXPECT_DOUBLE_EQ(charAt(doc, 0).fontPointSize(), 14.0);
    EXPECT_EQ(charAt(doc, 6).fontWeight(), QFont::Normal);
    EXPECT_EQ(doc.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}
} // namespace

TEST(MemoFileFormat, WrittenAsRtfAndReadBackWithItsFormattingByteForByte)
{
    QTemporaryDir dir;
    QTextDocument memo;
    formattedMemo(memo);
    ASSERT_TRUE(writeMemoFile(dir.filePath("1.mem"), memo));
    const QByteArray bytes = readBytes(dir.filePath("1.mem"));
    EXPECT_TRUE(bytes.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("f\\'e4llt")); // the umlaut as a Windows-1252 byte
    EXPECT_TRUE(bytes.contains("\\u8776?"));  // "≈" lies outside the code page

    QTextDocument read;
    ASSERT_TRUE(readMemoFile(dir.filePath("1.mem"), &read));
    expectFormatted(read);
    EXPECT_FALSE(read.isModified());
    ASSERT_TRUE(writeMemoFile(dir.filePath("2.mem"), read));
    EXPECT_EQ(readBytes(dir.filePath("2.mem")), bytes);
}

TEST(MemoFileFormat, MemoFilesOfEarlierVersionsAreShownAsRichText)
{
    QTemporaryDir dir;
    // An earlier version wrote the editor's HTML in UTF-8; it is shown formatted and written as
    // RTF the next time.
    QTextDocument old;
    formattedMemo(old);
    writeText(dir.filePath("html.mem"), old.toHtml().toUtf8());
    QTextDocument html;
    ASSERT_TRUE(readMemoFile(dir.filePath("html.mem"), &html));
    expectFormatted(html);
    ASSERT_TRUE(writeMemoFile(dir.filePath("html.mem"), html));
    EXPECT_TRUE(looksLikeRtf(readBytes(dir.filePath("html.mem"))));

    // Plain text in UTF-8, or in the Windows code page as older tools wrote it.
    writeText(dir.filePath("utf8.mem"), QStringLiteral("Fallröhre\nzweite Zeile").toUtf8());
    QTextDocument utf8;
    ASSERT_TRUE(readMemoFile(dir.filePath("utf8.mem"), &utf8));
    EXPECT_EQ(utf8.toPlainText(), QStringLiteral("Fallröhre\nzweite Zeile"));
    writeText(dir.filePath("ansi.mem"), QByteArray("Fallr\xf6hre 5 \x80"));
    QTextDocument ansi;
    ASSERT_TRUE(readMemoFile(dir.filePath("ansi.mem"), &ansi));
    EXPECT_EQ(ansi.toPlainText(), QStringLiteral("Fallröhre 5 €"));
}

TEST(MemoFileFormat, AFileThatCannotBeReadChangesNothing)
{
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("vorher"));
    EXPECT_FALSE(readMemoFile(dir.filePath("fehlt.mem"), &doc));
    EXPECT_FALSE(readMemoFile(dir.path(), &doc)); // a folder
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("vorher"));
}

TEST(MemoFileFormat, AFailedSaveOrCopyKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("1.mem");
    QTextDocument old;
    old.setPlainText(QStringLiteral("alter Text"));
    ASSERT_TRUE(writeMemoFile(path, old));
    const QByteArray before = readBytes(path);
    QTextDocument memo;
    formattedMemo(memo);
    writeText(dir.filePath("neu.mem"), writeRtf(memo));
    const QStringList entries = entriesOf(dir.path());
    {
        FileSizeLimit limit(64); // the disk is full midway through the file
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(writeMemoFile(path, memo));
        EXPECT_FALSE(DateiKopieren(dir.filePath("neu.mem"), path));
    }
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(entriesOf(dir.path()), entries);

    // A presentation "folder" that is a file: the memo cannot go there, the file stays.
    writeText(dir.filePath("Kurs"), "kein Ordner");
    EXPECT_FALSE(writeMemoFile(dir.filePath("Kurs/1.mem"), memo));
    EXPECT_FALSE(DateiKopieren(path, dir.filePath("Kurs/1.mem")));
    EXPECT_EQ(readBytes(dir.filePath("Kurs")), QByteArray("kein Ordner"));
}
