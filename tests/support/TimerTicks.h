#pragma once
// Timers driven tick by tick: a running timer fires through its own timeout signal, so the
// connected handler runs as the event loop would run it (with its error guard), one tick at a
// time and never inside another handler.
#include <QMetaObject>
#include <QTimer>

namespace kadro::test {

// One tick of `timer` if it runs; false if it is stopped (a stopped timer does not tick).
inline bool tick(QTimer* timer)
{
    if (!timer->isActive())
        return false;
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    return true;
}

} // namespace kadro::test
