#pragma once
#include "app/SupportLinks.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTextEdit;

namespace kadro {

// The questions-and-answers window "FAQ - Fragen und Antworten": shown beside the main window
// without blocking it. It shows the text of faq.txt (formatted when the file is RTF) and offers
// the support mail address.
class TFAQFenster : public QWidget {
    Q_OBJECT
public:
    explicit TFAQFenster(QWidget* parent = nullptr);

    // Loads the file whole into FAQRichEdit: RTF formatted, anything else as plain text. A file
    // that cannot be read leaves the previous text and throws KadroError
    // "Datei <name> kann nicht geöffnet werden. <reason>" for the general error box.
    void loadFile(const QString& path);

    // Handlers.
    void Label3Click();
    void Button1Click();

    // How links reach the platform (replaceable for tests).
    LinkOpener openLink = openLinkWithPlatform;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QTextEdit* FAQRichEdit = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void setLabel3Colour(const QColor& colour);
};

// The system's reason why a file could not be opened, in German, for an error number (errno).
QString openFailureReason(int errorNumber);

} // namespace kadro
