#pragma once
#include "app/MainWindowUi.h"
#include "authoring/model/Mark.h"
#include "common/Context.h"
#include "common/MainState.h"
#include "common/ProgramEvents.h"
#include "common/ShellRoutines.h"

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
class MemoEditor;
class MeasureController;
class EvaluationController;
class BigPictureController;
class StartPageEntries;
class TimeBaseController;
class TimeBasePreferences;
class HoverHints;
class TestRun;

// The main window: the start page, the player view and the authoring view. It owns the
// program-wide state and composes the subsystems: each controller gets the context (state,
// device, prompts, the live settings, the marks, the program's events and this window's routines)
// and its own group of widgets, never the window itself.
class TVideoAbspielenFenster : public QMainWindow, private ShellRoutines {
    Q_OBJECT
public:
    TVideoAbspielenFenster(Prompts& prompts, std::unique_ptr<VideoDevice> device, QWidget* parent = nullptr);
    ~TVideoAbspielenFenster() override;

    // The dialogs are created after the main window, once, and handed over here.
    void setDialogs(TInfofenster* info, TOptionenFenster* optionen, TMarkenUebergangFenster* uebergang,
                    TTitelFenster* titel, TFAQFenster* faq);
    // Creates the subsystems' controllers once the dialogs exist and connects them.
    void compose();

    MainWindowUi ui;
    MainState st;
    MarkTable marks; // the marks of the presentation read last

    Prompts& prompts() { return m_prompts; }
    VideoDevice& MediaPlayer1() { return *m_device; }
    ProgramEvents& events() { return m_events; }
    // What the controllers get (valid after compose()).
    const Context& context() const { return *m_context; }
    Transport& transport() { return *m_transport; }
    TimeBaseController& timeBase() { return *m_timeBase; }
    PresentationFile& presentationFile() { return *m_presentationFile; }
    SectionPlayback& sectionPlayback() { return *m_sectionPlayback; }
    MarkTableController& markTable() { return *m_markTable; }
    MemoEditor& memoEditor() { return *m_memo; }
    MeasureController& measure() { return *m_measure; }
    BigPictureController& bigPicture() { return *m_bigPicture; }
    EvaluationController& evaluation() { return *m_evaluation; }
    TestRun& testRun() { return *m_testRun; }
    StartPageEntries& startPageEntries() { return *m_startPageEntries; }
    // The hint line's hints; the measuring buttons register theirs here.
    HoverHints& hoverHints() { return *m_hoverHints; }
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
    void StartseiteAus() override;
    void Programmpunkt1Einstellungen() override;
    void Programmpunkt2Einstellungen() override;
    void MenuDateiClick() override;
    void RechteMausPopup();
    bool FormCloseQuery();
    bool MessageZurueckZurStartseite();
    void MenuBeendenClick();
    void MenuInfoClick();
    void MenuEinstellungenClick();
    void MenuTitelClick();
    void VideoAbspielenLabelClick(QLabel* clicked);
    void FAQLabelClick();

    // Saving from the close question: the mark table's and the measurements' save commands.
    std::function<void()> savePresentation;
    std::function<void()> saveMeasurements;

    // The point where a right-click pop-up opens: the pointer's screen position.
    QPoint lastPopupPos() const { return m_lastPopupPos; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ShellRoutines (the rest are the shell handlers above).
    void closeMainWindow() override { close(); }
    QPoint mainWindowPos() const override { return pos(); }
    void lockForTestRun(bool locked) override;
    UnsavedWorkAnswer askAboutUnsavedWork() override;

    // Lays out a view afresh: the authoring view's steps, then the player view's if area is 1.
    void setUpView(int area);
    void wireShell();
    void wireDialogs();
    void continueRunIfPlaying();
    // Focus came back from the questions-and-answers window.
    void backFromFaq();
    void stopForClosing();
    void openPopup(QMenu* menu, const QPoint& globalPos, bool pause);
    bool measuringShown() const;
    void openCommand();

    Prompts& m_prompts;
    std::unique_ptr<VideoDevice> m_device;
    ProgramEvents m_events;
    std::unique_ptr<Context> m_context;
    std::unique_ptr<TimeBasePreferences> m_timeBasePreferences;
    std::unique_ptr<TimeBaseController> m_timeBase;
    std::unique_ptr<Transport> m_transport;
    std::unique_ptr<SectionPlayback> m_sectionPlayback;
    std::unique_ptr<MemoEditor> m_memo;
    std::unique_ptr<MarkTableController> m_markTable;
    std::unique_ptr<MeasureController> m_measure;
    std::unique_ptr<EvaluationController> m_evaluation;
    std::unique_ptr<BigPictureController> m_bigPicture;
    std::unique_ptr<PresentationFile> m_presentationFile;
    std::unique_ptr<TestRun> m_testRun;
    std::unique_ptr<StartPageEntries> m_startPageEntries;
    HoverHints* m_hoverHints = nullptr;
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
