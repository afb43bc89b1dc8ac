#include "player/Transport.h"

#include "authoring/model/Mark.h"
#include "common/ErrorReport.h"
#include "common/MainState.h"
#include "common/NumberFormat.h"
#include "common/ProgramEvents.h"
#include "common/Prompts.h"
#include "common/SettingsStore.h"
#include "common/ShellRoutines.h"
#include "player/TimeBaseController.h"
#include "player/video/VideoDevice.h"
#include "player/view/OverlayBox.h"
#include "player/view/PictureSurface.h"

#include <QAction>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kadro {

namespace {
// A transport button and its twin item in the pop-up menu, switched together.
void enableWithTwin(QPushButton* button, QAction* twin, bool on)
{
    button->setEnabled(on);
    twin->setEnabled(on);
}

const QString kStart = QStringLiteral("Start");
const QString kZurueck = QStringLiteral("Zurück");
const QString kPause = QStringLiteral("Pause");
const QString kWeiter = QStringLiteral("Weiter");

// A zero step (only an edited file brings one) must not make the frame timer spin.
constexpr int kMinTimerStep = 10;
} // namespace

Transport::Transport(const Context& context, const TransportWidgets& widgets, const PictureWidgets& picture,
                     TimeBaseController& tb)
    : c(context), ui(widgets), pic(picture), timeBase(tb)
{
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(c.prompts, fn); }; };
    connect(&c.device, &VideoDevice::pictureArrived, this, [this, guard](int frame) {
        guard([this, frame] { pictureArrivedLate(frame); })();
    });
    connect(ui.VideoStartButton, &QPushButton::clicked, this, guard([this] { VideoStartButtonClick(); }));
    connect(ui.HauptFensterPopupMenuStart, &QAction::triggered, this, guard([this] { VideoStartButtonClick(); }));
    connect(ui.VideoStopButton, &QPushButton::clicked, this, guard([this] { VideoStopButtonClick(); }));
    connect(ui.HauptFensterPopupMenuWeiter, &QAction::triggered, this, guard([this] { VideoStopButtonClick(); }));
    connect(ui.VideoBildvorButton, &QPushButton::clicked, this, guard([this] { VideoBildvorButtonClick(); }));
    connect(ui.HauptFensterPopupMenuBildvor, &QAction::triggered, this, guard([this] { VideoBildvorButtonClick(); }));
    connect(ui.VideoBildzurueckButton, &QPushButton::clicked, this, guard([this] { VideoBildzurueckButtonClick(); }));
    connect(ui.HauptFensterPopupMenuBildzurueck, &QAction::triggered, this,
            guard([this] { VideoBildzurueckButtonClick(); }));
    connect(ui.VideoZeitlupeButton, &QPushButton::clicked, this, guard([this] { VideoZeitlupeButtonClick(); }));
    connect(ui.HauptFensterPopupMenuZeitlupe, &QAction::triggered, this, guard([this] { VideoZeitlupeButtonClick(); }));
    // The item's own check toggle is undone: the handler decides from the state before the click.
    connect(ui.HauptFensterPopupMenuTon, &QAction::triggered, this, [this](bool checked) {
        ui.HauptFensterPopupMenuTon->setChecked(!checked);
        runGuarded(c.prompts, [this] { HauptFensterPopupMenuTonClick(); });
    });
    connect(ui.VideoTrackBar, &QSlider::valueChanged, this, [this](int) {
        const bool byUser = !m_programSetsSlider;
        runGuarded(c.prompts, [this, byUser] { VideoTrackBarChange(byUser); });
    });
    connect(ui.Timer1, &QTimer::timeout, this, guard([this] { Timer1Timer(); }));
    connect(ui.Timer2, &QTimer::timeout, this, guard([this] { Timer2Timer(); }));
    connect(ui.Timer4, &QTimer::timeout, this, guard([this] { Timer4Timer(); }));
    connect(ui.Timer9, &QTimer::timeout, this, guard([this] { Timer9Timer(); }));
    // A repaint of the drawing surface draws the current frame again once the handler that asked
    // for it has finished, as a paint of the window comes after the handler that invalidated it.
    connect(pic.PaintBox1, &OverlayBox::repaintRequested, this, guard([this] { Timer4Timer(); }),
            Qt::QueuedConnection);
    // Another time base for the loaded video: the times shown follow it.
    connect(&timeBase, &TimeBaseController::changed, this, guard([this] {
                if (videoLoaded() && ui.FrameAnzeige1Label->text().size()) {
                    ui.ZeitAnzeige1Label->setText(timeText(c.st.SectionLength));
                    ui.ZeitAnzeige2Label->setText(timeText(c.st.CurrentFrame));
                }
            }));
}

bool Transport::videoLoaded() const
{
    return !c.device.fileName().isEmpty();
}

int Transport::normalStep() const
{
    return c.settings.normalStep();
}

int Transport::slowStep() const
{
    return c.settings.slowStep();
}

QString Transport::sectionTime(int normalStepMs, int frames)
{
    return formatPattern(normalStepMs * (frames * 0.001), QStringLiteral("0.000"));
}

const FrameClock& Transport::frameClock() const
{
    return timeBase.clock();
}

QString Transport::timeText(int frames) const
{
    if (timeBase.usesTimeStep())
        return sectionTime(normalStep(), frames);
    const qint64 start = c.st.StartFrame;
    return formatPattern(timeBase.clock().secondsBetween(start, start + frames), QStringLiteral("0.000"));
}

void Transport::setPlaying(bool playing)
{
    const bool changed = c.st.IsPlaying != playing;
    c.st.IsPlaying = playing;
    if (changed)
        emit c.events.playingChanged(playing);
}

void Transport::startSilentTimer(int stepMs)
{
    ui.Timer1->setInterval(std::max(stepMs, kMinTimerStep));
    ui.Timer1->start();
}

void Transport::setSlider(int position)
{
    m_programSetsSlider = true;
    ui.VideoTrackBar->setValue(position);
    m_programSetsSlider = false;
}

void Transport::setSliderMaximum(int maximum)
{
    m_programSetsSlider = true;
    ui.VideoTrackBar->setMaximum(maximum);
    m_programSetsSlider = false;
}

void Transport::showTimes(int frame)
{
    const QString time = timeText(frame); // a time step that is no number fails here, first
    ui.FrameAnzeige2Label->setText(QString::number(frame));
    ui.ZeitAnzeige2Label->setText(time);
    // Announced once per frame, however many routines update the displays for it.
    const int absolute = c.st.StartFrame + frame;
    if (absolute != m_announcedFrame) {
        m_announcedFrame = absolute;
        emit c.events.frameShown(absolute);
    }
}

void Transport::setUpAuthoringView()
{
    // Picture at full size, drawings cleared, the cursor from the settings.
    pic.BildschirmPanel->setSurfaceSize(QSize(384, 288));
    pic.BildschirmUnterlagePanel->setGeometry(5, 6, 389, 293);

    // Controls: only the start button usable.
    ui.VideoStartButton->show();
    ui.VideoStartButton->setEnabled(true);
    ui.VideoStartButton->setText(kStart);
    ui.HauptFensterPopupMenuStart->setText(QStringLiteral("&Start"));
    ui.HauptFensterPopupMenuStart->setEnabled(false);
    ui.VideoStopButton->show();
    ui.VideoStopButton->setEnabled(false);
    ui.VideoStopButton->setText(kPause);
    ui.HauptFensterPopupMenuWeiter->setEnabled(false);
    for (QPushButton* b : {ui.VideoBildvorButton, ui.VideoBildzurueckButton, ui.VideoZeitlupeButton}) {
        b->show();
        b->setEnabled(false);
    }
    for (QAction* a : {ui.HauptFensterPopupMenuBildvor, ui.HauptFensterPopupMenuBildzurueck, ui.HauptFensterPopupMenuZeitlupe})
        a->setEnabled(false);
    ui.SchiebereglerPanel2->show();
    ui.VideoTrackBar->setEnabled(false);
    setSlider(0);
    setSliderMaximum(10);
    ui.VideoTrackBar->setTickInterval(1);
    ui.SteuerungsPanel->resize(400, 95);

    // No video loaded (the device keeps the file open until the next open replaces it).
    c.device.setFileName(QString());
    setPlaying(false);
    timeBase.viewSetUp();
    timeBase.placeLabel(2);

    // Displays.
    ui.BildNrPanel->setGeometry(415, 282, 90, 110);
    ui.BildNrPanel->show();
    ui.FrameAnzeige1Label->clear();
    ui.FrameAnzeige2Label->clear();
    ui.TimePanel->setGeometry(520, 282, 90, 110);
    ui.TimePanel->show();
    ui.ZeitAnzeige1Label->clear();
    ui.ZeitAnzeige2Label->clear();
    ui.ZeitschrittNormalLabel->clear();
    ui.ZeitschrittZeitlupeLabel->clear();

    const Settings settings = c.settings.current();
    pic.PaintBox1->clearItems();
    pic.PaintBox1->update();
    applyCursor(settings.cursorArrow);
    ui.HauptFensterPopupMenuTon->setChecked(settings.sound);
    c.st.SoundOn = settings.sound;

    ui.Timer1->stop();
    ui.Timer2->stop();
    ui.Timer4->stop();
}

void Transport::setUpPlayerView()
{
    timeBase.placeLabel(1);
    ui.SteuerungsPanel->resize(400, 230);
    ui.BildNrPanel->setGeometry(125, 410, 90, 115);
    ui.TimePanel->setGeometry(20, 410, 90, 115);
    ui.BildNrPanel->show();
    ui.TimePanel->show();
}

void Transport::pauseForMenu()
{
    ui.Timer1->stop();
    ui.Timer2->stop();
    if (videoLoaded())
        c.device.stop();
    if (ui.VideoStopButton->text() == kPause && ui.VideoStartButton->text() == kZurueck) {
        ui.VideoStopButton->setText(kWeiter);
        showDevicePosition();
    }
}

void Transport::continueRunIfPlaying()
{
    if (c.st.IsPlaying)
        VideoStopButtonClick();
}

void Transport::showRunInterrupted()
{
    if (!c.st.IsPlaying)
        return;
    ui.VideoStartButton->setText(kZurueck);
    ui.VideoStopButton->setText(kWeiter);
}

void Transport::showDevicePosition()
{
    // A device playing by itself may have shown a frame or two since the last poll; the
    // displays must name the frame that stays on the screen.
    if (!videoLoaded() || !c.st.SoundOn)
        return;
    const int frame = std::clamp(c.device.position() - c.st.StartFrame, 0, c.st.SectionLength);
    if (frame == c.st.CurrentFrame)
        return;
    c.st.CurrentFrame = frame;
    FrameZeitAnzeige();
}

bool Transport::OeffnenStandardEinstellungen()
{
    VideoDevice& dev = c.device;
    try {
        dev.open();
    } catch (const VideoOpenCancelled&) {
        // The user stopped the preparation: the view is left empty, as after a failed open,
        // but there is nothing to report.
        c.shell.StartseiteAus();
        return false;
    } catch (const VideoDeviceError&) {
        c.shell.StartseiteAus();
        c.prompts.plain(QStringLiteral("Das Video konnte nicht geladen werden!\r\nHilfe zu diesem Thema unter "
                                       "\"Fragen & Antworten\""));
        return false;
    }
    dev.setTimeFormatFrames();
    dev.setFrames(1);
    ui.Timer4->start();
    emit c.events.videoOpened();

    const Settings settings = c.settings.current();
    ui.ZeitschrittNormalLabel->setText(settings.dtNormal);
    ui.ZeitschrittZeitlupeLabel->setText(settings.dtSlow);

    // Picture size: a small picture is shown at its size, centred; a larger one is scaled down
    // to fit 384 × 288 keeping its aspect, and then centred the same way.
    const QRect rect = dev.displayRect();
    int pw = rect.width();
    int ph = rect.height();
    if (pw > 384 || ph > 288) {
        const double scale = std::min(384.0 / pw, 288.0 / ph);
        pw = std::max(1, static_cast<int>(std::lround(pw * scale)));
        ph = std::max(1, static_cast<int>(std::lround(ph * scale)));
    }
    if (ph < 289) {
        pic.BildschirmPanel->setSurfaceSize(QSize(pic.BildschirmPanel->width(), ph));
        pic.BildschirmUnterlagePanel->setGeometry(pic.BildschirmUnterlagePanel->x(), (300 - ph) / 2,
                                                  pic.BildschirmUnterlagePanel->width(), ph + 5);
    }
    if (pw < 385) {
        pic.BildschirmPanel->setSurfaceSize(QSize(pw, pic.BildschirmPanel->height()));
        pic.BildschirmUnterlagePanel->setGeometry((394 - pw) / 2, pic.BildschirmUnterlagePanel->y(), pw + 5,
                                                  pic.BildschirmUnterlagePanel->height());
    }
    return true;
}

void Transport::OeffnenVariableEinstellungen()
{
    auto& st = c.st;
    ui.VideoStartButton->setEnabled(true);
    ui.VideoStartButton->setText(kStart);
    ui.HauptFensterPopupMenuStart->setEnabled(true);
    ui.HauptFensterPopupMenuStart->setText(QStringLiteral("&Start"));
    ui.VideoStopButton->setEnabled(false);
    ui.VideoStopButton->setText(kPause);
    ui.HauptFensterPopupMenuWeiter->setEnabled(false);
    ui.VideoBildvorButton->setEnabled(false);
    ui.HauptFensterPopupMenuBildvor->setEnabled(true);
    enableWithTwin(ui.VideoBildzurueckButton, ui.HauptFensterPopupMenuBildzurueck, false);
    ui.VideoZeitlupeButton->setEnabled(false);
    ui.HauptFensterPopupMenuZeitlupe->setEnabled(true);

    const int section = ++m_sectionsLoaded;
    st.CurrentFrame = 0;
    st.SectionLength = st.StopFrame - st.StartFrame;
    m_announcedFrame = -1;
    c.device.seek(st.StartFrame);
    ui.Timer1->stop();
    ui.Timer2->stop();

    ui.FrameAnzeige1Label->setText(QString::number(st.SectionLength));
    ui.ZeitAnzeige1Label->setText(timeText(st.SectionLength));

    ui.VideoTrackBar->setEnabled(true);
    // Back to 0 before the new maximum, so a position beyond it is never clamped into an end.
    // Moving the slider runs its rule, which for a still section is already that section's end
    // and may have entered the next section: then that one is set up and this one is done.
    setSlider(0);
    if (m_sectionsLoaded != section)
        return;
    setSliderMaximum(st.SectionLength);
    ui.VideoTrackBar->setTickInterval(std::max(1, st.SectionLength / 10));
    showTimes(0);
}

bool Transport::openPlainVideo(const QString& path)
{
    c.device.setFileName(path);
    c.st.StartFrame = 0;
    if (!OeffnenStandardEinstellungen())
        return false;
    c.st.StopFrame = c.device.length();
    OeffnenVariableEinstellungen();
    return true;
}

void Transport::FrameZeitAnzeige()
{
    showTimes(c.st.CurrentFrame);
    if (ui.VideoTrackBar->value() != c.st.CurrentFrame)
        setSlider(c.st.CurrentFrame);
}

// A picture that came after its step or seek had returned wiped what was drawn over the picture:
// it is drawn again. A request that ended without its picture left the video where it was.
void Transport::pictureArrivedLate(int frame)
{
    auto& st = c.st;
    if (!videoLoaded())
        return;
    const int current = std::clamp(frame - int(st.StartFrame), 0, int(st.SectionLength));
    if (current != st.CurrentFrame) {
        st.CurrentFrame = current;
        FrameZeitAnzeige();
    }
    if (st.DiagramShown)
        emit c.events.diagramRedrawRequested();
    emit c.events.refreshTrendRequested();
}

void Transport::positionMoved()
{
    auto& st = c.st;
    // The device may be found several frames on, also past the section's last frame: the end
    // counts as reached then too.
    st.CurrentFrame = std::min(c.device.position() - st.StartFrame, st.SectionLength);
    const int ends = m_endsReached;
    const int section = m_sectionsLoaded;
    FrameZeitAnzeige();
    if (st.CurrentFrame >= st.SectionLength && m_endsReached == ends)
        Videoende();
    if (m_sectionsLoaded != section)
        return; // the end led into the next section
    if (st.DiagramShown)
        emit c.events.diagramRedrawRequested();
}

void Transport::VideoTrackBarChange(bool byUser)
{
    auto& st = c.st;
    VideoDevice& dev = c.device;
    const int section = m_sectionsLoaded;
    const bool runningWithSound = st.SoundOn && ui.Timer2->isActive();
    // The program moves the slider to where the video already is: no seek. While the device
    // plays with sound such a seek would restart it, stutter the sound and lose the end point.
    const int target = ui.VideoTrackBar->value() + st.StartFrame;
    if (videoLoaded() && (byUser || dev.position() != target))
        dev.seek(target);
    st.CurrentFrame = ui.VideoTrackBar->value();
    showTimes(st.CurrentFrame);

    if (st.CurrentFrame != st.SectionLength) {
        StartButton1();
        ui.VideoBildvorButton->setEnabled(true);
        ui.VideoZeitlupeButton->setEnabled(true);
        if ((!st.SoundOn && !ui.Timer1->isActive()) || (st.SoundOn && !ui.Timer2->isActive()))
            ui.VideoStopButton->setText(kWeiter);
        if (runningWithSound && byUser && videoLoaded()) {
            // A drag while playing plays on from the new place to the section's end.
            dev.setEndPos(st.StopFrame);
            dev.play();
        }
    } else {
        Videoende();
        // The transition may have entered the next section, which starts at its frame 0 and
        // may already run by itself: the start rule below is not for it.
        if (m_sectionsLoaded != section)
            return;
    }
    if (st.CurrentFrame == 0)
        Videoanfang();
}

void Transport::showFrame(qint64 frame)
{
    {
        const QSignalBlocker block(ui.VideoTrackBar);
        ui.VideoTrackBar->setValue(int(std::clamp<qint64>(frame, INT_MIN, INT_MAX)));
    }
    VideoTrackBarChange(true);
}

QString Transport::currentFrameText() const
{
    return ui.FrameAnzeige2Label->text();
}

QString Transport::normalStepText() const
{
    return ui.ZeitschrittNormalLabel->text();
}

QString Transport::slowStepText() const
{
    return ui.ZeitschrittZeitlupeLabel->text();
}

void Transport::refreshTimeDisplays()
{
    if (!videoLoaded())
        return;
    const Settings settings = c.settings.current();
    int step = 0;
    if (!timeBase.usesTimeStep())
        ui.ZeitAnzeige1Label->setText(timeText(c.st.SectionLength));
    else if (tryParseInteger(settings.dtNormal, &step))
        ui.ZeitAnzeige1Label->setText(sectionTime(step, c.st.SectionLength));
    ui.ZeitschrittNormalLabel->setText(settings.dtNormal);
    ui.ZeitschrittZeitlupeLabel->setText(settings.dtSlow);
    timeBase.refreshLabel();
}

void Transport::applySound(bool on)
{
    ui.HauptFensterPopupMenuTon->setChecked(on);
    c.st.SoundOn = on;
}

void Transport::applyCursor(bool arrow)
{
    pic.PaintBox1->setCursor(arrow ? Qt::ArrowCursor : Qt::CrossCursor);
}

void Transport::showSectionControls(const Mark& m)
{
    const bool startStop = m.isOn(Mark::StartStop);
    ui.VideoStartButton->setVisible(startStop);
    ui.VideoStopButton->setVisible(startStop);
    const bool single = m.isOn(Mark::Einzelbild);
    ui.VideoBildvorButton->setVisible(single);
    ui.VideoBildzurueckButton->setVisible(single);
    ui.VideoZeitlupeButton->setVisible(m.isOn(Mark::Zeitlupe));
    ui.SchiebereglerPanel2->setVisible(m.isOn(Mark::Schieberegler));
    ui.BildNrPanel->setVisible(m.isOn(Mark::Frameanzeige));
    ui.TimePanel->setVisible(m.isOn(Mark::Zeitanzeige));
}

void Transport::freezeStillPicture()
{
    ui.VideoStartButton->setEnabled(false);
    ui.VideoBildvorButton->setEnabled(false);
    ui.VideoZeitlupeButton->setEnabled(false);
    ui.VideoTrackBar->setEnabled(false);
    ui.HauptFensterPopupMenuStart->setEnabled(false);
    ui.HauptFensterPopupMenuBildvor->setEnabled(false);
    ui.HauptFensterPopupMenuZeitlupe->setEnabled(false);
}

void Transport::enableButtonsSoon()
{
    ui.Timer9->start();
}

void Transport::refreshPictureSoon()
{
    ui.Timer4->start();
}

void Transport::StartButton1()
{
    ui.VideoStartButton->setText(kZurueck);
    ui.HauptFensterPopupMenuStart->setText(QStringLiteral("Z&urück"));
    enableWithTwin(ui.VideoStopButton, ui.HauptFensterPopupMenuWeiter, true);
    enableWithTwin(ui.VideoBildzurueckButton, ui.HauptFensterPopupMenuBildzurueck, true);
}

void Transport::StartButton2()
{
    c.device.seek(c.st.StartFrame);
    ui.VideoStartButton->setText(kStart);
    ui.HauptFensterPopupMenuStart->setText(QStringLiteral("&Start"));
    ui.VideoStopButton->setText(kPause);
    enableWithTwin(ui.VideoStopButton, ui.HauptFensterPopupMenuWeiter, false);
    enableWithTwin(ui.VideoBildvorButton, ui.HauptFensterPopupMenuBildvor, true);
    enableWithTwin(ui.VideoBildzurueckButton, ui.HauptFensterPopupMenuBildzurueck, false);
    enableWithTwin(ui.VideoZeitlupeButton, ui.HauptFensterPopupMenuZeitlupe, true);
    c.st.CurrentFrame = 0;
    setPlaying(false);
}

void Transport::VideoStartButtonClick()
{
    auto& st = c.st;
    VideoDevice& dev = c.device;
    // Only ".avi" exactly can run silently by single steps; anything else runs with sound.
    const QString name = QFileInfo(dev.fileName()).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1);
    if (ext != QLatin1String("avi"))
        st.SoundOn = true;

    if (ui.VideoStartButton->text() == kStart) {
        if (st.SoundOn) {
            dev.setEndPos(st.StopFrame);
            ui.Timer2->setInterval(40);
            ui.Timer2->start();
            setPlaying(true);
            dev.play();
            StartButton1();
        } else {
            startSilentTimer(normalStep());
            setPlaying(true);
            StartButton1();
        }
    } else {
        ui.Timer1->stop();
        if (st.SoundOn)
            ui.Timer2->stop();
        StartButton2();
        FrameZeitAnzeige();
        if (st.DiagramShown)
            emit c.events.diagramRedrawRequested();
    }
}

void Transport::VideoStopButtonClick()
{
    auto& st = c.st;
    VideoDevice& dev = c.device;
    ui.Timer1->stop();
    ui.Timer2->stop();
    if (ui.VideoStopButton->text() != kPause) {
        if (st.SoundOn) {
            ui.Timer2->start();
            dev.setEndPos(st.StopFrame);
            setPlaying(true);
            dev.play();
        } else {
            startSilentTimer(normalStep());
            setPlaying(true);
        }
        ui.VideoStopButton->setText(kPause);
    } else {
        dev.pause();
        ui.Timer2->stop();
        setPlaying(false);
        ui.VideoStopButton->setText(kWeiter);
        showDevicePosition();
        enableWithTwin(ui.VideoBildvorButton, ui.HauptFensterPopupMenuBildvor, true);
        enableWithTwin(ui.VideoBildzurueckButton, ui.HauptFensterPopupMenuBildzurueck, true);
        emit c.events.refreshDiagramRequested();
        emit c.events.refreshTrendRequested();
    }
}

void Transport::VideoBildvorButtonClick()
{
    ui.Timer1->stop();
    ui.Timer2->stop();
    setPlaying(false);
    // Never step beyond the section's last frame.
    if (c.device.position() < c.st.StopFrame)
        c.device.step();
    ui.VideoStopButton->setText(kWeiter);
    StartButton1();
    positionMoved();
    emit c.events.refreshTrendRequested();
}

void Transport::VideoBildzurueckButtonClick()
{
    auto& st = c.st;
    ui.Timer1->stop();
    ui.Timer2->stop();
    setPlaying(false);
    if (c.device.position() > st.StartFrame)
        c.device.back();
    ui.VideoStopButton->setEnabled(true);
    ui.VideoStopButton->setText(kWeiter);
    ui.HauptFensterPopupMenuWeiter->setEnabled(true);
    ui.VideoStartButton->setText(kZurueck);
    ui.HauptFensterPopupMenuStart->setText(QStringLiteral("Z&urück"));
    enableWithTwin(ui.VideoBildvorButton, ui.HauptFensterPopupMenuBildvor, true);
    enableWithTwin(ui.VideoZeitlupeButton, ui.HauptFensterPopupMenuZeitlupe, true);
    st.CurrentFrame = c.device.position() - st.StartFrame;
    FrameZeitAnzeige();
    if (st.CurrentFrame == 0)
        Videoanfang();
    if (st.DiagramShown)
        emit c.events.diagramRedrawRequested();
    emit c.events.refreshTrendRequested();
}

void Transport::VideoZeitlupeButtonClick()
{
    c.device.stop();
    ui.Timer2->stop();
    setPlaying(false);
    startSilentTimer(slowStep());
    ui.VideoStopButton->setText(kWeiter);
    StartButton1();
}

void Transport::Timer1Timer()
{
    if (c.device.position() < c.st.StopFrame)
        c.device.step();
    positionMoved();
}

void Transport::Timer2Timer()
{
    positionMoved();
}

void Transport::Videoende()
{
    ++m_endsReached;
    ui.Timer1->stop();
    ui.Timer2->stop();
    VideoDevice& dev = c.device;
    dev.stop();
    // A run that went past the end shows the section's last frame.
    if (videoLoaded() && dev.position() != c.st.StopFrame)
        dev.seek(c.st.StopFrame);
    setPlaying(false);
    ui.VideoStopButton->setText(kPause);
    enableWithTwin(ui.VideoStopButton, ui.HauptFensterPopupMenuWeiter, false);
    enableWithTwin(ui.VideoBildzurueckButton, ui.HauptFensterPopupMenuBildzurueck, true);
    enableWithTwin(ui.VideoBildvorButton, ui.HauptFensterPopupMenuBildvor, false);
    enableWithTwin(ui.VideoZeitlupeButton, ui.HauptFensterPopupMenuZeitlupe, false);
    emit c.events.sectionEndReached();
}

void Transport::Videoanfang()
{
    ui.Timer1->stop();
    ui.Timer2->stop();
    c.device.stop();
    setPlaying(false);
    ui.VideoStartButton->setText(kStart);
    ui.HauptFensterPopupMenuStart->setText(QStringLiteral("&Start"));
    ui.VideoStopButton->setText(kPause);
    enableWithTwin(ui.VideoStopButton, ui.HauptFensterPopupMenuWeiter, false);
    enableWithTwin(ui.VideoBildzurueckButton, ui.HauptFensterPopupMenuBildzurueck, false);
}

void Transport::HauptFensterPopupMenuTonClick()
{
    const bool on = !ui.HauptFensterPopupMenuTon->isChecked();
    applySound(on);
    c.settings.setSound(on);
    if (c.st.IsPlaying)
        VideoStopButtonClick();
}

void Transport::Timer4Timer()
{
    // The picture surface keeps the frame it shows, so redrawing needs no step back and forth:
    // a repaint shows the same frame and clears the drawings over it.
    if (videoLoaded()) {
        pic.PaintBox1->clearItems();
        pic.BildschirmPanel->update();
    }
    ui.Timer4->stop();
    emit c.events.pictureRefreshed();
}

void Transport::Timer9Timer()
{
    ui.Timer9->stop();
    ui.VideoStartButton->setEnabled(true);
    ui.VideoBildvorButton->setEnabled(true);
    ui.VideoZeitlupeButton->setEnabled(true);
}

} // namespace kadro
