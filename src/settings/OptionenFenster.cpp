#include "settings/OptionenFenster.h"

#include "common/MainState.h"
#include "common/NumberFormat.h"
#include "common/ProgramEvents.h"
#include "common/Prompts.h"
#include "common/TimeBasePreferences.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QSpinBox>
#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kadro {

namespace {
const char* const kTypingLimit = "typingLimit";

// The message boxes of the checks lie at this offset from the main window's top-left corner.
const QPoint kMessageOffset(288, 320);

QLineEdit* shortEdit(const QString& text, int maxLength, const QString& name)
{
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setFixedWidth(48);
    e->setProperty(kTypingLimit, maxLength);
    e->setMaxLength(maxLength);
    e->setText(text);
    return e;
}
} // namespace

void TOptionenFenster::limitTyping(QLineEdit* edit, int maxLength)
{
    // A text longer than the limit (read from the file) may be shortened; once it fits, typing
    // is limited again.
    connect(edit, &QLineEdit::textEdited, edit, [edit, maxLength](const QString& text) {
        if (text.size() <= maxLength)
            edit->setMaxLength(maxLength);
    });
}

void TOptionenFenster::setFieldText(QLineEdit* edit, const QString& text)
{
    // Values read from Optionen.opt or a presentation stay as they are, so that "40000" is not
    // cut to "4000" (which would pass the check) but is refused at OK.
    const int limit = edit->property(kTypingLimit).toInt();
    edit->setMaxLength(std::max<int>(limit, static_cast<int>(text.size())));
    edit->setText(text);
}

TOptionenFenster::TOptionenFenster(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OptionenFenster"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setModal(true);

    OptionenPageControl = new QTabWidget(this);
    OptionenPageControl->setObjectName(QStringLiteral("OptionenPageControl"));

    // "Allgemein"
    AllgemeinRegister = new QWidget;
    QGroupBox* timeBaseGroup = nullptr;
    {
        auto* v = new QVBoxLayout(AllgemeinRegister);
        auto* ton = new QGroupBox(QStringLiteral("Ton-Einstellung"));
        auto* tl = new QVBoxLayout(ton);
        TonCheckBox = new QCheckBox(QStringLiteral("Ton"));
        TonCheckBox->setObjectName(QStringLiteral("TonCheckBox"));
        auto* info = new QLabel(QStringLiteral("Info: Nur AVI Videos können ohne Ton abgespielt werden."));
        info->setWordWrap(true);
        tl->addWidget(TonCheckBox);
        tl->addWidget(info);
        auto* cursor = new QGroupBox(QStringLiteral("Cursor-Einstellung für das Videofenster"));
        auto* cl = new QHBoxLayout(cursor);
        CursorPfeilRadioButton = new QRadioButton(QStringLiteral("Pfeil"));
        CursorPfeilRadioButton->setObjectName(QStringLiteral("CursorPfeilRadioButton"));
        CursorKreuzRadioButton = new QRadioButton(QStringLiteral("Kreuz"));
        CursorKreuzRadioButton->setObjectName(QStringLiteral("CursorKreuzRadioButton"));
        CursorPfeilRadioButton->setChecked(true);
        cl->addWidget(CursorPfeilRadioButton);
        cl->addWidget(CursorKreuzRadioButton);
        auto* dt = new QGroupBox(QStringLiteral("Zeitschritt"));
        auto* dl = new QGridLayout(dt);
        auto* distance = new QLabel(QStringLiteral("Abstand zweier aufeinanderfolgender Bilder :"));
        distance->setWordWrap(true);
        dl->addWidget(distance, 0, 0, 1, 3);
        dtEdit1 = shortEdit(QStringLiteral("40"), 4, QStringLiteral("dtEdit1"));
        dtEdit2 = shortEdit(QStringLiteral("200"), 4, QStringLiteral("dtEdit2"));
        dl->addWidget(new QLabel(QStringLiteral("Normal")), 1, 0);
        dl->addWidget(dtEdit1, 1, 1);
        dl->addWidget(new QLabel(QStringLiteral("ms")), 1, 2);
        dl->addWidget(new QLabel(QStringLiteral("Zeitlupe")), 2, 0);
        dl->addWidget(dtEdit2, 2, 1);
        dl->addWidget(new QLabel(QStringLiteral("ms")), 2, 2);
        // Where the times come from: the video's own frame rate (or the rate a slow-motion
        // recording was made at) instead of the normal time step. Kept by the platform, not in
        // Optionen.opt.
        auto* tb = new QGroupBox(QStringLiteral("Zeitbasis"));
        timeBaseGroup = tb;
        auto* tbl = new QGridLayout(tb);
        ZeitAusVideoCheckBox = new QCheckBox(QStringLiteral("Zeit aus dem Video"));
        ZeitAusVideoCheckBox->setObjectName(QStringLiteral("ZeitAusVideoCheckBox"));
        ZeitAusVideoCheckBox->setChecked(true);
        auto* recorded = new QLabel(QStringLiteral("Aufnahme (Zeitlupe)"));
        AufnahmeRateEdit = new QLineEdit;
        AufnahmeRateEdit->setObjectName(QStringLiteral("AufnahmeRateEdit"));
        AufnahmeRateEdit->setFixedWidth(48);
        AufnahmeRateEdit->setMaxLength(8);
        AufnahmeRateEdit->setToolTip(QStringLiteral("Bilder pro Sekunde, mit denen das geladene Video aufgenommen "
                                                    "wurde (Zeitlupe); leer, wenn es so schnell abläuft, wie es "
                                                    "aufgenommen wurde"));
        AufnahmeRateEdit->setAccessibleName(QStringLiteral("Aufnahme in Bildern pro Sekunde"));
        recorded->setBuddy(AufnahmeRateEdit);
        tbl->addWidget(ZeitAusVideoCheckBox, 0, 0, 1, 3);
        tbl->addWidget(recorded, 1, 0);
        tbl->addWidget(AufnahmeRateEdit, 1, 1);
        tbl->addWidget(new QLabel(QStringLiteral("Bilder/s")), 1, 2);
        tbl->setColumnStretch(0, 1);
        connect(ZeitAusVideoCheckBox, &QCheckBox::toggled, this, [this](bool on) {
            AufnahmeRateEdit->setEnabled(on && m_captureApplies);
        });
        v->addWidget(ton);
        v->addWidget(cursor);
        v->addWidget(dt);
        v->addWidget(tb);
        // The automatic tracking's object box and search area, in the video's pixels. Kept by
        // the platform like the time base.
        auto* tr = new QGroupBox(QStringLiteral("Verfolgung"));
        trackingGroup = tr;
        auto* trl = new QGridLayout(tr);
        ObjektGroesseSpinBox = new QSpinBox;
        ObjektGroesseSpinBox->setObjectName(QStringLiteral("ObjektGroesseSpinBox"));
        ObjektGroesseSpinBox->setRange(5, 201);
        ObjektGroesseSpinBox->setValue(TimeBasePreferences::kDefaultTrackingBox);
        ObjektGroesseSpinBox->setAccessibleName(QStringLiteral("Größe des Objekts in Pixeln"));
        SuchbereichSpinBox = new QSpinBox;
        SuchbereichSpinBox->setObjectName(QStringLiteral("SuchbereichSpinBox"));
        SuchbereichSpinBox->setRange(ObjektGroesseSpinBox->value() + 2, 999);
        SuchbereichSpinBox->setValue(3 * TimeBasePreferences::kDefaultTrackingBox);
        SuchbereichSpinBox->setAccessibleName(QStringLiteral("Größe des Suchbereichs in Pixeln"));
        auto* objectLabel = new QLabel(QStringLiteral("Objekt"));
        objectLabel->setBuddy(ObjektGroesseSpinBox);
        auto* searchLabel = new QLabel(QStringLiteral("Suchbereich"));
        searchLabel->setBuddy(SuchbereichSpinBox);
        trl->addWidget(objectLabel, 0, 0);
        trl->addWidget(ObjektGroesseSpinBox, 0, 1);
        trl->addWidget(new QLabel(QStringLiteral("Pixel")), 0, 2);
        trl->addWidget(searchLabel, 1, 0);
        trl->addWidget(SuchbereichSpinBox, 1, 1);
        trl->addWidget(new QLabel(QStringLiteral("Pixel")), 1, 2);
        trl->setColumnStretch(0, 1);
        // The search area is always larger than the object.
        connect(ObjektGroesseSpinBox, &QSpinBox::valueChanged, this,
                [this](int box) { SuchbereichSpinBox->setMinimum(box + 2); });
        v->addWidget(tr);
        v->addStretch();
    }

    // "Optionen"
    SteuerelementeRegister = new QWidget;
    {
        auto* v = new QVBoxLayout(SteuerelementeRegister);
        auto* note = new QLabel(QStringLiteral("Optionen mit aktivierten Kontrollkästchen werden beim Setzen einer Marke automatisch gesetzt."));
        note->setWordWrap(true);
        note->setFrameShape(QFrame::Box);
        auto* group = new QGroupBox(QStringLiteral("Steuerelemente"));
        auto* g = new QGridLayout(group);
        const char* captions[] = {"Start, Pause", "Einzelbild", "Zeitlupe", "Schieberegler",
                                  "Frameanzeige", "Zeitanzeige", "Autostart", "Auswertung"};
        const char* names[] = {"StartStopCheckBox", "EinzelbildCheckBox", "ZeitlupeCheckBox", "SchiebereglerCheckBox",
                               "FrameAnzeigeCheckBox", "ZeitAnzeigeCheckBox", "AutostartCheckBox", "AuswertungCheckBox"};
        QCheckBox** boxes[] = {&StartStopCheckBox, &EinzelbildCheckBox, &ZeitlupeCheckBox, &SchiebereglerCheckBox,
                               &FrameAnzeigeCheckBox, &ZeitAnzeigeCheckBox, &AutostartCheckBox, &AuswertungCheckBox};
        for (int i = 0; i < 8; ++i) {
            *boxes[i] = new QCheckBox(QString::fromUtf8(captions[i]));
            (*boxes[i])->setObjectName(QString::fromLatin1(names[i]));
            g->addWidget(*boxes[i], i % 4, i / 4);
        }
        auto* trans = new QGroupBox(QStringLiteral("Markenübergang"));
        auto* tl = new QGridLayout(trans);
        vonHandRadioButton = new QRadioButton(QStringLiteral("von Hand"));
        vonHandRadioButton->setObjectName(QStringLiteral("vonHandRadioButton"));
        ohnePauseRadioButton = new QRadioButton(QStringLiteral("ohne Pause"));
        ohnePauseRadioButton->setObjectName(QStringLiteral("ohnePauseRadioButton"));
        mitPauseRadioButton = new QRadioButton(QStringLiteral("mit Pause"));
        mitPauseRadioButton->setObjectName(QStringLiteral("mitPauseRadioButton"));
        vonHandRadioButton->setChecked(true);
        PauseEdit = shortEdit(QStringLiteral("10"), 2, QStringLiteral("PauseEdit"));
        tl->addWidget(vonHandRadioButton, 0, 0);
        tl->addWidget(ohnePauseRadioButton, 1, 0);
        tl->addWidget(mitPauseRadioButton, 2, 0);
        tl->addWidget(PauseEdit, 2, 1);
        tl->addWidget(new QLabel(QStringLiteral("sec.")), 2, 2);
        v->addWidget(note);
        v->addWidget(group);
        v->addWidget(trans);
        v->addStretch();
    }

    // "Editor"
    EditorRegister = new QWidget;
    {
        auto* v = new QVBoxLayout(EditorRegister);
        auto* group = new QGroupBox(QStringLiteral("Schriftenauswahl für den Editor"));
        auto* g = new QGridLayout(group);
        OptionenFontBox = new QComboBox;
        OptionenFontBox->setObjectName(QStringLiteral("OptionenFontBox"));
        OptionenFontBox->setEditable(true);
        OptionenFontSizeEdit = shortEdit(QStringLiteral("10"), 2, QStringLiteral("OptionenFontSizeEdit"));
        FontSizeUpDown = new QSpinBox;
        FontSizeUpDown->setObjectName(QStringLiteral("FontSizeUpDown"));
        FontSizeUpDown->setRange(1, 99);
        FontSizeUpDown->setValue(10);
        FontSizeUpDown->setWrapping(false);
        FontSizeUpDown->setButtonSymbols(QSpinBox::UpDownArrows);
        FontSizeUpDown->setFixedWidth(18);
        connect(FontSizeUpDown, &QSpinBox::valueChanged, this,
                [this](int value) { setFieldText(OptionenFontSizeEdit, QString::number(value)); });
        // The arrows step the number that stands in the field.
        connect(OptionenFontSizeEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
            int value = 0;
            if (tryParseInteger(text, &value) && value >= 1 && value <= 99) {
                QSignalBlocker block(FontSizeUpDown);
                FontSizeUpDown->setValue(value);
            }
        });
        g->addWidget(new QLabel(QStringLiteral("Schriftart")), 0, 0);
        g->addWidget(OptionenFontBox, 0, 1, 1, 3);
        g->addWidget(new QLabel(QStringLiteral("Größe")), 1, 0);
        g->addWidget(OptionenFontSizeEdit, 1, 1);
        g->addWidget(FontSizeUpDown, 1, 2);
        v->addWidget(group);
        v->addStretch();
    }

    // "Diagramm"
    DiagrammRegister = new QWidget;
    {
        auto* v = new QVBoxLayout(DiagrammRegister);
        v->addWidget(makeColourGroup(QStringLiteral("Achsen - Farbe"), &AchsenRadioGroup));
        v->addWidget(makeColourGroup(QStringLiteral("Messpunkt - Farbe"), &MesspunktRadioGroup));
        v->addWidget(makeColourGroup(QStringLiteral("Trendgerade und Trendparabel - Farbe"), &TrendRadioGroup));
        v->addStretch();
    }

    OptionenPageControl->addTab(AllgemeinRegister, QStringLiteral("Allgemein"));
    OptionenPageControl->addTab(SteuerelementeRegister, QStringLiteral("Optionen"));
    OptionenPageControl->addTab(EditorRegister, QStringLiteral("Editor"));
    OptionenPageControl->addTab(DiagrammRegister, QStringLiteral("Diagramm"));

    OKBitBtn = new QPushButton(QStringLiteral("OK"));
    OKBitBtn->setObjectName(QStringLiteral("OKBitBtn"));
    OKBitBtn->setDefault(true);
    AbbrechenBitBtn = new QPushButton(QStringLiteral("Abbrechen"));
    AbbrechenBitBtn->setObjectName(QStringLiteral("AbbrechenBitBtn"));
    connect(OKBitBtn, &QPushButton::clicked, this, &TOptionenFenster::OKBitBtnClick);
    connect(AbbrechenBitBtn, &QPushButton::clicked, this, &QDialog::reject);
    for (QLineEdit* e : {dtEdit1, dtEdit2, PauseEdit, OptionenFontSizeEdit})
        limitTyping(e, e->property(kTypingLimit).toInt());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(OptionenPageControl);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBitBtn);
    buttons->addWidget(AbbrechenBitBtn);
    layout->addLayout(buttons);
    // The time base group comes below the time steps: the dialog grows by its height and by the
    // room the wrapped time-step label then needs for its two lines.
    setFixedSize(308, 385 + timeBaseGroup->sizeHint().height() + AllgemeinRegister->layout()->spacing()
                          + trackingGroup->sizeHint().height() + AllgemeinRegister->layout()->spacing());

    // A click on another tab is checked before the page changes, so a refused page is never
    // shown; other ways of changing (keys, wheel) are checked after and undone.
    OptionenPageControl->tabBar()->installEventFilter(this);
    connect(OptionenPageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_pageChangeChecked) {
            m_currentPage = index;
            return;
        }
        if (index == m_currentPage)
            return;
        if (!OptionenPageControlChanging()) {
            QSignalBlocker block(OptionenPageControl);
            OptionenPageControl->setCurrentIndex(m_currentPage);
            return;
        }
        m_currentPage = index;
    });
}

void TOptionenFenster::attach(MainState& st, Prompts& prompts, ProgramEvents& events)
{
    m_st = &st;
    m_prompts = &prompts;
    m_events = &events;
}

void TOptionenFenster::setTimeSteps(const QString& normal, const QString& slow)
{
    setFieldText(dtEdit1, normal);
    setFieldText(dtEdit2, slow);
}

void TOptionenFenster::setSound(bool on)
{
    TonCheckBox->setChecked(on);
}

bool TOptionenFenster::checksPass()
{
    auto inRange = [](const QString& text, int lo, int hi) {
        int v = 0;
        return tryParseInteger(text, &v) && v >= lo && v <= hi;
    };
    // Both checks run, time steps first, over all four fields whatever page is shown: two
    // faults give two messages.
    bool ok = true;
    if (!inRange(dtEdit1->text(), 10, 9999) || !inRange(dtEdit2->text(), 10, 9999)) {
        ok = false;
        if (m_prompts)
            m_prompts->errorAt(kMessageOffset, QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 10 und 9999 ein!"));
    }
    if (!inRange(PauseEdit->text(), 1, 99) || !inRange(OptionenFontSizeEdit->text(), 1, 99)) {
        ok = false;
        if (m_prompts)
            m_prompts->errorAt(kMessageOffset, QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 1 und 99 ein!"));
    }
    if (!captureRate()) {
        ok = false;
        if (m_prompts)
            m_prompts->errorAt(kMessageOffset, kCaptureRateMessage);
    }
    return ok;
}

std::optional<double> TOptionenFenster::captureRate() const
{
    // Empty: the video was recorded as fast as it plays.
    const QString text = AufnahmeRateEdit->text().trimmed();
    if (text.isEmpty() || !AufnahmeRateEdit->isEnabled())
        return 0.0;
    double rate = 0;
    if (!tryParseDecimal(text, &rate) || !(rate >= 1 && rate <= 100000))
        return std::nullopt;
    return rate;
}

void TOptionenFenster::setTimeBase(bool fromVideo, bool captureApplies, double rate)
{
    m_captureApplies = captureApplies;
    ZeitAusVideoCheckBox->setChecked(fromVideo);
    AufnahmeRateEdit->setText(captureApplies && rate > 0 ? formatGeneral(rate) : QString());
    AufnahmeRateEdit->setEnabled(fromVideo && captureApplies);
}

bool TOptionenFenster::OptionenPageControlChanging()
{
    return checksPass();
}

void TOptionenFenster::FormActivate()
{
    m_snapshot = settings();
    m_timeBaseSnapshot = {ZeitAusVideoCheckBox->isChecked(), AufnahmeRateEdit->text()};
    {
        const TimeBasePreferences preferences(TimeBasePreferences::configuredPath());
        ObjektGroesseSpinBox->setValue(preferences.trackingBoxSize());
        SuchbereichSpinBox->setValue(preferences.trackingSearchSize());
    }
    m_currentPage = OptionenPageControl->currentIndex();
    m_open = true;
    FontsAnzeigen();
}

void TOptionenFenster::FontsAnzeigen()
{
    // The installed fonts, afresh at every opening (a list that grew with each opening would
    // repeat every name); the name in the edit part stays.
    const QString text = OptionenFontBox->currentText();
    QSignalBlocker block(OptionenFontBox);
    OptionenFontBox->clear();
    OptionenFontBox->addItems(QFontDatabase::families());
    OptionenFontBox->setCurrentText(text);
}

void TOptionenFenster::OKBitBtnClick()
{
    // The evaluation is drawn again in the colours now chosen, then the dialog closes with OK.
    if (m_events) {
        emit m_events->refreshDiagramRequested();
        emit m_events->refreshTrendRequested();
    }
    done(QDialog::Accepted);
}

void TOptionenFenster::done(int result)
{
    if (!FormClose(result))
        return;
    QDialog::done(result);
}

bool TOptionenFenster::FormClose(int result)
{
    const bool ok = result == QDialog::Accepted;
    if (ok) {
        if (!checksPass())
            return false;
        // Cursor, sound with "&Ton", the editor font; the time base.
        emit settingsPushed(settings());
        emit timeBasePushed(ZeitAusVideoCheckBox->isChecked(), captureRate().value_or(0.0));
        {
            TimeBasePreferences preferences(TimeBasePreferences::configuredPath());
            preferences.setTrackingBoxSize(ObjektGroesseSpinBox->value());
            preferences.setTrackingSearchSize(SuchbereichSpinBox->value());
        }
        OptionenEinstellungenSpeichern();
    } else {
        setSettings(m_snapshot);
        ZeitAusVideoCheckBox->setChecked(m_timeBaseSnapshot.fromVideo);
        AufnahmeRateEdit->setText(m_timeBaseSnapshot.captureText);
    }
    m_open = false;
    emit timeDisplaysToRefresh();
    if (!m_st)
        return true;
    // A presentation stores its time steps: a changed one is unsaved work.
    if (ok && m_st->ActiveArea == 2
        && (dtEdit1->text() != m_snapshot.dtNormal || dtEdit2->text() != m_snapshot.dtSlow))
        m_st->DataSaved = false;
    if (m_st->IsPlaying)
        emit runToContinue();
    return true;
}

void TOptionenFenster::execute()
{
    FormActivate();
    const int result = m_prompts ? m_prompts->runModal(this) : exec();
    Q_UNUSED(result);
    // A run that ended without a button counts as closing by the close box.
    if (m_open)
        done(QDialog::Rejected);
}

QWidget* TOptionenFenster::makeColourGroup(const QString& title, QButtonGroup** group)
{
    auto* box = new QGroupBox(title);
    auto* g = new QGridLayout(box);
    *group = new QButtonGroup(box);
    for (int i = 0; i < SettingsColour::Count; ++i) {
        auto* rb = new QRadioButton(SettingsColour::name(i));
        (*group)->addButton(rb, i);
        g->addWidget(rb, i / 3, i % 3);
    }
    (*group)->button(0)->setChecked(true);
    return box;
}

QCheckBox* TOptionenFenster::optionBox(int index) const
{
    QCheckBox* const boxes[] = {StartStopCheckBox, EinzelbildCheckBox, ZeitlupeCheckBox, SchiebereglerCheckBox,
                                FrameAnzeigeCheckBox, ZeitAnzeigeCheckBox, AutostartCheckBox, AuswertungCheckBox};
    return boxes[index];
}

Settings TOptionenFenster::settings() const
{
    Settings s;
    s.sound = TonCheckBox->isChecked();
    s.cursorArrow = CursorPfeilRadioButton->isChecked();
    s.dtNormal = dtEdit1->text();
    s.dtSlow = dtEdit2->text();
    for (int i = 0; i < MarkOptionCount; ++i)
        s.options[i] = optionBox(i)->isChecked();
    s.transition = vonHandRadioButton->isChecked()     ? Transition::VonHand
                   : ohnePauseRadioButton->isChecked() ? Transition::OhnePause
                                                       : Transition::MitPause;
    s.pause = PauseEdit->text();
    s.fontName = OptionenFontBox->currentText();
    s.fontSize = OptionenFontSizeEdit->text();
    s.axisColour = AchsenRadioGroup->checkedId();
    s.pointColour = MesspunktRadioGroup->checkedId();
    s.trendColour = TrendRadioGroup->checkedId();
    return s;
}

void TOptionenFenster::setSettings(const Settings& s)
{
    TonCheckBox->setChecked(s.sound);
    (s.cursorArrow ? CursorPfeilRadioButton : CursorKreuzRadioButton)->setChecked(true);
    setFieldText(dtEdit1, s.dtNormal);
    setFieldText(dtEdit2, s.dtSlow);
    for (int i = 0; i < MarkOptionCount; ++i)
        optionBox(i)->setChecked(s.options[i]);
    switch (s.transition) {
    case Transition::VonHand: vonHandRadioButton->setChecked(true); break;
    case Transition::OhnePause: ohnePauseRadioButton->setChecked(true); break;
    case Transition::MitPause: mitPauseRadioButton->setChecked(true); break;
    }
    setFieldText(PauseEdit, s.pause);
    OptionenFontBox->setCurrentText(s.fontName);
    setFieldText(OptionenFontSizeEdit, s.fontSize);
    AchsenRadioGroup->button(qBound(0, s.axisColour, 5))->setChecked(true);
    MesspunktRadioGroup->button(qBound(0, s.pointColour, 5))->setChecked(true);
    TrendRadioGroup->button(qBound(0, s.trendColour, 5))->setChecked(true);
}

void TOptionenFenster::OptionenEinstellungenOeffnen()
{
    Settings s = settings();
    readSettingsFile(QDir::current().filePath(kSettingsFileName), s);
    setSettings(s);
}

void TOptionenFenster::OptionenEinstellungenSpeichern()
{
    writeSettingsFile(QDir::current().filePath(kSettingsFileName), settings());
}

bool TOptionenFenster::eventFilter(QObject* watched, QEvent* event)
{
    QTabBar* bar = OptionenPageControl->tabBar();
    if (watched == bar && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        const int index = bar->tabAt(me->position().toPoint());
        if (me->button() != Qt::LeftButton || index < 0 || index == bar->currentIndex() || !bar->isTabEnabled(index))
            return false;
        if (OptionenPageControlChanging()) {
            const QScopedValueRollback<bool> checked(m_pageChangeChecked, true);
            OptionenPageControl->setCurrentIndex(index);
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TOptionenFenster::showPage(QWidget* page, bool visible)
{
    OptionenPageControl->setTabVisible(OptionenPageControl->indexOf(page), visible);
}

void TOptionenFenster::showPlayerPages()
{
    const QScopedValueRollback<bool> byProgram(m_pageChangeChecked, true);
    showPage(SteuerelementeRegister, false);
    showPage(EditorRegister, false);
    showPage(DiagrammRegister, true);
    OptionenPageControl->setCurrentWidget(AllgemeinRegister);
}

void TOptionenFenster::showAuthoringPages()
{
    const QScopedValueRollback<bool> byProgram(m_pageChangeChecked, true);
    showPage(SteuerelementeRegister, true);
    showPage(EditorRegister, true);
    showPage(DiagrammRegister, false);
}

bool TOptionenFenster::pageVisible(const QString& caption) const
{
    for (int i = 0; i < OptionenPageControl->count(); ++i)
        if (OptionenPageControl->tabText(i) == caption)
            return OptionenPageControl->isTabVisible(i);
    return false;
}

} // namespace kadro
