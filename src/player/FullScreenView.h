#pragma once
// The picture filling the screen, for a class: a view of the same controllers as the window. It
// shows the frame of the window's picture at once, and the same frame at the video's own
// resolution as soon as that is decoded (on a decoder of its own, which keeps only the current
// frame at that size; stepping and playing go on as fast as in the window).
// Its bar holds twins of the window's transport and section buttons and slider (shown, enabled
// and captioned as those are, so a section offers what its mark allows and nothing more; a
// click on a twin clicks the window's control), and hides 3 s after the last mouse move. Keys:
// Space does what "Start" / "Pause" / "Weiter" would, → "Bild vor", ← "Bild zurück", L the
// magnifier, Esc or F11 back to the window. A press on the picture is a press on the window's
// drawing surface at the place it shows, in fractions of its pixels; what is drawn there is
// drawn here at the larger scale. A section's memo stands beside the picture (or below it on a
// narrow screen), its text scaled with the screen.

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QFrame;
class QPushButton;
class QSlider;
class QTextBrowser;
class QTextEdit;

namespace kadro {

class CurrentFullFrame;
class Magnifier;
class OverlayBox;
class PictureSurface;
class VideoDevice;

struct FullScreenWidgets {
    PictureSurface* surface = nullptr;   // the window's picture, whose frame is shown
    OverlayBox* overlay = nullptr;       // the window's drawing surface
    // The window's controls the bar has twins of, in the bar's order.
    std::vector<QPushButton*> buttons;
    QPushButton* startButton = nullptr;  // "Start"
    QPushButton* pauseButton = nullptr;  // "Pause" / "Weiter"
    QPushButton* backButton = nullptr;   // "Bild zurück"
    QPushButton* forwardButton = nullptr; // "Bild vor"
    QSlider* slider = nullptr;
    QTextEdit* memo = nullptr;           // the section's memo in the window
    QWidget* memoCover = nullptr;        // covers the memo when the section has none
    QCheckBox* magnifierBox = nullptr;   // "Lupe"
    QWidget* startPage = nullptr;        // when it shows (a presentation's last transition), full screen ends
};

class FullScreenView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBarHideMs = 3000;

    FullScreenView(VideoDevice& device, const FullScreenWidgets& widgets, QWidget* mainWindow);

    // Opens the picture's menu at a global position (the window's "&Vollbild" item leaves).
    std::function<void(const QPoint&)> openMenu;
    // Whether the magnifier may be used now (its check box is offered in the window).
    std::function<bool()> magnifierOffered;

    void enter();
    void leave();
    bool active() const { return isVisible(); }

    // Where the picture lies on the view, and the place on the window's drawing surface a point
    // of the view shows (fractions of its pixels).
    QRect pictureRect() const { return m_pictureRect; }
    QPointF overlayPointOf(const QPointF& viewPoint) const;
    QWidget* bar() const;
    // The bar's twin of a window control (null if it has none).
    QPushButton* twinOf(const QPushButton* original) const;
    QSlider* sliderTwin() const { return m_sliderTwin; }
    QTextBrowser* memoPane() const { return m_memoPane; }
    Magnifier* magnifier() const { return m_magnifier; }
    // The frame shown at the video's own resolution, and its number (-1 while there is none).
    const QImage& sharpPicture() const;
    int sharpFrame() const;
    // Makes the bar and the memo follow the window's controls now (also done 10 times a second).
    void sync();

signals:
    void entered();
    void left();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void layOut();
    void showBar();
    void syncMemo();
    void followPointer(const QPointF& viewPoint);
    static void clickIfOffered(QPushButton* button);

    VideoDevice& m_device;
    FullScreenWidgets ui;
    QWidget* m_mainWindow;
    QFrame* m_bar = nullptr;
    std::vector<std::pair<QPushButton*, QPushButton*>> m_twins; // window control, twin
    QSlider* m_sliderTwin = nullptr;
    bool m_syncing = false;
    QTextBrowser* m_memoPane = nullptr;
    bool m_memoShown = false;
    int m_memoRevision = -1;
    Magnifier* m_magnifier = nullptr;
    QRect m_pictureRect;
    QTimer m_barTimer;
    QTimer m_syncTimer;
    CurrentFullFrame* m_sharp = nullptr;
};

} // namespace kadro
