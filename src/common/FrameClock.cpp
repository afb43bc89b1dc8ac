#include "common/FrameClock.h"

#include "common/NumberFormat.h"

namespace kadro {

double TimeStepClock::secondsAt(qint64 frame) const
{
    const double step = parseDecimal(m_text);
    return double(frame) * step / 1000;
}

double TimeStepClock::secondsBetween(qint64 from, qint64 to) const
{
    const qint64 step = parseInteger(m_text);
    // The product of frames and milliseconds is a whole number: exact in 64 bits.
    return double((to - from) * step) * 0.001;
}

} // namespace kadro
