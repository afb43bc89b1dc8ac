#pragma once
#include <QDialog>

class QLineEdit;
class QRadioButton;
class QLabel;
class QPushButton;

namespace kadro {

struct MainState;
class Prompts;

// The cell the transition dialog edits: the transition cell of the selected mark.
class TransitionCellAccess {
public:
    virtual ~TransitionCellAccess() = default;
    virtual QString transitionCell() const = 0;
    virtual void setTransitionCell(const QString& text) = 0;
};

// The transition dialog "Markenübergang": how the presentation goes on after a section.
class TMarkenUebergangFenster : public QDialog {
    Q_OBJECT
public:
    explicit TMarkenUebergangFenster(QWidget* parent = nullptr);

    // What the dialog works with: the program state (DataSaved, IsPlaying), the prompts and the
    // cell it edits.
    void attach(MainState& st, Prompts& prompts, TransitionCellAccess& cell);

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

signals:
    // Closing while a run was interrupted by the dialog shows it as paused ("Zurück", "Weiter").
    void runInterrupted();

private:
    void showPauseField(bool pauseEnabled);
    void selectionChanged(bool pauseEnabled);
    QString m_cellAtOpening;
    MainState* m_st = nullptr;
    Prompts* m_prompts = nullptr;
    TransitionCellAccess* m_cell = nullptr;
};

} // namespace kadro
