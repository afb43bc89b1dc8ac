#pragma once
// The picture made larger: the full-screen view ("&Vollbild": F11, the picture's pop-up menu, a
// double click on the picture) and the magnifier ("Lupe": the check box, the key L), which
// follows the pointer over the window's picture and over the full-screen one.

#include <QObject>

#include <functional>
#include <memory>

class QShortcut;
class QTextEdit;

namespace kadro {

struct Context;
struct PictureWidgets;
struct SectionWidgets;
struct TransportWidgets;
class FullScreenView;
class Magnifier;

class BigPictureController : public QObject {
    Q_OBJECT
public:
    // `host` is the window's client area the window's magnifier lies on; `memo` and
    // `memoCover` the window's memo and its cover; full screen ends when `startPage` shows.
    BigPictureController(const Context& context, const PictureWidgets& picture, const TransportWidgets& transport,
                         const SectionWidgets& sections, QTextEdit* memo, QWidget* memoCover, QWidget* startPage,
                         QWidget* host, QWidget* mainWindow);
    ~BigPictureController() override;

    // Whether a double click on the picture may open the full screen (not while measuring, when
    // two quick clicks are two points); set by the shell.
    std::function<bool()> doubleClickOpens;
    // Whether the magnifier's check box is offered now (the measuring panel is not covered).
    std::function<bool()> magnifierOffered;

    FullScreenView& fullScreen() { return *m_fullScreen; }
    Magnifier& windowMagnifier() { return *m_magnifier; }

    // "&Vollbild": into full screen, or back to the window.
    void HauptFensterPopupMenuVollbildClick();
    // The key L: the magnifier on or off, while its check box is offered.
    void LupeKeyPress();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool offered() const;
    void followPointer(const QPointF& overlayPoint);

    const Context& c;
    const PictureWidgets& pic;
    QWidget* m_host;
    QWidget* m_mainWindow;
    FullScreenView* m_fullScreen = nullptr;
    Magnifier* m_magnifier = nullptr;
    QShortcut* m_lupeKey = nullptr;
};

} // namespace kadro
