#pragma once
#include <QDialog>

class QTableWidget;
class QPushButton;

namespace kadro {

// The dialog "Titel erstellen": the five start-page entries (file path, title) in a grid whose
// rows 1..5 are the entries. The grid lives as long as the program and is the titles table.
class TTitelFenster : public QDialog {
    Q_OBJECT
public:
    explicit TTitelFenster(QWidget* parent = nullptr);

    QString path(int entry) const;  // entry 1..5
    QString title(int entry) const; // entry 1..5
    void setEntry(int entry, const QString& path, const QString& title);

    QTableWidget* TitelStringGrid = nullptr;
    QPushButton* HinzufuegenButton = nullptr;
    QPushButton* LoeschenButton = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* AbbrechenButton = nullptr;
};

} // namespace kadro
