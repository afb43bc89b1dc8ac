// Nothing the author types or sets up is dropped: the memo editor takes typing only for a mark
// whose memo is on, emptied memos stay empty, failed writes keep the text and say so, the font box
// changes fonts only when an entry is picked. Real key, mouse and wheel events.
#include "MemoViewFixture.h"

#include <QAbstractItemView>
#include <QWheelEvent>

#include "authoring/model/VstFile.h"

using namespace kadro;
using kadro::test::kOn;
using kadro::test::MemoViewFixture;

class MemoWork : public MemoViewFixture {
protected:
    void SetUp() override
    {
        MemoViewFixture::SetUp();
        openAuthoringVideo();
    }
    void typeKeys(const QString& text) { QTest::keyClicks(edit(), text); }
    // The slider at `frame`, then "Stop-Frame" from the row's pop-up menu.
    void setStopFrame(int row, int frame)
    {
        ui().VideoTrackBar->setValue(frame);
        press(row, 0, Qt::RightButton);
        ui().MarkenBearbeitenPopupMenu->hide();
        ui().PopupMenuMarkeStopFrame->trigger();
    }
};

TEST_F(MemoWork, TheEditorTakesTypingOnlyForAMarkWhoseMemoIsOn)
{
    // After "Öffnen" and "Marke setzen" no memo is on: typing goes nowhere, so nothing is lost.
    EXPECT_FALSE(edit()->isEnabled());
    setMarkAt(0);
    setMarkAt(100);
    EXPECT_FALSE(edit()->isEnabled());
    typeKeys(QStringLiteral("verloren"));
    EXPECT_EQ(edit()->toPlainText(), QString());
    EXPECT_FALSE(window->st.DataSaved); // the marks, not the typing

    // The memo of mark 1 switched on: now the editor takes the text, and it stays with mark 1.
    press(0, 12);
    ASSERT_TRUE(edit()->isEnabled());
    typeKeys(QStringLiteral("Kugel"));
    press(1, 0);
    EXPECT_FALSE(edit()->isEnabled());
    EXPECT_EQ(edit()->toPlainText(), QString());
    press(0, 0);
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("Kugel"));

    // Deleting the only mark with a memo leaves no memo to type into.
    press(1, 0, Qt::RightButton);
    ui().MarkenBearbeitenPopupMenu->hide();
    ui().PopupMenuMarkeLoeschen->trigger();
    press(0, 0, Qt::RightButton);
    ui().MarkenBearbeitenPopupMenu->hide();
    ui().PopupMenuMarkeLoeschen->trigger();
    EXPECT_EQ(cell(0, 0), QString());
    EXPECT_FALSE(edit()->isEnabled());

    // A view laid out afresh starts without a memo row too.
    window->Programmpunkt2Einstellungen();
    EXPECT_FALSE(edit()->isEnabled());
}

TEST_F(MemoWork, AnEmptiedMemoStaysEmpty)
{
    setMarkAt(0);
    setMarkAt(100);
    press(1, 12);
    press(0, 12);
    typeKeys(QStringLiteral("alt"));
    press(1, 0);
    press(0, 0);
    ASSERT_EQ(edit()->toPlainText(), QStringLiteral("alt"));

    // The author empties mark 1's memo, then switches mark 2's memo off.
    QTest::keyClick(edit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit(), Qt::Key_Delete);
    ASSERT_EQ(edit()->toPlainText(), QString());
    press(1, 12);
    press(0, 0);
    EXPECT_TRUE(edit()->isEnabled());
    EXPECT_EQ(edit()->toPlainText(), QString());
}

TEST_F(MemoWork, TheWheelOverTheFontBoxChangesNoFont)
{
    setMarkAt(0);
    press(0, 12);
    typeKeys(QStringLiteral("Wort"));
    select(0, 4);
    const QString before = memo();
    QComboBox* box = ui().FontBox;
    ASSERT_GT(box->count(), 2);
    const QPointF at(box->width() / 2.0, box->height() / 2.0);
    for (int i = 0; i < 3; ++i) {
        QWheelEvent wheel(at, box->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &wheel);
    }
    EXPECT_EQ(memo(), before);

    // (Picking an entry from the list is shown to apply in the editor's font box test.)
}

TEST_F(MemoWork, TestBeendenBringsTheMarksBackEvenWhenTheTestFileCannotBeRead)
{
    setMarkAt(0);
    setMarkAt(100);
    press(0, 4); // Start/Pause off for mark 1
    setStopFrame(1, 200);
    press(1, 12);
    typeKeys(QStringLiteral("zwei"));
    const QList<QStringList> before = gridRows();

    // The video goes missing while the test plays.
    QTest::mouseClick(ui().TestButton, Qt::LeftButton);
    ASSERT_TRUE(window->st.TestRunning);
    ASSERT_TRUE(QFile::remove(path("film.avi")));
    prompts.shown.clear();
    QTest::mouseClick(ui().TestBeendenPanel, Qt::LeftButton);
    ASSERT_FALSE(prompts.shown.isEmpty());
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Warning); // the video is not found
    EXPECT_FALSE(window->st.TestRunning);
    EXPECT_EQ(gridRows().size(), 2);
    EXPECT_EQ(gridRows()[0], before[0]);
    EXPECT_EQ(cell(0, 0), QStringLiteral("Marke 1"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("200"));
    EXPECT_EQ(cell(1, 12), kOn);
    press(1, 0);
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("zwei"));
    EXPECT_FALSE(window->st.DataSaved);
    EXPECT_TRUE(QFile::exists(path("Test~.vst"))); // the marks are on disk as well

    // Without its video the presentation is not saved (a file naming no video could never play).
    prompts.shown.clear();
    prompts.fileAnswers << path(QStringLiteral("fall.vst"));
    QTest::mouseClick(ui().SpeichernButton, Qt::LeftButton);
    ASSERT_TRUE(ui().SpeichernButton->isEnabled());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, noVideoToSaveText());
    EXPECT_FALSE(QFile::exists(path("fall.vst")));
    EXPECT_FALSE(window->st.DataSaved);
}

TEST_F(MemoWork, TestBeendenAfterAnUnreadableTestFileKeepsTheMarks)
{
    setMarkAt(0);
    setMarkAt(100);
    setStopFrame(1, 200);
    QTest::mouseClick(ui().TestButton, Qt::LeftButton);
    ASSERT_TRUE(window->st.TestRunning);
    ASSERT_TRUE(writeFileSafely(path("Test~.vst"), "kaputt"));
    prompts.shown.clear();
    QTest::mouseClick(ui().TestBeendenPanel, Qt::LeftButton);
    ASSERT_FALSE(prompts.shown.isEmpty()); // the reading's error
    EXPECT_EQ(gridRows().size(), 2);
    EXPECT_EQ(cell(1, 0), QStringLiteral("Marke 2"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("200"));
    EXPECT_FALSE(window->st.DataSaved);
    EXPECT_TRUE(ui().SpeichernButton->isEnabled());
}

TEST_F(MemoWork, AMemoThatCannotBeWrittenStaysInTheEditorAndIsReported)
{
    // The working folder "Mem" is a plain file: nothing can be written into it (also for root).
    ASSERT_TRUE(QDir(path(QStringLiteral("Mem"))).removeRecursively());
    ASSERT_TRUE(writeFileSafely(path(QStringLiteral("Mem")), "kein Ordner"));
    const QString folder = QDir::toNativeSeparators(path(QStringLiteral("Mem")));
    prompts.shown.clear();
    window->Programmpunkt2Einstellungen();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Warning);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Im Ordner \"%1\" können keine Memotexte gespeichert werden.\r"
                             "Memotexte dieser Präsentation gehen verloren, solange der Ordner nicht beschrieben "
                             "werden kann.")
                  .arg(folder));

    openAuthoringVideo();
    setMarkAt(0);
    setMarkAt(100);
    press(0, 12);
    typeKeys(QStringLiteral("Fallhoehe"));
    prompts.shown.clear();
    press(1, 0); // switching to mark 2 writes mark 1's memo: it fails
    ASSERT_EQ(prompts.shown.size(), 1);
    const QString file = QDir::toNativeSeparators(path(QStringLiteral("Mem/1.mem")));
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Der Memotext von Marke 1 konnte nicht in die Datei \"%1\" geschrieben werden.\r"
                             "Der Text bleibt im Editor. Bitte sorgen Sie dafür, dass der Ordner \"%2\" "
                             "beschrieben werden kann.")
                  .arg(file, folder));
    EXPECT_TRUE(edit()->isEnabled());
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("Fallhoehe"));
    typeKeys(QStringLiteral(" 1 m")); // the editor goes on taking the text for mark 1

    // Switching the memo off fails the same way and leaves it on.
    prompts.shown.clear();
    press(0, 12);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(cell(0, 12), kOn);
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("Fallhoehe 1 m"));

    // Saving says so too, and the presentation counts as unsaved.
    prompts.shown.clear();
    prompts.fileAnswers << path(QStringLiteral("fall.vst"));
    QTest::mouseClick(ui().SpeichernButton, Qt::LeftButton);
    ASSERT_FALSE(prompts.shown.isEmpty());
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("Der Memotext von Marke 1 konnte nicht")));
    EXPECT_FALSE(window->st.DataSaved);

    // Once the folder can be written, the next switch keeps the text in mark 1's file.
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("Mem"))));
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral("Mem"))));
    prompts.shown.clear();
    press(1, 0);
    EXPECT_TRUE(prompts.shown.isEmpty());
    press(0, 0);
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("Fallhoehe 1 m"));
}

TEST_F(MemoWork, AMemoThatDoesNotReachThePresentationFolderFailsTheSave)
{
    setMarkAt(0);
    setStopFrame(0, 200);
    press(0, 12);
    typeKeys(QStringLiteral("Text"));
    // The presentation's memo folder "fall" cannot be made: a file has its name.
    ASSERT_TRUE(writeFileSafely(path(QStringLiteral("fall")), "besetzt"));
    prompts.shown.clear();
    prompts.fileAnswers << path(QStringLiteral("fall.vst"));
    QTest::mouseClick(ui().SpeichernButton, Qt::LeftButton);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Die Präsentation wurde gespeichert, aber der Memotext von Marke 1 konnte nicht in die "
                             "Datei \"%1\" geschrieben werden.")
                  .arg(QDir::toNativeSeparators(path(QStringLiteral("fall/1.mem")))));
    EXPECT_FALSE(window->st.DataSaved);
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("Text"));
}
