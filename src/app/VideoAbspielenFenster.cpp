#include "app/VideoAbspielenFenster.h"

#include "app/FAQFenster.h"
#include "app/Infofenster.h"
#include "app/StartPage.h"
#include "app/StartPageEntries.h"
#include "authoring/MarkTableController.h"
#include "authoring/PresentationFile.h"
#include "common/Cp1252.h"
#include "common/ErrorReport.h"
#include "common/Prompts.h"
#include "player/MarkenUebergangFenster.h"
#include "player/SectionPlayback.h"
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

    m_transport = std::make_unique<Transport>(*this);
    m_sectionPlayback = std::make_unique<SectionPlayback>(*this);
    m_startPageEntries = std::make_unique<StartPageEntries>(*this);
    m_transport->MarkenUebergang = [this] { m_sectionPlayback->MarkenUebergang(); };

    // Fixed client area, not resizable; the window grows by the menu bar where it has items.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - rect().center());
    }
    wireShell();
}

TVideoAbspielenFenster::~TVideoAbspielenFenster()
{
    // The controllers watch widgets of this window; they go first, while the window is whole.
    delete m_markTable;
    m_markTable = nullptr;
}

void TVideoAbspielenFenster::setDialogs(TInfofenster* info, TOptionenFenster* optionen,
                                        TMarkenUebergangFenster* uebergang, TTitelFenster* titel, TFAQFenster* faq)
{
    m_info = info;
    m_optionen = optionen;
    m_uebergang = uebergang;
    m_titel = titel;
    m_faq = faq;
    if (m_uebergang)
        m_uebergang->setMainWindow(this);
    if (m_titel)
        m_titel->setMainWindow(this);
    if (m_optionen)
        m_optionen->setMainWindow(this);
}

void TVideoAbspielenFenster::compose()
{
    // Authoring: the mark table, saving and opening presentations.
    m_markTable = new MarkTableController(*this);
    m_presentationFile = std::make_unique<PresentationFile>(*this);
    openCommand = [this] { m_presentationFile->OeffnenButtonClick(); };
    savePresentation = [this] { m_markTable->SpeichernButtonClick(); };
    m_sectionPlayback->loadMemo = [this](const QString& path) { return m_markTable->memoEditor().load(path); };
    m_startPageEntries->vstDateiEinlesen = [this](const QString& path) { m_presentationFile->vstDateiEinlesen(path); };
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
        connect(open, &QAction::triggered, this, guard([this] {
                    if (openCommand)
                        openCommand();
                }));
    connect(ui.OeffnenButton, &QPushButton::clicked, this, guard([this] {
                if (openCommand)
                    openCommand();
            }));

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
            runGuarded(m_prompts, [this] { FormActivate(); });
        }
    }
    return QMainWindow::event(e);
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
        if (me->button() == Qt::RightButton) {
            const QPoint global = me->globalPosition().toPoint();
            if (watched == ui.client) {
                openPopup(ui.HauptFensterPopupMenu, global, true);
                return true;
            }
            openPopup(ui.HauptFensterPopupMenu2, global, true);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TVideoAbspielenFenster::openPopup(QMenu* menu, const QPoint& globalPos, bool pause)
{
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
        event->accept();
    } else {
        event->ignore();
    }
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
    // 1. Settings afresh.
    if (m_optionen)
        m_optionen->OptionenEinstellungenOeffnen();
    // 2. Picture at full size.
    ui.BildschirmPanel->resize(384, 288);
    ui.BildschirmUnterlagePanel->setGeometry(5, 6, 389, 293);
    // 3. Transport.
    m_transport->resetControls();
    ui.SteuerungsPanel->resize(400, 95);
    // 4. No video loaded.
    m_device->setFileName(QString());
    st.IsPlaying = false;
    // 5. Displays.
    ui.BildNrPanel->setGeometry(415, 282, 90, 110);
    ui.BildNrPanel->show();
    ui.FrameAnzeige1Label->clear();
    ui.FrameAnzeige2Label->clear();
    ui.TimePanel->setGeometry(520, 282, 90, 110);
    ui.TimePanel->show();
    ui.ZeitAnzeige1Label->clear();
    ui.ZeitAnzeige2Label->clear();
    ui.VideoBearbeitenZeitschrittPanel->show();
    ui.ZeitschrittNormalLabel->clear();
    ui.ZeitschrittZeitlupeLabel->clear();
    // 6. Open and test buttons.
    ui.OeffnenButton->setEnabled(true);
    ui.OeffnenButton->show();
    ui.OeffnenButton->setGeometry(712, 502, 75, 25);
    ui.TestButton->setEnabled(false);
    ui.TestBeendenPanel->hide();
    st.TestRunning = false;
    // 7. Measurement panel.
    ui.BerechnenAbdeckungsPanel->hide();
    ui.BerechnenAnzeigePanel->hide();
    // 8. Settings pages of the authoring view.
    if (m_optionen)
        m_optionen->showAuthoringPages();
    // 9. Overlay cleared; cursor from the settings.
    ui.PaintBox1->clearItems();
    ui.PaintBox1->update();
    const bool arrow = m_optionen ? m_optionen->CursorPfeilRadioButton->isChecked() : true;
    ui.PaintBox1->setCursor(arrow ? Qt::ArrowCursor : Qt::CrossCursor);
    // 10. Sound from the settings.
    const bool sound = m_optionen && m_optionen->TonCheckBox->isChecked();
    ui.HauptFensterPopupMenuTon->setChecked(sound);
    st.SoundOn = sound;
    // 11. Mark buttons.
    ui.MarkeSetzenButton->setEnabled(false);
    ui.SpeichernButton->setEnabled(false);
    // 12. Mark table: one empty row.
    ui.StringGrid->clearContents();
    ui.StringGrid->setRowCount(1);
    ui.StringGridPanel->show();
    ui.StringGrid->resize(679, ui.StringGrid->height());
    ui.StringGrid->setColumnWidth(3, 65);
    // 13. Timers.
    ui.Timer1->stop();
    ui.Timer2->stop();
    ui.Timer3->stop();
    ui.Timer4->stop();
    // 14. Memo editor.
    ui.RichEditAbdeckungsPanel->hide();
    ui.RichEdit->show();
    ui.RichEdit->setEnabled(true);
    ui.RichEdit->clear();
    ui.RichEdit->setGeometry(4, 40, 384, 223);
    ui.RichEdit->setReadOnly(false);
    ui.RichEdit->setTextColor(Qt::black);
    ui.ToolBar1->show();
    ui.ToolBar1->setEnabled(false);
    ui.RichEditPanel->resize(392, 273);
    // 15. Hint line.
    ui.HinweisPanel->clear();
    // 16. Menus of the authoring view.
    ui.MenuDatenaufnahme->setVisible(false);
    ui.MenuDatenauswertung->menuAction()->setVisible(false);
    ui.MenuTitel->setVisible(true);
    // 17. State.
    st.DataSaved = true;
    st.CurrentMark = 0;
    st.MarkCount = 0;
    st.MemoRow = 0;
    st.PresentationLoaded = false;
    st.DiagramShown = false;
    m_sectionPlayback->PauseCountdown = 0;
}

void TVideoAbspielenFenster::Programmpunkt1Einstellungen()
{
    Programmpunkt2Einstellungen();
    // 1. Displays below the picture.
    ui.SteuerungsPanel->resize(400, 230);
    ui.BildNrPanel->setGeometry(125, 410, 90, 115);
    ui.TimePanel->setGeometry(20, 410, 90, 115);
    ui.BildNrPanel->show();
    ui.TimePanel->show();
    // 2. Settings pages of the player view.
    if (m_optionen)
        m_optionen->showPlayerPages();
    // 3. No mark table, tool bar, time steps or mark switching.
    ui.StringGridPanel->hide();
    ui.ToolBar1->hide();
    ui.VideoBearbeitenZeitschrittPanel->hide();
    ui.MarkeWechselnPanel->hide();
    ui.MarkeWechselnPanel->move(275, ui.MarkeWechselnPanel->y());
    ui.NaechsteMarkeButton->setText(QStringLiteral("weiter"));
    // 4. Open button.
    ui.OeffnenButton->show();
    ui.OeffnenButton->setGeometry(275, 500, 85, 25);
    // 5. Read-only memo under its cover.
    ui.RichEdit->setGeometry(4, 10, 384, 284);
    ui.RichEdit->setEnabled(true);
    ui.RichEdit->setReadOnly(true);
    ui.RichEditPanel->resize(392, 304);
    ui.RichEditAbdeckungsPanel->move(0, 0);
    ui.RichEditAbdeckungsPanel->show();
    ui.RichEditAbdeckungsPanel->raise();
    // 6. Menus of the player view.
    ui.MenuDatenaufnahme->setVisible(true);
    ui.MenuDatenaufnahme->setEnabled(false);
    ui.MenuAuswertungKeine->setChecked(true);
    ui.MenuDatenauswertung->menuAction()->setVisible(true);
    ui.MenuDatenauswertung->setEnabled(false);
    ui.MenuDatenauswertung->menuAction()->setEnabled(false);
    ui.MenuTrendparabel->setEnabled(false);
    ui.MenuTitel->setVisible(false);
    // 7. Measurement panel under its cover.
    ui.BerechnenAbdeckungsPanel->move(0, 0);
    ui.BerechnenAbdeckungsPanel->show();
    ui.BerechnenAnzeigePanel->move(400, 305);
    ui.BerechnenAnzeigePanel->show();
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
    if (st.IsPlaying)
        m_transport->VideoStopButtonClick();
}

bool TVideoAbspielenFenster::FormCloseQuery()
{
    stopForClosing();
    if (ui.VideoStopButton->text() == QLatin1String("Pause") && ui.VideoStartButton->text() == QStringLiteral("Zurück"))
        ui.VideoStopButton->setText(QStringLiteral("Weiter"));
    if (ui.StartseitePanel->isVisibleTo(this))
        return true;

    if (st.DataSaved)
        return MessageZurueckZurStartseite();

    if (st.ActiveArea == 2) {
        const QTableWidgetItem* first = ui.StringGrid->item(0, 0);
        if (!first || first->text().isEmpty())
            return MessageZurueckZurStartseite();
        askToSaveBeforeLeaving(QStringLiteral("Daten wurden geändert.\rÄnderungen speichern?"), savePresentation);
    } else if (st.ActiveArea == 1) {
        askToSaveBeforeLeaving(QStringLiteral("Messwerte wurden noch nicht gespeichert.\rWollen Sie jetzt speichern?"),
                               saveMeasurements);
    }
    return false;
}

void TVideoAbspielenFenster::askToSaveBeforeLeaving(const QString& question, const std::function<void()>& save)
{
    switch (m_prompts.confirm(question)) {
    case Button::Ja:
        if (save)
            save();
        // A save the user cancelled leaves the view as it is.
        if (st.DataSaved) {
            stopForClosing();
            StartseiteAn();
        }
        break;
    case Button::Nein: StartseiteAn(); break;
    default: continueRunIfPlaying(); break;
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
    if (m_optionen)
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
    QByteArray bytes;
    if (readFileBytes(QDir::current().filePath(QStringLiteral("faq.txt")), &bytes))
        m_faq->FAQRichEdit->setPlainText(fromCp1252(bytes));
}

} // namespace kadro
