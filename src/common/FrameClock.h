#pragma once
#include <QString>
#include <QtGlobal>
#include <functional>
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
    // How the time between two measured frames is written in the table and the measurement file.
    // A video's own time base needs five decimals: a frame of a 30 fps video lasts 0,03333 s and one
    // of a 240 fps recording 0,00417 s, which two decimals would turn into 0,03 and 0,00.
    virtual QString intervalPattern() const { return QStringLiteral("0.00000"); }
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
    // Whole milliseconds, written with two decimals as the table always had them.
    QString intervalPattern() const override { return QStringLiteral("0.00"); }

private:
    QString m_text;
};

// Every frame lasts 1 / rate seconds (a video's frame rate, or the rate it was recorded at).
class RateClock final : public FrameClock {
public:
    explicit RateClock(double framesPerSecond) : m_rate(framesPerSecond) {}
    double secondsAt(qint64 frame) const override { return double(frame) / m_rate; }
    double secondsBetween(qint64 from, qint64 to) const override { return double(to - from) / m_rate; }

private:
    double m_rate;
};

// Each frame has its own time stamp (a video whose frame durations vary).
class StampClock final : public FrameClock {
public:
    explicit StampClock(std::function<double(qint64)> secondsOfFrame) : m_seconds(std::move(secondsOfFrame)) {}
    double secondsAt(qint64 frame) const override { return m_seconds(frame); }
    double secondsBetween(qint64 from, qint64 to) const override { return m_seconds(to) - m_seconds(from); }

private:
    std::function<double(qint64)> m_seconds;
};

} // namespace kadro
