#include "AuthoringTestSupport.h"

#include "authoring/model/MarkGrid.h"
#include "common/ErrorReport.h"
#include "common/Prompts.h"
#include "support/ScriptedPrompts.h"

using namespace kadro;
using namespace kadro::test;

namespace {
const QString OK = QStringLiteral("      OK");

class MarkGridTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    MemoFolder memos{dir.path()};
    FakeMemoEditor editor;
    ScriptedPrompts prompts;

    void writeMemo(int n, const QByteArray& text) { writeText(memos.fileOf(n), text); }
    QByteArray memo(int n) { return readBytes(memos.fileOf(n)); }
};
} // namespace

TEST_F(MarkGridTest, EmptyGridHasOneEmptyRow)
{
    MarkGrid grid;
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.markCount(), 0);
    EXPECT_EQ(grid.rowCells(0), QStringList(13, QString()));
    EXPECT_EQ(grid.width(), 679);
}

TEST_F(MarkGridTest, MarksAppendedAt0_120_300)
{
    MarkDefaults defaults;
    defaults.transition = MarkDefaults::Transition::WithPause;
    defaults.pauseText = "12";
    defaults.options[0] = true;  // Start/Pause
    defaults.options[6] = true;  // Autostart
    MarkGrid grid = gridWithMarksAt({0, 120, 300}, defaults);

    ASSERT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.markCount(), 3);
    EXPECT_EQ(grid.rowCells(0), QStringList({"Marke 1", "0", "119", " Pause (12)", OK, "", "", "", "", "",
                                             OK, "", ""}));
    EXPECT_EQ(grid.rowCells(1), QStringList({"Marke 2", "120", "299", " Pause (12)", OK, "", "", "", "", "",
                                             OK, "", ""}));
    EXPECT_EQ(grid.rowCells(2), QStringList({"Marke 3", "300", "", " Pause (12)", OK, "", "", "", "", "",
                                             OK, "", ""}));
}

TEST_F(MarkGridTest, NewMarksCopyTheSettingsOfTheirMoment)
{
    MarkGrid grid;
    MarkDefaults defaults;
    defaults.options[2] = true;  // Zeitlupe
    grid.appendMark(10, 1000, defaults);
    defaults.transition = MarkDefaults::Transition::NoPause;
    defaults.options = {};
    defaults.options[7] = true;  // Auswertung
    grid.appendMark(20, 1000, defaults);

    EXPECT_EQ(grid.cell(0, 3), QString("   manuell"));
    EXPECT_EQ(grid.cell(0, 6), OK);
    EXPECT_EQ(grid.cell(0, 11), QString());
    EXPECT_EQ(grid.cell(1, 3), QString("ohne Pause"));
    EXPECT_EQ(grid.cell(1, 6), QString());
    EXPECT_EQ(grid.cell(1, 11), OK);
    // The memo column is never set by the defaults.
    EXPECT_EQ(grid.cell(1, 12), QString());
}

TEST_F(MarkGridTest, AppendingAtOrBeforeThePreviousStartEndsItAtTheVideoLength)
{
    MarkGrid equal = gridWithMarksAt({100});
    equal.appendMark(100, 2500, {});
    EXPECT_EQ(equal.cell(0, 2), QString("2500"));
    EXPECT_EQ(equal.cell(1, 2), QString());

    MarkGrid lower = gridWithMarksAt({100});
    lower.appendMark(40, 2500, {});
    EXPECT_EQ(lower.cell(0, 2), QString("2500"));
    EXPECT_EQ(lower.cell(1, 1), QString("40"));

    // One frame after the previous start gives a single-frame section.
    MarkGrid next = gridWithMarksAt({100});
    next.appendMark(101, 2500, {});
    EXPECT_EQ(next.cell(0, 2), QString("100"));
}

TEST_F(MarkGridTest, AppendingKeepsAStopFrameAlreadySet)
{
    MarkGrid grid = gridWithMarksAt({100});
    ASSERT_TRUE(grid.setStopFrame(0, 150, prompts));
    grid.appendMark(400, 1000, {});
    EXPECT_EQ(grid.cell(0, 2), QString("150"));
    EXPECT_EQ(grid.cell(1, 2), QString());
}

TEST_F(MarkGridTest, FramesAbove16BitsAreKept)
{
    MarkGrid grid = gridWithMarksAt({70000});
    grid.appendMark(140000, 200000, {});
    EXPECT_EQ(grid.cell(0, 1), QString("70000"));
    EXPECT_EQ(grid.cell(0, 2), QString("139999"));
}

TEST_F(MarkGridTest, InsertBeforeMarkOneBelowItsStart)
{
    MarkDefaults first;
    first.options[1] = true;  // Einzelbild
    MarkGrid grid = gridWithMarksAt({100, 200}, first);
    writeMemo(1, "memo one");
    writeMemo(2, "memo two");

    MarkDefaults inserted;
    inserted.transition = MarkDefaults::Transition::NoPause;
    inserted.options[4] = true;  // Frameanzeige
    grid.insertMark(0, 40, 1000, inserted, memos, editor);

    ASSERT_EQ(grid.markCount(), 3);
    EXPECT_EQ(grid.rowCells(0), QStringList({"Marke 1", "40", "99", "ohne Pause", "", "", "", "", OK, "", "",
                                             "", ""}));
    // The following marks are renumbered and keep their cells.
    EXPECT_EQ(grid.rowCells(1), QStringList({"Marke 2", "100", "199", "   manuell", "", OK, "", "", "", "", "",
                                             "", ""}));
    EXPECT_EQ(grid.rowCells(2), QStringList({"Marke 3", "200", "", "   manuell", "", OK, "", "", "", "", "",
                                             "", ""}));
    // Their working memo files moved with them.
    EXPECT_FALSE(memos.exists(1));
    EXPECT_EQ(memo(2), QByteArray("memo one"));
    EXPECT_EQ(memo(3), QByteArray("memo two"));
}

TEST_F(MarkGridTest, InsertBeforeMarkOneAtOrAboveItsStartEndsAtTheVideoLength)
{
    for (quint32 frame : {100u, 150u}) {
        MarkGrid grid = gridWithMarksAt({100, 200});
        grid.insertMark(0, frame, 777, {}, memos, editor);
        EXPECT_EQ(grid.cell(0, 1), QString::number(frame));
        EXPECT_EQ(grid.cell(0, 2), QString("777")) << frame;
        EXPECT_EQ(grid.cell(1, 0), QString("Marke 2"));
        EXPECT_EQ(grid.cell(1, 1), QString("100"));
    }
}

TEST_F(MarkGridTest, InsertInTheMiddleLeavesTheMarkBeforeUnchanged)
{
    MarkGrid grid = gridWithMarksAt({0, 100, 200});
    grid.insertMark(1, 50, 1000, {}, memos, editor);
    EXPECT_EQ(grid.cell(0, 2), QString("99"));
    EXPECT_EQ(grid.rowCells(1).mid(0, 3), QStringList({"Marke 2", "50", "99"}));
    EXPECT_EQ(grid.rowCells(2).mid(0, 3), QStringList({"Marke 3", "100", "199"}));
    EXPECT_EQ(grid.rowCells(3).mid(0, 3), QStringList({"Marke 4", "200", ""}));
}

TEST_F(MarkGridTest, InsertShowsTheLastMarksMemo)
{
    MarkGrid grid = gridWithMarksAt({0, 100});
    grid.toggleMemo(1, memos, editor);
    editor.text = "last memo";
    grid.insertMark(0, 50, 1000, {}, memos, editor);
    // Mark 2 became mark 3; the editor shows its memo, saved before the renumbering.
    EXPECT_EQ(grid.memoRow(), 2);
    EXPECT_EQ(grid.cell(2, 12), OK);
    EXPECT_EQ(editor.text, QString("last memo"));
    EXPECT_EQ(memo(3), QByteArray("last memo"));
    EXPECT_FALSE(memos.exists(2));

    // Without memo on the last row the editor is disabled and empty.
    MarkGrid plain = gridWithMarksAt({0, 100});
    editor.text = "stale";
    editor.enabled = true;
    plain.insertMark(1, 50, 1000, {}, memos, editor);
    EXPECT_EQ(plain.memoRow(), 2);
    EXPECT_FALSE(editor.enabled);
    EXPECT_TRUE(editor.text.isEmpty());
}

TEST_F(MarkGridTest, InsertKeepsTheMemoBeingEdited)
{
    MarkGrid grid = gridWithMarksAt({0, 100, 200});
    grid.toggleMemo(1, memos, editor);  // mark 2's memo is in the editor
    editor.text = "typed for mark 2";
    grid.insertMark(0, 0, 1000, {}, memos, editor);
    // Mark 2 is now mark 3 and its text was not lost.
    EXPECT_EQ(grid.cell(2, 12), OK);
    EXPECT_EQ(memo(3), QByteArray("typed for mark 2"));
}

TEST_F(MarkGridTest, DeletingMark2Of3RenamesTheMemoFiles)
{
    MarkGrid grid = gridWithMarksAt({0, 120, 300});
    grid.toggleOption(2, 5);
    writeMemo(1, "one");
    writeMemo(2, "two");
    writeMemo(3, "three");

    grid.deleteMark(1, memos, editor);

    ASSERT_EQ(grid.markCount(), 2);
    EXPECT_EQ(grid.rowCells(0).mid(0, 3), QStringList({"Marke 1", "0", "119"}));
    EXPECT_EQ(grid.rowCells(1), QStringList({"Marke 2", "300", "", "   manuell", "", OK, "", "", "", "", "", "",
                                             ""}));
    EXPECT_EQ(memo(1), QByteArray("one"));
    EXPECT_EQ(memo(2), QByteArray("three"));
    EXPECT_FALSE(memos.exists(3));
    EXPECT_EQ(grid.memoRow(), 1);
}

TEST_F(MarkGridTest, DeletingKeepsTheMemoBeingEditedForAnotherMark)
{
    MarkGrid grid = gridWithMarksAt({0, 120, 300});
    grid.toggleMemo(2, memos, editor);
    editor.text = "typed for mark 3";
    grid.deleteMark(0, memos, editor);
    // Mark 3 became mark 2 with its text, and as the last mark its memo is in the editor.
    EXPECT_EQ(memo(2), QByteArray("typed for mark 3"));
    EXPECT_FALSE(memos.exists(3));
    EXPECT_EQ(grid.memoRow(), 1);
    EXPECT_EQ(editor.text, QString("typed for mark 3"));
}

TEST_F(MarkGridTest, DeletingTheOnlyMarkLeavesTheEmptyRow)
{
    MarkGrid grid = gridWithMarksAt({30});
    writeMemo(1, "old text");
    grid.toggleMemo(0, memos, editor);
    EXPECT_EQ(editor.text, QString("old text"));
    editor.text = "gone";
    grid.deleteMark(0, memos, editor);

    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.markCount(), 0);
    EXPECT_EQ(grid.rowCells(0), QStringList(13, QString()));
    EXPECT_FALSE(memos.exists(1));
    EXPECT_FALSE(editor.enabled);
    EXPECT_TRUE(editor.text.isEmpty());
    EXPECT_EQ(grid.missingStopFrameWarning(), QString("Stop-Frame von Marke 1 ist noch nicht gesetzt !"));

    // A mark set afterwards is mark 1 again.
    grid.appendMark(5, 1000, {});
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cell(0, 0), QString("Marke 1"));
}

TEST_F(MarkGridTest, FifthMarkWidensTheGrid)
{
    MarkGrid grid = gridWithMarksAt({0, 10, 20, 30});
    EXPECT_EQ(grid.width(), 679);
    grid.appendMark(40, 1000, {});
    EXPECT_EQ(grid.width(), 697);
    grid.deleteMark(4, memos, editor);
    EXPECT_EQ(grid.width(), 679);
    grid.insertMark(0, 0, 1000, {}, memos, editor);
    EXPECT_EQ(grid.width(), 697);
}

TEST_F(MarkGridTest, SettingTheStartFrame)
{
    MarkGrid grid = gridWithMarksAt({50});
    ASSERT_TRUE(grid.setStopFrame(0, 80, prompts));
    grid.setStartFrame(0, 90);
    EXPECT_EQ(grid.cell(0, 1), QString("90"));
    EXPECT_EQ(grid.cell(0, 2), QString("90"));

    MarkGrid inside = gridWithMarksAt({50});
    ASSERT_TRUE(inside.setStopFrame(0, 80, prompts));
    inside.setStartFrame(0, 60);
    EXPECT_EQ(inside.cell(0, 1), QString("60"));
    EXPECT_EQ(inside.cell(0, 2), QString("80"));

    // Without a stop frame only the start changes.
    MarkGrid open = gridWithMarksAt({50});
    open.setStartFrame(0, 500);
    EXPECT_EQ(open.cell(0, 1), QString("500"));
    EXPECT_EQ(open.cell(0, 2), QString());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(MarkGridTest, SettingTheStopFrameBeforeTheStartIsRefused)
{
    MarkGrid grid = gridWithMarksAt({50});
    EXPECT_TRUE(grid.setStopFrame(0, 50, prompts));
    EXPECT_EQ(grid.cell(0, 2), QString("50"));
    EXPECT_TRUE(prompts.shown.isEmpty());

    const QStringList before = grid.rowCells(0);
    EXPECT_FALSE(grid.setStopFrame(0, 49, prompts));
    EXPECT_EQ(grid.rowCells(0), before);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown.at(0).kind, BoxKind::Warning);
    EXPECT_EQ(prompts.shown.at(0).text, QString("Stop-Frame darf nicht kleiner sein, als Start-Frame !"));
    EXPECT_EQ(prompts.shown.at(0).buttons, QList<Button>({Button::Ok}));
}

TEST_F(MarkGridTest, OperationsOnARowWithoutMarkAreRangeErrors)
{
    MarkGrid grid;
    EXPECT_THROW(grid.setStartFrame(0, 1), KadroError);
    EXPECT_THROW(grid.deleteMark(0, memos, editor), KadroError);
    EXPECT_THROW(grid.insertMark(0, 1, 10, {}, memos, editor), KadroError);
    MarkGrid two = gridWithMarksAt({1, 2});
    EXPECT_THROW(two.setStopFrame(2, 5, prompts), KadroError);
    EXPECT_THROW(two.toggleOption(0, 3), KadroError);
    EXPECT_THROW(two.toggleOption(0, 12), KadroError);
    EXPECT_EQ(two.markCount(), 2);
}

TEST_F(MarkGridTest, RightClickOnTheEmptyRowDoesNothing)
{
    MarkGrid grid;
    grid.setSelectedRow(7);
    const GridClickResult result = grid.click(0, 4, GridMouseButton::Right, memos, editor);
    EXPECT_FALSE(result.onMark);
    EXPECT_FALSE(result.popupMenu.has_value());
    EXPECT_EQ(grid.selectedRow(), 7);
    EXPECT_TRUE(editor.log.isEmpty());

    const GridClickResult left = grid.click(0, 4, GridMouseButton::Left, memos, editor);
    EXPECT_FALSE(left.dataChanged);
    EXPECT_EQ(grid.cell(0, 4), QString());
}

TEST_F(MarkGridTest, RightClickOnAMarkGivesThePopupCaptions)
{
    MarkGrid grid = gridWithMarksAt({0, 10, 20});
    const GridClickResult result = grid.click(2, 7, GridMouseButton::Right, memos, editor);
    ASSERT_TRUE(result.popupMenu.has_value());
    EXPECT_EQ(result.popupMenu->markeLoeschen, QString("Marke 3 löschen"));
    EXPECT_EQ(result.popupMenu->markeEinfuegen, QString("neue Marke vor Marke 3 einfügen"));
    EXPECT_EQ(result.popupMenu->startFrameSetzen, QString("Marke 3 Start-Frame setzen"));
    EXPECT_EQ(result.popupMenu->stopFrameSetzen, QString("Marke 3 Stop-Frame setzen"));
    EXPECT_EQ(grid.selectedRow(), 2);
    EXPECT_FALSE(result.dataChanged);
    EXPECT_EQ(grid.cell(2, 7), QString());  // a right click switches nothing
    EXPECT_EQ(MarkGrid::popupMenuPoint(QPoint(100, 50), 30, 45), QPoint(150, 423));
}

TEST_F(MarkGridTest, OptionCellClickedTwice)
{
    MarkGrid grid = gridWithMarksAt({0, 10});
    for (int column = 4; column <= 11; ++column) {
        const QString before = grid.cell(1, column);
        const GridClickResult first = grid.click(1, column, GridMouseButton::Left, memos, editor);
        EXPECT_TRUE(first.dataChanged);
        EXPECT_EQ(grid.cell(1, column), OK);
        const GridClickResult second = grid.click(1, column, GridMouseButton::Left, memos, editor);
        EXPECT_TRUE(second.dataChanged);
        EXPECT_EQ(grid.cell(1, column), before);
        EXPECT_FALSE(second.showFrame.has_value());
    }
    // Any non-empty text counts as on and is emptied.
    grid.setCell(0, 9, "x");
    grid.click(0, 9, GridMouseButton::Left, memos, editor);
    EXPECT_EQ(grid.cell(0, 9), QString());
}

TEST_F(MarkGridTest, LeftClicksOnTheFrameAndTransitionColumns)
{
    MarkGrid grid = gridWithMarksAt({70000, 70500});
    GridClickResult r = grid.click(0, 0, GridMouseButton::Left, memos, editor);
    EXPECT_TRUE(r.onMark);
    EXPECT_EQ(r.showFrame, 70000);
    EXPECT_FALSE(r.dataChanged);
    EXPECT_EQ(grid.selectedRow(), 0);

    r = grid.click(0, 2, GridMouseButton::Left, memos, editor);
    EXPECT_EQ(r.showFrame, 70499);
    r = grid.click(1, 2, GridMouseButton::Left, memos, editor);  // no stop frame yet
    EXPECT_FALSE(r.showFrame.has_value());
    r = grid.click(1, 1, GridMouseButton::Left, memos, editor);
    EXPECT_EQ(r.showFrame, 70500);

    r = grid.click(1, 3, GridMouseButton::Left, memos, editor);
    EXPECT_TRUE(r.openTransitionDialog);
    EXPECT_FALSE(r.dataChanged);
    EXPECT_FALSE(r.showFrame.has_value());
    EXPECT_EQ(grid.selectedRow(), 1);
    grid.setTransition(grid.selectedRow(), 12);
    EXPECT_EQ(grid.cell(1, 3), QString(" Pause (12)"));
}

TEST_F(MarkGridTest, CellAtPoint)
{
    MarkGrid grid = gridWithMarksAt({0, 10, 20});
    EXPECT_EQ(grid.cellAt(0, 0), QPoint(0, 0));
    EXPECT_EQ(grid.cellAt(50, 20), QPoint(0, 0));   // the grid lines belong to the cell before
    EXPECT_EQ(grid.cellAt(51, 21), QPoint(1, 1));
    // Column 3 is 65 pixels wide: it spans 153..218 with its line.
    EXPECT_EQ(grid.cellAt(218, 0), QPoint(3, 0));
    EXPECT_EQ(grid.cellAt(219, 0), QPoint(4, 0));
    EXPECT_EQ(grid.cellAt(5, 43), QPoint(0, 2));
    EXPECT_EQ(grid.cellAt(5, 63), std::nullopt);    // below the last row
    EXPECT_EQ(grid.cellAt(5, 0, 2), QPoint(0, 2));  // scrolled
    EXPECT_EQ(grid.cellAt(12 * 51 + 66, 0), std::nullopt);
    EXPECT_EQ(grid.cellAt(12 * 51 + 65, 0), QPoint(12, 0));
}

TEST_F(MarkGridTest, ForcedAutostartExceptForStillPictures)
{
    MarkGrid grid = gridWithMarksAt({0, 100, 200, 300});
    grid.setStopFrame(3, 300, prompts);       // row 3: still picture 300..300
    grid.toggleOption(2, 7);                  // row 2: slider lets the viewer move
    grid.toggleOption(1, 8);                  // row 1: frame display does not help starting
    const QList<int> changed = grid.forceAutostart();
    EXPECT_EQ(changed, QList<int>({0, 1}));
    EXPECT_EQ(grid.cell(0, 10), OK);
    EXPECT_EQ(grid.cell(1, 10), OK);
    EXPECT_EQ(grid.cell(2, 10), QString());
    EXPECT_EQ(grid.cell(3, 10), QString());
}

TEST_F(MarkGridTest, MarkTableOfTheRows)
{
    MarkGrid grid = gridWithMarksAt({0, 120, 300});
    grid.setStopFrame(2, 400, prompts);
    grid.toggleOption(1, 4);
    const MarkTable table = grid.toMarkTable();
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(table.mark(2).firstFrame, 120u);
    EXPECT_EQ(table.mark(2).lastFrame, 299u);
    EXPECT_EQ(table.mark(2).transition, TransitionCode::ByHand);
    EXPECT_EQ(table.mark(2).switches[Mark::StartStop], 1u);
    EXPECT_EQ(table.mark(3).lastFrame, 400u);
    EXPECT_EQ(MarkGrid().toMarkTable().count(), 0);
}
