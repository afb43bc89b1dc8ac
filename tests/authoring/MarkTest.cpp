#include "authoring/model/Mark.h"
#include "common/ErrorReport.h"
#include "common/NumberFormat.h"

#include <gtest/gtest.h>

using namespace kadro;

TEST(TransitionCode, CellTextsOfTheThreeForms)
{
    EXPECT_EQ(TransitionCode::cellText(100), QString("   manuell"));
    EXPECT_EQ(TransitionCode::cellText(0), QString("ohne Pause"));
    EXPECT_EQ(TransitionCode::cellText(12), QString(" Pause (12)"));
    EXPECT_EQ(TransitionCode::cellText(1), QString(" Pause (1)"));
    EXPECT_EQ(TransitionCode::cellText(99), QString(" Pause (99)"));
    // Codes of no form leave the cell empty.
    EXPECT_EQ(TransitionCode::cellText(101), QString());
    EXPECT_EQ(TransitionCode::cellText(70000), QString());

    for (quint32 code : {0u, 1u, 12u, 99u, 100u})
        EXPECT_EQ(TransitionCode::fromCellText(TransitionCode::cellText(code)), code);
    EXPECT_EQ(TransitionCode::fromCellText(QString("manuell")), std::nullopt);
    EXPECT_EQ(TransitionCode::fromCellText(QString(" Pause ()")), std::nullopt);
    EXPECT_EQ(TransitionCode::fromCellText(QString()), std::nullopt);
}

TEST(TransitionCode, FileTokens)
{
    EXPECT_EQ(TransitionCode::fileToken("   manuell"), QString(" M"));
    EXPECT_EQ(TransitionCode::fileToken("ohne Pause"), QString(" A0"));
    EXPECT_EQ(TransitionCode::fileToken(" Pause (5)"), QString(" A5"));
    EXPECT_EQ(TransitionCode::fileToken(" Pause (12)"), QString(" A12"));
    // The seconds are copied as the pause field held them.
    EXPECT_EQ(TransitionCode::fileToken(" Pause (007)"), QString(" A007"));
    // No token for a cell of none of the forms; a short cell with "P" second gives no seconds.
    EXPECT_EQ(TransitionCode::fileToken(""), QString());
    EXPECT_EQ(TransitionCode::fileToken("   Manuell"), QString());
    EXPECT_EQ(TransitionCode::fileToken(" P"), QString(" A"));
    EXPECT_EQ(TransitionCode::fileToken(" Pause"), QString(" A"));
}

TEST(Mark, RowCellsExactTexts)
{
    Mark mark;
    mark.firstFrame = 120;
    mark.lastFrame = 300;
    mark.transition = 5;
    mark.switches[Mark::StartStop] = 1;
    mark.switches[Mark::Autostart] = 1;
    mark.switches[Mark::Zeitlupe] = 2;  // only 1 counts as on
    mark.switches[Mark::Memo] = 1;

    const QStringList cells = markRowCells(mark, 2);
    const QStringList expected = {"Marke 2", "120", "300", " Pause (5)", "      OK", "", "", "", "",
                                  "", "      OK", "", "      OK"};
    EXPECT_EQ(cells, expected);

    Mark back = markFromRowCells(cells);
    mark.switches[Mark::Zeitlupe] = 0;
    EXPECT_EQ(back, mark);
}

TEST(Mark, FramesAbove16BitsSurviveTheRow)
{
    Mark mark;
    mark.firstFrame = 70000;
    mark.lastFrame = 4294967295u;
    mark.transition = TransitionCode::ByHand;
    const QStringList cells = markRowCells(mark, 1);
    EXPECT_EQ(cells.at(1), QString("70000"));
    EXPECT_EQ(cells.at(2), QString("4294967295"));
    EXPECT_EQ(cells.at(3), QString("   manuell"));
    EXPECT_EQ(markFromRowCells(cells), mark);
}

TEST(Mark, RowWithoutStopFrame)
{
    const QStringList cells = {"Marke 1", "50", "", "ohne Pause", "", "x", "", "", "", "", "", "", ""};
    const Mark mark = markFromRowCells(cells);
    EXPECT_EQ(mark.firstFrame, 50u);
    EXPECT_EQ(mark.lastFrame, 0u);
    EXPECT_EQ(mark.transition, TransitionCode::NoPause);
    EXPECT_EQ(mark.switches[Mark::Einzelbild], 1u);  // any non-empty option cell is on
}

TEST(CellInteger, WholeNumbersOnly)
{
    EXPECT_EQ(cellInteger("120"), 120);
    EXPECT_EQ(cellInteger("  7"), 7);
    EXPECT_EQ(cellInteger("4294967295"), 4294967295LL);
    try {
        cellInteger("12 ");
        FAIL() << "a trailing blank is not a whole number";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'12 ' ist kein gültiger Integerwert");
    }
    EXPECT_THROW(cellInteger(""), ConvertError);
    EXPECT_THROW(cellInteger("1,5"), ConvertError);
    EXPECT_THROW(cellInteger("99999999999"), ConvertError);
}

TEST(MarkTable, NumberedFromOneAndGrowsPastAHundred)
{
    MarkTable table;
    EXPECT_THROW(table.mark(1), KadroError);
    for (quint32 i = 1; i <= 150; ++i) {
        Mark m;
        m.firstFrame = i * 10;
        table.append(m);
    }
    EXPECT_EQ(table.count(), 150);
    EXPECT_EQ(table.mark(1).firstFrame, 10u);
    EXPECT_EQ(table.mark(101).firstFrame, 1010u);
    EXPECT_EQ(table.mark(150).firstFrame, 1500u);
    try {
        table.mark(151);
        FAIL() << "mark 151 of 150";
    } catch (const KadroError& e) {
        EXPECT_STREQ(e.what(), "Fehler bei Bereichsprüfung");
    }
    EXPECT_THROW(table.mark(0), KadroError);
    EXPECT_THROW(table.mark(-1), KadroError);
    table.clear();
    EXPECT_EQ(table.count(), 0);
}
