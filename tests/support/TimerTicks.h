#pragma once
// Timers driven tick by tick: a running timer fires through its own timeout signal, so the
// connected handler runs as the event loop would run it (with its error guard), one tick at a
// time and never inside another handler.
#include "support/FakeVideoDevice.h"

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

// One moment of a show: a device playing with sound moves on by itself (a few frames between two
// polls), then every running timer of the player ticks once: the silent steps (Timer1), the sound
// poll (Timer2) and a transition pause (Timer3).
inline void showMoment(FakeVideoDevice& device, QTimer* timer1, QTimer* timer2, QTimer* timer3)
{
    device.advance(3);
    tick(timer1);
    tick(timer2);
    tick(timer3);
}

// Moments until `done` holds (at most `limit`); false if it never did.
template <typename F>
bool playShowUntil(FakeVideoDevice& device, QTimer* timer1, QTimer* timer2, QTimer* timer3, F done, int limit = 400)
{
    for (int i = 0; i < limit && !done(); ++i)
        showMoment(device, timer1, timer2, timer3);
    return done();
}

} // namespace kadro::test
