#include "support/ShellFixture.h"

#include "app/HoverHints.h"
#include "app/MouseEvents.h"
#include "player/Transport.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

using namespace kadro;
using namespace kadro::test;

namespace {
// The hints as the user reads them in the bar.
const QString kStart = QStringLiteral("  startet das Video");
const QString kZurueck = QStringLiteral("  setzt das Video an den Anfang zurück");
const QString kPause = QStringLiteral("  stopt das Video");
const QString kWeiter = QStringLiteral("  läßt das Video weiterlaufen");
const QString kNaechste = QStringLiteral("  springt zum nächsten Abschnitt");
const QString kStartseite = QStringLiteral("  schließt das \"Video abspielen\"-Fenster und öffnet die Startseite");
} // namespace

class Hints : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        window->show();
    }
    void TearDown() override
    {
        for (QMenu* m : {window->ui.HauptFensterPopupMenu, window->ui.HauptFensterPopupMenu2,
                         window->ui.StartseitePopupMenu})
            m->hide();
        ShellFixture::TearDown();
    }
    QString bar() const { return window->ui.HinweisPanel->text(); }
    void setBar(const QString& text) { window->ui.HinweisPanel->setText(text); }
    // An AVI in the player view, running silently on Timer1.
    void startSilentVideo()
    {
        enterView(1);
        ASSERT_TRUE(openVideo("film.avi"));
        window->transport().VideoStartButtonClick();
        ASSERT_TRUE(window->ui.Timer1->isActive());
    }
    bool anyMainMenuOpen() const
    {
        return window->ui.HauptFensterPopupMenu->isVisible() || window->ui.HauptFensterPopupMenu2->isVisible();
    }
};

TEST_F(Hints, EveryButtonOfThePlayerAndTheAuthoringViewWritesItsHint)
{
    enterView(2); // no video: most buttons are greyed out, and still say what they do
    const auto& ui = window->ui;
    ASSERT_FALSE(ui.VideoBildvorButton->isEnabled());
    const QList<QPair<QWidget*, QString>> table = {
        {ui.VideoStartButton, kStart},
        {ui.VideoStopButton, kPause},
        {ui.VideoBildvorButton, QStringLiteral("  setzt das Video ein Bild weiter")},
        {ui.VideoBildzurueckButton, QStringLiteral("  setzt das Video ein Bild zurück")},
        {ui.VideoZeitlupeButton, QStringLiteral("  startet die Zeitlupe; die Geschwindigkeit kann im Menü "
                                                "\"Einstellungen\" geändert werden")},
        {ui.OeffnenButton, QStringLiteral("  hier kann eine Video-Datei geladen werden")},
        {ui.SpeichernButton, QStringLiteral("  hier kann die Präsentation gespeichert werden")},
        {ui.MarkeSetzenButton, QStringLiteral("  setzt eine Marke; alle markierten Optionen im Menü \"Einstellungen\" "
                                              "werden automatisch gesetzt")},
    };
    for (const auto& [control, hint] : table) {
        setBar(QString());
        // The move reaches the button itself; its panel hears it second and must not empty the bar.
        EXPECT_EQ(moveOver(control), control);
        EXPECT_EQ(bar(), hint) << control->objectName().toStdString();
    }

    window->StartseiteAn();
    enterView(1);
    ui.MarkeWechselnPanel->show();
    moveOver(ui.NaechsteMarkeButton);
    EXPECT_EQ(bar(), kNaechste);
    moveOver(ui.MarkeZurueckButton);
    EXPECT_EQ(bar(), QStringLiteral("  springt zum vorherigen Abschnitt"));
}

TEST_F(Hints, TheConditionalHintsFollowTheCaptions)
{
    enterView(1);
    ASSERT_TRUE(openVideo("film.avi"));
    QPushButton* start = window->ui.VideoStartButton;
    QPushButton* stop = window->ui.VideoStopButton;
    moveOver(start);
    EXPECT_EQ(bar(), kStart);

    start->click(); // the video runs: "Zurück" and "Pause"
    ASSERT_EQ(start->text(), QStringLiteral("Zurück"));
    moveOver(start);
    EXPECT_EQ(bar(), kZurueck);
    moveOver(stop);
    EXPECT_EQ(bar(), kPause);
    stop->click();
    ASSERT_EQ(stop->text(), QStringLiteral("Weiter"));
    moveOver(stop);
    EXPECT_EQ(bar(), kWeiter);

    start->click(); // back to the beginning: "Start" again
    ASSERT_EQ(start->text(), QStringLiteral("Start"));
    moveOver(start);
    EXPECT_EQ(bar(), kStart);

    // "weiter", "Startseite", and any other caption, which leaves the bar alone.
    QPushButton* next = window->ui.NaechsteMarkeButton;
    window->ui.MarkeWechselnPanel->show();
    next->setText(QStringLiteral("Startseite"));
    moveOver(next);
    EXPECT_EQ(bar(), kStartseite);
    next->setText(QStringLiteral("Weiter")); // capitals count
    moveOver(next);
    EXPECT_EQ(bar(), kStartseite);
    next->setText(QStringLiteral("weiter"));
    moveOver(next);
    EXPECT_EQ(bar(), kNaechste);
}

TEST_F(Hints, PlacesWithoutAHandlerKeepTheHintAndTheNamedAreasEmptyIt)
{
    enterView(1);
    ASSERT_TRUE(openVideo("film.avi"));
    const auto& ui = window->ui;
    moveOver(ui.VideoStartButton);
    ASSERT_EQ(bar(), kStart);
    // The slider, the frame display and its label, the hint line itself: no handler.
    ui.VideoTrackBar->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(ui.VideoTrackBar), static_cast<QWidget*>(ui.FrameAnzeige2Label),
                       static_cast<QWidget*>(ui.TimePanel), static_cast<QWidget*>(ui.HinweisPanel)}) {
        moveOver(w);
        EXPECT_EQ(bar(), kStart) << w->objectName().toStdString();
    }

    // The bare background of the transport panel, of the picture's frame and of both covers.
    const QList<QPair<QWidget*, QPoint>> player = {{ui.SteuerungsPanel, {395, 20}},
                                                   {ui.BildschirmRahmen, {2, 150}},
                                                   {ui.RichEditAbdeckungsPanel, {100, 100}},
                                                   {ui.BerechnenAbdeckungsPanel, {100, 100}}};
    for (const auto& [area, at] : player) {
        setBar(kStart);
        EXPECT_EQ(moveOver(area, at), area);
        EXPECT_TRUE(bar().isEmpty()) << area->objectName().toStdString();
    }

    // The measurement panel, uncovered, empties the bar also when clicked.
    ui.BerechnenAbdeckungsPanel->hide();
    setBar(kStart);
    moveOver(ui.BerechnenAnzeigePanel, {196, 226});
    EXPECT_TRUE(bar().isEmpty());
    setBar(kStart);
    click(ui.BerechnenAnzeigePanel, Qt::LeftButton, {196, 226});
    EXPECT_TRUE(bar().isEmpty());

    window->StartseiteAn();
    enterView(2);
    setBar(kStart);
    moveOver(ui.StringGridPanel, {692, 15});
    EXPECT_TRUE(bar().isEmpty());
}

TEST_F(Hints, MeasuringButtonsWriteTheirHintsAndTheirPanelEmptiesTheBar)
{
    enterView(1);
    const auto& ui = window->ui;
    // The panel as a calibration leaves it: uncovered, the button row shown.
    ui.BerechnenAbdeckungsPanel->hide();
    ui.KalibrierenPanel->hide();
    ui.MesswerteButtonPanel->show();
    const QList<QPair<QWidget*, QString>> table = {
        {ui.DiagrammButton, " hier kann das Diagramm eingeschaltet werden"},
        {ui.KalibrierungNeuButton, "  hier kann eine neue Kalibrierung vorgenommen werden"},
        {ui.MesswerteNeuButton, "  hier kann eine neue Messreihe aufgenommen werden"},
        {ui.MesswerteSpeichernButton, "  hier können die Messwerte als *.mes gespeichert werden"},
        {ui.VerfolgenButton, "  hier kann ein Objekt automatisch von Bild zu Bild verfolgt werden"},
        {ui.AuswertungSchliessenButton,
         "  hier kann das Auswertungsfenster geschlossen werden. Ein klick auf Datenaufnahme öffnet es wieder. "
         "Die Messwerte gehen nicht verloren."},
    };
    for (const auto& [control, shown] : table) {
        EXPECT_EQ(moveOver(control), control);
        EXPECT_EQ(bar(), shown) << control->objectName().toStdString();
        moveOver(ui.MesswerteButtonPanel, {ui.MesswerteButtonPanel->width() - 3, ui.MesswerteButtonPanel->height() - 3});
        EXPECT_TRUE(bar().isEmpty());
    }
    // While the tracking runs the button says "Stopp" and leaves the bar alone.
    ui.VerfolgenButton->setText(QStringLiteral("Stopp"));
    setBar(kStart);
    moveOver(ui.VerfolgenButton);
    EXPECT_EQ(bar(), kStart);
    // "Diagramm aus" lies where "Diagramm an" was.
    ui.DiagrammButton->hide();
    ui.DiagrammButton2->show();
    EXPECT_EQ(moveOver(ui.DiagrammButton2), ui.DiagrammButton2);
    EXPECT_EQ(bar(), QStringLiteral(" hier kann das Diagramm ausgeschaltet werden"));
}

TEST_F(Hints, OnlyARightClickOnACoveringPanelPausesAndOpensTheSecondMenuAtItsPlace)
{
    startSilentVideo();
    const auto& ui = window->ui;
    const QList<std::tuple<QWidget*, QPoint, QPoint>> panels = {
        {ui.BerechnenAbdeckungsPanel, QPoint(10, 20), QPoint(405, 305)},
        {ui.RichEditAbdeckungsPanel, QPoint(30, 7), QPoint(405, 2)},
    };
    for (const auto& [panel, at, offset] : panels) {
        // Left and middle clicks do nothing.
        click(panel, Qt::LeftButton, at);
        click(panel, Qt::MiddleButton, at);
        EXPECT_FALSE(anyMainMenuOpen());
        EXPECT_EQ(ui.VideoStopButton->text(), QStringLiteral("Pause"));
        ASSERT_TRUE(window->ui.Timer1->isActive());
        EXPECT_EQ(press(panel, Qt::RightButton, at), panel);
        EXPECT_TRUE(ui.HauptFensterPopupMenu2->isVisible()) << panel->objectName().toStdString();
        EXPECT_FALSE(ui.HauptFensterPopupMenu->isVisible());
        EXPECT_EQ(window->lastPopupPos(), window->pos() + at + offset);
        // The pause before a menu: stopped, remembered as running, "Weiter" continues it.
        EXPECT_FALSE(ui.Timer1->isActive());
        EXPECT_TRUE(window->st.IsPlaying);
        EXPECT_EQ(ui.VideoStopButton->text(), QStringLiteral("Weiter"));
        ui.HauptFensterPopupMenu2->hide();
        window->transport().VideoStopButtonClick();
    }
}

TEST_F(Hints, RightClicksOpenTheMainMenusOnlyOnTheirOwnAreas)
{
    startSilentVideo();
    const auto& ui = window->ui;
    // A button and the hint line are not the window's background.
    for (QWidget* w : {static_cast<QWidget*>(ui.VideoStartButton), static_cast<QWidget*>(ui.HinweisPanel),
                       static_cast<QWidget*>(ui.FrameAnzeige2Label)}) {
        press(w, Qt::RightButton);
        EXPECT_FALSE(anyMainMenuOpen()) << w->objectName().toStdString();
        EXPECT_TRUE(ui.Timer1->isActive());
    }
    // The bare transport panel opens the second menu at the pointer.
    press(ui.SteuerungsPanel, Qt::RightButton, {395, 20});
    EXPECT_TRUE(ui.HauptFensterPopupMenu2->isVisible());
    EXPECT_EQ(window->lastPopupPos(), ui.SteuerungsPanel->mapToGlobal(QPoint(395, 20)));
    ui.HauptFensterPopupMenu2->hide();
    // The bare window beside the memo panel opens the first.
    press(ui.client, Qt::RightButton, {795, 100});
    EXPECT_TRUE(ui.HauptFensterPopupMenu->isVisible());
    EXPECT_FALSE(ui.HauptFensterPopupMenu2->isVisible());
}
