#include "player/MarkenUebergangFenster.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kadro {

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
}

} // namespace kadro
