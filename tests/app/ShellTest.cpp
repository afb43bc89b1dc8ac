#include "support/ShellFixture.h"

#include "app/StartPage.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QCoreApplication>
#include <QTimer>

using namespace kadro;
using kadro::test::ShellFixture;

namespace {
const QString kDirekt = QStringLiteral("Wollen Sie das Programm direkt beenden ohne zur Startseite zu gehen?");
const QString kSpeichern = QStringLiteral("Daten wurden geändert.\rÄnderungen speichern?");

struct MenuState {
    bool datei, einstellungen, titel, datenaufnahme, datenauswertung, beenden;
    bool operator==(const MenuState&) const = default;
};
} // namespace

class Shell : public ShellFixture {
protected:
    MenuState menus() const
    {
        const auto& ui = window->ui;
        return {ui.MenuDatei->menuAction()->isVisible(), ui.MenuEinstellungen->isVisible(), ui.MenuTitel->isVisible(),
                ui.MenuDatenaufnahme->isVisible(), ui.MenuDatenauswertung->menuAction()->isVisible(),
                ui.MenuBeenden->isVisible()};
    }
};

TEST_F(Shell, ViewsHaveTheirCaptionsAndMenus)
{
    EXPECT_TRUE(startPageShown());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kadro Startseite"));
    EXPECT_EQ(menus(), (MenuState{false, false, false, false, false, false}));

    enterView(1);
    EXPECT_FALSE(startPageShown());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kadro \"Video abspielen\" - Fenster"));
    EXPECT_EQ(menus(), (MenuState{true, true, false, true, true, true}));
    EXPECT_FALSE(window->ui.MenuDatenaufnahme->isEnabled());
    EXPECT_FALSE(window->ui.MenuTrendparabel->isEnabled());
    EXPECT_TRUE(window->ui.MenuKeine->isChecked());
    EXPECT_FALSE(window->ui.StringGridPanel->isVisibleTo(window.get()));
    EXPECT_EQ(window->ui.OeffnenButton->geometry(), QRect(275, 500, 85, 25));
    EXPECT_EQ(window->ui.BildNrPanel->geometry(), QRect(125, 410, 90, 115));
    EXPECT_TRUE(optionen->pageVisible("Diagramm"));
    EXPECT_FALSE(optionen->pageVisible("Optionen"));

    window->StartseiteAn();
    enterView(2);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kadro \"Präsentation erstellen\" Fenster"));
    EXPECT_EQ(menus(), (MenuState{true, true, true, false, false, true}));
    EXPECT_TRUE(window->ui.StringGridPanel->isVisibleTo(window.get()));
    EXPECT_EQ(window->ui.StringGrid->rowCount(), 1);
    EXPECT_EQ(window->ui.StringGrid->width(), 679);
    EXPECT_EQ(window->ui.OeffnenButton->geometry(), QRect(712, 502, 75, 25));
    EXPECT_TRUE(optionen->pageVisible("Optionen"));
    EXPECT_TRUE(optionen->pageVisible("Editor"));
    EXPECT_FALSE(optionen->pageVisible("Diagramm"));
}

TEST_F(Shell, WindowGeometryAndMenuCaptions)
{
    EXPECT_EQ(window->centralWidget()->size(), QSize(798, 554));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const auto& ui = window->ui;
    EXPECT_EQ(ui.MenuDatei->title(), QStringLiteral("&Datei"));
    EXPECT_EQ(ui.MenuOpen->text(), QStringLiteral("&Öffnen..."));
    EXPECT_EQ(ui.MenuDatenaufnahme->text(), QStringLiteral("D&atenaufnahme"));
    EXPECT_EQ(ui.MenuDatenauswertung->title(), QStringLiteral("Datenaus&wertung"));
    QStringList popup;
    for (QAction* a : ui.HauptFensterPopupMenu->actions())
        popup << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(popup, (QStringList{"&Öffnen...", "&Beenden...", "-", "&Start", "&Weiter", "Bild &vor", "Bild &zurück",
                                  "Zeitlu&pe", "-", "&Ton", "&Vollbild"}));
    EXPECT_EQ(ui.StartseitePopupMenu->actions().first()->text(), QStringLiteral("Programm beenden"));
    EXPECT_EQ(ui.Timer2->interval(), 40);
    EXPECT_EQ(ui.Timer9->interval(), 700);
    EXPECT_TRUE(ui.Timer9->isActive());
    EXPECT_FALSE(ui.Timer1->isActive());
}

TEST_F(Shell, ActivationCreatesTheMemoFolder)
{
    EXPECT_TRUE(QDir(path("Mem")).exists());
}

TEST_F(Shell, ClosingFromTheStartPageNeverAsks)
{
    window->st.DataSaved = false;
    EXPECT_TRUE(window->FormCloseQuery());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(Shell, AuthoringViewWithoutMarksAsksTheThreeWayQuestion)
{
    enterView(2);
    window->st.DataSaved = false;
    prompts.answers = {Button::Nein};
    EXPECT_FALSE(window->FormCloseQuery());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, kDirekt);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Bestätigung"));
    EXPECT_TRUE(startPageShown());

    enterView(2);
    prompts.answers = {Button::Ja};
    EXPECT_TRUE(window->FormCloseQuery());
}

TEST_F(Shell, AuthoringViewWithMarksAsksToSave)
{
    enterView(2);
    window->ui.StringGrid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("1")));
    window->st.DataSaved = false;
    int saves = 0;
    window->savePresentation = [&] { ++saves; }; // the user cancels the save dialog
    prompts.answers = {Button::Ja};
    EXPECT_FALSE(window->FormCloseQuery());
    EXPECT_EQ(prompts.shown.last().text, kSpeichern);
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(startPageShown()); // the cancelled save keeps the view

    window->savePresentation = [&] { window->st.DataSaved = true; };
    prompts.answers = {Button::Ja};
    EXPECT_FALSE(window->FormCloseQuery());
    EXPECT_TRUE(startPageShown());

    enterView(2);
    window->ui.StringGrid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("1")));
    window->st.DataSaved = false;
    prompts.answers = {Button::Nein};
    EXPECT_FALSE(window->FormCloseQuery());
    EXPECT_TRUE(startPageShown());
}

TEST_F(Shell, AbbrechenContinuesARunningVideoButLeavesAPausedOnePaused)
{
    enterView(1);
    ASSERT_TRUE(openVideo("film.mp4"));
    window->transport().VideoStartButtonClick(); // not AVI: runs with sound
    ASSERT_TRUE(window->st.IsPlaying);
    ASSERT_TRUE(device->isPlaying());

    prompts.answers = {Button::Abbrechen};
    EXPECT_FALSE(window->FormCloseQuery());
    EXPECT_EQ(prompts.shown.last().text, kDirekt);
    EXPECT_TRUE(device->isPlaying());
    EXPECT_TRUE(window->ui.Timer2->isActive());
    EXPECT_EQ(window->ui.VideoStopButton->text(), QStringLiteral("Pause"));

    window->transport().VideoStopButtonClick(); // pause
    ASSERT_FALSE(window->st.IsPlaying);
    prompts.answers = {Button::Abbrechen};
    EXPECT_FALSE(window->FormCloseQuery());
    EXPECT_FALSE(device->isPlaying());
    EXPECT_EQ(window->ui.VideoStopButton->text(), QStringLiteral("Weiter"));
}

TEST_F(Shell, AMenuPausesARunWithoutForgettingIt)
{
    enterView(1);
    ASSERT_TRUE(openVideo("film.avi"));
    window->transport().VideoStartButtonClick(); // AVI with sound off: silent frame steps
    ASSERT_TRUE(window->ui.Timer1->isActive());
    window->MenuDateiClick();
    EXPECT_FALSE(window->ui.Timer1->isActive());
    EXPECT_EQ(window->ui.VideoStopButton->text(), QStringLiteral("Weiter"));
    EXPECT_TRUE(window->st.IsPlaying);
    EXPECT_EQ(window->ui.HauptFensterPopupMenuWeiter->text(), QStringLiteral("&Weiter"));
    window->transport().VideoStopButtonClick(); // "Weiter" continues
    EXPECT_TRUE(window->ui.Timer1->isActive());
}

TEST_F(Shell, StartPageEntriesShowTheTitlesAndHoverHints)
{
    titel->setEntry(2, "C:\\Kurs\\Fall.vst", QStringLiteral("Freier Fall"));
    window->StartseiteAn();
    EXPECT_EQ(window->ui.StartseitePanel->vstLabel[1]->text(), QStringLiteral("Freier Fall"));
    EXPECT_EQ(window->ui.StartseitePanel->FAQLabel->text(), QStringLiteral("Fragen & Antworten"));
    window->ui.StartseitePanel->setHover(window->ui.StartseitePanel->BeendenLabel);
    EXPECT_EQ(window->ui.HinweisPanel->text(), QStringLiteral("  hier können Sie das Programm Kadro beenden"));
    window->ui.StartseitePanel->setHover(window->ui.StartseitePanel->vstLabel[0]);
    EXPECT_EQ(window->ui.HinweisPanel->text(), QStringLiteral("  hier können Sie das Programm Kadro beenden"));
}

TEST_F(Shell, AFailingHandlerShowsTheGeneralErrorBoxAndTheProgramGoesOn)
{
    enterView(1);
    ASSERT_TRUE(openVideo("film.avi"));
    optionen->dtEdit1->setText(QStringLiteral("4x"));
    window->ui.VideoStartButton->click();
    ASSERT_FALSE(prompts.shown.isEmpty());
    EXPECT_EQ(prompts.shown.last().title, QStringLiteral("Kadro 2.0"));
    EXPECT_EQ(prompts.shown.last().text, QStringLiteral("'4x' ist kein gültiger Integerwert"));
    optionen->dtEdit1->setText(QStringLiteral("40"));
    window->ui.VideoBildvorButton->setEnabled(true);
    window->ui.VideoBildvorButton->click();
    EXPECT_EQ(window->st.CurrentFrame, 1);
}

TEST_F(Shell, AFrameTheDeviceCannotDecodeIsToldAsAWarningAfterTheStep)
{
    enterView(1);
    emit device->decodingFailed(QStringLiteral("picture 17 decoded with errors"));
    EXPECT_TRUE(prompts.shown.isEmpty()); // not in the middle of the device's step
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Warning);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Ein Bild des Videos konnte nicht dekodiert werden und wird "
                                                    "übersprungen.\r\nDie Videodatei ist möglicherweise beschädigt."));
}
