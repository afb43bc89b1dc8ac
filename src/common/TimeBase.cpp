#include "common/TimeBase.h"

#include "common/NumberFormat.h"

#include <cmath>

namespace kadro {

const QString kVariableRateNotice = QStringLiteral(
    "Die Bilder dieses Videos folgen nicht in gleichen Abständen aufeinander\r"
    "(variable Bildrate). Kadro rechnet deshalb mit der Zeit,\r"
    "die jedes Bild im Video trägt.");

namespace {
bool usableRate(double rate)
{
    return std::isfinite(rate) && rate > 0.5 && rate < 100000;
}
} // namespace

double stampedFrameRate(const VideoTimingFacts& facts)
{
    const qint64 frames = facts.frameCount;
    if (!facts.frameSeconds || frames < 2)
        return 0;
    const double first = facts.frameSeconds(0);
    const double last = facts.frameSeconds(frames - 1);
    if (first < 0 || !(last > first))
        return 0;
    return double(frames - 1) / (last - first);
}

TimeBaseChoice chooseTimeBase(bool ownTimeBase, bool fromVideo, const VideoTimingFacts& facts, double captureRate)
{
    if (!ownTimeBase || !fromVideo)
        return {};
    if (usableRate(captureRate))
        return {TimeBaseChoice::Source::CaptureRate, captureRate};
    if (facts.variableRate && facts.frameSeconds && facts.frameSeconds(1) >= 0)
        return {TimeBaseChoice::Source::TimeStamps, 0};
    // The container's rate, unless the frames' own time stamps say another one.
    const double stamped = stampedFrameRate(facts);
    if (usableRate(facts.frameRate) && (!usableRate(stamped) || std::abs(stamped - facts.frameRate) <= 0.01 * stamped))
        return {TimeBaseChoice::Source::FrameRate, facts.frameRate};
    if (usableRate(stamped))
        return {TimeBaseChoice::Source::FrameRate, stamped};
    return {};
}

std::unique_ptr<FrameClock> makeClock(const TimeBaseChoice& choice, std::function<QString()> normalStepText,
                                      const VideoTimingFacts& facts)
{
    switch (choice.source) {
    case TimeBaseChoice::Source::FrameRate:
    case TimeBaseChoice::Source::CaptureRate: return std::make_unique<RateClock>(choice.framesPerSecond);
    case TimeBaseChoice::Source::TimeStamps: {
        auto seconds = facts.frameSeconds;
        return std::make_unique<StampClock>([seconds](qint64 frame) { return seconds(frame) - seconds(0); });
    }
    case TimeBaseChoice::Source::TimeStep: break;
    }
    // The settings' text is read at each use, as the time step always is.
    class SettingsStepClock final : public FrameClock {
    public:
        explicit SettingsStepClock(std::function<QString()> text) : m_text(std::move(text)) {}
        double secondsAt(qint64 frame) const override { return TimeStepClock(m_text()).secondsAt(frame); }
        double secondsBetween(qint64 from, qint64 to) const override
        {
            return TimeStepClock(m_text()).secondsBetween(from, to);
        }
        QString intervalPattern() const override { return TimeStepClock(QString()).intervalPattern(); }

    private:
        std::function<QString()> m_text;
    };
    return std::make_unique<SettingsStepClock>(std::move(normalStepText));
}

QString rateText(double framesPerSecond)
{
    return formatGeneral(std::round(framesPerSecond * 100.0) / 100.0);
}

QString timeBaseText(const TimeBaseChoice& choice, const QString& normalStepText)
{
    switch (choice.source) {
    case TimeBaseChoice::Source::FrameRate:
        return QStringLiteral("Zeitbasis: %1 Bilder/s").arg(rateText(choice.framesPerSecond));
    case TimeBaseChoice::Source::CaptureRate:
        return QStringLiteral("Zeitbasis: %1 Bilder/s (Aufnahme)").arg(rateText(choice.framesPerSecond));
    case TimeBaseChoice::Source::TimeStamps:
        return QStringLiteral("Zeitbasis: Zeitstempel der Bilder (variable Bildrate)");
    case TimeBaseChoice::Source::TimeStep: break;
    }
    return QStringLiteral("Zeitbasis: %1 ms je Bild").arg(normalStepText);
}

QString captureRateQuestion(double captureRate, double frameRate)
{
    // Message boxes keep the program's line breaks: no line longer than the window is wide.
    const QString played = usableRate(frameRate) ? QStringLiteral(" und wird mit %1 Bildern pro Sekunde abgespielt")
                                                       .arg(rateText(frameRate))
                                                 : QString();
    return QStringLiteral("Laut Datei wurde dieses Video mit %1 Bildern pro Sekunde aufgenommen\r"
                          "(Zeitlupe)%2.\r"
                          "Sollen die Zeiten mit %1 Bildern pro Sekunde gemessen werden?")
        .arg(rateText(captureRate), played);
}

} // namespace kadro
