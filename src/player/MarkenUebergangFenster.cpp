#include "player/MarkenUebergangFenster.h"

#include "common/MainState.h"
#include "common/NumberFormat.h"
#include "common/Prompts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kadro {

namespace {
// The dialog's error box lies this far right of and below the main window's top-left corner.
const QPoint kErrorBoxOffset(288, 320);
} // namespace

TMarkenUebergangFenster::TMarkenUebergangFenster(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MarkenUebergangFenster"));
    setWindowTitle(QStringLiteral("Markenübergang"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setModal(true);

    auto* text = new QLabel(QStringLiteral("Einstellungen für den Übergang zwischen zwei Marken. "
                                           "Wird ausgeführt, sobald ein Videoabschnitt zu Ende ist."));
    text->setWordWrap(true);
    text->setFrameShape(QFrame::Box);
    auto* group = new QGroupBox;
    auto* g = new QGridLayout(group);
    vonHandRadioButton = new QRadioButton(QStringLiteral("von Hand"));
    ohnePauseRadioButton = new QRadioButton(QStringLiteral("ohne Pause"));
    mitPauseRadioButton = new QRadioButton(QStringLiteral("mit Pause"));
    ohnePauseRadioButton->setChecked(true);
    PauseEdit = new QLineEdit(QStringLiteral("10"));
    PauseEdit->setMaxLength(2);
    PauseEdit->setFixedWidth(32);
    SekundenLabel = new QLabel(QStringLiteral("sec."));
    g->addWidget(vonHandRadioButton, 0, 0);
    g->addWidget(ohnePauseRadioButton, 1, 0);
    g->addWidget(mitPauseRadioButton, 2, 0);
    g->addWidget(PauseEdit, 2, 1);
    g->addWidget(SekundenLabel, 2, 2);
    OKButton = new QPushButton(QStringLiteral("OK"));
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* v = new QVBoxLayout(this);
    v->addWidget(text);
    v->addWidget(group);
    v->addWidget(OKButton, 0, Qt::AlignRight);
    setFixedWidth(300);

    connect(vonHandRadioButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            vonHandRadioButtonClick();
    });
    connect(ohnePauseRadioButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            ohnePauseRadioButtonClick();
    });
    connect(mitPauseRadioButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            mitPauseRadioButtonClick();
    });
}

void TMarkenUebergangFenster::attach(MainState& st, Prompts& prompts, TransitionCellAccess& cell)
{
    m_st = &st;
    m_prompts = &prompts;
    m_cell = &cell;
}

void TMarkenUebergangFenster::showPauseField(bool pauseEnabled)
{
    PauseEdit->setEnabled(pauseEnabled);
    SekundenLabel->setEnabled(pauseEnabled);
}

// The radio buttons report only a change of the selection (their toggled signal), made by the
// author or by FormActivate; each change marks the presentation as changed.
void TMarkenUebergangFenster::selectionChanged(bool pauseEnabled)
{
    showPauseField(pauseEnabled);
    if (m_st)
        m_st->DataSaved = false;
}

void TMarkenUebergangFenster::vonHandRadioButtonClick() { selectionChanged(false); }
void TMarkenUebergangFenster::ohnePauseRadioButtonClick() { selectionChanged(false); }
void TMarkenUebergangFenster::mitPauseRadioButtonClick() { selectionChanged(true); }

void TMarkenUebergangFenster::FormActivate()
{
    if (!m_cell)
        return;
    // Selecting the button that is selected already is no change: the presentation stays saved.
    const QString cell = m_cell->transitionCell();
    m_cellAtOpening = cell;
    if (cell.isEmpty() || cell == QLatin1String("   manuell")) {
        vonHandRadioButton->setChecked(true);
        showPauseField(false);
    } else if (cell == QLatin1String("ohne Pause")) {
        ohnePauseRadioButton->setChecked(true);
        showPauseField(false);
    } else if (cell.size() > 1 && cell.at(1) == QLatin1Char('P')) {
        const qsizetype open = cell.indexOf(QLatin1Char('(')) + 1; // 1-based position of "("
        PauseEdit->setText(cell.mid(8, cell.size() - open - 1));
        mitPauseRadioButton->setChecked(true);
        showPauseField(true);
    }
}

bool TMarkenUebergangFenster::FormClose()
{
    if (!m_cell)
        return true;
    int pause = 0;
    const bool valid = tryParseInteger(PauseEdit->text(), &pause) && pause >= 1 && pause <= 99;
    if (!valid && m_prompts)
        m_prompts->errorAt(kErrorBoxOffset,
                           QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 1 und 99 ein!"));
    QString cell;
    if (vonHandRadioButton->isChecked())
        cell = QStringLiteral("   manuell");
    else if (ohnePauseRadioButton->isChecked())
        cell = QStringLiteral("ohne Pause");
    else
        cell = QStringLiteral(" Pause (") + PauseEdit->text() + QLatin1Char(')');
    m_cell->setTransitionCell(cell);
    // A new pause of the same kind ("mit Pause" 5 to 7 seconds) changes no radio button but is
    // a change all the same; without this it could be lost without the save question.
    if (m_st && cell != m_cellAtOpening)
        m_st->DataSaved = false;
    if (m_st && m_st->IsPlaying)
        emit runInterrupted();
    return valid;
}

void TMarkenUebergangFenster::done(int result)
{
    if (!FormClose())
        return;
    QDialog::done(result);
}

} // namespace kadro
