// Presentation files as teachers bring them: written by hand, edited, or lying beside a shorter
// video. Each is opened through the open command and played or edited as a user would.
#include "AuthoringFixture.h"
#include "support/TimerTicks.h"

#include "player/SectionPlayback.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>

#include <functional>

using namespace kadro;
using kadro::test::AuthoringFixture;
using kadro::test::kManuell;
using kadro::test::readBytes;

// From the start page: each test enters the view it needs.
class HandMade : public AuthoringFixture {
protected:
    HandMade() { enterOnSetUp = false; }
    void moment() { test::showMoment(*device, ui().Timer1, ui().Timer2, ui().Timer3); }
    template <typename F> bool playUntil(F done, int limit = 400)
    {
        return test::playShowUntil(*device, ui().Timer1, ui().Timer2, ui().Timer3, done, limit);
    }
};

// The video beside the presentation is shorter than its marks say (100 frames, marks up to 150
// and beyond): each section ends at the video's last frame and its transition runs; a section
// starting beyond the end is a still picture of the last frame. Silent and with sound.
TEST_F(HandMade, SectionsReachingPastTheVideosEndEndAtItsLastFrame)
{
    videoFile(QStringLiteral("kurz.avi"));
    const QString file = presentation(QStringLiteral("lang.vst"), QStringLiteral("C:\\Kurs\\kurz.avi"),
                                      {QStringLiteral("#1 0 150 A0 1 0 0 0 1 0 1 0 0"),
                                       QStringLiteral("#2 90 400 M 1 0 0 0 1 0 1 0 0"),
                                       QStringLiteral("#3 500 600 M 0 0 0 0 1 0 0 0 0")});
    for (const bool sound : {false, true}) {
        SCOPED_TRACE(sound ? "with sound" : "silent");
        enterView(1);
        optionen->TonCheckBox->setChecked(sound);
        device->setLength(99);
        open(file);
        ASSERT_EQ(window->st.CurrentMark, 1);
        EXPECT_EQ(window->st.StopFrame, 99);
        EXPECT_EQ(ui().FrameAnzeige1Label->text(), QStringLiteral("99"));
        ASSERT_TRUE(window->st.IsPlaying);

        ASSERT_TRUE(playUntil([&] { return window->st.CurrentMark == 2; }));
        EXPECT_EQ(window->st.StartFrame, 90);
        EXPECT_EQ(window->st.StopFrame, 99);
        ASSERT_TRUE(playUntil([&] { return !window->st.IsPlaying; }));
        EXPECT_EQ(window->st.CurrentFrame, 9);
        EXPECT_EQ(device->position(), 99);
        EXPECT_TRUE(ui().NaechsteMarkeButton->isVisibleTo(window.get())); // "von Hand": waits for "weiter"

        ui().NaechsteMarkeButton->click();
        EXPECT_EQ(window->st.CurrentMark, 3);
        EXPECT_EQ(window->st.StartFrame, 99);
        EXPECT_EQ(window->st.StopFrame, 99);
        EXPECT_FALSE(ui().VideoTrackBar->isEnabled());
        EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("Startseite"));
        EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();
    }
}

// A transition code outside 0..100 ("A150", "A-7") is read as the nearest transition: above 100
// "von Hand", below 0 "ohne Pause". The presentation plays so, and saved again it reads again.
TEST_F(HandMade, TransitionCodesOutsideTheRangeReadAsTheNearestAndSaveReadably)
{
    videoFile(QStringLiteral("fall.avi"));
    const QString file = presentation(QStringLiteral("kaputt.vst"), path("fall.avi"),
                                      {QStringLiteral("#1 0 20 A150 1 1 0 1 1 0 0 0 0"),
                                       QStringLiteral("#2 21 40 A-7 1 1 0 0 1 0 0 0 0"),
                                       QStringLiteral("#3 41 60 A99999999999 1 0 0 0 0 0 0 0 0")});
    enterView(2);
    device->setLength(499);
    open(file);
    ASSERT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(cell(0, 3), kManuell);
    EXPECT_EQ(cell(1, 3), QStringLiteral("ohne Pause"));
    EXPECT_EQ(cell(2, 3), kManuell);

    save(path("wieder.vst"));
    ASSERT_TRUE(window->st.DataSaved);
    const QByteArray saved = readBytes(path("wieder.vst"));
    EXPECT_TRUE(saved.contains("#1 0 20 M 1 1 0 1 1 0 0 0 0\r\n"));
    EXPECT_TRUE(saved.contains("#2 21 40 A0 1 1 0 0 1 0 0 0 0\r\n"));
    EXPECT_TRUE(saved.contains("#3 41 60 M 1 0 0 0 0 0 0 0 0\r\n"));
    open(path("wieder.vst"));
    EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(grid()->rowCount(), 3);
    EXPECT_EQ(cell(0, 3), kManuell);

    // In the player the first section waits for "weiter" at its end.
    enterView(1);
    open(file);
    ui().VideoTrackBar->setValue(20);
    EXPECT_EQ(window->st.CurrentMark, 1);
    EXPECT_TRUE(ui().NaechsteMarkeButton->isVisibleTo(window.get()));
    EXPECT_FALSE(ui().Timer3->isActive());
}

// "Marken: 0": the player shows the video's first picture, still and without controls, and the
// viewer can open another file; the authoring view shows the first frame and takes new marks.
TEST_F(HandMade, APresentationWithoutMarksShowsAStillFirstPicture)
{
    videoFile(QStringLiteral("fall.avi"));
    const QString file = presentation(QStringLiteral("leer.vst"), path("fall.avi"), {});
    device->setLength(99);
    enterView(1);
    open(file);
    EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();
    QWidget* top = window.get();
    EXPECT_EQ(window->st.CurrentMark, 1);
    EXPECT_EQ(device->position(), 0);
    EXPECT_EQ(window->st.SectionLength, 0);
    EXPECT_FALSE(window->st.IsPlaying);
    EXPECT_FALSE(ui().VideoStartButton->isVisibleTo(top));
    EXPECT_FALSE(ui().VideoBildvorButton->isVisibleTo(top));
    EXPECT_FALSE(ui().SchiebereglerPanel2->isVisibleTo(top));
    EXPECT_FALSE(ui().MarkeWechselnPanel->isVisibleTo(top));
    EXPECT_FALSE(ui().Timer3->isActive());
    EXPECT_FALSE(ui().HauptFensterPopupMenuStart->isEnabled());

    open(videoFile(QStringLiteral("anderes.avi")));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(device->fileName(), path("anderes.avi"));
    EXPECT_TRUE(ui().VideoStartButton->isVisibleTo(top));

    enterView(2);
    open(file);
    EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(device->position(), 0);
    EXPECT_TRUE(ui().MarkeSetzenButton->isEnabled());
    ui().VideoTrackBar->setValue(12);
    ui().MarkeSetzenButton->click();
    EXPECT_EQ(cell(0, 1), QStringLiteral("12"));
}

// The transition dialog marks the presentation as changed only when something changes: a radio
// button switched (also by the opening, to show another mark's transition) or a new pause.
// Opening it and leaving everything as it was keeps the presentation saved.
TEST_F(HandMade, TheTransitionDialogChangesTheSavedStateOnlyWithAChange)
{
    videoFile(QStringLiteral("fall.avi"));
    const QString file = presentation(QStringLiteral("drei.vst"), path("fall.avi"),
                                      {QStringLiteral("#1 0 20 M 1 0 0 0 0 0 0 0 0"),
                                       QStringLiteral("#2 21 40 M 1 0 0 0 0 0 0 0 0"),
                                       QStringLiteral("#3 41 60 A5 1 0 0 0 0 0 0 0 0")});
    enterView(2);
    device->setLength(99);
    open(file);
    ASSERT_TRUE(window->st.DataSaved);
    std::function<void()> author = [] {};
    prompts.modalHandler = [&](QDialog* dialog) {
        EXPECT_EQ(dialog, uebergang);
        author();
        uebergang->OKButton->click();
        return dialog->result();
    };

    press(0, 3); // "ohne Pause" was selected last: the opening switches to "von Hand"
    EXPECT_TRUE(uebergang->vonHandRadioButton->isChecked());
    EXPECT_FALSE(uebergang->PauseEdit->isEnabled()); // the pause's field only with "mit Pause"
    EXPECT_FALSE(uebergang->SekundenLabel->isEnabled());
    EXPECT_FALSE(window->st.DataSaved);
    save(file);
    ASSERT_TRUE(window->st.DataSaved);

    press(1, 3); // the same transition: nothing changes
    EXPECT_TRUE(uebergang->vonHandRadioButton->isChecked());
    EXPECT_TRUE(window->st.DataSaved);
    EXPECT_EQ(cell(1, 3), kManuell);

    press(2, 3); // a pause: the opening switches to "mit Pause"
    EXPECT_TRUE(uebergang->mitPauseRadioButton->isChecked());
    EXPECT_EQ(uebergang->PauseEdit->text(), QStringLiteral("5"));
    EXPECT_TRUE(uebergang->PauseEdit->isEnabled());
    EXPECT_FALSE(window->st.DataSaved);
    save(file);
    press(2, 3);
    EXPECT_TRUE(window->st.DataSaved);

    author = [&] { uebergang->PauseEdit->setText(QStringLiteral("7")); }; // a new pause, same button
    press(2, 3);
    EXPECT_EQ(cell(2, 3), QStringLiteral(" Pause (7)"));
    EXPECT_FALSE(window->st.DataSaved);
    ASSERT_EQ(prompts.modalShown.size(), 5);
    EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();
}

// A video whose path has letters outside Windows-1252 cannot be named in a presentation file:
// the save is refused with a warning naming the letters, before the save dialog; an existing
// file stays as it was and the marks count as not saved.
TEST_F(HandMade, SavingRefusesAVideoPathThePresentationFileCannotHold)
{
    enterView(2);
    device->setLength(99);
    const QString video = videoFile(QStringLiteral("Wurf_Łódź.avi"));
    open(video);
    ASSERT_EQ(device->fileName(), video);
    ui().VideoTrackBar->setValue(0);
    ui().MarkeSetzenButton->click();
    ui().VideoTrackBar->setValue(50);
    ui().MarkeSetzenButton->click();
    press(1, 2); // selects mark 2, whose stop frame is still empty
    ui().VideoTrackBar->setValue(99);
    ui().PopupMenuMarkeStopFrame->trigger();
    ASSERT_EQ(cell(1, 2), QStringLiteral("99"));
    ASSERT_FALSE(window->st.DataSaved);

    const QByteArray old = toCp1252(QStringLiteral("alte Präsentation\r\n"));
    ASSERT_TRUE(writeFileSafely(path("wurf.vst"), old));
    const qsizetype requests = prompts.fileRequests.size();
    save(path("wurf.vst"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Warnung"));
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Der Pfad des Videos \"") + QDir::toNativeSeparators(video) +
                  QStringLiteral("\" enthält Zeichen, die in einer Präsentationsdatei nicht gespeichert werden "
                                 "können: \"Ł\" (U+0141), \"ź\" (U+017A)\r"
                                 "Die Präsentation wurde nicht gespeichert. Bitte geben Sie dem Video und seinen "
                                 "Ordnern Namen ohne diese Zeichen."));
    EXPECT_EQ(prompts.fileRequests.size(), requests); // no save dialog
    EXPECT_EQ(readBytes(path("wurf.vst")), old);
    EXPECT_FALSE(QFile::exists(path("wurf")));
    EXPECT_FALSE(window->st.DataSaved);

    // Leaving asks about the unsaved marks.
    prompts.answers = {Button::Abbrechen};
    window->FormCloseQuery();
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].text, QStringLiteral("Daten wurden geändert.\rÄnderungen speichern?"));
}
