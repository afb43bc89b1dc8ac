#pragma once
#include "common/Context.h"
#include "player/PictureWidgets.h"
#include "player/TransportWidgets.h"

#include <QObject>
#include <QString>

namespace kadro {

class FrameClock;
class Mark;
class TimeBaseController;

// The player's transport: start, pause and continue, single frames, slow motion, the slider,
// the frame and time displays, and opening a video into the player. It runs the loaded section
// StartFrame..StopFrame either through the device with sound (polled by Timer2) or silently by
// single steps on Timer1. After every frame change it announces the frame (frameShown); a
// section's end is announced (sectionEndReached) for the presentation's transition.
class Transport : public QObject {
    Q_OBJECT
public:
    Transport(const Context& context, const TransportWidgets& widgets, const PictureWidgets& picture,
              TimeBaseController& timeBase);

    // Handlers.
    void VideoStartButtonClick();
    void VideoStopButtonClick();
    void VideoBildvorButtonClick();
    void VideoBildzurueckButtonClick();
    void VideoZeitlupeButtonClick();
    // `byUser` is true for the user's drags and clicks on the slider, false when the program
    // moves the slider to show the position.
    void VideoTrackBarChange(bool byUser);
    void HauptFensterPopupMenuTonClick();
    void Timer1Timer();
    void Timer2Timer();
    void Timer4Timer();
    void Timer9Timer();

    // Routines used by the other subsystems.
    void FrameZeitAnzeige();
    void StartButton1();
    void StartButton2();
    void Videoende();
    void Videoanfang();
    // Opens the device with its FileName; false (view reset, message shown) if it failed.
    bool OeffnenStandardEinstellungen();
    void OeffnenVariableEinstellungen();
    // The whole sequence for a plain video: file name, open, section = whole video.
    bool openPlainVideo(const QString& path);

    // The transport's part of laying out the views afresh (the player view after the authoring
    // view's steps), and of pausing before a menu or dialog.
    void setUpAuthoringView();
    void setUpPlayerView();
    void pauseForMenu();
    // Continues a run that a menu or dialog interrupted ("Weiter"), if the video ran.
    void continueRunIfPlaying();
    // A dialog that interrupted a run shows it as paused: "Zurück" and "Weiter".
    void showRunInterrupted();

    // Shows a frame: the slider is set to it and its change handling runs.
    void showFrame(qint64 frame);
    // The frame display's text: the current frame within the section.
    QString currentFrameText() const;
    // The time-step labels (the time steps the loaded video or presentation uses).
    QString normalStepText() const;
    QString slowStepText() const;
    // After the settings changed: total time and time-step labels, when a video is loaded.
    void refreshTimeDisplays();
    // The settings' sound switch and cursor pushed into the player.
    void applySound(bool on);
    void applyCursor(bool arrow);
    // Section playback: the controls a mark offers, and a still picture's frozen transport.
    void showSectionControls(const Mark& mark);
    void freezeStillPicture();
    // The buttons that need a moment after an open become usable after Timer9.
    void enableButtonsSoon();
    // The current frame is drawn afresh a moment later (Timer4), wiping what is drawn over it.
    void refreshPictureSoon();

    // Time steps in ms as the settings hold them now ("Normal" and "Zeitlupe").
    int normalStep() const;
    int slowStep() const;

    // The time shown for `frames` frames of the section, "0.000" seconds with the normal step.
    static QString sectionTime(int normalStepMs, int frames);
    // The time shown for `frames` frames from the section's start, with the time base in use.
    QString timeText(int frames) const;
    // The clock of the time base in use (the measurement's time steps, the fit over time).
    const FrameClock& frameClock() const;

private:
    void setSlider(int position);
    void setSliderMaximum(int maximum);
    void showTimes(int frame);
    void startSilentTimer(int stepMs);
    void showDevicePosition();
    // After the device moved by a step or a tick: the displays follow, the end is caught, the
    // diagram is redrawn.
    void positionMoved();
    void pictureArrivedLate(int frame);
    void setPlaying(bool playing);
    bool videoLoaded() const;

    Context c;
    TransportWidgets ui;
    PictureWidgets pic;
    TimeBaseController& timeBase;
    bool m_programSetsSlider = false;
    // Counts the section ends, so a tick whose display update already ran the end (through the
    // slider) does not run it, and with it the transition, a second time.
    int m_endsReached = 0;
    // Counts the sections loaded (OeffnenVariableEinstellungen). A section's end may run the
    // transition into the next section, which sets itself up and may start at once; when control
    // comes back to the handler of the section that ended, that handler must leave the new one
    // alone.
    int m_sectionsLoaded = 0;
    int m_announcedFrame = -1;
};

} // namespace kadro
