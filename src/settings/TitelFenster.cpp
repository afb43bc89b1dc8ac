#include "settings/TitelFenster.h"

#include "authoring/model/VstFile.h"
#include "common/Cp1252.h"
#include "common/ErrorReport.h"
#include "common/MainState.h"
#include "common/Prompts.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kadro {

namespace {
const QString kHeader0 = QStringLiteral("          Name der VST- oder AVI-Datei");
const QString kHeader1 = QStringLiteral("            Titel auf der Startseite");
} // namespace

TTitelFenster::TTitelFenster(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TitelFenster"));
    setWindowTitle(QStringLiteral("Titel erstellen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setModal(true);

    InfoLabel = new QLabel(QStringLiteral(
        "Wählen Sie über \"Hinzufügen\" die gewünschte VST-Datei oder AVI-Datei aus, der Sie einen Titel auf der "
        "Startseite geben wollen. Über den Titel auf der Startseite wird per Mausklick automatisch die "
        "entsprechende Datei geladen."));
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setWordWrap(true);
    InfoLabel->setFrameShape(QFrame::Box);

    TitelStringGrid = new QTableWidget(6, 2, this);
    TitelStringGrid->setObjectName(QStringLiteral("TitelStringGrid"));
    TitelStringGrid->horizontalHeader()->hide();
    TitelStringGrid->verticalHeader()->hide();
    TitelStringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TitelStringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TitelStringGrid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    for (int r = 0; r < 6; ++r) {
        TitelStringGrid->setRowHeight(r, r == 0 ? 25 : 19);
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem;
            if (r == 0 || c == 0)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            TitelStringGrid->setItem(r, c, item);
        }
    }
    TitelStringGrid->setColumnWidth(0, 225);
    TitelStringGrid->setColumnWidth(1, 183);
    TitelStringGrid->setFixedSize(225 + 183 + 4, 25 + 5 * 19 + 4);
    setCell(0, 0, kHeader0);
    setCell(0, 1, kHeader1);

    HinzufuegenButton = new QPushButton(QStringLiteral("Hinzufügen ..."));
    HinzufuegenButton->setObjectName(QStringLiteral("HinzufuegenButton"));
    LoeschenButton = new QPushButton(QStringLiteral("Löschen"));
    LoeschenButton->setObjectName(QStringLiteral("LoeschenButton"));
    OKBitBtn = new QPushButton(QStringLiteral("OK"));
    OKBitBtn->setObjectName(QStringLiteral("OKBitBtn"));
    AbbrechenBitBtn = new QPushButton(QStringLiteral("Abbrechen"));
    AbbrechenBitBtn->setObjectName(QStringLiteral("AbbrechenBitBtn"));

    auto guarded = [this](auto fn) {
        return [this, fn] {
            if (m_prompts)
                runGuarded(*m_prompts, fn);
            else
                fn();
        };
    };
    connect(OKBitBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(AbbrechenBitBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HinzufuegenButton, &QPushButton::clicked, this, guarded([this] { HinzufuegenButtonClick(); }));
    connect(LoeschenButton, &QPushButton::clicked, this, guarded([this] { LoeschenButtonClick(); }));
    connect(TitelStringGrid, &QTableWidget::cellPressed, this, [this](int row, int) { TitelStringGridMouseDown(row); });

    auto* v = new QVBoxLayout(this);
    v->addWidget(InfoLabel);
    auto* top = new QHBoxLayout;
    top->addWidget(HinzufuegenButton);
    top->addWidget(LoeschenButton);
    top->addStretch();
    v->addLayout(top);
    v->addWidget(TitelStringGrid);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(OKBitBtn);
    bottom->addWidget(AbbrechenBitBtn);
    v->addLayout(bottom);
    setFixedSize(440, 285);
}

void TTitelFenster::setCell(int row, int col, const QString& text)
{
    TitelStringGrid->item(row, col)->setText(text);
}

QString TTitelFenster::cell(int row, int col) const
{
    return TitelStringGrid->item(row, col)->text();
}

QString TTitelFenster::path(int entry) const
{
    return cell(entry, 0);
}

QString TTitelFenster::title(int entry) const
{
    return cell(entry, 1);
}

void TTitelFenster::setEntry(int entry, const QString& path, const QString& title)
{
    setCell(entry, 0, path);
    setCell(entry, 1, title);
}

TitlesTable TTitelFenster::table() const
{
    TitlesTable t;
    for (int i = 0; i < 5; ++i) {
        t.path[i] = path(i + 1);
        t.title[i] = title(i + 1);
    }
    return t;
}

void TTitelFenster::setTable(const TitlesTable& t)
{
    for (int i = 0; i < 5; ++i)
        setEntry(i + 1, t.path[i], t.title[i]);
}

void TTitelFenster::TitelOeffnen()
{
    QByteArray bytes;
    if (!readFileBytes(QDir::current().filePath(kTitlesFileName), &bytes))
        return;
    TitlesTable t = table();
    readTitlesText(bytes, t);
    setTable(t);
}

bool TTitelFenster::TitelSpeichern()
{
    // A title or path written with "?" in place of a letter would show wrongly or open nothing.
    if (const std::optional<QString> warning = unwritableTitlesWarning(table())) {
        if (m_prompts)
            m_prompts->warning(*warning);
        return false;
    }
    writeTitlesFile(QDir::current().filePath(kTitlesFileName), table());
    return true;
}

void TTitelFenster::computeNextFreeRow()
{
    int taken = 0;
    for (int r = 1; r <= 5; ++r)
        if (!path(r).isEmpty())
            ++taken;
    NextFreeRow = 1 + taken;
}

void TTitelFenster::FormActivate()
{
    setCell(0, 0, kHeader0);
    setCell(0, 1, kHeader1);
    TitelStringGrid->setRowHeight(0, 25);
    TitelStringGrid->setColumnWidth(0, 225);
    TitelStringGrid->setColumnWidth(1, 183);
    m_snapshot = table();
    computeNextFreeRow();
}

void TTitelFenster::attach(MainState& st, Prompts& prompts)
{
    m_st = &st;
    m_prompts = &prompts;
}

void TTitelFenster::HinzufuegenButtonClick()
{
    if (!m_prompts)
        return;
    // With every row taken there is no row for another file.
    if (NextFreeRow > 5) {
        HinzufuegenButton->setEnabled(false);
        return;
    }
    // The open dialog's filters, the first ("Alle Dateien") preselected.
    FileDialogOptions options = presentationOpenDialogOptions();
    options.filterIndex = 1;
    options.directory = QDir::currentPath();
    const QString chosen = m_prompts->openFile(options);
    // A path the titles file cannot hold would be stored with "?" and could not be opened from
    // the start page: refused, nothing added.
    const std::optional<QString> warning = unwritableEntryPathWarning(QDir::toNativeSeparators(chosen));
    if (warning)
        m_prompts->warning(*warning);
    if (!chosen.isEmpty() && !warning) {
        setCell(NextFreeRow, 0, QDir::toNativeSeparators(chosen));
        ++NextFreeRow;
    }
    if (NextFreeRow > 5)
        HinzufuegenButton->setEnabled(false);
}

void TTitelFenster::TitelStringGridMouseDown(int row)
{
    SelectedRow = row;
}

void TTitelFenster::LoeschenButtonClick()
{
    const int r = SelectedRow;
    if (r >= 1 && r <= 5) {
        for (int i = r; i < 5; ++i)
            setEntry(i, path(i + 1), title(i + 1));
        setEntry(5, QString(), QString());
        // Rows from the old next free row on are emptied, also of titles typed without a file.
        for (int i = 5; i >= NextFreeRow && i >= 1; --i)
            setEntry(i, QString(), QString());
        computeNextFreeRow();
    }
    HinzufuegenButton->setEnabled(true);
}

void TTitelFenster::FormClose(int result)
{
    if (result == QDialog::Accepted)
        TitelSpeichern();
    else
        setTable(m_snapshot);
    if (m_st && m_st->IsPlaying)
        emit runToContinue();
}

void TTitelFenster::done(int result)
{
    if (result == QDialog::Accepted) {
        if (const std::optional<QString> warning = unwritableTitlesWarning(table())) {
            if (m_prompts)
                m_prompts->warning(*warning);
            return;
        }
    }
    QDialog::done(result);
}

void TTitelFenster::execute()
{
    FormActivate();
    const int result = m_prompts ? m_prompts->runModal(this) : exec();
    FormClose(result);
}

} // namespace kadro
