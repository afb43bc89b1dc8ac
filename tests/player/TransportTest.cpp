#include "support/ShellFixture.h"

#include "common/ProgramEvents.h"
#include "player/view/PictureSurface.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

using namespace kadro;
using kadro::test::ShellFixture;

namespace {
struct Buttons {
    QString start;
    bool startOn;
    QString pause;
    bool pauseOn, vor, zurueck, zeitlupe;
    bool operator==(const Buttons&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Buttons& b)
{
    return os << b.start.toStdString() << ' ' << b.startOn << ' ' << b.pause.toStdString() << ' ' << b.pauseOn << ' '
              << b.vor << b.zurueck << b.zeitlupe;
}
} // namespace

// The transport in the player view.
class TransportTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        enterView(1);
    }
    Transport& t() { return window->transport(); }
    MainWindowUi& ui() { return window->ui; }
    Buttons buttons()
    {
        return {ui().VideoStartButton->text(), ui().VideoStartButton->isEnabled(), ui().VideoStopButton->text(),
                ui().VideoStopButton->isEnabled(), ui().VideoBildvorButton->isEnabled(),
                ui().VideoBildzurueckButton->isEnabled(), ui().VideoZeitlupeButton->isEnabled()};
    }
    int marksTransitions = 0;
};

TEST_F(TransportTest, StateTableFromOpeningToTheEnd)
{
    QObject::connect(&window->events(), &ProgramEvents::sectionEndReached, [this] { ++marksTransitions; });
    ASSERT_TRUE(openVideo("fall.avi", 50));
    EXPECT_EQ(buttons(), (Buttons{"Start", true, "Pause", false, false, false, false}));
    EXPECT_TRUE(ui().HauptFensterPopupMenuBildvor->isEnabled()); // the twins are usable at once
    EXPECT_TRUE(ui().HauptFensterPopupMenuZeitlupe->isEnabled());
    EXPECT_EQ(ui().FrameAnzeige1Label->text(), QStringLiteral("50"));
    EXPECT_EQ(ui().ZeitAnzeige1Label->text(), QStringLiteral("2,000"));
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("0,000"));
    EXPECT_EQ(ui().VideoTrackBar->maximum(), 50);
    EXPECT_EQ(ui().VideoTrackBar->tickInterval(), 5);
    EXPECT_EQ(ui().ZeitschrittNormalLabel->text(), QStringLiteral("40"));

    t().Timer9Timer();
    EXPECT_EQ(buttons(), (Buttons{"Start", true, "Pause", false, true, false, true}));

    // Running silently (AVI, sound off): Timer1 at the normal step.
    t().VideoStartButtonClick();
    EXPECT_TRUE(ui().Timer1->isActive());
    EXPECT_EQ(ui().Timer1->interval(), 40);
    EXPECT_TRUE(window->st.IsPlaying);
    EXPECT_EQ(ui().VideoStartButton->text(), QStringLiteral("Zurück"));
    EXPECT_EQ(ui().HauptFensterPopupMenuStart->text(), QStringLiteral("Z&urück"));
    t().Timer1Timer();
    t().Timer1Timer();
    EXPECT_EQ(window->st.CurrentFrame, 2);
    EXPECT_EQ(ui().FrameAnzeige2Label->text(), QStringLiteral("2"));
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("0,080"));
    EXPECT_EQ(ui().VideoTrackBar->value(), 2);
    EXPECT_EQ(device->position(), 2);

    // Paused.
    t().VideoStopButtonClick();
    EXPECT_EQ(buttons(), (Buttons{"Zurück", true, "Weiter", true, true, true, true}));
    EXPECT_FALSE(window->st.IsPlaying);
    EXPECT_FALSE(ui().Timer1->isActive());

    // Single frames.
    t().VideoBildvorButtonClick();
    EXPECT_EQ(device->position(), 3);
    t().VideoBildzurueckButtonClick();
    t().VideoBildzurueckButtonClick();
    t().VideoBildzurueckButtonClick();
    EXPECT_EQ(device->position(), 0);
    EXPECT_EQ(buttons(), (Buttons{"Start", true, "Pause", false, true, false, true})); // back at 0

    // To the end by single steps: the section end is reached exactly once and never passed.
    for (int i = 0; i < 60; ++i)
        if (ui().VideoBildvorButton->isEnabled())
            t().VideoBildvorButtonClick();
    EXPECT_EQ(device->position(), 50);
    EXPECT_EQ(marksTransitions, 1);
    EXPECT_EQ(buttons(), (Buttons{"Zurück", true, "Pause", false, false, true, false}));
}

TEST_F(TransportTest, ZurueckWhileRunningReturnsToTheSectionStart)
{
    ASSERT_TRUE(openVideo("fall.avi", 50));
    t().VideoStartButtonClick();
    for (int i = 0; i < 5; ++i)
        t().Timer1Timer();
    t().VideoStartButtonClick(); // "Zurück"
    EXPECT_EQ(device->position(), 0);
    EXPECT_EQ(ui().FrameAnzeige2Label->text(), QStringLiteral("0"));
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("0,000"));
    EXPECT_FALSE(ui().VideoStopButton->isEnabled());
    EXPECT_FALSE(ui().Timer1->isActive());
    EXPECT_FALSE(window->st.IsPlaying);
}

TEST_F(TransportTest, SoundIsForcedForEveryExtensionButExactlyAvi)
{
    ASSERT_TRUE(openVideo("FALL.AVI"));
    ASSERT_FALSE(window->st.SoundOn);
    t().VideoStartButtonClick();
    EXPECT_TRUE(window->st.SoundOn);
    EXPECT_TRUE(ui().Timer2->isActive());
    EXPECT_TRUE(device->isPlaying());
    EXPECT_EQ(device->playEnd(), 99);

    window->Programmpunkt1Einstellungen();
    QDir(path(".")).mkdir("Kurs.2024");
    ASSERT_TRUE(openVideo("Kurs.2024/fall.avi"));
    t().VideoStartButtonClick();
    EXPECT_FALSE(window->st.SoundOn); // a dot in the folder name does not matter
    EXPECT_TRUE(ui().Timer1->isActive());
}

TEST_F(TransportTest, SlowMotionThenWeiterContinuesAtNormalSpeed)
{
    ASSERT_TRUE(openVideo("fall.avi"));
    t().VideoZeitlupeButtonClick();
    EXPECT_EQ(ui().Timer1->interval(), 200);
    EXPECT_EQ(ui().VideoStopButton->text(), QStringLiteral("Weiter"));
    EXPECT_FALSE(window->st.IsPlaying);
    t().Timer1Timer();
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("0,040")); // still counted with the normal step
    t().VideoStopButtonClick();
    EXPECT_EQ(ui().Timer1->interval(), 40);
    EXPECT_TRUE(ui().Timer1->isActive());
    EXPECT_EQ(ui().VideoStopButton->text(), QStringLiteral("Pause"));
}

TEST_F(TransportTest, SliderDraggedToTheEndsRunsEndAndBeginning)
{
    QObject::connect(&window->events(), &ProgramEvents::sectionEndReached, [this] { ++marksTransitions; });
    ASSERT_TRUE(openVideo("fall.avi", 80));
    ui().VideoTrackBar->setValue(80); // as a user's drag
    EXPECT_EQ(device->position(), 80);
    EXPECT_EQ(marksTransitions, 1);
    EXPECT_FALSE(ui().VideoStopButton->isEnabled());
    ui().VideoTrackBar->setValue(30);
    EXPECT_EQ(device->position(), 30);
    EXPECT_EQ(ui().VideoStopButton->text(), QStringLiteral("Weiter"));
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("1,200"));
    ui().VideoTrackBar->setValue(0);
    EXPECT_EQ(buttons().start, QStringLiteral("Start"));
    EXPECT_FALSE(ui().VideoBildzurueckButton->isEnabled());
}

TEST_F(TransportTest, PlayingWithSoundNeverOverrunsTheSectionEnd)
{
    QObject::connect(&window->events(), &ProgramEvents::sectionEndReached, [this] { ++marksTransitions; });
    ASSERT_TRUE(openVideo("film.mp4", 300));
    window->st.StartFrame = 100;
    window->st.StopFrame = 150;
    t().OeffnenVariableEinstellungen();
    t().VideoStartButtonClick();
    ASSERT_TRUE(device->isPlaying());
    EXPECT_EQ(device->playEnd(), 150);
    device->clearCalls();
    device->advance(7);
    t().Timer2Timer();
    EXPECT_EQ(window->st.CurrentFrame, 7);
    // Showing the position moves the slider but neither seeks nor restarts the playing device.
    EXPECT_FALSE(device->calls().join(' ').contains("seek"));
    EXPECT_FALSE(device->calls().join(' ').contains("play"));
    EXPECT_TRUE(device->isPlaying());
    // The poll finds the device past the section's last frame.
    device->advance(60);
    t().Timer2Timer();
    EXPECT_EQ(marksTransitions, 1);
    EXPECT_FALSE(ui().Timer2->isActive());
    EXPECT_EQ(window->st.CurrentFrame, 50);
    EXPECT_EQ(device->position(), 150);
}

TEST_F(TransportTest, DraggingWhilePlayingWithSoundPlaysOnToTheSectionEnd)
{
    ASSERT_TRUE(openVideo("film.mp4", 200));
    t().VideoStartButtonClick();
    device->clearCalls();
    ui().VideoTrackBar->setValue(120);
    EXPECT_EQ(device->position(), 120);
    EXPECT_TRUE(device->isPlaying());
    EXPECT_EQ(device->playEnd(), 200);
}

TEST_F(TransportTest, PictureIsSizedAndCentred)
{
    ASSERT_TRUE(openVideo("klein.avi", 10, {320, 240}));
    EXPECT_EQ(ui().BildschirmUnterlagePanel->geometry(), QRect(37, 30, 325, 245));
    EXPECT_EQ(ui().BildschirmPanel->size(), QSize(320, 240));

    window->Programmpunkt1Einstellungen();
    EXPECT_EQ(ui().BildschirmUnterlagePanel->geometry(), QRect(5, 6, 389, 293));
    ASSERT_TRUE(openVideo("gross.mp4", 10, {1920, 1080}));
    EXPECT_EQ(ui().BildschirmPanel->size(), QSize(384, 216));
    EXPECT_EQ(ui().BildschirmUnterlagePanel->geometry(), QRect(5, 42, 389, 221));
}

TEST_F(TransportTest, AFailedOpenShowsTheMessageAndLeavesTheViewEmpty)
{
    device->setOpenError("Invalid data found when processing input");
    EXPECT_FALSE(openVideo("kaputt.avi"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Kadro 2.0"));
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Das Video konnte nicht geladen werden!\r\nHilfe zu diesem Thema unter \"Fragen & Antworten\""));
    EXPECT_TRUE(device->fileName().isEmpty());
    EXPECT_FALSE(ui().VideoTrackBar->isEnabled());
    EXPECT_TRUE(ui().FrameAnzeige1Label->text().isEmpty());
}

TEST_F(TransportTest, CancelledPreparationLeavesTheViewEmptyWithoutAMessage)
{
    device->setOpenCancelled(true);
    EXPECT_FALSE(openVideo("lang.mp4", 5000));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_TRUE(device->fileName().isEmpty());
    EXPECT_FALSE(ui().VideoTrackBar->isEnabled());
    EXPECT_TRUE(ui().FrameAnzeige1Label->text().isEmpty());
}

TEST_F(TransportTest, TonToggleSwitchesTheWayOfRunning)
{
    ASSERT_TRUE(openVideo("fall.avi"));
    t().VideoStartButtonClick();
    ASSERT_TRUE(ui().Timer1->isActive());
    window->MenuDateiClick(); // opening the pop-up pauses
    t().HauptFensterPopupMenuTonClick();
    EXPECT_TRUE(window->st.SoundOn);
    EXPECT_TRUE(ui().HauptFensterPopupMenuTon->isChecked());
    EXPECT_TRUE(optionen->TonCheckBox->isChecked());
    EXPECT_TRUE(ui().Timer2->isActive()); // continues with sound
    EXPECT_TRUE(device->isPlaying());
    window->MenuDateiClick();
    t().HauptFensterPopupMenuTonClick();
    EXPECT_FALSE(window->st.SoundOn);
    EXPECT_FALSE(optionen->TonCheckBox->isChecked());
    EXPECT_TRUE(ui().Timer1->isActive());
}

TEST_F(TransportTest, ZeroTimeStepDoesNotSpin)
{
    optionen->dtEdit1->setText("0");
    ASSERT_TRUE(openVideo("fall.avi"));
    t().VideoStartButtonClick();
    EXPECT_GE(ui().Timer1->interval(), 10);
    EXPECT_EQ(ui().ZeitAnzeige1Label->text(), QStringLiteral("0,000"));
}

TEST_F(TransportTest, PausingShowsTheFrameTheDeviceStoppedOn)
{
    ASSERT_TRUE(openVideo("film.mp4", 200));
    t().VideoStartButtonClick();
    device->advance(4);
    t().Timer2Timer();
    device->advance(1); // shown after the last poll
    t().VideoStopButtonClick();
    EXPECT_EQ(window->st.CurrentFrame, 5);
    EXPECT_EQ(ui().FrameAnzeige2Label->text(), QStringLiteral("5"));
    EXPECT_EQ(device->position(), 5);
    EXPECT_EQ(ui().VideoStopButton->text(), QStringLiteral("Weiter"));
}
