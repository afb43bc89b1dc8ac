#include "app/VideoAbspielenFenster.h"

#include "app/FAQFenster.h"
#include "app/HoverHints.h"
#include "app/Infofenster.h"
#include "app/StartPage.h"
#include "app/StartPageEntries.h"
#include "authoring/MarkTableController.h"
#include "player/BigPicture.h"
#include "player/FullScreenView.h"
#include "authoring/MemoEditor.h"
#include "authoring/PresentationFile.h"
#include "authoring/TestRun.h"
#include "authoring/model/VstFile.h"
#include "common/Cp1252.h"
#include "common/ErrorReport.h"
#include "common/Prompts.h"
#include "evaluation/EvaluationController.h"
#include "measure/MeasureController.h"
#include "measure/model/MeasureTexts.h"
#include "player/MarkenUebergangFenster.h"
#include "common/TimeBasePreferences.h"
#include "player/SectionPlayback.h"
#include "player/TimeBaseController.h"
#include "player/Transport.h"
#include "player/view/OverlayBox.h"
#include "player/view/PictureSurface.h"
#include "player/video/VideoDevice.h"
#include "settings/OptionenFenster.h"
#include "settings/TitelFenster.h"

#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <algorithm>

namespace kadro {

TVideoAbspielenFenster::TVideoAbspielenFenster(Prompts& prompts, std::unique_ptr<VideoDevice> device, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_device(std::move(device))
{
    setObjectName(QStringLiteral("VideoAbspielenFenster"));
    setWindowTitle(QStringLiteral("Kadro"));
    // "MS Sans Serif" 9 pt; where that bitmap font is missing its substitute is drawn a point
    // smaller so the captions fit their buttons as designed.
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(QFontInfo(f).family() == QLatin1String("MS Sans Serif") ? 9 : 8);
    setFont(f);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(798, 554);
    setCentralWidget(client);
    ui.build(this, client, menuBar());
    ui.BildschirmPanel->attachTo(*m_device);

    // Fixed client area, not resizable; the window grows by the menu bar where it has items.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - rect().center());
    }
}

TVideoAbspielenFenster::~TVideoAbspielenFenster()
{
    // The controllers watch widgets of this window; they go first, while the window is whole.
    m_startPageEntries.reset();
    m_testRun.reset();
    m_presentationFile.reset();
    m_bigPicture.reset();
    m_evaluation.reset();
    m_measure.reset();
    m_markTable.reset();
    m_memo.reset();
    m_sectionPlayback.reset();
    m_transport.reset();
    m_timeBase.reset();
}

void TVideoAbspielenFenster::setDialogs(TInfofenster* info, TOptionenFenster* optionen,
                                        TMarkenUebergangFenster* uebergang, TTitelFenster* titel, TFAQFenster* faq)
{
    m_info = info;
    m_optionen = optionen;
    m_uebergang = uebergang;
    m_titel = titel;
    m_faq = faq;
    if (m_info)
        m_info->attach(st);
    if (m_optionen)
        m_optionen->attach(st, m_prompts, m_events);
    if (m_titel)
        m_titel->attach(st, m_prompts);
}

void TVideoAbspielenFenster::compose()
{
    Q_ASSERT(m_optionen); // the settings dialog is the store of the settings
    m_context.reset(new Context{st, m_prompts, *m_device, *m_optionen, marks, m_events, *this});
    const Context& c = *m_context;

    // Player, with the time base the times are computed with.
    m_timeBasePreferences = std::make_unique<TimeBasePreferences>(TimeBasePreferences::configuredPath());
    m_timeBase = std::make_unique<TimeBaseController>(c, ui.ZeitbasisLabel, *m_timeBasePreferences);
    m_transport = std::make_unique<Transport>(c, ui, ui, *m_timeBase);
    m_sectionPlayback = std::make_unique<SectionPlayback>(c, ui, *m_transport);
    // Authoring.
    m_memo = std::make_unique<MemoEditor>(c, ui);
    m_markTable = std::make_unique<MarkTableController>(c, ui, *m_transport, *m_memo, m_uebergang);
    // Measuring and evaluation.
    m_measure = std::make_unique<MeasureController>(c, ui, ui, *m_transport);
    // The picture made larger: full screen and the magnifier.
    m_bigPicture = std::make_unique<BigPictureController>(c, ui, ui, ui, ui.RichEdit, ui.RichEditAbdeckungsPanel,
                                                          ui.StartseitePanel, ui.client, this);
    m_bigPicture->doubleClickOpens = [this] { return !measuringShown(); };
    m_bigPicture->magnifierOffered = [this] { return measuringShown(); };
    m_bigPicture->fullScreen().openMenu = [this](const QPoint& at) { openPopup(ui.HauptFensterPopupMenu, at, true); };
    m_evaluation = std::make_unique<EvaluationController>(c, ui, ui, *m_transport, m_measure->series(),
                                                          m_measure->calibration());
    // The evaluation draws the points: measuring tells it when they or the calibration change.
    EvaluationController* evaluation = m_evaluation.get();
    connect(m_measure.get(), &MeasureController::seriesUpdated, evaluation,
            [evaluation](const SeriesUpdate& update) { evaluation->applySeriesUpdate(update); });
    connect(m_measure.get(), &MeasureController::calibrationAccepted, evaluation,
            [evaluation] { evaluation->calibrationAccepted(); });
    connect(m_measure.get(), &MeasureController::calibrationRenewed, evaluation,
            [evaluation] { evaluation->calibrationRenewed(); });
    connect(m_measure.get(), &MeasureController::drawingsReset, evaluation, [evaluation] {
        evaluation->DiagrammButton2Click();
        evaluation->checkKeine();
    });
    // The open command, which reaches all of them.
    m_presentationFile = std::make_unique<PresentationFile>(
        c, PresentationFile::Parts{*m_transport, *m_sectionPlayback, *m_markTable, *m_memo});
    m_testRun = std::make_unique<TestRun>(
        c, ui, TestRun::Parts{*m_markTable, *m_memo, *m_presentationFile, *m_sectionPlayback, *m_transport});
    m_startPageEntries = std::make_unique<StartPageEntries>(*this);
    m_startPageEntries->vstDateiEinlesen = [this](const QString& path) { m_presentationFile->vstDateiEinlesen(path); };

    // A section's memo and measuring.
    connect(m_sectionPlayback.get(), &SectionPlayback::memoWanted, m_memo.get(), &MemoEditor::showSectionMemo);
    connect(m_sectionPlayback.get(), &SectionPlayback::memoCovered, m_memo.get(), &MemoEditor::coverMemo);
    connect(m_sectionPlayback.get(), &SectionPlayback::evaluationOffered, m_measure.get(),
            &MeasureController::offerEvaluation);
    connect(m_markTable.get(), &MarkTableController::openRequested, this, [this] { runGuarded(m_prompts, [this] { openCommand(); }); });
    connect(m_measure.get(), &MeasureController::pictureMenuRequested, this,
            [this](const QPoint& pos) { openPopup(ui.HauptFensterPopupMenu, pos, true); });
    savePresentation = [this] { m_markTable->SpeichernButtonClick(); };
    saveMeasurements = [this] { m_measure->MesswerteSpeichernButtonClick(); };

    wireShell();
    wireDialogs();
}

void TVideoAbspielenFenster::openCommand()
{
    m_presentationFile->OeffnenButtonClick();
}

void TVideoAbspielenFenster::wireDialogs()
{
    if (m_optionen) {
        connect(m_optionen, &TOptionenFenster::settingsPushed, this, [this](const Settings& s) {
            m_transport->applyCursor(s.cursorArrow);
            m_transport->applySound(s.sound);
            m_memo->applyEditorFont(s.fontName, s.fontSize);
        });
        connect(m_optionen, &TOptionenFenster::timeBasePushed, this,
                [this](bool fromVideo, double rate) { m_timeBase->apply(fromVideo, rate); });
        connect(m_optionen, &TOptionenFenster::timeDisplaysToRefresh, this, [this] {
            m_transport->refreshTimeDisplays();
            runGuarded(m_prompts, [this] { m_measure->timeBaseChanged(); });
        });
        connect(m_optionen, &TOptionenFenster::runToContinue, this, [this] { m_transport->continueRunIfPlaying(); });
    }
    if (m_titel)
        connect(m_titel, &TTitelFenster::runToContinue, this, [this] { m_transport->continueRunIfPlaying(); });
    if (m_info)
        connect(m_info, &TInfofenster::runToContinue, this, [this] { m_transport->continueRunIfPlaying(); });
    if (m_uebergang)
        connect(m_uebergang, &TMarkenUebergangFenster::runInterrupted, this, [this] { m_transport->showRunInterrupted(); });
}

bool TVideoAbspielenFenster::videoLoaded() const
{
    return !m_device->fileName().isEmpty();
}

void TVideoAbspielenFenster::wireShell()
{
    // Every handler runs under the general error report.
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(m_prompts, fn); }; };

    connect(ui.MenuDatei, &QMenu::aboutToShow, this, guard([this] { MenuDateiClick(); }));
    connect(ui.MenuBeenden2, &QAction::triggered, this, guard([this] { MenuBeendenClick(); }));
    connect(ui.MenuBeenden, &QAction::triggered, this, guard([this] { MenuBeendenClick(); }));
    connect(ui.HauptFensterPopupMenuBeenden, &QAction::triggered, this, guard([this] { MenuBeendenClick(); }));
    connect(ui.HauptFensterPopupMenu2Beenden, &QAction::triggered, this, guard([this] { MenuBeendenClick(); }));
    connect(ui.StartseitePopupMenuBeenden, &QAction::triggered, this, guard([this] { MenuBeendenClick(); }));
    connect(ui.MenuInfo, &QAction::triggered, this, guard([this] { MenuInfoClick(); }));
    connect(ui.MenuEinstellungen, &QAction::triggered, this, guard([this] { MenuEinstellungenClick(); }));
    connect(ui.MenuTitel, &QAction::triggered, this, guard([this] { MenuTitelClick(); }));
    for (QAction* open : {ui.MenuOpen, ui.HauptFensterPopupMenuOeffnen, ui.HauptFensterPopupMenu2Oeffnen})
        connect(open, &QAction::triggered, this, guard([this] { openCommand(); }));
    connect(ui.OeffnenButton, &QPushButton::clicked, this, guard([this] { openCommand(); }));
    // Told once per opened file, after the step or play that met the damaged frame.
    connect(m_device.get(), &VideoDevice::decodingFailed, this, [this] {
        m_prompts.warning(QStringLiteral("Ein Bild des Videos konnte nicht dekodiert werden und wird übersprungen.\r\n"
                                         "Die Videodatei ist möglicherweise beschädigt."));
    }, Qt::QueuedConnection);

    StartPage* page = ui.StartseitePanel;
    connect(page->VideoAbspielenLabel, &LinkLabel::clicked, this,
            guard([this] { VideoAbspielenLabelClick(ui.StartseitePanel->VideoAbspielenLabel); }));
    connect(page->PraesentationErstellenLabel, &LinkLabel::clicked, this,
            guard([this] { VideoAbspielenLabelClick(ui.StartseitePanel->PraesentationErstellenLabel); }));
    connect(page->BeendenLabel, &LinkLabel::clicked, this, guard([this] { MenuBeendenClick(); }));
    connect(page->InfoLabel, &LinkLabel::clicked, this, guard([this] { MenuInfoClick(); }));
    connect(page->FAQLabel, &LinkLabel::clicked, this, guard([this] { FAQLabelClick(); }));
    connect(page, &StartPage::hintChanged, this, [this](const QString& text, bool keepCurrent) {
        if (!keepCurrent)
            ui.HinweisPanel->setText(text);
    });
    connect(page, &StartPage::rightPressed, this,
            [this](const QPoint& pos) { openPopup(ui.StartseitePopupMenu, pos, false); });

    m_hoverHints = new HoverHints(ui.HinweisPanel, this);
    m_hoverHints->installOn(ui);

    for (QWidget* w : {static_cast<QWidget*>(ui.client), static_cast<QWidget*>(ui.SteuerungsPanel),
                       static_cast<QWidget*>(ui.BildschirmRahmen), static_cast<QWidget*>(ui.BerechnenAbdeckungsPanel),
                       static_cast<QWidget*>(ui.RichEditAbdeckungsPanel)})
        w->installEventFilter(this);

    // Coming back from the questions-and-answers window shows the start page again; coming
    // back from a modal dialog or message box does not.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
        if (m_faq && m_faq->windowHandle() && w == m_faq->windowHandle())
            m_faqHadFocus = true;
        else if (w && w != windowHandle())
            m_faqHadFocus = false;
    });
}

bool TVideoAbspielenFenster::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate) {
        if (m_faqHadFocus) {
            m_faqHadFocus = false;
            runGuarded(m_prompts, [this] { backFromFaq(); });
        }
    }
    return QMainWindow::event(e);
}

void TVideoAbspielenFenster::backFromFaq()
{
    // The start page shows again, but never at the cost of work: unsaved marks or points are
    // asked for first, and a test run stays ("Test Beenden" is its way back).
    if (!ui.StartseitePanel->isVisibleTo(this)) {
        if (st.TestRunning || !ShellRoutines::mayGoOn(askAboutUnsavedWork()))
            return;
    }
    FormActivate();
}

void TVideoAbspielenFenster::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // The first show counts as the first activation, also where no window manager activates.
    if (!m_activatedOnce) {
        m_activatedOnce = true;
        runGuarded(m_prompts, [this] { FormActivate(); });
    }
}

bool TVideoAbspielenFenster::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(e);
        auto* w = static_cast<QWidget*>(watched);
        const QPoint local = me->position().toPoint();
        // Only a press on the area's own background opens its menu; a press that a control on
        // it did not take (Qt passes it on to the parent) is the control's.
        if (me->button() == Qt::RightButton && !w->childAt(local)) {
            if (watched == ui.client) {
                openPopup(ui.HauptFensterPopupMenu, me->globalPosition().toPoint(), true);
                return true;
            }
            // The covering panels place their menu by the window's position and the click point.
            QPoint at = me->globalPosition().toPoint();
            if (watched == ui.BerechnenAbdeckungsPanel)
                at = pos() + local + QPoint(405, 305);
            else if (watched == ui.RichEditAbdeckungsPanel)
                at = pos() + local + QPoint(405, 2);
            openPopup(ui.HauptFensterPopupMenu2, at, true);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TVideoAbspielenFenster::openPopup(QMenu* menu, const QPoint& globalPos, bool pause)
{
    // A menu whose items are all hidden (the second pop-up menu during a test run) does not open.
    const QList<QAction*> items = menu->actions();
    if (std::none_of(items.begin(), items.end(), [](const QAction* a) { return a->isVisible(); }))
        return;
    m_lastPopupPos = globalPos;
    if (pause)
        runGuarded(m_prompts, [this] { RechteMausPopup(); });
    menu->popup(globalPos);
}

void TVideoAbspielenFenster::closeEvent(QCloseEvent* event)
{
    bool allow = false;
    runGuarded(m_prompts, [&] { allow = FormCloseQuery(); });
    if (allow) {
        if (m_faq)
            m_faq->close();
        if (m_bigPicture)
            m_bigPicture->fullScreen().leave();
        event->accept();
    } else {
        event->ignore();
    }
}

bool TVideoAbspielenFenster::measuringShown() const
{
    // The measuring panel is uncovered from "Datenaufnahme" until "Schließen".
    return ui.BerechnenAnzeigePanel->isVisibleTo(this) && !ui.BerechnenAbdeckungsPanel->isVisibleTo(this);
}

void TVideoAbspielenFenster::FormActivate()
{
    StartseiteAn();
    st.DataSaved = true;
    QDir::current().mkdir(QStringLiteral("Mem"));
}

void TVideoAbspielenFenster::StartseiteAn()
{
    ui.StartseitePanel->show();
    ui.StartseitePanel->raise();
    setWindowTitle(QStringLiteral("Kadro Startseite"));
    ui.MenuDatei->menuAction()->setVisible(false);
    ui.MenuEinstellungen->setVisible(false);
    ui.MenuBeenden->setVisible(false);
    ui.MenuDatenaufnahme->setVisible(false);
    ui.MenuTitel->setVisible(false);
    ui.MenuDatenauswertung->menuAction()->setVisible(false);
    if (m_optionen)
        m_optionen->OptionenEinstellungenOeffnen();
    if (m_titel) {
        m_titel->TitelOeffnen();
        for (int i = 1; i <= 5; ++i) {
            ui.StartseitePanel->vstLabel[i - 1]->setText(m_titel->title(i));
            ui.StartseitePanel->vstLabel[i - 1]->adjustSize();
        }
    }
}

void TVideoAbspielenFenster::StartseiteAus()
{
    st.DiagramShown = false;
    ui.StartseitePanel->hide();
    ui.MenuDatei->menuAction()->setVisible(true);
    ui.MenuEinstellungen->setVisible(true);
    ui.MenuBeenden->setVisible(true);
    if (st.ActiveArea == 1) {
        Programmpunkt1Einstellungen();
        setWindowTitle(QStringLiteral("Kadro \"Video abspielen\" - Fenster"));
    }
    if (st.ActiveArea == 2) {
        Programmpunkt2Einstellungen();
        setWindowTitle(QStringLiteral("Kadro \"Präsentation erstellen\" Fenster"));
    }
}

void TVideoAbspielenFenster::Programmpunkt2Einstellungen()
{
    setUpView(2);
    m_markTable->checkWorkFolder();
}

void TVideoAbspielenFenster::Programmpunkt1Einstellungen()
{
    setUpView(1);
}

void TVideoAbspielenFenster::setUpView(int area)
{
    // The authoring view's set-up is the common reset of everything; each subsystem lays out its
    // own widgets. The settings come first: the others take sound, cursor and font from them.
    // No test run outlives a set-up, so its locks go.
    lockForTestRun(false);
    if (m_optionen)
        m_optionen->OptionenEinstellungenOeffnen();
    m_transport->setUpAuthoringView();
    ui.OeffnenButton->setEnabled(true);
    ui.OeffnenButton->show();
    ui.OeffnenButton->setGeometry(712, 502, 75, 25);
    m_markTable->setUpAuthoringView();
    m_measure->setUpAuthoringView();
    if (m_optionen)
        m_optionen->showAuthoringPages();
    m_sectionPlayback->setUpAuthoringView();
    m_memo->setUpAuthoringView();
    m_evaluation->setUpAuthoringView();
    ui.HinweisPanel->clear();
    ui.MenuTitel->setVisible(true);
    st.DataSaved = true;
    st.CurrentMark = 0;
    st.MarkCount = 0;
    st.MemoRow = 0;
    st.PresentationLoaded = false;
    st.DiagramShown = false;

    if (area == 1) {
        m_transport->setUpPlayerView();
        if (m_optionen)
            m_optionen->showPlayerPages();
        m_markTable->setUpPlayerView();
        m_sectionPlayback->setUpPlayerView();
        ui.OeffnenButton->show();
        ui.OeffnenButton->setGeometry(275, 500, 85, 25);
        m_memo->setUpPlayerView();
        m_evaluation->setUpPlayerView();
        ui.MenuTitel->setVisible(false);
        m_measure->setUpPlayerView();
    }
    emit m_events.viewSetUp(area);
}

void TVideoAbspielenFenster::lockForTestRun(bool locked)
{
    ui.OeffnenButton->setEnabled(!locked);
    ui.MenuDatei->menuAction()->setEnabled(!locked);
    ui.MenuBeenden->setEnabled(!locked);
    ui.HauptFensterPopupMenuOeffnen->setEnabled(!locked);
    ui.HauptFensterPopupMenuBeenden->setEnabled(!locked);
    ui.HauptFensterPopupMenu2Oeffnen->setVisible(!locked);
    ui.HauptFensterPopupMenu2Beenden->setVisible(!locked);
    // The measuring panel's "Schließen" is no way out of a test run either.
    m_measure->showCloseButton(!locked);
}

void TVideoAbspielenFenster::MenuDateiClick()
{
    m_transport->pauseForMenu();
}

void TVideoAbspielenFenster::RechteMausPopup()
{
    m_transport->pauseForMenu();
}

void TVideoAbspielenFenster::stopForClosing()
{
    ui.Timer1->stop();
    ui.Timer2->stop();
    ui.Timer3->stop();
    if (videoLoaded())
        m_device->stop();
}

void TVideoAbspielenFenster::continueRunIfPlaying()
{
    m_transport->continueRunIfPlaying();
}

bool TVideoAbspielenFenster::FormCloseQuery()
{
    stopForClosing();
    if (ui.VideoStopButton->text() == QLatin1String("Pause") && ui.VideoStartButton->text() == QStringLiteral("Zurück"))
        ui.VideoStopButton->setText(QStringLiteral("Weiter"));
    if (ui.StartseitePanel->isVisibleTo(this))
        return true;
    // The close box during a test run ends the test first, so the question below is about the
    // presentation under construction and nothing of it is lost.
    if (st.TestRunning)
        m_testRun->TestBeendenPanelClick();

    switch (askAboutUnsavedWork()) {
    case UnsavedWorkAnswer::NothingUnsaved: return MessageZurueckZurStartseite();
    case UnsavedWorkAnswer::Saved:
        stopForClosing();
        StartseiteAn();
        break;
    case UnsavedWorkAnswer::Discarded: StartseiteAn(); break;
    case UnsavedWorkAnswer::SaveFailed: break; // a save the user cancelled leaves the view as it is
    case UnsavedWorkAnswer::Cancelled: continueRunIfPlaying(); break;
    }
    return false;
}

UnsavedWorkAnswer TVideoAbspielenFenster::askAboutUnsavedWork()
{
    if (st.DataSaved)
        return UnsavedWorkAnswer::NothingUnsaved;
    QString question;
    std::function<void()> save;
    if (st.ActiveArea == 2) {
        // Changes without a mark (an empty grid) hold nothing to save.
        const QTableWidgetItem* first = ui.StringGrid->item(0, 0);
        if (!first || first->text().isEmpty())
            return UnsavedWorkAnswer::NothingUnsaved;
        question = kSaveChangesQuestion;
        save = savePresentation;
    } else if (st.ActiveArea == 1) {
        question = kUnsavedMeasurementsText;
        save = saveMeasurements;
    } else {
        return UnsavedWorkAnswer::NothingUnsaved;
    }
    switch (m_prompts.confirm(question)) {
    case Button::Ja:
        if (save)
            save();
        return st.DataSaved ? UnsavedWorkAnswer::Saved : UnsavedWorkAnswer::SaveFailed;
    case Button::Nein: return UnsavedWorkAnswer::Discarded;
    default: return UnsavedWorkAnswer::Cancelled;
    }
}

bool TVideoAbspielenFenster::MessageZurueckZurStartseite()
{
    switch (m_prompts.confirm(QStringLiteral("Wollen Sie das Programm direkt beenden ohne zur Startseite zu gehen?"))) {
    case Button::Ja: return true;
    case Button::Nein: StartseiteAn(); return false;
    default: continueRunIfPlaying(); return false;
    }
}

void TVideoAbspielenFenster::MenuBeendenClick()
{
    close();
}

void TVideoAbspielenFenster::MenuInfoClick()
{
    MenuDateiClick();
    if (m_info)
        m_prompts.runModal(m_info);
}

void TVideoAbspielenFenster::MenuEinstellungenClick()
{
    MenuDateiClick();
    if (!m_optionen)
        return;
    m_optionen->setTimeBase(m_timeBase->fromVideo(), m_timeBase->captureRateApplies(), m_timeBase->captureRate());
    m_optionen->execute();
}

void TVideoAbspielenFenster::MenuTitelClick()
{
    MenuDateiClick();
    if (m_titel)
        m_titel->execute();
}

void TVideoAbspielenFenster::VideoAbspielenLabelClick(QLabel* clicked)
{
    st.ActiveArea = clicked == ui.StartseitePanel->PraesentationErstellenLabel ? 2 : 1;
    StartseiteAus();
}

void TVideoAbspielenFenster::FAQLabelClick()
{
    if (!m_faq)
        return;
    m_faq->show();
    m_faq->raise();
    m_faq->loadFile(QDir::current().filePath(QStringLiteral("faq.txt")));
}

} // namespace kadro
