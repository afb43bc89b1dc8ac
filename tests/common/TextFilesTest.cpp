#include "common/Cp1252.h"
#include "common/TokenReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
}
