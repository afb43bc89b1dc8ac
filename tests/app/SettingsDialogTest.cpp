#include "support/ShellFixture.h"

#include "app/MouseEvents.h"
#include "common/Cp1252.h"
#include "common/ProgramEvents.h"
#include "player/Transport.h"
#include "player/view/OverlayBox.h"
#include "settings/model/Settings.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

using namespace kadro;
using namespace kadro::test;

namespace {
const QString kTimeStepMessage = QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 10 und 9999 ein!");
const QString kSmallMessage = QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 1 und 99 ein!");

void key(QWidget* w, int k, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

// Types at the end of the field's text, as the user does after clicking behind it.
void typeAtEnd(QLineEdit* e, const QString& text)
{
    e->end(false);
    for (QChar ch : text)
        key(e, ch.unicode(), QString(ch));
}

// Replaces the field's text by typing.
void retype(QLineEdit* e, const QString& text)
{
    e->selectAll();
    key(e, Qt::Key_Delete);
    typeAtEnd(e, text);
}
} // namespace

class SettingsDialog : public ShellFixture {
protected:
    // The dialog from the menu "Einstellungen"; `inside` is what the user does while it is open.
    // Ending without a button counts as the close box.
    void useDialog(const std::function<void()>& inside)
    {
        inSettings(inside);
        EXPECT_FALSE(optionen->isOpen());
        EXPECT_FALSE(optionen->isVisible());
    }
    QString currentPage() const
    {
        return optionen->OptionenPageControl->tabText(optionen->OptionenPageControl->currentIndex());
    }
    void clickPage(const QString& caption)
    {
        QTabBar* bar = optionen->OptionenPageControl->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            if (bar->tabText(i) == caption) {
                click(bar, Qt::LeftButton, bar->tabRect(i).center());
                return;
            }
        ADD_FAILURE() << "no page " << caption.toStdString();
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto& s : prompts.shown) {
            EXPECT_EQ(s.title, QStringLiteral("Fehler"));
            EXPECT_EQ(s.offset, std::optional<QPoint>(QPoint(288, 320)));
            texts << s.text;
        }
        return texts;
    }
    QByteArray settingsFile() const
    {
        QByteArray bytes;
        readFileBytes(path("Optionen.opt"), &bytes);
        return bytes;
    }
    void writeSettings(const QString& normal, const QString& fontSize)
    {
        ASSERT_TRUE(writeFileSafely(
            path("Optionen.opt"),
            toCp1252(QStringLiteral("Einstellungen: Allgemein, Zeitschritt, Optionen, Markenübergang, Editorschrift, "
                                    "Diagrammformat\r\nAllgemein: Ton: 0  Cursor: P\r\nZeitschritt: Normal: %1  "
                                    "Zeitlupe: 200\r\nOptionen: 0 0 0 0 0 0 0 0\r\nMarkenübergang: M\r\n"
                                    "Schriftgröße: %2  Schriftart: *\r\n"
                                    "Achsenfarbe: 0  Messpunktfarbe: 0  Trendfarbe: 0\r\n")
                         .arg(normal, fontSize))));
    }
};

TEST_F(SettingsDialog, ATimeStepOutsideTheRangeIsRefusedOnAPageChangeAndOnOk)
{
    enterView(1);
    EXPECT_EQ(currentPage(), QStringLiteral("Allgemein"));
    useDialog([&] {
        retype(optionen->dtEdit1, "5");
        // The refused page is not even shown for a moment (behind the message).
        int pageChanges = 0;
        const auto counting = QObject::connect(optionen->OptionenPageControl, &QTabWidget::currentChanged,
                                               [&] { ++pageChanges; });
        clickPage("Diagramm");
        QObject::disconnect(counting);
        EXPECT_EQ(pageChanges, 0);
        EXPECT_EQ(currentPage(), QStringLiteral("Allgemein"));
        click(optionen->OKBitBtn);
        EXPECT_TRUE(optionen->isVisible());
        EXPECT_TRUE(optionen->isOpen());
        EXPECT_EQ(optionen->dtEdit1->text(), QStringLiteral("5"));
        EXPECT_FALSE(QFile::exists(path("Optionen.opt")));
        EXPECT_EQ(messages(), (QStringList{kTimeStepMessage, kTimeStepMessage}));

        retype(optionen->dtEdit1, "10");
        retype(optionen->dtEdit2, "9999");
        clickPage("Diagramm");
        EXPECT_EQ(currentPage(), QStringLiteral("Diagramm"));
        click(optionen->OKBitBtn);
    });
    EXPECT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(settingsFile().contains("Zeitschritt: Normal: 10  Zeitlupe: 9999\r\n"));

    // Four characters are all the field takes.
    useDialog([&] {
        retype(optionen->dtEdit1, "99999");
        EXPECT_EQ(optionen->dtEdit1->text(), QStringLiteral("9999"));
    });
}

TEST_F(SettingsDialog, FontSizeZeroRefusesEveryPageChangeUntilCorrected)
{
    enterView(2);
    useDialog([&] {
        clickPage("Editor");
        ASSERT_EQ(currentPage(), QStringLiteral("Editor"));
        retype(optionen->OptionenFontSizeEdit, "0");
        clickPage("Allgemein");
        clickPage("Optionen");
        EXPECT_EQ(currentPage(), QStringLiteral("Editor"));
        // Ctrl+Tab from the keyboard is refused too.
        QKeyEvent ctrlTab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
        QApplication::sendEvent(optionen->OptionenPageControl, &ctrlTab);
        EXPECT_EQ(currentPage(), QStringLiteral("Editor"));
        EXPECT_EQ(messages(), (QStringList{kSmallMessage, kSmallMessage, kSmallMessage}));
        retype(optionen->OptionenFontSizeEdit, "12");
        clickPage("Optionen");
        EXPECT_EQ(currentPage(), QStringLiteral("Optionen"));
    });
    EXPECT_EQ(prompts.shown.size(), 3);
}

TEST_F(SettingsDialog, FaultsInATimeStepAndInTheSmallNumbersGiveTwoMessagesInARow)
{
    enterView(2);
    useDialog([&] {
        retype(optionen->dtEdit2, "2x");
        retype(optionen->PauseEdit, "0"); // on a page that is not shown
        click(optionen->OKBitBtn);
        EXPECT_EQ(messages(), (QStringList{kTimeStepMessage, kSmallMessage}));
        EXPECT_TRUE(optionen->isOpen());
    });
    // The close box then puts everything back.
    EXPECT_EQ(optionen->dtEdit2->text(), QStringLiteral("200"));
    EXPECT_EQ(optionen->PauseEdit->text(), QStringLiteral("10"));
    EXPECT_FALSE(QFile::exists(path("Optionen.opt")));
}

TEST_F(SettingsDialog, CancelAndTheCloseBoxBringEveryControlBack)
{
    enterView(1);
    const Settings before = optionen->settings();
    auto changeEverything = [&] {
        optionen->TrendRadioGroup->button(4)->click();
        optionen->AchsenRadioGroup->button(2)->click();
        optionen->MesspunktRadioGroup->button(5)->click();
        optionen->TonCheckBox->click();
        optionen->CursorKreuzRadioButton->click();
        retype(optionen->dtEdit2, "300");
        optionen->mitPauseRadioButton->click();
        optionen->EinzelbildCheckBox->click();
        optionen->OptionenFontBox->setCurrentText(QStringLiteral("Andere Schrift"));
        ASSERT_NE(optionen->settings(), before);
    };
    useDialog([&] {
        changeEverything();
        click(optionen->AbbrechenBitBtn);
    });
    EXPECT_EQ(optionen->settings(), before);
    EXPECT_EQ(optionen->TrendRadioGroup->checkedId(), 0);
    useDialog([&] {
        changeEverything();
        optionen->close();
    });
    EXPECT_EQ(optionen->settings(), before);
    EXPECT_FALSE(window->st.SoundOn);
    EXPECT_FALSE(QFile::exists(path("Optionen.opt")));
}

TEST_F(SettingsDialog, OkRedrawsTheEvaluationBeforeTheChecksAndWritesAChangedColour)
{
    enterView(1);
    QStringList log;
    QObject::connect(&window->events(), &ProgramEvents::refreshDiagramRequested, [&] {
        log << QStringLiteral("Diagramm nach %1 Meldungen").arg(prompts.shown.size());
    });
    QObject::connect(&window->events(), &ProgramEvents::refreshTrendRequested, [&] {
        log << QStringLiteral("Trend nach %1 Meldungen").arg(prompts.shown.size());
    });
    useDialog([&] {
        clickPage("Diagramm");
        optionen->TrendRadioGroup->button(4)->click();
        retype(optionen->dtEdit1, "5");
        click(optionen->OKBitBtn);
        EXPECT_EQ(log, (QStringList{"Diagramm nach 0 Meldungen", "Trend nach 0 Meldungen"}));
        retype(optionen->dtEdit1, "40");
        click(optionen->OKBitBtn);
    });
    EXPECT_EQ(log.size(), 4);
    EXPECT_TRUE(settingsFile().endsWith("Achsenfarbe: 0  Messpunktfarbe: 0  Trendfarbe: 4\r\n"));
    // Cancel redraws nothing.
    useDialog([&] { click(optionen->AbbrechenBitBtn); });
    EXPECT_EQ(log.size(), 4);
}

TEST_F(SettingsDialog, OkInTheAuthoringViewClearsDataSavedOnlyForAChangedTimeStep)
{
    enterView(2);
    useDialog([&] {
        optionen->TonCheckBox->click();
        retype(optionen->dtEdit1, "40"); // typed again, but the same
        click(optionen->OKBitBtn);
    });
    EXPECT_TRUE(window->st.DataSaved);
    useDialog([&] {
        retype(optionen->dtEdit2, "250");
        click(optionen->AbbrechenBitBtn);
    });
    EXPECT_TRUE(window->st.DataSaved);
    useDialog([&] {
        retype(optionen->dtEdit2, "250");
        click(optionen->OKBitBtn);
    });
    EXPECT_FALSE(window->st.DataSaved);
}

TEST_F(SettingsDialog, ValuesFromTheFileAreNotCutToTheFieldsLengthsButRefusedAtOk)
{
    writeSettings("40000", "100");
    enterView(2);
    EXPECT_EQ(optionen->dtEdit1->text(), QStringLiteral("40000"));
    EXPECT_EQ(optionen->OptionenFontSizeEdit->text(), QStringLiteral("100"));
    // The view set-up pushes the editor font into the memo editor, whose size check refuses 100.
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, kSmallMessage);
    EXPECT_EQ(prompts.shown[0].offset, std::optional<QPoint>(QPoint(480, 100)));
    prompts.shown.clear();
    const QByteArray file = settingsFile();
    useDialog([&] {
        click(optionen->OKBitBtn);
        EXPECT_EQ(messages(), (QStringList{kTimeStepMessage, kSmallMessage}));
        EXPECT_TRUE(optionen->isOpen());
        // The over-long text can be shortened but not lengthened; once it fits, four is the limit.
        typeAtEnd(optionen->dtEdit1, "7");
        EXPECT_EQ(optionen->dtEdit1->text(), QStringLiteral("40000"));
        key(optionen->dtEdit1, Qt::Key_Backspace);
        typeAtEnd(optionen->dtEdit1, "5");
        EXPECT_EQ(optionen->dtEdit1->text(), QStringLiteral("4000"));
    });
    EXPECT_EQ(settingsFile(), file);
}

TEST_F(SettingsDialog, OkPushesCursorSoundAndTheEditorFontAndTheFontListIsFilledAfresh)
{
    enterView(2);
    useDialog([&] {
        optionen->CursorKreuzRadioButton->click();
        optionen->TonCheckBox->click();
        optionen->OptionenFontBox->setCurrentText(QStringLiteral("DejaVu Serif"));
        retype(optionen->OptionenFontSizeEdit, "13");
        optionen->FontSizeUpDown->stepUp(); // the arrows step the number in the field
        EXPECT_EQ(optionen->OptionenFontSizeEdit->text(), QStringLiteral("14"));
        click(optionen->OKBitBtn);
    });
    EXPECT_EQ(window->ui.PaintBox1->cursor().shape(), Qt::CrossCursor);
    EXPECT_TRUE(window->st.SoundOn);
    EXPECT_TRUE(window->ui.HauptFensterPopupMenuTon->isChecked());
    EXPECT_EQ(window->ui.RichEdit->fontFamily(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(window->ui.RichEdit->fontPointSize(), 14.0);
    EXPECT_TRUE(settingsFile().contains(toCp1252(QStringLiteral("Schriftgröße: 14  Schriftart: DejaVu Serif*\r\n"))));

    // The font list is filled afresh at the next opening; the name stays.
    useDialog([] {});
    EXPECT_EQ(optionen->OptionenFontBox->count(), QFontDatabase::families().size());
    EXPECT_EQ(optionen->OptionenFontBox->currentText(), QStringLiteral("DejaVu Serif"));
}

TEST_F(SettingsDialog, ClosingShowsTheTimeStepsOfALoadedVideoAndResumesItsRun)
{
    enterView(1);
    ASSERT_TRUE(openVideo("film.avi")); // 100 frames: a section of 99 steps
    window->transport().VideoStartButtonClick();
    ASSERT_TRUE(window->ui.Timer1->isActive());
    useDialog([&] {
        EXPECT_FALSE(window->ui.Timer1->isActive());
        retype(optionen->dtEdit1, "20");
        click(optionen->OKBitBtn);
    });
    EXPECT_EQ(window->ui.ZeitschrittNormalLabel->text(), QStringLiteral("20"));
    EXPECT_EQ(window->ui.ZeitAnzeige1Label->text(), QStringLiteral("1,980"));
    EXPECT_TRUE(window->ui.Timer1->isActive());
    EXPECT_EQ(window->ui.Timer1->interval(), 20);
    EXPECT_EQ(window->ui.VideoStopButton->text(), QStringLiteral("Pause"));

    useDialog([&] { click(optionen->AbbrechenBitBtn); });
    EXPECT_TRUE(window->ui.Timer1->isActive());
}

TEST_F(SettingsDialog, LayingOutAViewChangesThePageWithoutChecks)
{
    enterView(2);
    useDialog([&] {
        clickPage("Editor");
        click(optionen->OKBitBtn);
    });
    ASSERT_EQ(currentPage(), QStringLiteral("Editor"));
    writeSettings("5", "10"); // read at the next set-up, refused only at OK
    window->StartseiteAn();
    enterView(1);
    EXPECT_EQ(currentPage(), QStringLiteral("Allgemein"));
    EXPECT_EQ(optionen->dtEdit1->text(), QStringLiteral("5"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

// Optionen.opt of the working directory, every value set away from the initial ones, read into
// the controls; without the file the initial values stay. Saved, it reads back as the controls.
TEST_F(SettingsDialog, TheFileOfTheWorkingDirectoryFillsTheControlsAndIsWrittenBack)
{
    optionen->OptionenEinstellungenOeffnen(); // no file: the initial values stay
    EXPECT_EQ(optionen->settings(), Settings{});
    EXPECT_TRUE(optionen->CursorPfeilRadioButton->isChecked());
    EXPECT_TRUE(optionen->vonHandRadioButton->isChecked());

    ASSERT_TRUE(writeFileSafely(path("Optionen.opt"),
                                toCp1252(QStringLiteral(
                                    "Einstellungen: Allgemein, Zeitschritt, Optionen, Markenübergang, Editorschrift, "
                                    "Diagrammformat\r\nAllgemein: Ton: 1  Cursor: K\r\nZeitschritt: Normal: 0040  "
                                    "Zeitlupe: 250\r\nOptionen: 1 0 1 0 1 0 1 1\r\nMarkenübergang: A7\r\n"
                                    "Schriftgröße: 12  Schriftart: Times New Roman*\r\n"
                                    "Achsenfarbe: 2  Messpunktfarbe: 3  Trendfarbe: 4\r\n"))));
    optionen->OptionenEinstellungenOeffnen();
    EXPECT_TRUE(optionen->TonCheckBox->isChecked());
    EXPECT_TRUE(optionen->CursorKreuzRadioButton->isChecked());
    EXPECT_EQ(optionen->dtEdit1->text(), QStringLiteral("40"));
    EXPECT_TRUE(optionen->mitPauseRadioButton->isChecked());
    EXPECT_EQ(optionen->PauseEdit->text(), QStringLiteral("7"));
    EXPECT_EQ(optionen->OptionenFontBox->currentText(), QStringLiteral("Times New Roman"));

    optionen->dtEdit1->setText("25");
    optionen->OptionenEinstellungenSpeichern();
    Settings back;
    readSettingsFile(path("Optionen.opt"), back);
    EXPECT_EQ(back.dtNormal, QStringLiteral("25"));
    EXPECT_EQ(back, optionen->settings());
}
