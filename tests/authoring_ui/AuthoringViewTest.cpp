#include "AuthoringFixture.h"

#include "app/StartPageEntries.h"
#include "player/SectionPlayback.h"
#include "support/WriteFailures.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

using namespace kadro;
using kadro::test::AuthoringFixture;
using kadro::test::readBytes;
using kadro::test::kManuell;
using kadro::test::kOn;

namespace {
const QString kSaveQuestion = QStringLiteral("Daten wurden geändert.\rÄnderungen speichern?");
const QString kStopBeforeStart = QStringLiteral("Stop-Frame darf nicht kleiner sein, als Start-Frame !");
} // namespace

class AuthoringView : public AuthoringFixture {
protected:
    // With the defaults for new marks: by hand, Start/Pause and single frames.
    void openAuthoringVideo(const QString& name = QStringLiteral("film.avi"))
    {
        AuthoringFixture::openAuthoringVideo(name);
        optionen->vonHandRadioButton->setChecked(true);
        for (QCheckBox* box : {optionen->StartStopCheckBox, optionen->EinzelbildCheckBox, optionen->ZeitlupeCheckBox,
                               optionen->SchiebereglerCheckBox, optionen->FrameAnzeigeCheckBox,
                               optionen->ZeitAnzeigeCheckBox, optionen->AutostartCheckBox,
                               optionen->AuswertungCheckBox})
            box->setChecked(box == optionen->StartStopCheckBox || box == optionen->EinzelbildCheckBox);
    }
};

TEST_F(AuthoringView, GridHeadingsColumnsAndPopupMenuAsBuilt)
{
    const QStringList captions = {"Marke",      "Start Frame", "Stop Frame",      "Marken- übergang", "Start Pause",
                                  "Einzelbild", "Zeitlupe",    "Schiebe- regler", "Frame- anzeige",   "Zeit- anzeige",
                                  "Autostart",  "Auswer- tung", "Memo"};
    const int gridLeft = grid()->x() + grid()->frameWidth();
    for (int c = 0; c < 13; ++c) {
        QLabel* heading = ui().StringGridHeadingPanels[c];
        ASSERT_NE(heading, nullptr);
        EXPECT_EQ(heading->text(), captions[c]);
        EXPECT_EQ(grid()->columnWidth(c), c == 3 ? 65 : 50);
        // Each heading lies over its own column.
        EXPECT_EQ(heading->x(), gridLeft + grid()->columnViewportPosition(c)) << c;
        EXPECT_EQ(heading->width(), grid()->columnWidth(c));
        EXPECT_LE(heading->y() + heading->height(), grid()->y());
    }
    EXPECT_EQ(ui().StringGridHeadingPanels[3]->objectName(), QStringLiteral("MarkenUebergangPanel"));
    EXPECT_EQ(grid()->rowHeight(0), 20);

    QStringList items;
    for (QAction* a : ui().MarkenBearbeitenPopupMenu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, QStringList({"neue Marke setzen", "Marke X löschen", "neue Marke X einfügen",
                                  "Marke X Start - Frame setzen", "Marke X Stop - Frame setzen", "-", "&Öffnen...",
                                  "&Speichern..."}));
}

TEST_F(AuthoringView, MarksSetWhileSteppingFillTheGridFromTheFrameDisplay)
{
    openAuthoringVideo();
    EXPECT_TRUE(ui().MarkeSetzenButton->isEnabled());
    EXPECT_FALSE(ui().SpeichernButton->isEnabled());
    EXPECT_FALSE(ui().TestButton->isEnabled());

    drag(28);
    ui().VideoBildvorButton->click();
    ui().VideoBildvorButton->click();
    ASSERT_EQ(ui().FrameAnzeige2Label->text(), QStringLiteral("30"));
    ui().MarkeSetzenButton->click();
    EXPECT_TRUE(ui().SpeichernButton->isEnabled());
    EXPECT_TRUE(ui().TestButton->isEnabled());
    EXPECT_FALSE(window->st.DataSaved);

    setMarkAt(120);
    // The settings copied at the moment of setting: a changed default touches only new marks.
    optionen->ZeitlupeCheckBox->setChecked(true);
    setMarkAt(300);
    EXPECT_EQ(shownRows(), QList<QStringList>({
                               row({"Marke 1", "30", "119", "   manuell", "      OK", "      OK", "", "", "", "", "", "", ""}),
                               row({"Marke 2", "120", "299", "   manuell", "      OK", "      OK", "", "", "", "", "", "", ""}),
                               row({"Marke 3", "300", "", "   manuell", "      OK", "      OK", "      OK", "", "", "", "", "", ""}),
                           }));

    // At or before the previous start, while that has no stop frame: it ends at the video's length.
    setMarkAt(300);
    EXPECT_EQ(cell(2, 2), QStringLiteral("499"));
    EXPECT_EQ(cell(3, 1), QStringLiteral("300"));
    EXPECT_EQ(grid()->width(), 679);
    // The fifth row widens the grid for its scroll bar; deleting back to four narrows it.
    setMarkAt(400);
    EXPECT_EQ(grid()->rowCount(), 5);
    EXPECT_EQ(grid()->width(), 697);
    press(4, 0, Qt::RightButton);
    ui().PopupMenuMarkeLoeschen->trigger();
    EXPECT_EQ(grid()->rowCount(), 4);
    EXPECT_EQ(grid()->width(), 679);
    shownRows();
}

TEST_F(AuthoringView, LeftClicksShowFramesAndSwitchOptionsTwiceBackToTheStart)
{
    openAuthoringVideo();
    setMarkAt(30);
    setMarkAt(120);
    drag(200);
    window->st.DataSaved = true;

    press(1, 0); // the mark's start
    EXPECT_EQ(window->st.SelectedMarkRow, 1);
    EXPECT_EQ(device->position(), 120);
    EXPECT_EQ(ui().FrameAnzeige2Label->text(), QStringLiteral("120"));
    EXPECT_TRUE(window->st.DataSaved);
    press(0, 2); // a stop frame
    EXPECT_EQ(device->position(), 119);
    EXPECT_EQ(ui().VideoTrackBar->value(), 119);
    press(1, 2); // an empty stop frame shows nothing
    EXPECT_EQ(device->position(), 119);
    EXPECT_EQ(window->st.SelectedMarkRow, 1);

    press(0, 6);
    EXPECT_EQ(cell(0, 6), kOn);
    EXPECT_FALSE(window->st.DataSaved);
    window->st.DataSaved = true;
    press(0, 6);
    EXPECT_EQ(cell(0, 6), QString());
    EXPECT_FALSE(window->st.DataSaved);
    press(1, 4); // an option that was on goes off
    EXPECT_EQ(cell(1, 4), QString());
    doubleClick(1, 7); // both presses count
    EXPECT_EQ(cell(1, 7), QString());
    doubleClick(1, 12); // memo on and off again
    EXPECT_EQ(cell(1, 12), QString());
    shownRows();
}

TEST_F(AuthoringView, PopupMenuCaptionsPlacementAndItsCommands)
{
    openAuthoringVideo();
    setMarkAt(50);
    setMarkAt(200);
    window->st.DataSaved = true;

    press(1, 5, Qt::RightButton);
    EXPECT_EQ(window->st.SelectedMarkRow, 1);
    EXPECT_EQ(ui().PopupMenuMarkeLoeschen->text(), QStringLiteral("Marke 2 löschen"));
    EXPECT_EQ(ui().PopupMenuMarkeEinfuegen->text(), QStringLiteral("neue Marke vor Marke 2 einfügen"));
    EXPECT_EQ(ui().PopupMenuMarkeStartFrame->text(), QStringLiteral("Marke 2 Start-Frame setzen"));
    EXPECT_EQ(ui().PopupMenuMarkeStopFrame->text(), QStringLiteral("Marke 2 Stop-Frame setzen"));
    EXPECT_EQ(ui().PopupMenuMarkeSetzen->text(), QStringLiteral("neue Marke setzen"));
    const QRect r = grid()->visualRect(grid()->model()->index(1, 5));
    const QPoint inGrid = grid()->viewport()->mapTo(grid(), r.center());
    EXPECT_EQ(table().lastPopupPoint(), window->pos() + QPoint(inGrid.x() + 20, inGrid.y() + 328));
    EXPECT_TRUE(window->st.DataSaved); // a right click changes nothing

    // Stop frame: accepted at the start frame, refused before it.
    drag(200);
    ui().PopupMenuMarkeStopFrame->trigger();
    EXPECT_EQ(cell(1, 2), QStringLiteral("200"));
    EXPECT_FALSE(window->st.DataSaved);
    drag(199);
    ui().PopupMenuMarkeStopFrame->trigger();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, kStopBeforeStart);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Warnung"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("200"));

    // Start frame after the stop frame: the section becomes that single frame.
    drag(260);
    ui().PopupMenuMarkeStartFrame->trigger();
    EXPECT_EQ(cell(1, 1), QStringLiteral("260"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("260"));

    // Insert before mark 1 at a lower frame: it ends just before mark 1, which moves down.
    press(0, 0, Qt::RightButton);
    EXPECT_EQ(ui().PopupMenuMarkeEinfuegen->text(), QStringLiteral("neue Marke vor Marke 1 einfügen"));
    drag(10);
    ui().PopupMenuMarkeEinfuegen->trigger();
    EXPECT_EQ(shownRows(), QList<QStringList>({
                               row({"Marke 1", "10", "49", "   manuell", "      OK", "      OK", "", "", "", "", "", "", ""}),
                               row({"Marke 2", "50", "199", "   manuell", "      OK", "      OK", "", "", "", "", "", "", ""}),
                               row({"Marke 3", "260", "260", "   manuell", "      OK", "      OK", "", "", "", "", "", "", ""}),
                           }));

    // "neue Marke setzen" appends at the end, whatever row was right-clicked.
    press(0, 0, Qt::RightButton);
    drag(300);
    ui().PopupMenuMarkeSetzen->trigger();
    EXPECT_EQ(cell(3, 0), QStringLiteral("Marke 4"));
    EXPECT_EQ(cell(3, 1), QStringLiteral("300"));
    EXPECT_EQ(cell(2, 2), QStringLiteral("260")); // its stop frame was set already

    // A right click below the marks opens nothing and keeps the selected row.
    for (int i = 0; i < 4; ++i) {
        press(0, 0, Qt::RightButton);
        ui().PopupMenuMarkeLoeschen->trigger();
    }
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(cell(0, 0), QString());
    const QPoint before = table().lastPopupPoint();
    window->st.SelectedMarkRow = 2;
    press(0, 4, Qt::RightButton);
    EXPECT_EQ(table().lastPopupPoint(), before);
    EXPECT_EQ(window->st.SelectedMarkRow, 2);
    EXPECT_TRUE(ui().SpeichernButton->isEnabled()); // stays enabled without marks
    EXPECT_EQ(prompts.shown.size(), 1);
}

TEST_F(AuthoringView, TransitionCellRunsTheDialogAndTakesItsChoice)
{
    openAuthoringVideo();
    setMarkAt(0);
    setMarkAt(100);
    ASSERT_EQ(ui().VideoStopButton->text(), QStringLiteral("Weiter"));
    ui().VideoStopButton->click(); // runs on from frame 100
    ASSERT_TRUE(window->st.IsPlaying);

    bool pausedBeforeDialog = false;
    bool showedCurrent = false;
    prompts.modalHandler = [&](QDialog* dialog) {
        EXPECT_EQ(dialog, uebergang);
        pausedBeforeDialog = !ui().Timer1->isActive() && !ui().Timer2->isActive();
        showedCurrent = uebergang->vonHandRadioButton->isChecked();
        uebergang->mitPauseRadioButton->setChecked(true);
        uebergang->PauseEdit->setText(QStringLiteral("12"));
        uebergang->done(QDialog::Accepted);
        return int(QDialog::Accepted);
    };
    press(1, 3);
    ASSERT_EQ(prompts.modalShown.size(), 1);
    EXPECT_TRUE(pausedBeforeDialog);
    EXPECT_TRUE(showedCurrent);
    EXPECT_EQ(ui().VideoStopButton->text(), QStringLiteral("Weiter"));
    EXPECT_EQ(cell(1, 3), QStringLiteral(" Pause (12)"));
    EXPECT_EQ(table().grid().cell(1, 3), QStringLiteral(" Pause (12)"));
    EXPECT_EQ(cell(0, 3), kManuell);
    EXPECT_FALSE(window->st.DataSaved);
}

TEST_F(AuthoringView, SavedPresentationOpensAgainWithTheSameGridAndPlaysInThePlayer)
{
    openAuthoringVideo();
    const QString video = device->fileName();
    setMarkAt(30);
    setMarkAt(120);
    setMarkAt(300);
    prompts.modalHandler = [&](QDialog*) {
        uebergang->mitPauseRadioButton->setChecked(true);
        uebergang->PauseEdit->setText(QStringLiteral("12"));
        uebergang->done(QDialog::Accepted);
        return int(QDialog::Accepted);
    };
    press(1, 3);
    press(1, 12); // memo of mark 2 on; the user writes it
    EXPECT_TRUE(ui().RichEdit->isEnabled());
    ui().RichEdit->setPlainText(QStringLiteral("Fallbeschleunigung"));
    setStopFrame(2, 450);
    const QList<QStringList> authored = shownRows();
    const QString normal = ui().ZeitschrittNormalLabel->text();
    const QString slow = ui().ZeitschrittZeitlupeLabel->text();
    ASSERT_FALSE(normal.isEmpty());

    QDir().mkpath(path("kurs"));
    save(path("kurs/fall"));
    ASSERT_EQ(prompts.fileRequests.size(), 1);
    EXPECT_TRUE(prompts.fileRequests[0].save);
    EXPECT_TRUE(window->st.DataSaved);
    const QString vst = path("kurs/fall.vst");
    QByteArray bytes = readBytes(vst);
    EXPECT_EQ(fromCp1252(bytes), QStringLiteral("Videosteuerungsdatei zu Avi-File: *") + video +
                                     QStringLiteral("*\r\nZeitschritt(Normal): ") + normal +
                                     QStringLiteral(" ms\r\nZeitschritt(Zeitlupe): ") + slow +
                                     QStringLiteral(" ms\r\nMarken: 3\r\nOptionen: 10\r\n"
                                                    "#1 30 119 M 1 1 0 0 0 0 0 0 0\r\n"
                                                    "#2 120 299 A12 1 1 0 0 0 0 0 0 1\r\n"
                                                    "#3 300 450 M 1 1 0 0 0 0 0 0 0\r\n"));
    ASSERT_TRUE(QFile::exists(path("kurs/fall/2.mem")));

    // Open it again in the authoring view: the same grid, unchanged, the picture at mark 1's start.
    optionen->dtEdit1->setText(QStringLiteral("99"));
    open(vst);
    EXPECT_EQ(shownRows(), authored);
    EXPECT_TRUE(window->st.PresentationLoaded);
    EXPECT_TRUE(window->st.PresentationMode);
    EXPECT_TRUE(window->st.DataSaved);
    EXPECT_EQ(window->st.MarkCount, 3);
    EXPECT_EQ(optionen->dtEdit1->text(), normal);
    EXPECT_EQ(ui().ZeitschrittNormalLabel->text(), normal);
    EXPECT_EQ(device->fileName(), video);
    EXPECT_EQ(device->position(), 30);
    EXPECT_EQ(ui().FrameAnzeige2Label->text(), QStringLiteral("30"));
    EXPECT_EQ(window->st.StopFrame, 499);
    EXPECT_TRUE(ui().MarkeSetzenButton->isEnabled());
    EXPECT_TRUE(ui().SpeichernButton->isEnabled());
    EXPECT_TRUE(ui().ToolBar1->isEnabled());
    // The memo came back into the working folder; clicking mark 2 shows its text.
    EXPECT_TRUE(QFile::exists(path("Mem/2.mem")));
    press(1, 0);
    EXPECT_EQ(ui().RichEdit->toPlainText(), QStringLiteral("Fallbeschleunigung"));
    EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();

    // In the player view the same file starts with its first section.
    window->StartseiteAn();
    enterView(1);
    open(vst);
    EXPECT_TRUE(window->st.PresentationLoaded);
    EXPECT_EQ(window->st.CurrentMark, 1);
    EXPECT_EQ(window->st.StartFrame, 30);
    EXPECT_EQ(window->st.StopFrame, 119);
    EXPECT_EQ(device->position(), 30);
    QWidget* top = window.get();
    EXPECT_TRUE(ui().VideoStartButton->isVisibleTo(top));
    EXPECT_TRUE(ui().VideoBildvorButton->isVisibleTo(top));
    EXPECT_FALSE(ui().VideoZeitlupeButton->isVisibleTo(top));
    EXPECT_TRUE(ui().MarkeWechselnPanel->isVisibleTo(top));
    EXPECT_FALSE(ui().MarkeZurueckButton->isEnabled());
    EXPECT_FALSE(ui().StringGridPanel->isVisibleTo(top));
    // Mark 2 carries the memo: entering it shows the text in the player's memo field.
    ui().NaechsteMarkeButton->click();
    EXPECT_EQ(window->st.CurrentMark, 2);
    EXPECT_EQ(ui().RichEdit->toPlainText(), QStringLiteral("Fallbeschleunigung"));
    EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(AuthoringView, AFailedSaveIsReportedAndTheOldFileStays)
{
    openAuthoringVideo();
    setMarkAt(0);
    setMarkAt(50);
    setStopFrame(1, 80);

    // Into a "folder" that is a file: the general error box says so; nothing counts as saved.
    ASSERT_TRUE(writeFileSafely(path("Kurs"), "kein Ordner"));
    save(path("Kurs/fall.vst"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Kadro 2.0"));
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.").arg(path("Kurs/fall.vst")));
    EXPECT_FALSE(window->st.DataSaved);
    EXPECT_EQ(test::contentOf(path("Kurs")), QByteArray("kein Ordner"));

    // Saved, changed, and saved again onto a disk that is full midway: the saved file stays whole.
    save(path("fall.vst"));
    ASSERT_TRUE(window->st.DataSaved);
    const QByteArray saved = test::contentOf(path("fall.vst"));
    setMarkAt(200);
    setStopFrame(2, 260);
    ASSERT_FALSE(window->st.DataSaved);
    ASSERT_EQ(prompts.shown.size(), 1);
    prompts.fileAnswers = {path("fall.vst")};
    {
        test::FileSizeLimit limit(100);
        ASSERT_TRUE(limit.active());
        ui().SpeichernButton->click();
    }
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].text,
              QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.").arg(path("fall.vst")));
    EXPECT_FALSE(window->st.DataSaved);
    EXPECT_EQ(test::contentOf(path("fall.vst")), saved);
}

TEST_F(AuthoringView, ANewPresentationAfterTheLastSectionOfAnotherStartsAtItsFirst)
{
    openAuthoringVideo();
    setMarkAt(0);
    setMarkAt(50);
    setStopFrame(1, 80);
    save(path("zwei.vst"));
    ASSERT_TRUE(window->st.DataSaved);

    window->StartseiteAn();
    enterView(1);
    open(path("zwei.vst"));
    ui().NaechsteMarkeButton->click();
    ASSERT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("Startseite"));
    // The same presentation opened once more: "weiter" goes to mark 2 again, not to the start page.
    open(path("zwei.vst"));
    EXPECT_EQ(window->st.CurrentMark, 1);
    EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("weiter"));
    ui().NaechsteMarkeButton->click();
    EXPECT_EQ(window->st.CurrentMark, 2);
    EXPECT_FALSE(ui().StartseitePanel->isVisibleTo(window.get()));
}

TEST_F(AuthoringView, SettingUpTheViewDropsTheMarks)
{
    openAuthoringVideo();
    setMarkAt(10);
    setMarkAt(20);
    window->Programmpunkt2Einstellungen();
    EXPECT_EQ(table().grid().markCount(), 0);
    EXPECT_EQ(grid()->rowCount(), 1);
    openAuthoringVideo();
    setMarkAt(40);
    EXPECT_EQ(shownRows().size(), 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral("Marke 1"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("40"));
}

TEST_F(AuthoringView, SavingRefusesAMissingStopFrameAndForcesAutostart)
{
    openAuthoringVideo();
    for (QCheckBox* box : {optionen->StartStopCheckBox, optionen->EinzelbildCheckBox})
        box->setChecked(false);
    setMarkAt(10);
    setMarkAt(20);
    setMarkAt(30);
    ui().SpeichernButton->click();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Stop-Frame von Marke 3 ist noch nicht gesetzt !"));
    EXPECT_TRUE(prompts.fileRequests.isEmpty());
    EXPECT_FALSE(window->st.DataSaved);

    press(2, 0, Qt::RightButton);
    ui().PopupMenuMarkeStopFrame->trigger(); // a still picture: 30..30
    // A cancelled save dialog writes nothing.
    ui().PopupMenuSpeichern->trigger();
    EXPECT_EQ(prompts.fileRequests.size(), 1);
    EXPECT_FALSE(window->st.DataSaved);
    EXPECT_EQ(cell(0, 10), QString());

    prompts.fileAnswers = {path("auto.vst")};
    ui().PopupMenuSpeichern->trigger();
    EXPECT_TRUE(window->st.DataSaved);
    EXPECT_EQ(cell(0, 10), kOn);
    EXPECT_EQ(cell(1, 10), kOn);
    EXPECT_EQ(cell(2, 10), QString());
    shownRows();
}

TEST_F(AuthoringView, OpenAsksAboutUnsavedMarks)
{
    openAuthoringVideo();
    setMarkAt(10);
    ASSERT_FALSE(window->st.DataSaved);

    prompts.answers = {Button::Abbrechen};
    ui().OeffnenButton->click();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, kSaveQuestion);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Bestätigung"));
    EXPECT_TRUE(prompts.fileRequests.isEmpty());
    EXPECT_EQ(cell(0, 0), QStringLiteral("Marke 1"));

    // Ja saves first; the last mark has no stop frame, so nothing is saved and nothing opened.
    prompts.answers = {Button::Ja};
    ui().OeffnenButton->click();
    EXPECT_EQ(shownTexts().last(), QStringLiteral("Stop-Frame von Marke 1 ist noch nicht gesetzt !"));
    EXPECT_TRUE(prompts.fileRequests.isEmpty());
    EXPECT_EQ(cell(0, 0), QStringLiteral("Marke 1"));

    // Ja with a complete grid: saved, then the open dialog.
    setStopFrame(0, 90);
    prompts.answers = {Button::Ja};
    prompts.fileAnswers = {path("eins.vst"), QString()};
    ui().OeffnenButton->click();
    ASSERT_EQ(prompts.fileRequests.size(), 2);
    EXPECT_TRUE(prompts.fileRequests[0].save);
    EXPECT_FALSE(prompts.fileRequests[1].save);
    EXPECT_EQ(prompts.fileRequests[1].options.filterIndex, 2);
    EXPECT_TRUE(QFile::exists(path("eins.vst")));
    EXPECT_EQ(cell(0, 0), QStringLiteral("Marke 1")); // the open dialog was cancelled

    // Nein opens without saving: the grid is emptied for the new video.
    setMarkAt(200);
    prompts.shown.clear();
    prompts.answers = {Button::Nein};
    open(videoFile(QStringLiteral("anderes.avi")));
    EXPECT_EQ(shownTexts(), QStringList({kSaveQuestion}));
    EXPECT_EQ(cell(0, 0), QString());
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(device->fileName(), path("anderes.avi"));
    EXPECT_TRUE(window->st.DataSaved);

    // Saved marks: no question.
    prompts.shown.clear();
    window->presentationFile().openChosenFile(path("eins.vst"));
    open(QString());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(AuthoringView, MissingVideoWarnsAndLeavesTheViewEmpty)
{
    presentation(QStringLiteral("Übung.vst"), QStringLiteral("C:\\Kurs\\Fehlt.avi"),
                 {QStringLiteral("#1 0 10 M 1 1 0 0 0 0 0 0 0")});
    const QString expected = QStringLiteral("Die mit der Präsentation \"Übung.vst\" verknüpfte AVI-Datei konnte "
                                            "nicht gefunden werden!\rÜberprüfen sie den Pfad- und Dateinamen.");

    openAuthoringVideo();
    setMarkAt(5);
    window->st.DataSaved = true;
    window->presentationFile().openChosenFile(path("Übung.vst"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, expected);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Warnung"));
    EXPECT_FALSE(window->st.PresentationLoaded);
    EXPECT_EQ(device->fileName(), QString());
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(cell(0, 0), QString());
    EXPECT_FALSE(ui().MarkeSetzenButton->isEnabled());
    EXPECT_FALSE(ui().SpeichernButton->isEnabled());

    // The video beside the presentation is found although line 1 names another folder.
    videoFile(QStringLiteral("Fehlt.avi"));
    prompts.shown.clear();
    window->presentationFile().openChosenFile(path("Übung.vst"));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_TRUE(window->st.PresentationLoaded);
    EXPECT_EQ(device->fileName(), path("Fehlt.avi"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("10"));
    QFile::remove(path("Fehlt.avi"));

    window->StartseiteAn();
    enterView(1);
    prompts.shown.clear();
    window->presentationFile().openChosenFile(path("Übung.vst"));
    EXPECT_EQ(shownTexts(), QStringList({expected}));
    EXPECT_FALSE(window->st.PresentationLoaded);
    EXPECT_EQ(window->st.CurrentMark, 0);
    EXPECT_EQ(device->fileName(), QString());
}

TEST_F(AuthoringView, ExtensionDecidesExactlyWhatIsAPresentation)
{
    // "VST" in capitals is not "vst": the file is opened as a video.
    presentation(QStringLiteral("GROSS.VST"), QStringLiteral("film.avi"),
                 {QStringLiteral("#1 0 10 M 1 1 0 0 0 0 0 0 0")});
    device->setLength(499);
    window->presentationFile().openChosenFile(path("GROSS.VST"));
    EXPECT_FALSE(window->st.PresentationMode);
    EXPECT_EQ(device->fileName(), path("GROSS.VST"));
    EXPECT_TRUE(device->isOpen());
    EXPECT_TRUE(ui().MarkeSetzenButton->isEnabled());
    EXPECT_EQ(cell(0, 0), QString());
    EXPECT_TRUE(prompts.shown.isEmpty());
    // Which names are presentations (a dot in a folder's name, too): VstFileTest.WhichFilesArePresentations.
}

TEST_F(AuthoringView, MalformedPresentationEndsWithTheGeneralErrorReport)
{
    videoFile(QStringLiteral("film.avi"));
    presentation(QStringLiteral("kaputt.vst"), QStringLiteral("film.avi"),
                 {QStringLiteral("#1 0 10 M 1 1 0 0 0 0 0 0 0"), QStringLiteral("#2 11 x M 1 1 0 0 0 0 0 0 0")}, 33,
                 150);
    open(path("kaputt.vst"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Plain);
    EXPECT_FALSE(window->st.PresentationLoaded);
    // What was read before the fault stays.
    EXPECT_EQ(optionen->dtEdit1->text(), QStringLiteral("33"));
    EXPECT_EQ(window->st.MarkCount, 2);
    EXPECT_EQ(window->marks.count(), 1);
    EXPECT_EQ(cell(0, 0), QString());

    // The program stays usable: a good presentation opens afterwards.
    QFile::remove(path("kaputt.vst"));
    presentation(QStringLiteral("gut.vst"), QStringLiteral("film.avi"),
                 {QStringLiteral("#1 5 10 M 1 1 0 0 0 0 0 0 0")}, 33, 150);
    device->setLength(99);
    open(path("gut.vst"));
    EXPECT_TRUE(window->st.PresentationLoaded);
    EXPECT_EQ(cell(0, 1), QStringLiteral("5"));
    EXPECT_EQ(device->position(), 5);
}

TEST_F(AuthoringView, PresentationsOfMoreThanAHundredMarksOpenAgain)
{
    openAuthoringVideo();
    device->setLength(499);
    for (int f = 0; f < 300; f += 2)
        setMarkAt(f);
    setStopFrame(149, 499);
    const QList<QStringList> authored = shownRows();
    ASSERT_EQ(authored.size(), 150);
    save(path("lang.vst"));
    ASSERT_TRUE(window->st.DataSaved);

    window->presentationFile().openChosenFile(path("lang.vst"));
    EXPECT_TRUE(window->st.PresentationLoaded);
    EXPECT_EQ(window->st.MarkCount, 150);
    EXPECT_EQ(shownRows(), authored);
    EXPECT_EQ(grid()->width(), 697);
}

TEST_F(AuthoringView, StartPageEntriesReadPresentationsThroughTheReader)
{
    openAuthoringVideo();
    setMarkAt(40);
    setStopFrame(0, 60);
    save(path("start.vst"));
    ASSERT_TRUE(window->st.DataSaved);

    window->StartseiteAn();
    enterView(1);
    EXPECT_TRUE(window->presentationFile().vstDateiEinlesen(path("start.vst")));
    EXPECT_TRUE(window->st.PresentationLoaded);
    EXPECT_EQ(window->st.MarkCount, 1);
    EXPECT_EQ(window->marks.mark(1).firstFrame, 40u);
    EXPECT_EQ(device->fileName(), path("film.avi"));
    EXPECT_TRUE(device->isOpen());
    EXPECT_FALSE(ui().MarkeWechselnPanel->isVisibleTo(window.get()));

    // The quick-access entry of the start page enters the first section of the presentation.
    titel->setEntry(1, path("start.vst"), QStringLiteral("Start"));
    window->StartseiteAn();
    window->startPageEntries().vstLabelClick(1);
    EXPECT_TRUE(window->st.PresentationLoaded);
    EXPECT_EQ(window->st.CurrentMark, 1);
    EXPECT_EQ(window->st.StartFrame, 40);
    EXPECT_EQ(window->st.StopFrame, 60);
    EXPECT_EQ(device->position(), 40);

    QFile::remove(path("film.avi"));
    prompts.shown.clear();
    EXPECT_FALSE(window->presentationFile().vstDateiEinlesen(path("start.vst")));
    EXPECT_FALSE(window->st.PresentationLoaded);
    EXPECT_EQ(prompts.shown.size(), 1);
}
