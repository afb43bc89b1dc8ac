#pragma once
#include "measure/model/Calibration.h"
#include "common/FrameClock.h"
#include "measure/model/MeasurementSeries.h"

#include <gtest/gtest.h>
#include <initializer_list>

namespace kadro::test {

// A calibration as after "Kalibrieren" and the origin: measuring in progress.
inline Calibration measuring(double scale, int originX = 0, int originY = 0)
{
    Calibration c;
    c.Scale = scale;
    c.Calibrated = true;
    c.OriginSet = true;
    c.OriginX = originX;
    c.OriginY = originY;
    return c;
}

struct Click {
    int px;
    int py;
    qint64 frame;
};

// Records the clicks (picture coordinates) with the normal time step `stepText`.
inline MeasurementSeries seriesOf(const Calibration& c, std::initializer_list<Click> clicks,
                                  const QString& stepText = QStringLiteral("40"))
{
    MeasurementSeries s;
    const TimeStepClock clock(stepText);
    for (const Click& k : clicks)
        s.record(c, {k.px, k.py}, k.frame, clock);
    return s;
}

} // namespace kadro::test
