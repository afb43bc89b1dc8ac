#include "AuthoringTestSupport.h"

#include "common/Rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace kadro;
using namespace kadro::test;

namespace {
class MemoFileFormat : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    // The format of the character at a position.
    static QTextCharFormat charAt(const QTextDocument& doc, int position)
    {
        QTextCursor c(const_cast<QTextDocument*>(&doc));
        c.setPosition(position + 1);
        return c.charFormat();
    }
};

// A memo as the editor holds it: "Kugel " bold and red, "fällt" plain, then a centred line.
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
} // namespace

TEST_F(MemoFileFormat, WrittenAsRtfAndReadBackWithItsFormattingByteForByte)
{
    QTextDocument memo;
    formattedMemo(memo);
    ASSERT_TRUE(writeMemoFile(path("1.mem"), memo));
    const QByteArray bytes = readBytes(path("1.mem"));
    EXPECT_TRUE(bytes.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("f\\'e4llt"));   // the umlaut as a Windows-1252 byte
    EXPECT_TRUE(bytes.contains("\\u8776?"));    // "≈" is outside the code page

    QTextDocument read;
    ASSERT_TRUE(readMemoFile(path("1.mem"), &read));
    EXPECT_EQ(read.toPlainText(), memo.toPlainText());
    EXPECT_FALSE(read.isModified());
    EXPECT_EQ(charAt(read, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(charAt(read, 0).foreground().color(), QColor(Qt::red));
    EXPECT_DOUBLE_EQ(charAt(read, 0).fontPointSize(), 14.0);
    EXPECT_EQ(charAt(read, 6).fontWeight(), QFont::Normal);
    EXPECT_DOUBLE_EQ(charAt(read, 6).fontPointSize(), 10.0);
    EXPECT_EQ(read.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    // Read and written again, the file is the same.
    ASSERT_TRUE(writeMemoFile(path("again.mem"), read));
    EXPECT_EQ(readBytes(path("again.mem")), bytes);
}

TEST_F(MemoFileFormat, MemoFilesOfEarlierVersionsAreShownAsRichText)
{
    // An earlier version wrote the editor's HTML in UTF-8.
    QTextDocument old;
    formattedMemo(old);
    writeText(path("html.mem"), old.toHtml().toUtf8());
    QTextDocument html;
    ASSERT_TRUE(readMemoFile(path("html.mem"), &html));
    EXPECT_EQ(html.toPlainText(), old.toPlainText());
    EXPECT_EQ(charAt(html, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(charAt(html, 0).foreground().color(), QColor(Qt::red));
    EXPECT_EQ(html.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    // Written the next time, it is RTF.
    ASSERT_TRUE(writeMemoFile(path("html.mem"), html));
    EXPECT_TRUE(looksLikeRtf(readBytes(path("html.mem"))));

    // Plain text in UTF-8, and in the Windows code page as older tools wrote it.
    writeText(path("utf8.mem"), QStringLiteral("Fallröhre\nzweite Zeile").toUtf8());
    QTextDocument utf8;
    ASSERT_TRUE(readMemoFile(path("utf8.mem"), &utf8));
    EXPECT_EQ(utf8.toPlainText(), QStringLiteral("Fallröhre\nzweite Zeile"));
    writeText(path("ansi.mem"), QByteArray("Fallr\xf6hre 5 \x80"));
    QTextDocument ansi;
    ASSERT_TRUE(readMemoFile(path("ansi.mem"), &ansi));
    EXPECT_EQ(ansi.toPlainText(), QStringLiteral("Fallröhre 5 €"));

    // An empty file is an empty memo.
    writeText(path("empty.mem"), QByteArray());
    QTextDocument empty;
    empty.setPlainText(QStringLiteral("vorher"));
    ASSERT_TRUE(readMemoFile(path("empty.mem"), &empty));
    EXPECT_TRUE(empty.isEmpty());
}

TEST_F(MemoFileFormat, FailuresChangeNothing)
{
    // A file that cannot be read leaves the document as it was.
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("vorher"));
    EXPECT_FALSE(readMemoFile(path("fehlt.mem"), &doc));
    EXPECT_FALSE(readMemoFile(dir.path(), &doc)); // a folder
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("vorher"));

    // A file that cannot be written is reported to the caller only; an existing file stays.
    QTextDocument memo;
    formattedMemo(memo);
    EXPECT_FALSE(writeMemoFile(path("kein/Ordner/1.mem"), memo));
    EXPECT_FALSE(QFileInfo::exists(path("kein")));
    QDir().mkdir(path("1.mem"));  // a folder where the file should go
    EXPECT_FALSE(writeMemoFile(path("1.mem"), memo));
    EXPECT_TRUE(QFileInfo(path("1.mem")).isDir());
}
