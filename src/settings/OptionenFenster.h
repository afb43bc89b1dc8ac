#pragma once
#include "common/SettingsStore.h"
#include "settings/model/Settings.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QButtonGroup;
class QWidget;
class QPushButton;

namespace kadro {

struct MainState;
class Prompts;
class ProgramEvents;

// The settings dialog "Einstellungen". Its controls are the live store of the settings:
// every other part of the program reads the current values from here when it needs them.
class TOptionenFenster : public QDialog, public SettingsStore {
    Q_OBJECT
public:
    explicit TOptionenFenster(QWidget* parent = nullptr);

    // The values the controls hold now, and putting values into them.
    Settings settings() const;
    void setSettings(const Settings& settings);

    // The time base's controls as the dialog opens: the preference and, for a loaded plain video,
    // the rate it was recorded at (0: none).
    void setTimeBase(bool fromVideo, bool captureApplies, double captureRate);
    // The rate typed for the recording: 0 for none, nullopt when it is no number from 1 on.
    std::optional<double> captureRate() const;
    static inline const QString kCaptureRateMessage =
        QStringLiteral("Bitte geben sie die Bildrate der Aufnahme\rals Zahl ab 1 ein (oder lassen sie das Feld leer)!");

    // SettingsStore: the controls are the store.
    Settings current() const override { return settings(); }
    void reload() override { OptionenEinstellungenOeffnen(); }
    void setTimeSteps(const QString& normal, const QString& slow) override;
    void setSound(bool on) override;

    // Reads Optionen.opt (in the working directory) into the controls; silent on failure.
    void OptionenEinstellungenOeffnen();
    // Writes the controls' values to Optionen.opt; silent on failure.
    void OptionenEinstellungenSpeichern();

    // What the dialog works with besides its controls: the program state (DataSaved, IsPlaying,
    // ActiveArea), the prompts and the program's events (OK asks for the evaluation's redraw).
    void attach(MainState& st, Prompts& prompts, ProgramEvents& events);

    // Opening (snapshot, font list), the two checks, leaving a page, OK, closing.
    void FormActivate();
    void FontsAnzeigen();
    bool checksPass();
    bool OptionenPageControlChanging();
    void OKBitBtnClick();
    // Closing with OK (checks, pushes, writing) or Cancel (every control back as it was when
    // the dialog opened). Returns false when a failed check keeps the dialog open.
    bool FormClose(int result);
    // Every way of closing (OK, Abbrechen, the close box, Escape) runs FormClose.
    void done(int result) override;
    // The whole modal use from the menu.
    void execute();
    bool isOpen() const { return m_open; }

    // Which pages the views offer: player view (Diagramm) or authoring view (Optionen, Editor).
    void showPlayerPages();
    void showAuthoringPages();
    bool pageVisible(const QString& caption) const;

    QTabWidget* OptionenPageControl = nullptr;
    QWidget* AllgemeinRegister = nullptr;
    QWidget* SteuerelementeRegister = nullptr;
    QWidget* EditorRegister = nullptr;
    QWidget* DiagrammRegister = nullptr;

    QCheckBox* TonCheckBox = nullptr;
    QRadioButton* CursorPfeilRadioButton = nullptr;
    QRadioButton* CursorKreuzRadioButton = nullptr;
    QLineEdit* dtEdit1 = nullptr;
    QLineEdit* dtEdit2 = nullptr;
    // The time base ("Zeitbasis"): the time from the video, and the rate the loaded video was
    // recorded at.
    QCheckBox* ZeitAusVideoCheckBox = nullptr;
    QLineEdit* AufnahmeRateEdit = nullptr;
    // The automatic tracking ("Verfolgung"): the object's box and the search area, in pixels.
    QSpinBox* ObjektGroesseSpinBox = nullptr;
    QSpinBox* SuchbereichSpinBox = nullptr;

    QCheckBox* StartStopCheckBox = nullptr;
    QCheckBox* EinzelbildCheckBox = nullptr;
    QCheckBox* ZeitlupeCheckBox = nullptr;
    QCheckBox* SchiebereglerCheckBox = nullptr;
    QCheckBox* FrameAnzeigeCheckBox = nullptr;
    QCheckBox* ZeitAnzeigeCheckBox = nullptr;
    QCheckBox* AutostartCheckBox = nullptr;
    QCheckBox* AuswertungCheckBox = nullptr;
    QRadioButton* vonHandRadioButton = nullptr;
    QRadioButton* ohnePauseRadioButton = nullptr;
    QRadioButton* mitPauseRadioButton = nullptr;
    QLineEdit* PauseEdit = nullptr;

    QComboBox* OptionenFontBox = nullptr;
    QLineEdit* OptionenFontSizeEdit = nullptr;
    QSpinBox* FontSizeUpDown = nullptr;

    QButtonGroup* AchsenRadioGroup = nullptr;
    QButtonGroup* MesspunktRadioGroup = nullptr;
    QButtonGroup* TrendRadioGroup = nullptr;

    QPushButton* OKBitBtn = nullptr;
    QPushButton* AbbrechenBitBtn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // OK with passing checks: the sound switch, the cursor and the editor font go into the
    // main window.
    void settingsPushed(const Settings& settings);
    // OK with passing checks: the time base's preference and the loaded video's recording rate
    // (0: none).
    void timeBasePushed(bool fromVideo, double captureRate);
    // The dialog closed (either way): the time displays of a loaded video show the time steps.
    void timeDisplaysToRefresh();
    // The dialog closed (either way) and the video ran before the menu: it runs on.
    void runToContinue();

private:
    QCheckBox* optionBox(int index) const;
    // Puts a text into a field as it is, however long: the field's length limit holds for typing only.
    static void setFieldText(QLineEdit* edit, const QString& text);
    static void limitTyping(QLineEdit* edit, int maxLength);
    void showPage(QWidget* page, bool visible);
    MainState* m_st = nullptr;
    Prompts* m_prompts = nullptr;
    ProgramEvents* m_events = nullptr;
    Settings m_snapshot;
    struct TimeBaseSnapshot {
        bool fromVideo = true;
        QString captureText;
    } m_timeBaseSnapshot;
    bool m_captureApplies = false;
    QWidget* trackingGroup = nullptr;
    int m_currentPage = 0;
    bool m_open = false;
    // The page change needs no (further) check: the view set-up changes it, or a click on a tab
    // was checked already.
    bool m_pageChangeChecked = false;
    QWidget* makeColourGroup(const QString& title, QButtonGroup** group);
};

} // namespace kadro
