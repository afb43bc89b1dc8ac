#include "MemoViewFixture.h"

#include "common/Rtf.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QSlider>

using namespace kadro;
using kadro::test::describeMemo;
using kadro::test::kOn;
using kadro::test::readBytes;
using kadro::test::MemoViewFixture;

namespace {
const QString kSaveQuestion = QStringLiteral("Daten wurden geändert.\rÄnderungen speichern?");

// Three memos as the author formats them below.
const QString kMemo1 = QStringLiteral("[l]Kugel{b 10} fällt{10}");
const QString kMemo2 = QStringLiteral("[c]Mitte{10 #ff0000}");
const QString kMemo3 = QStringLiteral("[l]schräg{i 18}");

QString memoOfFile(const QString& file)
{
    QTextDocument doc;
    if (!readMemoFile(file, &doc))
        return QStringLiteral("(unreadable)");
    return describeMemo(doc);
}
} // namespace

class TestRunView : public MemoViewFixture {
protected:
    void SetUp() override
    {
        MemoViewFixture::SetUp();
        openAuthoringVideo();
    }

    // Marks 1..3 at frames 0, 100 and 200, the last one ending at 300.
    void threeMarks()
    {
        setMarkAt(0);
        setMarkAt(100);
        setMarkAt(200);
        press(2, 0);
        ui().VideoTrackBar->setValue(300);
        ui().PopupMenuMarkeStopFrame->trigger();
        ASSERT_EQ(cell(2, 2), QStringLiteral("300"));
    }

    // The three formatted memos, written through the editor's tool bar.
    void writeThreeMemos()
    {
        press(0, 12);
        type(QStringLiteral("Kugel fällt"));
        select(0, 5);
        click(ui().BoldButton);

        press(1, 12);
        ASSERT_TRUE(edit()->toPlainText().isEmpty());
        type(QStringLiteral("Mitte"));
        click(ui().CenterAlignButton);
        selectAll();
        prompts.colorAnswers = {QColor(Qt::red)};
        click(ui().TextFarbeButton);

        press(2, 12);
        type(QStringLiteral("schräg"));
        selectAll();
        click(ui().ItalicButton);
        ui().FontSizeEdit->setText(QStringLiteral("18"));
    }

    // The memo each mark shows when clicked.
    QStringList memosOfMarks()
    {
        QStringList memos;
        for (int r = 0; r < grid()->rowCount(); ++r) {
            press(r, 0);
            memos << memo();
        }
        return memos;
    }

    // Whether "Öffnen", "&Datei", "&Beenden" and the pop-up items are locked, all of them.
    bool waysOutLocked()
    {
        const QList<bool> open = {ui().OeffnenButton->isEnabled(),
                                  ui().MenuDatei->menuAction()->isEnabled(),
                                  ui().MenuBeenden->isEnabled(),
                                  ui().HauptFensterPopupMenuOeffnen->isEnabled(),
                                  ui().HauptFensterPopupMenuBeenden->isEnabled(),
                                  ui().HauptFensterPopupMenu2Oeffnen->isVisible(),
                                  ui().HauptFensterPopupMenu2Beenden->isVisible()};
        EXPECT_TRUE(open.count(true) == 0 || open.count(false) == 0) << "partly locked";
        return open.count(true) == 0;
    }
};

TEST_F(TestRunView, FormattedMemosSurviveEditingTheTestRunSavingAndThePlayer)
{
    threeMarks();
    writeThreeMemos();
    EXPECT_EQ(memosOfMarks(), (QStringList{kMemo1, kMemo2, kMemo3}));
    // Each memo lies in its working file as RTF.
    EXPECT_TRUE(looksLikeRtf(readBytes(path("Mem/2.mem"))));
    EXPECT_EQ(memoOfFile(path("Mem/2.mem")), kMemo2);

    // A mark inserted between marks 1 and 2 and deleted again: the memos stay with their marks.
    const QList<QStringList> authored = gridRows();
    press(1, 0);
    ui().VideoTrackBar->setValue(50);
    ui().PopupMenuMarkeEinfuegen->trigger();
    ASSERT_EQ(grid()->rowCount(), 4);
    EXPECT_EQ(memo(), kMemo3); // the editor shows the last mark's memo
    EXPECT_EQ(memosOfMarks(), (QStringList{kMemo1, QStringLiteral("[l]"), kMemo2, kMemo3}));
    press(1, 0);
    ui().PopupMenuMarkeLoeschen->trigger();
    EXPECT_EQ(memo(), kMemo3); // again the last mark's
    EXPECT_EQ(gridRows(), authored);
    EXPECT_EQ(memosOfMarks(), (QStringList{kMemo1, kMemo2, kMemo3}));
    EXPECT_FALSE(QFile::exists(path("Mem/4.mem")));

    // The test run plays the presentation under construction with its memos.
    window->show();
    press(1, 0); // the memo being edited is mark 2's
    type(QStringLiteral("!"));
    const QString memo2 = memo();
    ASSERT_NE(memo2, kMemo2);
    QTest::mouseClick(ui().TestButton, Qt::LeftButton);
    EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(window->st.TestRunning);
    EXPECT_EQ(window->st.ActiveArea, 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kadro \"Video abspielen\" - Fenster"));
    EXPECT_TRUE(QFile::exists(path("Test~.vst")));
    EXPECT_EQ(memoOfFile(path("Test~/2.mem")), memo2);
    EXPECT_TRUE(ui().TestBeendenPanel->isVisible());
    EXPECT_EQ(ui().TestBeendenPanel->pos(), QPoint(8, 8));
    EXPECT_TRUE(waysOutLocked());
    EXPECT_EQ(window->st.CurrentMark, 1);
    EXPECT_TRUE(edit()->isReadOnly());
    EXPECT_FALSE(ui().RichEditAbdeckungsPanel->isVisible());
    EXPECT_EQ(memo(), kMemo1);
    ui().NaechsteMarkeButton->click();
    EXPECT_EQ(memo(), memo2);
    ui().NaechsteMarkeButton->click();
    EXPECT_EQ(memo(), kMemo3);
    // The last section of a test run offers no way to the start page.
    EXPECT_FALSE(ui().NaechsteMarkeButton->isEnabled());
    EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("weiter"));

    // "Test Beenden": the authoring view as it was, the sections that could not start otherwise
    // now starting by themselves, as saving would make them.
    QTest::mouseClick(ui().TestBeendenPanel, Qt::LeftButton);
    EXPECT_FALSE(window->st.TestRunning);
    EXPECT_EQ(window->st.ActiveArea, 2);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kadro \"Präsentation erstellen\" Fenster"));
    EXPECT_FALSE(ui().TestBeendenPanel->isVisible());
    EXPECT_FALSE(waysOutLocked());
    QList<QStringList> expected = authored;
    for (QStringList& row : expected)
        row[10] = kOn;
    EXPECT_EQ(gridRows(), expected);
    EXPECT_EQ(memo(), kMemo1); // mark 1's memo is shown
    EXPECT_EQ(device->position(), 0); // the picture at mark 1's start
    EXPECT_EQ(memosOfMarks(), (QStringList{kMemo1, memo2, kMemo3}));
    EXPECT_FALSE(window->st.DataSaved);
    EXPECT_FALSE(QFile::exists(path("Test~.vst")));
    EXPECT_TRUE(QFileInfo(path("Test~")).isDir());
    EXPECT_TRUE(QFile::exists(path("Test~/3.mem")));
    EXPECT_TRUE(ui().ToolBar1->isEnabled());
    EXPECT_TRUE(ui().MarkeSetzenButton->isEnabled());
    EXPECT_TRUE(ui().SpeichernButton->isEnabled());
    EXPECT_TRUE(ui().TestButton->isEnabled());

    // Saved, the memo files go into the presentation folder as RTF ...
    QDir().mkpath(path("kurs"));
    save(path("kurs/Fall.vst"));
    EXPECT_TRUE(window->st.DataSaved);
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(looksLikeRtf(readBytes(path("kurs/Fall/%1.mem").arg(n)))) << n;

    // ... and the player shows each section's memo with its formatting.
    window->StartseiteAn();
    enterView(1);
    window->presentationFile().openChosenFile(path("kurs/Fall.vst"));
    ASSERT_TRUE(window->st.PresentationLoaded);
    EXPECT_EQ(memo(), kMemo1);
    ui().NaechsteMarkeButton->click();
    EXPECT_EQ(memo(), memo2);
    ui().NaechsteMarkeButton->click();
    EXPECT_EQ(memo(), kMemo3);
    EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("Startseite"));
    EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(TestRunView, AMissingStopFrameRefusesTheTestButKeepsTheMemo)
{
    setMarkAt(0);
    setMarkAt(100);
    press(1, 12);
    type(QStringLiteral("Notiz"));
    QTest::mouseClick(ui().TestButton, Qt::LeftButton);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Warning);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Stop-Frame von Marke 2 ist noch nicht gesetzt !"));
    EXPECT_EQ(prompts.shown[0].buttons, QList<Button>{Button::Ok});
    EXPECT_FALSE(QFile::exists(path("Test~.vst")));
    EXPECT_FALSE(window->st.TestRunning);
    EXPECT_EQ(window->st.ActiveArea, 2);
    EXPECT_FALSE(waysOutLocked());
    EXPECT_EQ(memoOfFile(path("Mem/2.mem")), QStringLiteral("[l]Notiz{10}"));
}

TEST_F(TestRunView, DuringATestRunOnlyTestBeendenLeadsBack)
{
    threeMarks();
    window->show();
    QTest::mouseClick(ui().TestButton, Qt::LeftButton);
    ASSERT_TRUE(window->st.TestRunning);
    EXPECT_TRUE(waysOutLocked());
    EXPECT_FALSE(ui().AuswertungSchliessenButton->isVisibleTo(window.get()));

    // The second pop-up menu has nothing left to offer and does not open; the first one opens
    // with its "&Öffnen..." and "&Beenden..." disabled.
    QTest::mouseClick(ui().SteuerungsPanel, Qt::RightButton, {}, QPoint(10, 200));
    EXPECT_FALSE(ui().HauptFensterPopupMenu2->isVisible());
    QTest::mouseClick(ui().client, Qt::RightButton, {}, QPoint(795, 300));
    EXPECT_TRUE(ui().HauptFensterPopupMenu->isVisible());
    ui().HauptFensterPopupMenu->hide();

    // The window's close box ends the test first, so the question is about the presentation
    // under construction; "Nein" leads to the start page.
    prompts.answers = {Button::Nein};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, kSaveQuestion);
    EXPECT_FALSE(window->st.TestRunning);
    EXPECT_FALSE(QFile::exists(path("Test~.vst")));
    EXPECT_TRUE(ui().StartseitePanel->isVisible());

    // Any new view is free of the test run's locks.
    enterView(2);
    EXPECT_FALSE(waysOutLocked());
    EXPECT_FALSE(ui().TestBeendenPanel->isVisibleTo(window.get()));
}

TEST_F(TestRunView, MemosSwitchedOffAndTheWorkingFilesOutliveTheTestRun)
{
    threeMarks();
    press(0, 12);
    type(QStringLiteral("bleibt"));
    press(0, 12); // switched off: the text is kept in its file for later
    press(1, 12);
    type(QStringLiteral("zwei"));
    ASSERT_EQ(memoOfFile(path("Mem/1.mem")), QStringLiteral("[l]bleibt{10}"));

    QTest::mouseClick(ui().TestButton, Qt::LeftButton);
    ASSERT_TRUE(window->st.TestRunning);
    EXPECT_FALSE(QFile::exists(path("Test~/1.mem"))); // only memos switched on are played
    EXPECT_TRUE(QFile::exists(path("Test~/2.mem")));
    QTest::mouseClick(ui().TestBeendenPanel, Qt::LeftButton);

    EXPECT_EQ(cell(0, 12), QString());
    EXPECT_EQ(cell(1, 12), kOn);
    press(0, 12); // switched on again: the former text comes back
    EXPECT_EQ(memo(), QStringLiteral("[l]bleibt{10}"));
    press(1, 0);
    EXPECT_EQ(memo(), QStringLiteral("[l]zwei{10}"));

    // A second test after deleting mark 2's memo file plays no memo left from the first.
    press(0, 0);
    QFile::remove(path("Mem/2.mem"));
    QTest::mouseClick(ui().TestButton, Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(path("Test~/2.mem")));
    QTest::mouseClick(ui().TestBeendenPanel, Qt::LeftButton);
}

TEST_F(TestRunView, EditingAMemoIsAnUnsavedChange)
{
    threeMarks();
    press(1, 12);
    type(QStringLiteral("erste Fassung"));
    QDir().mkpath(path("kurs"));
    save(path("kurs/Fall.vst"));
    ASSERT_TRUE(window->st.DataSaved);

    // Looking at the memos changes nothing ...
    press(0, 0);
    press(1, 0);
    EXPECT_TRUE(window->st.DataSaved);
    // ... but typing into one does, and the open command asks before the text could be lost.
    caretAt(13);
    type(QStringLiteral(" und mehr"));
    EXPECT_FALSE(window->st.DataSaved);
    prompts.answers = {Button::Ja};
    prompts.fileAnswers = {path("kurs/Fall.vst"), QString()};
    ui().OeffnenButton->click();
    ASSERT_GE(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, kSaveQuestion);
    EXPECT_EQ(memoOfFile(path("kurs/Fall/2.mem")), QStringLiteral("[l]erste Fassung und mehr{10}"));
}

TEST_F(TestRunView, MemoFilesOfAnEarlierVersionOpenFormattedAndAreSavedAsRtf)
{
    const QString video = videoFile(QStringLiteral("alt/film.avi"));
    presentation(QStringLiteral("alt/Kurs.vst"), video,
                 {QStringLiteral("#1 0 99 M 1 1 0 0 0 0 0 0 1"), QStringLiteral("#2 100 199 M 1 1 0 0 0 0 0 0 1")});
    QDir().mkpath(path("alt/Kurs"));
    QTextDocument old;
    QTextCursor c(&old);
    QTextCharFormat bold;
    bold.setFontFamilies(QStringList{QStringLiteral("Arial")});
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(12);
    c.insertText(QStringLiteral("Höhe"), bold);
    ASSERT_TRUE(writeFileSafely(path("alt/Kurs/1.mem"), old.toHtml().toUtf8()));
    ASSERT_TRUE(writeFileSafely(path("alt/Kurs/2.mem"), QByteArray("nur Text")));

    // The player shows them as they were written, formatted and plain.
    window->StartseiteAn();
    enterView(1);
    window->presentationFile().openChosenFile(path("alt/Kurs.vst"));
    ASSERT_TRUE(window->st.PresentationLoaded);
    EXPECT_EQ(memo(), QStringLiteral("[l]Höhe{b 12}"));

    ui().NaechsteMarkeButton->click();
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("nur Text"));

    // Opened for authoring and saved, the memo being edited becomes RTF.
    window->StartseiteAn();
    enterView(2);
    window->presentationFile().openChosenFile(path("alt/Kurs.vst"));
    EXPECT_EQ(memo(), QStringLiteral("[l]Höhe{b 12}"));
    save(path("neu.vst"));
    EXPECT_TRUE(looksLikeRtf(readBytes(path("neu/1.mem"))));
    EXPECT_EQ(memoOfFile(path("neu/1.mem")), QStringLiteral("[l]Höhe{b 12}"));
}

TEST_F(TestRunView, ASectionMemoThatCannotBeReadLeavesTheTextShown)
{
    const QString video = videoFile(QStringLiteral("kurs/film.avi"));
    presentation(QStringLiteral("kurs/Zwei.vst"), video,
                 {QStringLiteral("#1 0 99 M 1 1 0 0 0 0 0 0 1"), QStringLiteral("#2 100 199 M 1 1 0 0 0 0 0 0 1"),
                  QStringLiteral("#3 200 299 M 1 1 0 0 0 0 0 0 0")});
    QDir().mkpath(path("kurs/Zwei"));
    QTextDocument first;
    first.setPlainText(QStringLiteral("erster Abschnitt"));
    ASSERT_TRUE(writeMemoFile(path("kurs/Zwei/1.mem"), first));

    window->StartseiteAn();
    enterView(1);
    window->presentationFile().openChosenFile(path("kurs/Zwei.vst"));
    ASSERT_TRUE(window->st.PresentationLoaded);
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("erster Abschnitt"));
    QWidget* top = window.get();
    EXPECT_FALSE(ui().RichEditAbdeckungsPanel->isVisibleTo(top));
    ui().NaechsteMarkeButton->click(); // section 2 has no file
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("erster Abschnitt"));
    EXPECT_FALSE(ui().RichEditAbdeckungsPanel->isVisibleTo(top));
    ui().NaechsteMarkeButton->click(); // section 3 has no memo: the cover lies over the editor
    EXPECT_TRUE(ui().RichEditAbdeckungsPanel->isVisibleTo(top));
    EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();
}
