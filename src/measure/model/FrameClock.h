#pragma once
#include <QString>
#include <QtGlobal>
#include <utility>

namespace kadro {

// Where the times of the measured frames come from. The time-step column of the measurement
// table asks for the time between two frames, the fit over time for the time of each frame.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    // Seconds from the start of the video to `frame`.
    virtual double secondsAt(qint64 frame) const = 0;
    // Seconds from frame `from` to frame `to` (negative when `to` comes first).
    virtual double secondsBetween(qint64 from, qint64 to) const = 0;
};

// Every frame lasts the normal time step of the settings, in milliseconds, kept as the text the
// user typed and read when a time is needed (so a text that is not a number fails with
// ConvertError at that moment):
//   secondsBetween = (to − from) · T · 0,001 with T read as a whole number,
//   secondsAt      = frame · T / 1000        with T read as a decimal number.
class TimeStepClock final : public FrameClock {
public:
    explicit TimeStepClock(QString normalStepText) : m_text(std::move(normalStepText)) {}
    double secondsAt(qint64 frame) const override;
    double secondsBetween(qint64 from, qint64 to) const override;

private:
    QString m_text;
};

} // namespace kadro
