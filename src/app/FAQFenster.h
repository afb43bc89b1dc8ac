#pragma once
#include <QWidget>

class QTextEdit;
class QPushButton;

namespace kadro {

// The questions-and-answers window: shown beside the main window without blocking it.
class TFAQFenster : public QWidget {
    Q_OBJECT
public:
    explicit TFAQFenster(QWidget* parent = nullptr);

    QTextEdit* FAQRichEdit = nullptr;
    QPushButton* Button1 = nullptr;
};

} // namespace kadro
