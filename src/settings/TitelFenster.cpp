#include "settings/TitelFenster.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kadro {

TTitelFenster::TTitelFenster(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TitelFenster"));
    setWindowTitle(QStringLiteral("Titel erstellen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setModal(true);

    TitelStringGrid = new QTableWidget(6, 2, this);
    TitelStringGrid->setObjectName(QStringLiteral("TitelStringGrid"));
    TitelStringGrid->horizontalHeader()->hide();
    TitelStringGrid->verticalHeader()->hide();
    TitelStringGrid->setColumnWidth(0, 225);
    TitelStringGrid->setColumnWidth(1, 183);
    TitelStringGrid->setRowHeight(0, 25);
    for (int r = 1; r < 6; ++r)
        TitelStringGrid->setRowHeight(r, 19);
    TitelStringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TitelStringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem;
            if (r == 0 || c == 0)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            TitelStringGrid->setItem(r, c, item);
        }
    }
    TitelStringGrid->item(0, 0)->setText(QStringLiteral("          Name der VST- oder AVI-Datei"));
    TitelStringGrid->item(0, 1)->setText(QStringLiteral("            Titel auf der Startseite"));
    TitelStringGrid->setFixedSize(225 + 183 + 4, 25 + 5 * 19 + 4);

    HinzufuegenButton = new QPushButton(QStringLiteral("Hinzufügen ..."));
    LoeschenButton = new QPushButton(QStringLiteral("Löschen"));
    OKButton = new QPushButton(QStringLiteral("OK"));
    AbbrechenButton = new QPushButton(QStringLiteral("Abbrechen"));
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(AbbrechenButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* v = new QVBoxLayout(this);
    v->addWidget(TitelStringGrid);
    auto* h = new QHBoxLayout;
    h->addWidget(HinzufuegenButton);
    h->addWidget(LoeschenButton);
    h->addStretch();
    h->addWidget(OKButton);
    h->addWidget(AbbrechenButton);
    v->addLayout(h);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QString TTitelFenster::path(int entry) const
{
    return TitelStringGrid->item(entry, 0)->text();
}

QString TTitelFenster::title(int entry) const
{
    return TitelStringGrid->item(entry, 1)->text();
}

void TTitelFenster::setEntry(int entry, const QString& path, const QString& title)
{
    TitelStringGrid->item(entry, 0)->setText(path);
    TitelStringGrid->item(entry, 1)->setText(title);
}

} // namespace kadro
