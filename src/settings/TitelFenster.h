#pragma once
#include "settings/model/Titles.h"

#include <QDialog>
#include <array>

class QTableWidget;
class QPushButton;
class QLabel;

namespace kadro {

struct MainState;
class Prompts;

// The dialog "Titel erstellen": the five start-page entries (file path, title) in a grid whose
// rows 1..5 are the entries. The grid lives as long as the program and is the titles table.
class TTitelFenster : public QDialog {
    Q_OBJECT
public:
    explicit TTitelFenster(QWidget* parent = nullptr);

    // What the dialog works with besides its grid: the program state (IsPlaying) and the prompts.
    void attach(MainState& st, Prompts& prompts);

    QString path(int entry) const;  // entry 1..5
    QString title(int entry) const; // entry 1..5
    void setEntry(int entry, const QString& path, const QString& title);
    TitlesTable table() const;
    void setTable(const TitlesTable& table);

    // Titel.opt in the working directory: read leniently into the grid, written from it. A table
    // the file cannot hold is not written (warning shown; the old file stays): false.
    void TitelOeffnen();
    bool TitelSpeichern();

    // Opening, the buttons, the grid click and closing.
    void FormActivate();
    void HinzufuegenButtonClick();
    void TitelStringGridMouseDown(int row);
    void LoeschenButtonClick();
    void FormClose(int result);
    // OK with a title the titles file cannot hold shows the warning and keeps the dialog open.
    void done(int result) override;
    // The whole modal use from the menu: activation, the dialog, closing.
    void execute();

    int NextFreeRow = 1;
    int SelectedRow = 0;

    QLabel* InfoLabel = nullptr;
    QTableWidget* TitelStringGrid = nullptr;
    QPushButton* HinzufuegenButton = nullptr;
    QPushButton* LoeschenButton = nullptr;
    QPushButton* OKBitBtn = nullptr;
    QPushButton* AbbrechenBitBtn = nullptr;

signals:
    // The dialog closed (either way) and the video ran before the menu: it runs on.
    void runToContinue();

private:
    void computeNextFreeRow();
    void setCell(int row, int col, const QString& text);
    QString cell(int row, int col) const;

    MainState* m_st = nullptr;
    Prompts* m_prompts = nullptr;
    TitlesTable m_snapshot;
};

} // namespace kadro
