#include "player/Transport.h"

#include "app/VideoAbspielenFenster.h"
#include "common/ErrorReport.h"
#include "common/NumberFormat.h"
#include "common/Prompts.h"
#include "player/view/PictureSurface.h"
#include "player/video/VideoDevice.h"
#include "settings/OptionenFenster.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

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

Transport::Transport(TVideoAbspielenFenster& window) : w(window)
{
    auto& ui = w.ui;
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(w.prompts(), fn); }; };
    QObject::connect(ui.VideoStartButton, &QPushButton::clicked, &w, guard([this] { VideoStartButtonClick(); }));
    QObject::connect(ui.HauptFensterPopupMenuStart, &QAction::triggered, &w, guard([this] { VideoStartButtonClick(); }));
    QObject::connect(ui.VideoStopButton, &QPushButton::clicked, &w, guard([this] { VideoStopButtonClick(); }));
    QObject::connect(ui.HauptFensterPopupMenuWeiter, &QAction::triggered, &w, guard([this] { VideoStopButtonClick(); }));
    QObject::connect(ui.VideoBildvorButton, &QPushButton::clicked, &w, guard([this] { VideoBildvorButtonClick(); }));
    QObject::connect(ui.HauptFensterPopupMenuBildvor, &QAction::triggered, &w, guard([this] { VideoBildvorButtonClick(); }));
    QObject::connect(ui.VideoBildzurueckButton, &QPushButton::clicked, &w, guard([this] { VideoBildzurueckButtonClick(); }));
    QObject::connect(ui.HauptFensterPopupMenuBildzurueck, &QAction::triggered, &w,
                     guard([this] { VideoBildzurueckButtonClick(); }));
    QObject::connect(ui.VideoZeitlupeButton, &QPushButton::clicked, &w, guard([this] { VideoZeitlupeButtonClick(); }));
    QObject::connect(ui.HauptFensterPopupMenuZeitlupe, &QAction::triggered, &w, guard([this] { VideoZeitlupeButtonClick(); }));
    // The item's own check toggle is undone: the handler decides from the state before the click.
    QObject::connect(ui.HauptFensterPopupMenuTon, &QAction::triggered, &w, [this](bool checked) {
        w.ui.HauptFensterPopupMenuTon->setChecked(!checked);
        runGuarded(w.prompts(), [this] { HauptFensterPopupMenuTonClick(); });
    });
    QObject::connect(ui.VideoTrackBar, &QSlider::valueChanged, &w, [this](int) {
        const bool byUser = !m_programSetsSlider;
        runGuarded(w.prompts(), [this, byUser] { VideoTrackBarChange(byUser); });
    });
    QObject::connect(ui.Timer1, &QTimer::timeout, &w, guard([this] { Timer1Timer(); }));
    QObject::connect(ui.Timer2, &QTimer::timeout, &w, guard([this] { Timer2Timer(); }));
    QObject::connect(ui.Timer4, &QTimer::timeout, &w, guard([this] { Timer4Timer(); }));
    QObject::connect(ui.Timer5, &QTimer::timeout, &w, guard([this] { Timer5Timer(); }));
    QObject::connect(ui.Timer9, &QTimer::timeout, &w, guard([this] { Timer9Timer(); }));
}

int Transport::normalStep() const
{
    return parseInteger(w.OptionenFenster() ? w.OptionenFenster()->dtEdit1->text() : QStringLiteral("40"));
}

int Transport::slowStep() const
{
    return parseInteger(w.OptionenFenster() ? w.OptionenFenster()->dtEdit2->text() : QStringLiteral("200"));
}

void Transport::startSilentTimer(int stepMs)
{
    w.ui.Timer1->setInterval(std::max(stepMs, kMinTimerStep));
    w.ui.Timer1->start();
}

void Transport::setSlider(int position)
{
    m_programSetsSlider = true;
    w.ui.VideoTrackBar->setValue(position);
    m_programSetsSlider = false;
}

void Transport::setSliderMaximum(int maximum)
{
    m_programSetsSlider = true;
    w.ui.VideoTrackBar->setMaximum(maximum);
    m_programSetsSlider = false;
}

void Transport::showTimes(int frame)
{
    const int step = normalStep();
    w.ui.FrameAnzeige2Label->setText(QString::number(frame));
    w.ui.ZeitAnzeige2Label->setText(formatPattern(step * (frame * 0.001), QStringLiteral("0.000")));
}

void Transport::resetControls()
{
    auto& ui = w.ui;
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
}

void Transport::pauseForMenu()
{
    auto& ui = w.ui;
    ui.Timer1->stop();
    ui.Timer2->stop();
    if (w.videoLoaded())
        w.MediaPlayer1().stop();
    if (ui.VideoStopButton->text() == kPause && ui.VideoStartButton->text() == kZurueck) {
        ui.VideoStopButton->setText(kWeiter);
        showDevicePosition();
    }
}

void Transport::showDevicePosition()
{
    // A device playing by itself may have shown a frame or two since the last poll; the
    // displays must name the frame that stays on the screen.
    if (!w.videoLoaded() || !w.st.SoundOn)
        return;
    const int frame = std::clamp(w.MediaPlayer1().position() - w.st.StartFrame, 0, w.st.SectionLength);
    if (frame == w.st.CurrentFrame)
        return;
    w.st.CurrentFrame = frame;
    FrameZeitAnzeige();
}

bool Transport::OeffnenStandardEinstellungen()
{
    auto& ui = w.ui;
    VideoDevice& dev = w.MediaPlayer1();
    try {
        dev.open();
    } catch (const VideoOpenCancelled&) {
        // The user stopped the preparation: the view is left empty, as after a failed open,
        // but there is nothing to report.
        w.StartseiteAus();
        return false;
    } catch (const VideoDeviceError&) {
        w.StartseiteAus();
        w.prompts().plain(QStringLiteral("Das Video konnte nicht geladen werden!\r\nHilfe zu diesem Thema unter "
                                         "\"Fragen & Antworten\""));
        return false;
    }
    dev.setTimeFormatFrames();
    dev.setFrames(1);
    ui.Timer4->start();
    ui.MenuDatenaufnahme->setEnabled(true);

    ui.ZeitschrittNormalLabel->setText(w.OptionenFenster() ? w.OptionenFenster()->dtEdit1->text() : QString());
    ui.ZeitschrittZeitlupeLabel->setText(w.OptionenFenster() ? w.OptionenFenster()->dtEdit2->text() : QString());

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
        ui.BildschirmPanel->resize(ui.BildschirmPanel->width(), ph);
        ui.BildschirmUnterlagePanel->setGeometry(ui.BildschirmUnterlagePanel->x(), (300 - ph) / 2,
                                                 ui.BildschirmUnterlagePanel->width(), ph + 5);
    }
    if (pw < 385) {
        ui.BildschirmPanel->resize(pw, ui.BildschirmPanel->height());
        ui.BildschirmUnterlagePanel->setGeometry((394 - pw) / 2, ui.BildschirmUnterlagePanel->y(), pw + 5,
                                                 ui.BildschirmUnterlagePanel->height());
    }
    return true;
}

void Transport::OeffnenVariableEinstellungen()
{
    auto& ui = w.ui;
    auto& st = w.st;
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

    st.CurrentFrame = 0;
    st.SectionLength = st.StopFrame - st.StartFrame;
    w.MediaPlayer1().seek(st.StartFrame);
    ui.Timer1->stop();
    ui.Timer2->stop();

    const int step = normalStep();
    ui.FrameAnzeige1Label->setText(QString::number(st.SectionLength));
    ui.FrameAnzeige2Label->setText(QStringLiteral("0"));
    ui.ZeitAnzeige1Label->setText(formatPattern(step * (st.SectionLength * 0.001), QStringLiteral("0.000")));
    ui.ZeitAnzeige2Label->setText(formatPattern(step * (0 * 0.001), QStringLiteral("0.000")));

    ui.VideoTrackBar->setEnabled(true);
    setSlider(0);
    setSliderMaximum(st.SectionLength);
    ui.VideoTrackBar->setTickInterval(std::max(1, st.SectionLength / 10));
}

bool Transport::openPlainVideo(const QString& path)
{
    w.MediaPlayer1().setFileName(path);
    w.st.StartFrame = 0;
    if (!OeffnenStandardEinstellungen())
        return false;
    w.st.StopFrame = w.MediaPlayer1().length();
    OeffnenVariableEinstellungen();
    return true;
}

void Transport::FrameZeitAnzeige()
{
    w.ui.FrameAnzeige2Label->setText(QString::number(w.st.CurrentFrame));
    w.ui.ZeitAnzeige2Label->setText(formatPattern(normalStep() * (w.st.CurrentFrame * 0.001), QStringLiteral("0.000")));
    if (w.ui.VideoTrackBar->value() != w.st.CurrentFrame)
        setSlider(w.st.CurrentFrame);
}

void Transport::VideoTrackBarChange(bool byUser)
{
    auto& ui = w.ui;
    auto& st = w.st;
    VideoDevice& dev = w.MediaPlayer1();
    const bool runningWithSound = st.SoundOn && ui.Timer2->isActive();
    // The program moves the slider to where the video already is: no seek. While the device
    // plays with sound such a seek would restart it, stutter the sound and lose the end point.
    const int target = ui.VideoTrackBar->value() + st.StartFrame;
    if (w.videoLoaded() && (byUser || dev.position() != target))
        dev.seek(target);
    st.CurrentFrame = ui.VideoTrackBar->value();
    showTimes(st.CurrentFrame);

    if (st.CurrentFrame != st.SectionLength) {
        StartButton1();
        ui.VideoBildvorButton->setEnabled(true);
        ui.VideoZeitlupeButton->setEnabled(true);
        if ((!st.SoundOn && !ui.Timer1->isActive()) || (st.SoundOn && !ui.Timer2->isActive()))
            ui.VideoStopButton->setText(kWeiter);
        if (runningWithSound && byUser && w.videoLoaded()) {
            // A drag while playing plays on from the new place to the section's end.
            dev.setEndPos(st.StopFrame);
            dev.play();
        }
    } else {
        Videoende();
    }
    if (st.CurrentFrame == 0)
        Videoanfang();
}

void Transport::StartButton1()
{
    auto& ui = w.ui;
    ui.VideoStartButton->setText(kZurueck);
    ui.HauptFensterPopupMenuStart->setText(QStringLiteral("Z&urück"));
    enableWithTwin(ui.VideoStopButton, ui.HauptFensterPopupMenuWeiter, true);
    enableWithTwin(ui.VideoBildzurueckButton, ui.HauptFensterPopupMenuBildzurueck, true);
}

void Transport::StartButton2()
{
    auto& ui = w.ui;
    w.MediaPlayer1().seek(w.st.StartFrame);
    ui.VideoStartButton->setText(kStart);
    ui.HauptFensterPopupMenuStart->setText(QStringLiteral("&Start"));
    ui.VideoStopButton->setText(kPause);
    enableWithTwin(ui.VideoStopButton, ui.HauptFensterPopupMenuWeiter, false);
    enableWithTwin(ui.VideoBildvorButton, ui.HauptFensterPopupMenuBildvor, true);
    enableWithTwin(ui.VideoBildzurueckButton, ui.HauptFensterPopupMenuBildzurueck, false);
    enableWithTwin(ui.VideoZeitlupeButton, ui.HauptFensterPopupMenuZeitlupe, true);
    w.st.CurrentFrame = 0;
    w.st.IsPlaying = false;
}

void Transport::VideoStartButtonClick()
{
    auto& ui = w.ui;
    auto& st = w.st;
    VideoDevice& dev = w.MediaPlayer1();
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
            st.IsPlaying = true;
            dev.play();
            StartButton1();
        } else {
            startSilentTimer(normalStep());
            st.IsPlaying = true;
            StartButton1();
        }
    } else {
        ui.Timer1->stop();
        if (st.SoundOn)
            ui.Timer2->stop();
        StartButton2();
        FrameZeitAnzeige();
        if (st.DiagramShown)
            call(DiagrammButtonClick);
    }
}

void Transport::VideoStopButtonClick()
{
    auto& ui = w.ui;
    auto& st = w.st;
    VideoDevice& dev = w.MediaPlayer1();
    ui.Timer1->stop();
    ui.Timer2->stop();
    if (ui.VideoStopButton->text() != kPause) {
        if (st.SoundOn) {
            ui.Timer2->start();
            dev.setEndPos(st.StopFrame);
            st.IsPlaying = true;
            dev.play();
        } else {
            startSilentTimer(normalStep());
            st.IsPlaying = true;
        }
        ui.VideoStopButton->setText(kPause);
    } else {
        dev.pause();
        ui.Timer2->stop();
        st.IsPlaying = false;
        ui.VideoStopButton->setText(kWeiter);
        showDevicePosition();
        ui.VideoBildvorButton->setEnabled(true);
        ui.HauptFensterPopupMenuBildvor->setEnabled(true);
        ui.VideoBildzurueckButton->setEnabled(true);
        ui.HauptFensterPopupMenuBildzurueck->setEnabled(true);
        call(refreshdiagramm);
        call(refreshTrend);
    }
}

void Transport::VideoBildvorButtonClick()
{
    auto& ui = w.ui;
    auto& st = w.st;
    ui.Timer1->stop();
    ui.Timer2->stop();
    st.IsPlaying = false;
    // Never step beyond the section's last frame.
    if (w.MediaPlayer1().position() < st.StopFrame)
        w.MediaPlayer1().step();
    ui.VideoStopButton->setText(kWeiter);
    st.CurrentFrame = w.MediaPlayer1().position() - st.StartFrame;
    StartButton1();
    const int ends = m_endsReached;
    FrameZeitAnzeige();
    if (st.CurrentFrame == st.SectionLength && m_endsReached == ends)
        Videoende();
    if (st.DiagramShown)
        call(DiagrammButtonClick);
    call(refreshTrend);
}

void Transport::VideoBildzurueckButtonClick()
{
    auto& ui = w.ui;
    auto& st = w.st;
    ui.Timer1->stop();
    ui.Timer2->stop();
    st.IsPlaying = false;
    if (w.MediaPlayer1().position() > st.StartFrame)
        w.MediaPlayer1().back();
    ui.VideoStopButton->setEnabled(true);
    ui.VideoStopButton->setText(kWeiter);
    ui.HauptFensterPopupMenuWeiter->setEnabled(true);
    ui.VideoStartButton->setText(kZurueck);
    ui.HauptFensterPopupMenuStart->setText(QStringLiteral("Z&urück"));
    enableWithTwin(ui.VideoBildvorButton, ui.HauptFensterPopupMenuBildvor, true);
    enableWithTwin(ui.VideoZeitlupeButton, ui.HauptFensterPopupMenuZeitlupe, true);
    st.CurrentFrame = w.MediaPlayer1().position() - st.StartFrame;
    FrameZeitAnzeige();
    if (st.CurrentFrame == 0)
        Videoanfang();
    if (st.DiagramShown)
        call(DiagrammButtonClick);
    call(refreshTrend);
}

void Transport::VideoZeitlupeButtonClick()
{
    auto& ui = w.ui;
    w.MediaPlayer1().stop();
    ui.Timer2->stop();
    w.st.IsPlaying = false;
    startSilentTimer(slowStep());
    ui.VideoStopButton->setText(kWeiter);
    StartButton1();
}

void Transport::Timer1Timer()
{
    auto& st = w.st;
    if (w.MediaPlayer1().position() < st.StopFrame)
        w.MediaPlayer1().step();
    st.CurrentFrame = w.MediaPlayer1().position() - st.StartFrame;
    const int ends = m_endsReached;
    FrameZeitAnzeige();
    if (st.CurrentFrame >= st.SectionLength && m_endsReached == ends)
        Videoende();
    if (st.DiagramShown)
        call(DiagrammButtonClick);
}

void Transport::Timer2Timer()
{
    auto& st = w.st;
    // The poll may find the video several frames on, also past the section's last frame:
    // the end counts as reached then too.
    st.CurrentFrame = std::min(w.MediaPlayer1().position() - st.StartFrame, st.SectionLength);
    const int ends = m_endsReached;
    FrameZeitAnzeige();
    if (st.CurrentFrame >= st.SectionLength && m_endsReached == ends)
        Videoende();
    if (st.DiagramShown)
        call(DiagrammButtonClick);
}

void Transport::Videoende()
{
    ++m_endsReached;
    auto& ui = w.ui;
    ui.Timer1->stop();
    ui.Timer2->stop();
    VideoDevice& dev = w.MediaPlayer1();
    dev.stop();
    // A run that went past the end shows the section's last frame.
    if (w.videoLoaded() && dev.position() != w.st.StopFrame)
        dev.seek(w.st.StopFrame);
    w.st.IsPlaying = false;
    ui.VideoStopButton->setText(kPause);
    enableWithTwin(ui.VideoStopButton, ui.HauptFensterPopupMenuWeiter, false);
    enableWithTwin(ui.VideoBildzurueckButton, ui.HauptFensterPopupMenuBildzurueck, true);
    enableWithTwin(ui.VideoBildvorButton, ui.HauptFensterPopupMenuBildvor, false);
    enableWithTwin(ui.VideoZeitlupeButton, ui.HauptFensterPopupMenuZeitlupe, false);
    call(MarkenUebergang);
}

void Transport::Videoanfang()
{
    auto& ui = w.ui;
    ui.Timer1->stop();
    ui.Timer2->stop();
    w.MediaPlayer1().stop();
    w.st.IsPlaying = false;
    ui.VideoStartButton->setText(kStart);
    ui.HauptFensterPopupMenuStart->setText(QStringLiteral("&Start"));
    ui.VideoStopButton->setText(kPause);
    enableWithTwin(ui.VideoStopButton, ui.HauptFensterPopupMenuWeiter, false);
    enableWithTwin(ui.VideoBildzurueckButton, ui.HauptFensterPopupMenuBildzurueck, false);
}

void Transport::HauptFensterPopupMenuTonClick()
{
    auto& ui = w.ui;
    if (ui.HauptFensterPopupMenuTon->isChecked()) {
        ui.HauptFensterPopupMenuTon->setChecked(false);
        w.st.SoundOn = false;
        if (w.OptionenFenster())
            w.OptionenFenster()->TonCheckBox->setChecked(false);
    } else {
        ui.HauptFensterPopupMenuTon->setChecked(true);
        w.st.SoundOn = true;
        if (w.OptionenFenster())
            w.OptionenFenster()->TonCheckBox->setChecked(true);
    }
    if (w.st.IsPlaying)
        VideoStopButtonClick();
}

void Transport::Timer4Timer()
{
    // The picture surface keeps the frame it shows, so redrawing needs no step back and forth:
    // a repaint shows the same frame and clears the drawings over it.
    if (w.videoLoaded())
        w.ui.BildschirmPanel->update();
    w.ui.Timer4->stop();
    if (w.st.DiagramShown)
        w.ui.Timer5->start();
}

void Transport::Timer5Timer()
{
    w.ui.Timer5->stop();
    call(DiagrammButtonClick);
}

void Transport::Timer9Timer()
{
    auto& ui = w.ui;
    ui.Timer9->stop();
    ui.VideoStartButton->setEnabled(true);
    ui.VideoBildvorButton->setEnabled(true);
    ui.VideoZeitlupeButton->setEnabled(true);
}

} // namespace kadro
