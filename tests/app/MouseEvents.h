#pragma once
// The mouse as the windowing system delivers it: an event goes to the deepest visible widget
// under the pointer, and Qt passes it on to each parent that does not take it. Tests of hover,
// clicks and right clicks use these, so that a fault in that passing on shows.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace kadro::test {

// The widget the pointer is over at `local` (coordinates of `w`), and the point in its own
// coordinates.
inline QWidget* widgetUnder(QWidget* w, const QPoint& local, QPoint* targetLocal)
{
    QWidget* top = w->window();
    const QPoint inTop = w->mapTo(top, local);
    QWidget* target = top->childAt(inTop);
    if (!target)
        target = top;
    *targetLocal = target->mapFrom(top, inTop);
    return target;
}

inline QWidget* sendMouse(QEvent::Type type, QWidget* w, const QPoint& local, Qt::MouseButton button,
                          Qt::MouseButtons buttons)
{
    QPoint at;
    QWidget* target = widgetUnder(w, local, &at);
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return target;
}

// The pointer moves (no button held) to `local` in `w`; returns the widget that got the move.
inline QWidget* moveOver(QWidget* w, QPoint local = QPoint(-1, -1))
{
    if (local == QPoint(-1, -1))
        local = w->rect().center();
    return sendMouse(QEvent::MouseMove, w, local, Qt::NoButton, Qt::NoButton);
}

inline QWidget* press(QWidget* w, Qt::MouseButton button, QPoint local = QPoint(-1, -1))
{
    if (local == QPoint(-1, -1))
        local = w->rect().center();
    return sendMouse(QEvent::MouseButtonPress, w, local, button, button);
}

inline void click(QWidget* w, Qt::MouseButton button = Qt::LeftButton, QPoint local = QPoint(-1, -1))
{
    if (local == QPoint(-1, -1))
        local = w->rect().center();
    // The release goes where the press went, as Qt's implicit grab does.
    QWidget* target = press(w, button, local);
    const QPoint at = target->mapFromGlobal(w->mapToGlobal(local));
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(local), button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

} // namespace kadro::test
