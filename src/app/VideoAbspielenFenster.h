#pragma once
#include "common/MainState.h"
#include "app/MainWindowUi.h"
#include "authoring/model/Mark.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QLabel;

namespace kadro {

class Prompts;
class VideoDevice;
class TInfofenster;
class TOptionenFenster;
class TMarkenUebergangFenster;
class TTitelFenster;
class TFAQFenster;
class Transport;
class PresentationFile;
class SectionPlayback;
class MarkTableController;
class StartPageEntries;

// The main window: the start page, the player view and the authoring view. It owns the
// program-wide state and composes the subsystems, whose handlers live in their own classes.
class TVideoAbspielenFenster : public QMainWindow {
    Q_OBJECT
public:
    TVideoAbspielenFenster(Prompts& prompts, std::unique_ptr<VideoDevice> device, QWidget* parent = nullptr);
    ~TVideoAbspielenFenster() override;

    // Connects the subsystems once the dialogs exist.
    void compose();

    // The dialogs are created after the main window, once, and handed over here.
    void setDialogs(TInfofenster* info, TOptionenFenster* optionen, TMarkenUebergangFenster* uebergang,
                    TTitelFenster* titel, TFAQFenster* faq);

    MainWindowUi ui;
    MainState st;
    MarkTable marks; // the marks of the presentation read last

    Prompts& prompts() { return m_prompts; }
    VideoDevice& MediaPlayer1() { return *m_device; }
    Transport& transport() { return *m_transport; }
    PresentationFile& presentationFile() { return *m_presentationFile; }
    SectionPlayback& sectionPlayback() { return *m_sectionPlayback; }
    MarkTableController& markTable() { return *m_markTable; }
    StartPageEntries& startPageEntries() { return *m_startPageEntries; }
    TOptionenFenster* OptionenFenster() const { return m_optionen; }
    TTitelFenster* TitelFenster() const { return m_titel; }
    TInfofenster* Infofenster() const { return m_info; }
    TFAQFenster* FAQFenster() const { return m_faq; }
    TMarkenUebergangFenster* MarkenUebergangFenster() const { return m_uebergang; }

    // A video counts as loaded while the device has a file name.
    bool videoLoaded() const;

    // Shell handlers.
    void FormActivate();
    void StartseiteAn();
    void StartseiteAus();
    void Programmpunkt1Einstellungen();
    void Programmpunkt2Einstellungen();
    void MenuDateiClick();
    void RechteMausPopup();
    bool FormCloseQuery();
    bool MessageZurueckZurStartseite();
    void MenuBeendenClick();
    void MenuInfoClick();
    void MenuEinstellungenClick();
    void MenuTitelClick();
    void VideoAbspielenLabelClick(QLabel* clicked);
    void FAQLabelClick();

    // Saving from the close question; provided by the authoring and measuring subsystems.
    std::function<void()> savePresentation;
    std::function<void()> saveMeasurements;
    // Opening a video or presentation ("Öffnen" button and menu items).
    std::function<void()> openCommand;

    // The point where a right-click pop-up opens: the pointer's screen position.
    QPoint lastPopupPos() const { return m_lastPopupPos; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireShell();
    void continueRunIfPlaying();
    void askToSaveBeforeLeaving(const QString& question, const std::function<void()>& save);
    void stopForClosing();
    void openPopup(QMenu* menu, const QPoint& globalPos, bool pause);

    Prompts& m_prompts;
    std::unique_ptr<VideoDevice> m_device;
    std::unique_ptr<Transport> m_transport;
    std::unique_ptr<PresentationFile> m_presentationFile;
    std::unique_ptr<SectionPlayback> m_sectionPlayback;
    MarkTableController* m_markTable = nullptr; // child object of the window
    std::unique_ptr<StartPageEntries> m_startPageEntries;
    TInfofenster* m_info = nullptr;
    TOptionenFenster* m_optionen = nullptr;
    TMarkenUebergangFenster* m_uebergang = nullptr;
    TTitelFenster* m_titel = nullptr;
    TFAQFenster* m_faq = nullptr;
    bool m_activatedOnce = false;
    bool m_faqHadFocus = false;
    QPoint m_lastPopupPos;
};

} // namespace kadro
