#pragma once
#include "app/SupportLinks.h"

#include <QColor>
#include <QDialog>
#include <QString>
#include <array>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace kadro {

struct MainState;

// The info window "Infofenster": the program's name and version, where it comes from, the
// support mail address and the project web page, and a list of acknowledgements that scrolls
// upwards without end (20 pixels a second) in a small yellow box.
class TInfofenster : public QDialog {
    Q_OBJECT
public:
    explicit TInfofenster(QWidget* parent = nullptr);

    // The program state (whether a video ran before the menu was opened).
    void attach(MainState& st);

    // One line of the acknowledgements: drawn at x and at y = scroll position + yOffset.
    struct Line {
        int x;
        int yOffset;
        QColor colour;
        QString text;
    };
    static const std::array<Line, 13>& acknowledgements();
    // The small picture beside the program's name.
    static QPixmap paintClipart(const QSize& size);

    // Handlers.
    void FormActivate();
    void Timer1Timer();
    void OKButtonClick();
    void MailLabel2Click();
    void HPLabel2Click();

    // The list's vertical offset in the box for the next tick.
    int scrollPosition() const { return m_scroll; }

    // How links reach the platform (replaceable for tests).
    LinkOpener openLink = openLinkWithPlatform;

    QFrame* Panel1 = nullptr;
    QLabel* Clipart = nullptr;
    QLabel* Titel = nullptr;
    QLabel* Version = nullptr;
    std::array<QLabel*, 4> OriginLabels{};
    QLabel* MailLabel = nullptr;
    QLabel* MailLabel2 = nullptr;
    QLabel* HPLabel1 = nullptr;
    QLabel* HPLabel2 = nullptr;
    QFrame* AnimationsPanel = nullptr;
    QWidget* PaintBox = nullptr;
    QPushButton* OKButton = nullptr;
    QTimer* Timer1 = nullptr;

signals:
    // Closed with OK while a video ran before the menu: it runs on.
    void runToContinue();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void setColour(QLabel* label, const QColor& colour);

    MainState* m_st = nullptr;
    int m_scroll = 100;
};

} // namespace kadro
