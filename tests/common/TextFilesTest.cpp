#include "common/Cp1252.h"
#include "common/TokenReader.h"
#include "support/WriteFailures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kadro;

TEST(Cp1252, RoundTripsUmlautsAndWindowsPunctuation)
{
    const QString text = QStringLiteral("Übergang größer „Zitat“ – 5 € ß");
    const QByteArray bytes = toCp1252(text);
    EXPECT_EQ(bytes.at(0), char(0xDC));
    EXPECT_TRUE(bytes.contains(char(0x80))); // the euro sign
    EXPECT_TRUE(bytes.contains(char(0x84))); // low double quote
    EXPECT_EQ(fromCp1252(bytes), text);
    EXPECT_EQ(toCp1252(QStringLiteral("中")), QByteArray("?"));
    EXPECT_EQ(cp1252Lines({QStringLiteral("a"), QStringLiteral("ä")}), QByteArray("a\r\n\xE4\r\n"));
}

TEST(TokenReader, ReadsCharactersIntegersAndLinesOfCp1252Text)
{
    TokenReader r(QByteArray("Markenübergang: A12\r\nSchriftgr\xF6\xDF" "e: 10  Schriftart: Times New Roman*\r\nZ"));
    r.skipPast(' ');
    EXPECT_EQ(r.readChar(), QLatin1Char('A'));
    EXPECT_EQ(r.readInt(), 12);
    EXPECT_EQ(r.readChar(), QLatin1Char('\r'));
    EXPECT_EQ(r.readChar(), QLatin1Char('\n'));
    EXPECT_EQ(r.readChar(), QLatin1Char('S'));
    r.skipPast(':');
    EXPECT_EQ(r.readInt(), 10);
    r.skipPast(':');
    r.readChar();
    EXPECT_EQ(r.collectUntil('*'), QStringLiteral("Times New Roman"));
    r.nextLine();
    EXPECT_EQ(r.readChar(), QLatin1Char('Z'));
    EXPECT_TRUE(r.atEnd());
    r.nextLine(); // at the end it stays there
    EXPECT_TRUE(r.atEnd());
}

TEST(TokenReader, IntegersCrossLineEndsAndFailDistinctly)
{
    TokenReader r(QByteArray("  \r\n -7\r\n+3 12abc 12,5"));
    EXPECT_EQ(r.readInt(), -7);
    EXPECT_EQ(r.readInt(), 3);
    try {
        r.readInt();
        FAIL();
    } catch (const ReadError& e) {
        EXPECT_EQ(e.kind(), ReadError::NotANumber);
    }
    EXPECT_THROW(r.readInt(), ReadError); // "12,5"
    try {
        r.readInt();
        FAIL();
    } catch (const ReadError& e) {
        EXPECT_EQ(e.kind(), ReadError::EndOfFile);
    }
}

TEST(TokenReader, EndOfFileWhileSkippingOrCollectingIsAFailure)
{
    TokenReader a(QByteArray("no colon here"));
    EXPECT_THROW(a.skipPast(':'), ReadError);
    TokenReader b(QByteArray("Schriftart: Arial"));
    b.skipPast(':');
    EXPECT_THROW(b.collectUntil('*'), ReadError);
    TokenReader c(QByteArray(""));
    EXPECT_THROW(c.readChar(), ReadError);
}

TEST(TextFiles, SafeWriteReplacesWholeAndKeepsTheOldFileOnFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Optionen.opt");
    ASSERT_TRUE(writeFileSafely(path, "first"));
    ASSERT_TRUE(writeFileSafely(path, "second"));
    QByteArray read;
    ASSERT_TRUE(readFileBytes(path, &read));
    EXPECT_EQ(read, QByteArray("second"));
    // A folder that does not exist cannot be written; nothing is created, nothing else changes.
    EXPECT_FALSE(writeFileSafely(dir.filePath("missing/Optionen.opt"), "x"));
    ASSERT_TRUE(readFileBytes(path, &read));
    EXPECT_EQ(read, QByteArray("second"));

    // A "folder" that is a file stays the file it was.
    ASSERT_TRUE(writeFileSafely(dir.filePath("Kurs"), "kein Ordner"));
    EXPECT_FALSE(writeFileSafely(dir.filePath("Kurs/Optionen.opt"), "x"));
    EXPECT_EQ(test::contentOf(dir.filePath("Kurs")), QByteArray("kein Ordner"));

    // A folder named like the file stays, with what it holds.
    ASSERT_TRUE(QDir(dir.path()).mkpath("Titel.opt"));
    ASSERT_TRUE(writeFileSafely(dir.filePath("Titel.opt/inhalt"), "bleibt"));
    EXPECT_FALSE(writeFileSafely(dir.filePath("Titel.opt"), "x"));
    EXPECT_EQ(test::contentOf(dir.filePath("Titel.opt/inhalt")), QByteArray("bleibt"));

    // A write that fails midway, as on a full disk, leaves the old file whole and nothing beside
    // it: a file as small as the program's own ones and a large one.
    const QStringList before = test::entriesOf(dir.path());
    for (const qsizetype size : {qsizetype(300), qsizetype(100000)}) {
        {
            test::FileSizeLimit limit(100);
            ASSERT_TRUE(limit.active());
            EXPECT_FALSE(writeFileSafely(path, QByteArray(size, 'x'))) << size;
        }
        EXPECT_EQ(test::contentOf(path), QByteArray("second")) << size;
        EXPECT_EQ(test::entriesOf(dir.path()), before) << size;
    }

    // A folder the user may not write to (permissions do not hold for root).
    if (geteuid() != 0) {
        ASSERT_TRUE(QDir(dir.path()).mkpath("fest"));
        ASSERT_TRUE(writeFileSafely(dir.filePath("fest/a.opt"), "alt"));
        QFile::setPermissions(dir.filePath("fest"), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_FALSE(writeFileSafely(dir.filePath("fest/a.opt"), "neu"));
        EXPECT_EQ(test::contentOf(dir.filePath("fest/a.opt")), QByteArray("alt"));
        QFile::setPermissions(dir.filePath("fest"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST(Cp1252, FindsAndNamesTheCharactersItCannotCarry)
{
    // Everything Windows-1252 has, including its 0x80..0x9F punctuation, is carried.
    EXPECT_TRUE(cp1252Unencodable(QStringLiteral("Würfe € „ß“ – ‰ Š Ÿ")).isEmpty());
    EXPECT_EQ(cp1252Unencodable(QStringLiteral("C:\\Łódź\\Wurf_Łódź.avi")),
              QStringList({QStringLiteral("Ł"), QStringLiteral("ź")}));
    // A character outside the basic plane is one character; a lone half of a pair is one too.
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(cp1252Unencodable(QStringLiteral("a") + face + QStringLiteral("b") + face), QStringList({face}));
    const QString lone(QChar(0xD83D));
    EXPECT_EQ(cp1252Unencodable(QStringLiteral("x") + lone), QStringList({lone}));
    // A decomposed accent: the "o" is carried, its combining mark is not.
    EXPECT_EQ(cp1252Unencodable(QStringLiteral("Lo\u0301dz")), QStringList({QStringLiteral("\u0301")}));

    EXPECT_EQ(describeCharacters({QStringLiteral("Ł"), face}),
              QStringLiteral("\"Ł\" (U+0141), \"") + face + QStringLiteral("\" (U+1F600)"));
    // What cannot be seen is named by its code only.
    EXPECT_EQ(describeCharacters({QStringLiteral("\u0301"), QStringLiteral("\r"), QStringLiteral("\u2003"), lone}),
              QStringLiteral("U+0301, U+000D, U+2003, U+D83D"));
}
