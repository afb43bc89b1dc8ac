#pragma once
#include <QString>
#include <functional>

namespace kadro {

class TVideoAbspielenFenster;

// The player's transport: start, pause and continue, single frames, slow motion, the slider,
// the frame and time displays, and opening a video into the player. It runs the loaded section
// StartFrame..StopFrame either through the device with sound (polled by Timer2) or silently by
// single steps on Timer1.
class Transport {
public:
    explicit Transport(TVideoAbspielenFenster& w);

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
    void Timer5Timer();
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

    // The transport's part of laying out an empty view, and of pausing before a menu.
    void resetControls();
    void pauseForMenu();

    // Calls out to section playback and the diagram; empty until those exist.
    std::function<void()> MarkenUebergang;
    std::function<void()> DiagrammButtonClick;
    std::function<void()> refreshdiagramm;
    std::function<void()> refreshTrend;

    // Time steps in ms as the settings hold them now ("Normal" and "Zeitlupe").
    int normalStep() const;
    int slowStep() const;

private:
    void setSlider(int position);
    void setSliderMaximum(int maximum);
    void showTimes(int frame);
    void startSilentTimer(int stepMs);
    void showDevicePosition();
    void call(const std::function<void()>& hook)
    {
        if (hook)
            hook();
    }

    TVideoAbspielenFenster& w;
    bool m_programSetsSlider = false;
    // Counts the section ends, so a tick whose display update already ran the end (through the
    // slider) does not run it, and with it the transition, a second time.
    int m_endsReached = 0;
};

} // namespace kadro
