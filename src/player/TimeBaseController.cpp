#include "player/TimeBaseController.h"

#include "common/MainState.h"
#include "common/ProgramEvents.h"
#include "common/Prompts.h"
#include "common/SettingsStore.h"
#include "common/TimeBasePreferences.h"
#include "player/video/VideoDevice.h"

#include <QLabel>

namespace kadro {

TimeBaseController::TimeBaseController(const Context& context, QLabel* label, TimeBasePreferences& preferences)
    : c(context), m_label(label), m_preferences(preferences)
{
    decide(false);
    connect(&c.events, &ProgramEvents::videoOpened, this, [this] { videoOpened(); });
}

TimeBaseController::~TimeBaseController() = default;

VideoTimingFacts TimeBaseController::facts() const
{
    const VideoTiming timing = c.device.timing();
    VideoTimingFacts f;
    f.frameRate = timing.frameRate;
    f.variableRate = timing.variableRate;
    f.captureRate = timing.captureRate;
    f.frameCount = qint64(c.device.length()) + 1;
    VideoDevice* device = &c.device;
    f.frameSeconds = [device](qint64 frame) { return device->frameSeconds(int(frame)); };
    return f;
}

void TimeBaseController::decide(bool ask)
{
    const VideoTimingFacts f = m_ownTimeBase ? facts() : VideoTimingFacts{};
    double capture = 0;
    if (m_ownTimeBase && m_preferences.fromVideo()) {
        const QString path = c.device.fileName();
        std::optional<double> stored = m_preferences.captureRate(path);
        if (!stored && ask && f.captureRate > 0) {
            // The file names the rate it was recorded at: the user decides once for this video.
            const Button answer = c.prompts.message(BoxKind::Confirmation,
                                                    captureRateQuestion(f.captureRate, f.frameRate),
                                                    {Button::Ja, Button::Nein});
            stored = answer == Button::Ja ? f.captureRate : 0.0;
            m_preferences.setCaptureRate(path, *stored);
        }
        capture = stored.value_or(0.0);
    }
    const TimeBaseChoice before = m_choice;
    m_choice = chooseTimeBase(m_ownTimeBase, m_preferences.fromVideo(), f, capture);
    SettingsStore* settings = &c.settings;
    m_clock = makeClock(m_choice, [settings] { return settings->current().dtNormal; }, f);
    show();
    if (ask && m_choice.source == TimeBaseChoice::Source::TimeStamps)
        c.prompts.information(kVariableRateNotice);
    if (!(before == m_choice))
        emit changed();
    emit c.events.timeBaseChanged();
}

void TimeBaseController::videoOpened()
{
    // Only a plain video in the player view, where it is measured, brings its own time base. In the
    // authoring view the teacher sees the times the presentation will show: those of its time steps.
    m_ownTimeBase = !c.st.PresentationMode && c.st.ActiveArea == 1;
    decide(true);
}

void TimeBaseController::viewSetUp()
{
    m_ownTimeBase = false;
    decide(false);
}

void TimeBaseController::placeLabel(int area)
{
    if (area == 1) {
        m_label->setGeometry(20, 395, 360, 14);
        m_label->raise();
        m_label->show();
    } else {
        m_label->hide();
    }
}

QString TimeBaseController::text() const
{
    // A presentation keeps the time steps stored with it and shows its times as it always did.
    if (!m_ownTimeBase || c.device.fileName().isEmpty())
        return QString();
    return timeBaseText(m_choice, c.settings.current().dtNormal);
}

void TimeBaseController::show()
{
    m_label->setText(text());
    m_label->setAccessibleDescription(m_label->text());
}

bool TimeBaseController::fromVideo() const
{
    return m_preferences.fromVideo();
}

bool TimeBaseController::captureRateApplies() const
{
    return m_ownTimeBase && !c.device.fileName().isEmpty();
}

double TimeBaseController::captureRate() const
{
    return captureRateApplies() ? m_preferences.captureRate(c.device.fileName()).value_or(0.0) : 0.0;
}

void TimeBaseController::apply(bool fromVideo, double rate)
{
    m_preferences.setFromVideo(fromVideo);
    if (captureRateApplies())
        m_preferences.setCaptureRate(c.device.fileName(), rate);
    decide(false);
}

} // namespace kadro
