// The automatic tracking of the measuring panel ("Verfolgen"): the user clicks the object's centre,
// the click is recorded as a measuring click is, and from then on a timer steps the video frame by
// frame through the transport's own step, finds the object in each frame's full-resolution picture
// (ObjectTracker) and records its centre as the next point. The GUI thread never waits for a
// decode longer than a moment: a frame whose picture is not at hand is asked for again at the next
// tick.

#include "measure/MeasureController.h"

#include "common/ErrorReport.h"
#include "common/MainState.h"
#include "common/Prompts.h"
#include "common/TimeBasePreferences.h"
#include "measure/model/tracking/ObjectTracker.h"
#include "player/Transport.h"
#include "player/video/VideoDevice.h"
#include "player/view/OverlayBox.h"

#include <QLabel>
#include <QPushButton>

namespace kadro {

namespace {
// What one tick waits at most for a full-resolution frame.
constexpr int kFrameWaitMs = 20;
} // namespace

const QString MeasureController::kVerfolgen = QStringLiteral("Verfolgen");
const QString MeasureController::kStopp = QStringLiteral("Stopp");
const QString MeasureController::kTrackingClickHint =
    QStringLiteral("  Klicken Sie auf die Mitte des Objekts, das verfolgt werden soll");

QString MeasureController::trackingLostText(int frame)
{
    return QStringLiteral("Das Objekt wurde in Frame %1 nicht sicher wiedergefunden.\r"
                          "Klicken Sie es an, um mit der Verfolgung fortzufahren.")
        .arg(frame);
}

MeasureController::~MeasureController() = default;

// The display picture's coordinates (whole pixels, y up from the bottom row) and the frame's own
// pixels (x right, y down, (0, 0) the centre of the top-left pixel) cover the same picture: a
// pixel's centre maps onto the centre of the area it shows.
QPointF MeasureController::pictureToFrame(QPointF p) const
{
    const QSize frame = c.device.fullFrameSize();
    const double w = pic.PaintBox1->width();
    const double h = pic.PaintBox1->height();
    const double top = h - 1 - p.y();
    return {(p.x() + 0.5) * frame.width() / w - 0.5, (top + 0.5) * frame.height() / h - 0.5};
}

QPointF MeasureController::frameToPicture(QPointF f) const
{
    const QSize frame = c.device.fullFrameSize();
    const double w = pic.PaintBox1->width();
    const double h = pic.PaintBox1->height();
    const double top = (f.y() + 0.5) * h / frame.height() - 0.5;
    return {(f.x() + 0.5) * w / frame.width() - 0.5, h - 1 - top};
}

void MeasureController::setTrackingState(TrackingState state)
{
    m_trackingState = state;
    if (ui.VerfolgenButton)
        ui.VerfolgenButton->setText(state == TrackingState::Off ? kVerfolgen : kStopp);
    if (state != TrackingState::Running)
        m_trackingTimer.stop();
    if (ui.HintLine) {
        if (state == TrackingState::AwaitingClick)
            ui.HintLine->setText(kTrackingClickHint);
        else if (ui.HintLine->text() == kTrackingClickHint)
            ui.HintLine->clear();
    }
}

void MeasureController::VerfolgenButtonClick()
{
    if (m_trackingState != TrackingState::Off) {
        stopTracking();
        return;
    }
    if (!videoLoaded() || !c.device.isOpen())
        return;
    if (c.st.IsPlaying)
        transport.pauseForMenu();
    m_tracker.reset();
    setTrackingState(TrackingState::AwaitingClick);
}

void MeasureController::stopTracking()
{
    if (m_trackingState == TrackingState::Off)
        return;
    setTrackingState(TrackingState::Off);
}

// A measuring click was recorded at `at` while the tracking waited for it: the object's look is
// taken around it in this frame and the tracking runs on.
void MeasureController::trackingClicked(PictureCoordinates at)
{
    TimeBasePreferences preferences(TimeBasePreferences::configuredPath());
    TrackerSettings settings;
    settings.boxSize = preferences.trackingBoxSize();
    settings.searchSize = preferences.trackingSearchSize();
    if (!m_tracker)
        m_tracker = std::make_unique<ObjectTracker>(settings);
    m_trackingStart = pictureToFrame(QPointF(at.px, at.py));
    m_trackingFrame = c.device.position();
    m_trackingStarted = false;
    setTrackingState(TrackingState::Running);
    if (!m_trackingTimer.isActive()) {
        m_trackingTimer.setInterval(1);
        disconnect(&m_trackingTimer, nullptr, this, nullptr);
        connect(&m_trackingTimer, &QTimer::timeout, this, [this] { runGuarded(c.prompts, [this] { trackingTick(); }); });
    }
    m_trackingTimer.start();
    trackingTick();
}

void MeasureController::trackingTick()
{
    if (m_trackingState != TrackingState::Running)
        return;
    if (!c.device.isOpen()) {
        stopTracking();
        return;
    }
    if (m_trackingFrame < 0) {
        // The next frame, unless the section (or the video) ends here.
        if (c.device.position() >= c.st.StopFrame || c.device.position() >= c.device.length()) {
            stopTracking();
            return;
        }
        transport.VideoBildvorButtonClick();
        if (m_trackingState != TrackingState::Running)
            return;
        m_trackingFrame = c.device.position();
    }
    const QImage frame = c.device.fullFrame(m_trackingFrame, kFrameWaitMs);
    if (frame.isNull())
        return; // it is being decoded: the next tick asks again

    const int frameNumber = m_trackingFrame;
    if (!m_trackingStarted) {
        const ObjectTracker::StartResult started = m_tracker->start(frame, m_trackingStart, frameNumber);
        if (started != ObjectTracker::StartResult::Started) {
            // Nothing to follow around the click (no contrast, or too near the edge): the click
            // stays a measured point and the tracking ends.
            stopTracking();
            return;
        }
        m_trackingStarted = true;
        m_trackingFrame = -1;
        return;
    }

    const TrackStep step = m_tracker->track(frame, frameNumber);
    if (!step.found()) {
        m_trackingTimer.stop();
        m_trackingFrame = -1;
        setTrackingState(TrackingState::AwaitingClick);
        c.prompts.information(trackingLostText(frameNumber - c.st.StartFrame));
        if (m_trackingState == TrackingState::AwaitingClick && ui.HintLine)
            ui.HintLine->setText(kTrackingClickHint);
        return;
    }
    const QPointF at = frameToPicture(step.centre);
    m_trackingFrame = -1;
    recordPoint(at.x(), at.y(), frameNumber);
}

} // namespace kadro
