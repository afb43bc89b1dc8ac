#include "AuthoringTestSupport.h"

#include "authoring/model/MarkGrid.h"
#include "authoring/model/MemoFiles.h"

using namespace kadro;
using namespace kadro::test;

namespace {
const QString OK = QStringLiteral("      OK");

class MemoTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    MemoFolder memos{dir.path()};
    FakeMemoEditor editor;

    QByteArray memo(int n) { return readBytes(memos.fileOf(n)); }
};
} // namespace

TEST_F(MemoTest, CopyingFiles)
{
    const QString source = dir.filePath("a.mem");
    const QByteArray rtf("{\\rtf1\\ansi \\'e4\\'f6\\par\r\n}\0tail", 28);
    writeText(source, rtf);
    EXPECT_TRUE(DateiKopieren(source, dir.filePath("b.mem")));
    EXPECT_EQ(readBytes(dir.filePath("b.mem")), rtf);

    // The destination is replaced.
    writeText(dir.filePath("c.mem"), "a much longer old content than the new one");
    writeText(source, "new");
    EXPECT_TRUE(DateiKopieren(source, dir.filePath("c.mem")));
    EXPECT_EQ(readBytes(dir.filePath("c.mem")), QByteArray("new"));

    // A missing source leaves the destination as it was; a missing folder fails.
    EXPECT_FALSE(DateiKopieren(dir.filePath("missing.mem"), dir.filePath("c.mem")));
    EXPECT_EQ(readBytes(dir.filePath("c.mem")), QByteArray("new"));
    EXPECT_FALSE(DateiKopieren(source, dir.filePath("no/such/folder/x.mem")));
}

TEST_F(MemoTest, PresentationFolderIsThePathWithoutItsExtension)
{
    EXPECT_EQ(presentationDirOf("/kurs/Fallversuch.vst"), QString("/kurs/Fallversuch"));
    EXPECT_EQ(presentationDirOf("Test~.vst"), QString("Test~"));
    EXPECT_EQ(presentationDirOf("/a.b/c.vst"), QString("/a.b/c"));
}

TEST_F(MemoTest, RenameNeverReplacesAnExistingFile)
{
    writeText(memos.fileOf(1), "one");
    writeText(memos.fileOf(2), "two");
    memos.rename(1, 2);
    EXPECT_EQ(memo(1), QByteArray("one"));
    EXPECT_EQ(memo(2), QByteArray("two"));
    memos.rename(7, 8);  // a mark without memo: silently nothing
    EXPECT_FALSE(memos.exists(8));
}

TEST_F(MemoTest, CleanUpCoversEveryNumberedMemoFile)
{
    for (int n : {1, 2, 100, 101, 150, 12345})
        writeText(memos.fileOf(n), "x");
    writeText(dir.filePath("notes.mem"), "keep");
    writeText(dir.filePath("1.txt"), "keep");
    writeText(dir.filePath("1.mem.bak"), "keep");
    memos.removeAll();
    for (int n : {1, 2, 100, 101, 150, 12345})
        EXPECT_FALSE(memos.exists(n)) << n;
    EXPECT_TRUE(QFile::exists(dir.filePath("notes.mem")));
    EXPECT_TRUE(QFile::exists(dir.filePath("1.txt")));
    EXPECT_TRUE(QFile::exists(dir.filePath("1.mem.bak")));
}

TEST_F(MemoTest, SwitchingAMemoOffAndOnBringsBackItsText)
{
    MarkGrid grid = gridWithMarksAt({0, 100});
    grid.toggleMemo(0, memos, editor);
    EXPECT_EQ(grid.cell(0, 12), OK);
    EXPECT_TRUE(editor.enabled);
    editor.text = "Fallbeschleunigung";

    grid.toggleMemo(0, memos, editor);
    EXPECT_EQ(grid.cell(0, 12), QString());
    EXPECT_FALSE(editor.enabled);
    EXPECT_TRUE(editor.text.isEmpty());
    EXPECT_EQ(memo(1), QByteArray("Fallbeschleunigung"));

    grid.toggleMemo(0, memos, editor);
    EXPECT_TRUE(editor.enabled);
    EXPECT_EQ(editor.text, QString("Fallbeschleunigung"));
    EXPECT_EQ(grid.memoRow(), 0);
}

TEST_F(MemoTest, NewMemoWithoutFileGivesAnEmptyEnabledEditor)
{
    MarkGrid grid = gridWithMarksAt({0, 100});
    editor.enabled = false;
    editor.text = "leftover";
    grid.toggleMemo(1, memos, editor);
    EXPECT_TRUE(editor.enabled);
    EXPECT_TRUE(editor.text.isEmpty());
    EXPECT_EQ(grid.memoRow(), 1);
}

TEST_F(MemoTest, ClickingFromAMarkWithMemoToOneWithout)
{
    MarkGrid grid = gridWithMarksAt({0, 100, 200});
    grid.toggleMemo(0, memos, editor);
    editor.text = "memo of mark 1";

    const GridClickResult result = grid.click(2, 1, GridMouseButton::Left, memos, editor);
    EXPECT_EQ(result.showFrame, 200);
    EXPECT_EQ(memo(1), QByteArray("memo of mark 1"));
    EXPECT_FALSE(editor.enabled);
    EXPECT_TRUE(editor.text.isEmpty());
    EXPECT_EQ(grid.memoRow(), 2);

    // Back to mark 1: its memo is loaded again.
    grid.click(0, 0, GridMouseButton::Left, memos, editor);
    EXPECT_TRUE(editor.enabled);
    EXPECT_EQ(editor.text, QString("memo of mark 1"));
}

TEST_F(MemoTest, ClickingBetweenTwoMemosSavesAndLoads)
{
    MarkGrid grid = gridWithMarksAt({0, 100});
    grid.toggleMemo(0, memos, editor);
    editor.text = "first";
    grid.toggleMemo(1, memos, editor);  // switching on another mark's memo saves the first
    EXPECT_EQ(memo(1), QByteArray("first"));
    EXPECT_TRUE(editor.text.isEmpty());
    editor.text = "second";

    grid.click(0, 5, GridMouseButton::Left, memos, editor);  // also toggles option 5
    EXPECT_EQ(memo(2), QByteArray("second"));
    EXPECT_EQ(editor.text, QString("first"));
    editor.text = "first, edited";
    // Clicking the same row again saves the text and shows it again.
    grid.click(0, 1, GridMouseButton::Left, memos, editor);
    EXPECT_EQ(memo(1), QByteArray("first, edited"));
    EXPECT_EQ(editor.text, QString("first, edited"));
}

TEST_F(MemoTest, MemoColumnClickSwitchesTheMemo)
{
    MarkGrid grid = gridWithMarksAt({0, 100});
    GridClickResult r = grid.click(1, 12, GridMouseButton::Left, memos, editor);
    EXPECT_TRUE(r.dataChanged);
    EXPECT_EQ(grid.cell(1, 12), OK);
    EXPECT_EQ(grid.memoRow(), 1);
    editor.text = "text";
    r = grid.click(1, 12, GridMouseButton::Left, memos, editor);
    EXPECT_TRUE(r.dataChanged);
    EXPECT_EQ(grid.cell(1, 12), QString());
    EXPECT_EQ(memo(2), QByteArray("text"));
}

TEST_F(MemoTest, FlushOnlyWhenTheMemoRowHasItsMemoOn)
{
    MarkGrid grid = gridWithMarksAt({0, 100});
    editor.text = "not a memo";
    grid.flushMemo(memos, editor);
    EXPECT_FALSE(memos.exists(1));
    grid.toggleMemo(1, memos, editor);
    editor.text = "memo 2";
    grid.flushMemo(memos, editor);
    EXPECT_EQ(memo(2), QByteArray("memo 2"));
}
