#include "app/Infofenster.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kadro {

TInfofenster::TInfofenster(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Infofenster"));
    setWindowTitle(QStringLiteral("Infofenster"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setModal(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x80, 0x80));
    setPalette(pal);

    auto* panel = new QFrame;
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Box);
    panel->setAutoFillBackground(true);
    QPalette yellow = panel->palette();
    yellow.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0x00));
    panel->setPalette(yellow);
    panel->setFixedSize(338, 189);
    auto* pv = new QVBoxLayout(panel);
    auto* titel = new QLabel(QStringLiteral("Kadro"));
    titel->setObjectName(QStringLiteral("Titel"));
    titel->setStyleSheet(QStringLiteral("color: blue; font: bold 21px Arial;"));
    auto* version = new QLabel(QStringLiteral("Version 2.0"));
    version->setObjectName(QStringLiteral("Version"));
    version->setStyleSheet(QStringLiteral("color: blue; font-size: 13px;"));
    pv->addWidget(titel);
    pv->addWidget(version);
    pv->addStretch();

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* v = new QVBoxLayout(this);
    v->addWidget(panel, 0, Qt::AlignHCenter);
    v->addStretch();
    v->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(352, 405);
}

} // namespace kadro
