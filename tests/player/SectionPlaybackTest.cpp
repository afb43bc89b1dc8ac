#include "support/ShellFixture.h"
#include "support/TimerTicks.h"

#include "authoring/model/Mark.h"
#include "player/BigPicture.h"
#include "player/FullScreenView.h"
#include "player/SectionPlayback.h"

#include <QFrame>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>

using namespace kadro;
using kadro::test::ShellFixture;

namespace {
Mark mark(quint32 first, quint32 last, quint32 transition, std::initializer_list<Mark::Switch> on = {})
{
    Mark m;
    m.firstFrame = first;
    m.lastFrame = last;
    m.transition = transition;
    for (Mark::Switch s : on)
        m.switches[s] = 1;
    return m;
}
} // namespace

class SectionTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        enterView(1);
        device->setLength(499);
    }

    // Loads the marks as a read presentation does and enters the first section.
    void present(std::initializer_list<Mark> list)
    {
        window->marks.clear();
        for (const Mark& m : list)
            window->marks.append(m);
        auto& st = window->st;
        st.MarkCount = window->marks.count();
        st.PresentationMode = true;
        st.PresentationPath = path("demo.vst");
        device->setFileName(path("demo.avi"));
        device->open();
        st.CurrentMark = 0;
        sp().prepareButtons();
        sp().VideoMarkeEinstellen();
    }
    SectionPlayback& sp() { return window->sectionPlayback(); }
    Transport& t() { return window->transport(); }
    MainWindowUi& ui() { return window->ui; }
    void tick(int n)
    {
        // Only a running timer ticks.
        for (int i = 0; i < n && ui().Timer3->isActive(); ++i)
            sp().Timer3Timer();
    }
    void moment() { test::showMoment(*device, ui().Timer1, ui().Timer2, ui().Timer3); }
    template <typename F> bool playUntil(F done, int limit = 400)
    {
        return test::playShowUntil(*device, ui().Timer1, ui().Timer2, ui().Timer3, done, limit);
    }
    // The section now shown runs by itself: playing, its timer running, and with sound the device.
    void expectRunning(bool sound)
    {
        EXPECT_TRUE(window->st.IsPlaying);
        EXPECT_EQ(ui().Timer1->isActive(), !sound);
        EXPECT_EQ(ui().Timer2->isActive(), sound);
        EXPECT_EQ(device->isPlaying(), sound);
        EXPECT_EQ(ui().VideoStartButton->text(), QStringLiteral("Zurück"));
    }
};

TEST_F(SectionTest, EnteringASectionLoadsItsRangeAndItsControls)
{
    present({mark(100, 150, 100, {Mark::StartStop, Mark::Frameanzeige}), mark(150, 200, 100)});
    const auto& st = window->st;
    EXPECT_EQ(st.CurrentMark, 1);
    EXPECT_EQ(st.StartFrame, 100);
    EXPECT_EQ(st.StopFrame, 150);
    EXPECT_EQ(st.SectionLength, 50);
    EXPECT_EQ(device->position(), 100);
    QWidget* top = window.get();
    EXPECT_TRUE(ui().VideoStartButton->isVisibleTo(top));
    EXPECT_TRUE(ui().VideoStopButton->isVisibleTo(top));
    EXPECT_FALSE(ui().VideoBildvorButton->isVisibleTo(top));
    EXPECT_FALSE(ui().VideoZeitlupeButton->isVisibleTo(top));
    EXPECT_FALSE(ui().SchiebereglerPanel2->isVisibleTo(top));
    EXPECT_TRUE(ui().BildNrPanel->isVisibleTo(top));
    EXPECT_FALSE(ui().TimePanel->isVisibleTo(top));
    EXPECT_TRUE(ui().BerechnenAbdeckungsPanel->isVisibleTo(top));
    EXPECT_TRUE(ui().MarkeWechselnPanel->isVisibleTo(top));
    EXPECT_FALSE(ui().MarkeZurueckButton->isEnabled());
    EXPECT_FALSE(device->isPlaying());
}

TEST_F(SectionTest, AutostartRunsTheSectionAndItsEndRunsTheTransition)
{
    present({mark(0, 40, 0, {Mark::Autostart}), mark(41, 80, 100)});
    EXPECT_TRUE(window->st.IsPlaying);
    // Run silently (AVI, sound off) to the end: "ohne Pause" enters the next section at once.
    for (int i = 0; i < 45 && window->st.CurrentMark == 1; ++i)
        t().Timer1Timer();
    EXPECT_EQ(window->st.CurrentMark, 2);
    EXPECT_EQ(window->st.StartFrame, 41);
    EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("Startseite"));
}

// A show of three sections, silent and with sound: the viewer starts a played section that goes
// on "ohne Pause" into a still picture, which goes on "ohne Pause" into a section with Autostart.
// The transitions run inside the handlers of the section that ended; the section they enter must
// run by itself all the same, and play to its end.
TEST_F(SectionTest, OhnePauseLeadsThroughAStillPictureIntoARunningAutostart)
{
    for (const bool sound : {false, true}) {
        SCOPED_TRACE(sound ? "with sound" : "silent");
        window->st.SoundOn = sound;
        present({mark(0, 20, TransitionCode::NoPause, {Mark::StartStop}), mark(30, 30, TransitionCode::NoPause),
                 mark(40, 70, TransitionCode::ByHand, {Mark::Autostart, Mark::Frameanzeige})});
        ASSERT_EQ(window->st.CurrentMark, 1);
        EXPECT_FALSE(window->st.IsPlaying);
        ui().VideoStartButton->click();
        expectRunning(sound);

        ASSERT_TRUE(playUntil([&] { return window->st.CurrentMark == 3; }));
        expectRunning(sound);
        EXPECT_EQ(window->st.StartFrame, 40);
        EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("Startseite"));
        EXPECT_TRUE(ui().MarkeZurueckButton->isEnabled());

        // It plays to its own end without a click and stops there.
        ASSERT_TRUE(playUntil([&] { return !window->st.IsPlaying; }));
        EXPECT_EQ(window->st.CurrentMark, 3);
        EXPECT_EQ(window->st.CurrentFrame, 30);
        EXPECT_EQ(ui().FrameAnzeige2Label->text(), QStringLiteral("30"));
        EXPECT_EQ(device->position(), 70);
        EXPECT_TRUE(prompts.shown.isEmpty());
        window->Programmpunkt1Einstellungen();
    }
}

// Section ends reached by the viewer's own controls run the same transition: a drag of the slider
// to the end and a single step onto the last frame. The next section's Autostart holds.
TEST_F(SectionTest, OhnePauseAfterADragOrAStepStartsTheNextSection)
{
    const auto show = {mark(0, 20, TransitionCode::NoPause, {Mark::Schieberegler, Mark::Einzelbild}),
                       mark(21, 40, TransitionCode::NoPause, {Mark::Autostart, Mark::Einzelbild}),
                       mark(41, 60, TransitionCode::ByHand, {Mark::Autostart})};
    present(show);
    ui().VideoTrackBar->setValue(20); // the viewer's drag to the end
    ASSERT_EQ(window->st.CurrentMark, 2);
    expectRunning(false);

    ui().VideoStopButton->click(); // paused: "Bild vor" up to the last frame
    ASSERT_EQ(ui().VideoStopButton->text(), QStringLiteral("Weiter"));
    for (int i = 0; i < 30 && window->st.CurrentMark == 2; ++i)
        ui().VideoBildvorButton->click();
    ASSERT_EQ(window->st.CurrentMark, 3);
    expectRunning(false);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

// "zurück" onto a still section "ohne Pause" goes on at once into the section after it. When that
// is the last one, the button reads "Startseite", not a "weiter" that leads beyond the table.
TEST_F(SectionTest, BackOntoAStillOhnePauseSectionShowsTheButtonsOfWhereItLeads)
{
    present({mark(0, 20, TransitionCode::ByHand), mark(30, 30, TransitionCode::NoPause),
             mark(40, 60, TransitionCode::ByHand, {Mark::Autostart})});
    ui().NaechsteMarkeButton->click(); // into the still section, and on to the last at once
    ASSERT_EQ(window->st.CurrentMark, 3);
    EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("Startseite"));
    expectRunning(false);

    ui().MarkeZurueckButton->click();
    EXPECT_EQ(window->st.CurrentMark, 3);
    EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("Startseite"));
    EXPECT_TRUE(ui().NaechsteMarkeButton->isEnabled());
    EXPECT_TRUE(ui().MarkeZurueckButton->isEnabled());
    expectRunning(false);
    EXPECT_TRUE(prompts.shown.isEmpty()) << (prompts.shown.isEmpty() ? "" : prompts.shown[0].text.toStdString());
}

TEST_F(SectionTest, StillSectionsFollowTheirTransition)
{
    present({mark(10, 10, 0), mark(20, 20, 100), mark(30, 30, 3), mark(40, 60, 100)});
    // The first still section with "ohne Pause" was left at once; the second waits for "weiter".
    EXPECT_EQ(window->st.CurrentMark, 2);
    EXPECT_FALSE(ui().VideoStartButton->isEnabled());
    EXPECT_FALSE(ui().VideoTrackBar->isEnabled());
    EXPECT_FALSE(ui().Timer3->isActive());
    sp().NaechsteMarkeButtonClick();
    // The third stays three seconds: ten ticks of 300 ms.
    EXPECT_EQ(window->st.CurrentMark, 3);
    EXPECT_TRUE(ui().Timer3->isActive());
    EXPECT_EQ(ui().Timer3->interval(), 300);
    tick(9);
    EXPECT_EQ(window->st.CurrentMark, 3);
    tick(1);
    EXPECT_EQ(window->st.CurrentMark, 4);
    EXPECT_FALSE(ui().Timer3->isActive());
}

TEST_F(SectionTest, MovingAwayFromTheEndCancelsThePauseForGood)
{
    present({mark(0, 20, 5), mark(21, 40, 100)});
    ui().VideoTrackBar->setValue(20); // to the end: the pause starts
    ASSERT_TRUE(ui().Timer3->isActive());
    tick(3);
    t().VideoBildzurueckButtonClick();
    tick(1);
    EXPECT_FALSE(ui().Timer3->isActive());
    t().VideoBildvorButtonClick(); // back at the end: no new countdown
    EXPECT_FALSE(ui().Timer3->isActive());
    EXPECT_EQ(window->st.CurrentMark, 1);
    tick(20);
    EXPECT_EQ(window->st.CurrentMark, 1);
}

TEST_F(SectionTest, WeiterAndZurueckOverTheLastSection)
{
    present({mark(0, 10, 100), mark(11, 20, 100)});
    sp().NaechsteMarkeButtonClick();
    EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("Startseite"));
    EXPECT_TRUE(ui().MarkeZurueckButton->isEnabled());
    sp().MarkeZurueckButtonClick();
    EXPECT_EQ(window->st.CurrentMark, 1);
    EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("weiter"));
    EXPECT_FALSE(ui().MarkeZurueckButton->isEnabled());
    // "Startseite" asks the window to close, which leads back to the start page.
    sp().NaechsteMarkeButtonClick();
    prompts.answers = {Button::Nein};
    sp().NaechsteMarkeButtonClick();
    EXPECT_TRUE(window->ui.StartseitePanel->isVisibleTo(window.get()));
}

TEST_F(SectionTest, OneMarkHidesThePanelAndItsEndDoesNothing)
{
    present({mark(0, 10, 0)});
    EXPECT_FALSE(ui().MarkeWechselnPanel->isVisibleTo(window.get()));
    ui().VideoTrackBar->setValue(10);
    EXPECT_EQ(window->st.CurrentMark, 1);
    EXPECT_FALSE(ui().Timer3->isActive());
}

TEST_F(SectionTest, TestRunDisablesWeiterOnTheLastSection)
{
    window->st.TestRunning = true;
    present({mark(0, 10, 100), mark(11, 20, 100)});
    sp().NaechsteMarkeButtonClick();
    EXPECT_EQ(ui().NaechsteMarkeButton->text(), QStringLiteral("weiter"));
    EXPECT_FALSE(ui().NaechsteMarkeButton->isEnabled());
}

TEST_F(SectionTest, AMarkOutsideTheTableIsARangeError)
{
    present({mark(0, 10, 100)});
    window->ui.NaechsteMarkeButton->click(); // reads "weiter" though there is no next mark
    ASSERT_FALSE(prompts.shown.isEmpty());
    EXPECT_EQ(prompts.shown.last().text, QStringLiteral("Fehler bei Bereichsprüfung"));
}

class TransitionDialogTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        enterView(2);
        window->ui.StringGrid->setRowCount(3);
    }
    void setCell(int row, const QString& text) { window->ui.StringGrid->setItem(row, 3, new QTableWidgetItem(text)); }
    QString cell(int row) { return window->ui.StringGrid->item(row, 3)->text(); }
};

// How the opening shows the selected mark's transition is in the authoring tests
// (HandMade.TheTransitionDialogChangesTheSavedStateOnlyWithAChange).
TEST_F(TransitionDialogTest, ClosingWritesTheCellAndRefusesAnInvalidPause)
{
    setCell(2, QStringLiteral("ohne Pause"));
    window->st.SelectedMarkRow = 2;
    uebergang->FormActivate();
    uebergang->mitPauseRadioButton->setChecked(true);
    uebergang->PauseEdit->setText(QStringLiteral("12"));
    EXPECT_TRUE(uebergang->FormClose());
    EXPECT_EQ(cell(2), QStringLiteral(" Pause (12)"));
    EXPECT_TRUE(prompts.shown.isEmpty());

    uebergang->PauseEdit->setText(QStringLiteral("0"));
    EXPECT_FALSE(uebergang->FormClose());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Fehler"));
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 1 und 99 ein!"));
    EXPECT_EQ(prompts.shown[0].offset, QPoint(288, 320)); // from the main window's top-left corner
    EXPECT_EQ(cell(2), QStringLiteral(" Pause (0)"));

    uebergang->vonHandRadioButton->setChecked(true);
    uebergang->PauseEdit->setText(QStringLiteral("10"));
    EXPECT_TRUE(uebergang->FormClose());
    EXPECT_EQ(cell(2), QStringLiteral("   manuell"));
}

TEST_F(SectionTest, TheFullScreenBarOffersWhatEachSectionAllows)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    enterView(1); // the first show brought the start page
    present({mark(100, 150, 100, {Mark::StartStop}),
             mark(150, 200, 100, {Mark::Einzelbild, Mark::Zeitlupe, Mark::Schieberegler})});
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_F11);
    FullScreenView& view = window->bigPicture().fullScreen();
    ASSERT_TRUE(view.active());
    auto offered = [&](QPushButton* original) { return view.twinOf(original)->isVisible(); };

    // Section 1: start and pause, "weiter"; no steps, no slow motion, no slider.
    EXPECT_TRUE(offered(ui().VideoStartButton));
    EXPECT_TRUE(offered(ui().VideoStopButton));
    EXPECT_FALSE(offered(ui().VideoBildvorButton));
    EXPECT_FALSE(offered(ui().VideoBildzurueckButton));
    EXPECT_FALSE(offered(ui().VideoZeitlupeButton));
    EXPECT_FALSE(view.sliderTwin()->isVisible());
    EXPECT_TRUE(offered(ui().NaechsteMarkeButton));
    EXPECT_FALSE(view.twinOf(ui().MarkeZurueckButton)->isEnabled());

    // "weiter" clicked on the bar enters section 2, and the bar follows its options.
    QTest::mouseClick(view.twinOf(ui().NaechsteMarkeButton), Qt::LeftButton);
    EXPECT_EQ(window->st.CurrentMark, 2);
    EXPECT_FALSE(offered(ui().VideoStartButton));
    EXPECT_TRUE(offered(ui().VideoBildvorButton));
    EXPECT_TRUE(offered(ui().VideoBildzurueckButton));
    EXPECT_TRUE(offered(ui().VideoZeitlupeButton));
    EXPECT_TRUE(view.sliderTwin()->isVisible());
    EXPECT_TRUE(view.twinOf(ui().MarkeZurueckButton)->isEnabled());

    // The slider's twin moves the section's picture as the window's slider does.
    view.sliderTwin()->setValue(20);
    EXPECT_EQ(ui().VideoTrackBar->value(), 20);
    EXPECT_EQ(device->position(), 170);
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.active());
}
