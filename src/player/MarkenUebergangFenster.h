#pragma once
#include <QDialog>

class QLineEdit;
class QRadioButton;
class QLabel;
class QPushButton;

namespace kadro {

// The transition dialog "Markenübergang": how the presentation goes on after a section.
class TMarkenUebergangFenster : public QDialog {
    Q_OBJECT
public:
    explicit TMarkenUebergangFenster(QWidget* parent = nullptr);

    QRadioButton* vonHandRadioButton = nullptr;
    QRadioButton* ohnePauseRadioButton = nullptr;
    QRadioButton* mitPauseRadioButton = nullptr;
    QLineEdit* PauseEdit = nullptr;
    QLabel* SekundenLabel = nullptr;
    QPushButton* OKButton = nullptr;
};

} // namespace kadro
