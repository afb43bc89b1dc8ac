#include "common/Cp1252.h"
#include "settings/model/Titles.h"
#include "support/WriteFailures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kadro;

TEST(TitlesFile, WritesTwelveLinesAndReadsThemBack)
{
    TitlesTable t;
    t.title[0] = QStringLiteral("Freier Fall: Demo");
    t.path[0] = QStringLiteral("C:\\Kurs\\Fall.vst");
    t.title[2] = QStringLiteral("Würfe");
    t.path[2] = QStringLiteral("/home/lehrer/Würfe.avi");
    t.title[4] = QStringLiteral("nur Titel");
    const QByteArray bytes = writeTitlesText(t);
    EXPECT_EQ(bytes, toCp1252(QStringLiteral("Titel für die Startseite\r\n"
                                             "Titel1:Freier Fall: Demo\r\nzu vst-Datei:C:\\Kurs\\Fall.vst\r\n"
                                             "Titel2:\r\nzu vst-Datei:\r\n"
                                             "Titel3:Würfe\r\nzu vst-Datei:/home/lehrer/Würfe.avi\r\n"
                                             "Titel4:\r\nzu vst-Datei:\r\n"
                                             "Titel5:nur Titel\r\nzu vst-Datei:\r\n\r\n")));
    TitlesTable back;
    back.title[1] = QStringLiteral("alt");
    EXPECT_TRUE(readTitlesText(bytes, back));
    EXPECT_EQ(back, t); // a title and a path with colons survive; the old title 2 is replaced
}

TEST(TitlesFile, ATruncatedFileKeepsTheLaterRows)
{
    TitlesTable t;
    t.title[3] = QStringLiteral("bleibt");
    EXPECT_FALSE(readTitlesText(QByteArray("Titel\r\nTitel1:Eins\r\nzu vst-Datei:a.vst\r\nTitel2:Zwei\r\n"), t));
    EXPECT_EQ(t.title[0], QStringLiteral("Eins"));
    EXPECT_EQ(t.path[0], QStringLiteral("a.vst"));
    EXPECT_EQ(t.title[1], QStringLiteral("Zwei"));
    EXPECT_EQ(t.title[3], QStringLiteral("bleibt"));
    TitlesTable none;
    EXPECT_FALSE(readTitlesText(QByteArray(), none));
    EXPECT_EQ(none, TitlesTable{});
}

TEST(TitlesFile, AFailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kTitlesFileName);
    TitlesTable old;
    old.title[0] = QStringLiteral("Freier Fall");
    old.path[0] = QStringLiteral("/kurs/fall.vst");
    ASSERT_TRUE(writeTitlesFile(path, old));
    EXPECT_EQ(test::contentOf(path), writeTitlesText(old));
    TitlesTable changed = old;
    changed.title[1] = QStringLiteral("Ein neuer Titel, länger als der Platz auf der Platte");
    {
        test::FileSizeLimit limit(60); // the disk is full midway through the file
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(writeTitlesFile(path, changed));
    }
    EXPECT_EQ(test::contentOf(path), writeTitlesText(old));
    EXPECT_EQ(test::entriesOf(dir.path()), QStringList{kTitlesFileName});
    // The other ways a safe write fails: TextFiles.SafeWriteReplacesWholeAndKeepsTheOldFileOnFailure.
}

TEST(TitlesFile, WhatIsReadCanBeSavedAgain)
{
    // A carriage return inside a title and one more before the line end, as an editor may leave.
    const QByteArray file = toCp1252(QStringLiteral("Titel für die Startseite\r\nTitel1:Wurf\rschräg\r\r\n"
                                                    "zu vst-Datei:C:\\Kurs\\Wurf.vst\r\n"));
    TitlesTable t;
    readTitlesText(file, t);
    EXPECT_EQ(t.title[0], QStringLiteral("Wurf\rschräg\r"));
    EXPECT_EQ(unwritableTitlesWarning(t), std::nullopt);
    TitlesTable back;
    EXPECT_TRUE(readTitlesText(writeTitlesText(t), back));
    EXPECT_EQ(back, t);
    // A line feed would split the entry: refused, naming it.
    t.title[1] = QStringLiteral("zwei\nZeilen");
    const std::optional<QString> warning = unwritableTitlesWarning(t);
    ASSERT_TRUE(warning);
    EXPECT_TRUE(warning->contains(QStringLiteral("können: U+000A\r"))) << warning->toStdString();
}
