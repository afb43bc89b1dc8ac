#include "common/Cp1252.h"
#include "settings/model/Settings.h"
#include "support/WriteFailures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kadro;

namespace {
const char* kInitialFile =
    "Einstellungen: Allgemein, Zeitschritt, Optionen, Markenübergang, Editorschrift, Diagrammformat\r\n"
    "Allgemein: Ton: 0  Cursor: P\r\n"
    "Zeitschritt: Normal: 40  Zeitlupe: 200\r\n"
    "Optionen: 0 0 0 0 0 0 0 0\r\n"
    "Markenübergang: M\r\n"
    "Schriftgröße: 10  Schriftart: *\r\n"
    "Achsenfarbe: 0  Messpunktfarbe: 0  Trendfarbe: 0\r\n";

QByteArray cp(const char* utf8) { return toCp1252(QString::fromUtf8(utf8)); }

// A file with every value set away from the initial ones.
QByteArray fullFile(const char* transitionLine, const char* colourLine = "Achsenfarbe: 2  Messpunktfarbe: 3  Trendfarbe: 4\r\n")
{
    QByteArray f = cp("Einstellungen: Allgemein, Zeitschritt, Optionen, Markenübergang, Editorschrift, Diagrammformat\r\n"
                      "Allgemein: Ton: 1  Cursor: K\r\n"
                      "Zeitschritt: Normal: 0040  Zeitlupe: 250\r\n"
                      "Optionen: 1 0 1 0 1 0 1 1\r\n");
    f += cp(transitionLine);
    f += cp("Schriftgröße: 12  Schriftart: Times New Roman*\r\n");
    f += cp(colourLine);
    return f;
}
} // namespace

TEST(SettingsFile, InitialValuesWriteTheDocumentedSevenLines)
{
    EXPECT_EQ(writeSettingsText(Settings{}), cp(kInitialFile));
}

TEST(SettingsFile, ReadsEveryValueAndReducesNumbersToTheirText)
{
    Settings s;
    EXPECT_TRUE(readSettingsText(fullFile("Markenübergang: A7\r\n"), s));
    EXPECT_TRUE(s.sound);
    EXPECT_FALSE(s.cursorArrow);
    EXPECT_EQ(s.dtNormal, QStringLiteral("40")); // "0040" comes back without leading zeros
    EXPECT_EQ(s.dtSlow, QStringLiteral("250"));
    EXPECT_EQ(s.options, (std::array<bool, 8>{true, false, true, false, true, false, true, true}));
    EXPECT_EQ(s.transition, Transition::MitPause);
    EXPECT_EQ(s.pause, QStringLiteral("7"));
    EXPECT_EQ(s.fontSize, QStringLiteral("12"));
    EXPECT_EQ(s.fontName, QStringLiteral("Times New Roman"));
    EXPECT_EQ(s.axisColour, 2);
    EXPECT_EQ(s.pointColour, 3);
    EXPECT_EQ(s.trendColour, 4);
}

TEST(SettingsFile, TransitionTokens)
{
    Settings s;
    s.transition = Transition::OhnePause;
    readSettingsText(fullFile("Markenübergang: A150\r\n"), s);
    EXPECT_EQ(s.transition, Transition::OhnePause); // 150 changes nothing
    EXPECT_EQ(s.pause, QStringLiteral("10"));
    readSettingsText(fullFile("Markenübergang: A0\r\n"), s);
    EXPECT_EQ(s.transition, Transition::OhnePause);
    readSettingsText(fullFile("Markenübergang: M\r\n"), s);
    EXPECT_EQ(s.transition, Transition::VonHand);
    readSettingsText(fullFile("Markenübergang: A0\r\n"), s);
    EXPECT_EQ(s.transition, Transition::OhnePause);
    readSettingsText(fullFile("Markenübergang: X\r\n"), s);
    EXPECT_EQ(s.transition, Transition::OhnePause);
}

TEST(SettingsFile, CursorLetterOtherThanPSelectsKreuzAndColourNineSelectsGelb)
{
    Settings s;
    QByteArray f = fullFile("Markenübergang: M\r\n", "Achsenfarbe: 9  Messpunktfarbe: 1  Trendfarbe: 0\r\n");
    f.replace("Cursor: K", "Cursor: X");
    readSettingsText(f, s);
    EXPECT_FALSE(s.cursorArrow);
    EXPECT_EQ(s.axisColour, 5);
    EXPECT_EQ(SettingsColour::name(s.axisColour), QStringLiteral("gelb"));
    EXPECT_EQ(SettingsColour::colour(5), QColor(255, 255, 0));
}

TEST(SettingsFile, SixLineFileKeepsTheColours)
{
    Settings s;
    s.axisColour = 1;
    s.pointColour = 2;
    s.trendColour = 3;
    QByteArray f = fullFile("Markenübergang: M\r\n", "");
    EXPECT_FALSE(readSettingsText(f, s));
    EXPECT_EQ(s.fontName, QStringLiteral("Times New Roman")); // everything before was read
    EXPECT_EQ(s.axisColour, 1);
    EXPECT_EQ(s.pointColour, 2);
    EXPECT_EQ(s.trendColour, 3);
}

TEST(SettingsFile, NonNumericTimeStepStopsTheReadingThere)
{
    Settings s;
    s.dtNormal = "33";
    s.dtSlow = "333";
    QByteArray f = fullFile("Markenübergang: A5\r\n");
    f.replace("Normal: 0040", "Normal: vier");
    EXPECT_FALSE(readSettingsText(f, s));
    EXPECT_TRUE(s.sound); // line 2 was read
    EXPECT_FALSE(s.cursorArrow);
    EXPECT_EQ(s.dtNormal, QStringLiteral("33"));
    EXPECT_EQ(s.dtSlow, QStringLiteral("333"));
    EXPECT_EQ(s.transition, Transition::VonHand);
    EXPECT_EQ(s.fontSize, QStringLiteral("10"));
}

TEST(SettingsFile, NoRangeIsAppliedAndNumbersAre16Bit)
{
    Settings s;
    QByteArray f = fullFile("Markenübergang: M\r\n");
    f.replace("Normal: 0040", "Normal: 5").replace("Zeitlupe: 250", "Zeitlupe: 65537");
    readSettingsText(f, s);
    EXPECT_EQ(s.dtNormal, QStringLiteral("5"));
    EXPECT_EQ(s.dtSlow, QStringLiteral("1"));
}

TEST(SettingsFile, FontNameWithBlanksAndWriteReadRoundTrip)
{
    Settings a;
    a.sound = true;
    a.cursorArrow = false;
    a.dtNormal = "20";
    a.dtSlow = "500";
    a.options = {false, true, false, true, false, true, false, true};
    a.transition = Transition::MitPause;
    a.pause = "12";
    a.fontName = QStringLiteral("Comic Sans MS Fett");
    a.fontSize = "14";
    a.axisColour = 5;
    a.pointColour = 0;
    a.trendColour = 2;
    Settings b;
    EXPECT_TRUE(readSettingsText(writeSettingsText(a), b));
    EXPECT_EQ(a, b);
}

TEST(SettingsFile, AFailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kSettingsFileName);
    Settings old;
    old.dtNormal = QStringLiteral("33");
    ASSERT_TRUE(writeSettingsFile(path, old));
    const QByteArray before = test::contentOf(path);
    Settings changed;
    changed.fontName = QStringLiteral("Neue Schrift");
    {
        test::FileSizeLimit limit(40); // the file has some 300 bytes: the disk is full midway
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(writeSettingsFile(path, changed));
    }
    EXPECT_EQ(test::contentOf(path), before);
    EXPECT_EQ(test::entriesOf(dir.path()), QStringList{kSettingsFileName});
    Settings back;
    readSettingsFile(path, back);
    EXPECT_EQ(back, old);
    // The other ways a safe write fails: TextFiles.SafeWriteReplacesWholeAndKeepsTheOldFileOnFailure.
}
