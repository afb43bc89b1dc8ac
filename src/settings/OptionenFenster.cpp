#include "settings/OptionenFenster.h"

#include "common/MainState.h"
#include "common/NumberFormat.h"
#include "common/Prompts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kadro {

namespace {
QLineEdit* shortEdit(const QString& text, int maxLength, const QString& name)
{
    auto* e = new QLineEdit(text);
    e->setMaxLength(maxLength);
    e->setFixedWidth(48);
    e->setObjectName(name);
    return e;
}
} // namespace

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
        dl->addWidget(new QLabel(QStringLiteral("Abstand zweier aufeinanderfolgender Bilder :")), 0, 0, 1, 3);
        dtEdit1 = shortEdit(QStringLiteral("40"), 4, QStringLiteral("dtEdit1"));
        dtEdit2 = shortEdit(QStringLiteral("200"), 4, QStringLiteral("dtEdit2"));
        dl->addWidget(new QLabel(QStringLiteral("Normal")), 1, 0);
        dl->addWidget(dtEdit1, 1, 1);
        dl->addWidget(new QLabel(QStringLiteral("ms")), 1, 2);
        dl->addWidget(new QLabel(QStringLiteral("Zeitlupe")), 2, 0);
        dl->addWidget(dtEdit2, 2, 1);
        dl->addWidget(new QLabel(QStringLiteral("ms")), 2, 2);
        v->addWidget(ton);
        v->addWidget(cursor);
        v->addWidget(dt);
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
                [this](int value) { OptionenFontSizeEdit->setText(QString::number(value)); });
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
    connect(OKBitBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(AbbrechenBitBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(OptionenPageControl);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBitBtn);
    buttons->addWidget(AbbrechenBitBtn);
    layout->addLayout(buttons);
    setFixedSize(308, 365);

    connect(OptionenPageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == m_currentPage || m_closing)
            return;
        if (!OptionenPageControlChanging()) {
            QSignalBlocker block(OptionenPageControl);
            OptionenPageControl->setCurrentIndex(m_currentPage);
            return;
        }
        m_currentPage = index;
    });
}

void TOptionenFenster::attach(MainState& st, Prompts& prompts)
{
    m_st = &st;
    m_prompts = &prompts;
}

void TOptionenFenster::setTimeSteps(const QString& normal, const QString& slow)
{
    dtEdit1->setText(normal);
    dtEdit2->setText(slow);
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
    // The error boxes lie 288 pixels right of and 320 below the main window's top-left corner.
    const QPoint boxOffset(288, 320);
    bool ok = true;
    if (!inRange(dtEdit1->text(), 10, 9999) || !inRange(dtEdit2->text(), 10, 9999)) {
        ok = false;
        if (m_prompts)
            m_prompts->errorAt(boxOffset, QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 10 und 9999 ein!"));
    }
    if (!inRange(PauseEdit->text(), 1, 99) || !inRange(OptionenFontSizeEdit->text(), 1, 99)) {
        ok = false;
        if (m_prompts)
            m_prompts->errorAt(boxOffset, QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 1 und 99 ein!"));
    }
    return ok;
}

bool TOptionenFenster::OptionenPageControlChanging()
{
    return checksPass();
}

void TOptionenFenster::FormActivate()
{
    m_snapshot = settings();
    m_currentPage = OptionenPageControl->currentIndex();
    const QString text = OptionenFontBox->currentText();
    OptionenFontBox->clear();
    OptionenFontBox->addItems(QFontDatabase::families());
    OptionenFontBox->setCurrentText(text);
}

void TOptionenFenster::done(int result)
{
    if (result == QDialog::Accepted && !checksPass())
        return;
    QDialog::done(result);
}

void TOptionenFenster::FormClose(int result)
{
    if (result != QDialog::Accepted) {
        setSettings(m_snapshot);
    } else {
        emit settingsPushed(settings());
        OptionenEinstellungenSpeichern();
    }
    emit timeDisplaysToRefresh();
    if (!m_st)
        return;
    if (result == QDialog::Accepted && m_st->ActiveArea == 2
        && (dtEdit1->text() != m_snapshot.dtNormal || dtEdit2->text() != m_snapshot.dtSlow))
        m_st->DataSaved = false;
    if (m_st->IsPlaying)
        emit runToContinue();
}

void TOptionenFenster::execute()
{
    FormActivate();
    const int result = m_prompts ? m_prompts->runModal(this) : exec();
    FormClose(result);
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
    dtEdit1->setText(s.dtNormal);
    dtEdit2->setText(s.dtSlow);
    for (int i = 0; i < MarkOptionCount; ++i)
        optionBox(i)->setChecked(s.options[i]);
    switch (s.transition) {
    case Transition::VonHand: vonHandRadioButton->setChecked(true); break;
    case Transition::OhnePause: ohnePauseRadioButton->setChecked(true); break;
    case Transition::MitPause: mitPauseRadioButton->setChecked(true); break;
    }
    PauseEdit->setText(s.pause);
    OptionenFontBox->setCurrentText(s.fontName);
    OptionenFontSizeEdit->setText(s.fontSize);
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

void TOptionenFenster::showPlayerPages()
{
    OptionenPageControl->setTabVisible(OptionenPageControl->indexOf(SteuerelementeRegister), false);
    OptionenPageControl->setTabVisible(OptionenPageControl->indexOf(EditorRegister), false);
    OptionenPageControl->setTabVisible(OptionenPageControl->indexOf(DiagrammRegister), true);
    OptionenPageControl->setCurrentWidget(AllgemeinRegister);
}

void TOptionenFenster::showAuthoringPages()
{
    OptionenPageControl->setTabVisible(OptionenPageControl->indexOf(SteuerelementeRegister), true);
    OptionenPageControl->setTabVisible(OptionenPageControl->indexOf(EditorRegister), true);
    OptionenPageControl->setTabVisible(OptionenPageControl->indexOf(DiagrammRegister), false);
}

bool TOptionenFenster::pageVisible(const QString& caption) const
{
    for (int i = 0; i < OptionenPageControl->count(); ++i)
        if (OptionenPageControl->tabText(i) == caption)
            return OptionenPageControl->isTabVisible(i);
    return false;
}

} // namespace kadro
