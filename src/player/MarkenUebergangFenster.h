#pragma once
#include <QDialog>

class QLineEdit;
class QRadioButton;
class QLabel;
class QPushButton;

namespace kadro {

class TVideoAbspielenFenster;

// The transition dialog "Markenübergang": how the presentation goes on after a section.
class TMarkenUebergangFenster : public QDialog {
    Q_OBJECT
public:
    explicit TMarkenUebergangFenster(QWidget* parent = nullptr);

    // The main window whose mark grid the dialog edits (row SelectedMarkRow, transition column).
    void setMainWindow(TVideoAbspielenFenster* w) { m_w = w; }

    // Shows the transition of the selected mark.
    void FormActivate();
    // Checks the pause and writes the transition cell; false (message shown) keeps the dialog open.
    bool FormClose();
    void vonHandRadioButtonClick();
    void ohnePauseRadioButtonClick();
    void mitPauseRadioButtonClick();

    // OK and the close box both end in FormClose.
    void done(int result) override;

    QRadioButton* vonHandRadioButton = nullptr;
    QRadioButton* ohnePauseRadioButton = nullptr;
    QRadioButton* mitPauseRadioButton = nullptr;
    QLineEdit* PauseEdit = nullptr;
    QLabel* SekundenLabel = nullptr;
    QPushButton* OKButton = nullptr;

private:
    void selectionChanged(bool pauseEnabled);
    TVideoAbspielenFenster* m_w = nullptr;
};

} // namespace kadro
