#pragma once
// The time base: the real time between two frames of the loaded video, used by the time displays,
// the time-step column of the measurement table, the measurement file and the fit over time.
// Playback speed is another matter (the settings' normal and slow-motion steps).
//
// Without a video of its own time base the time base is the normal time step of the settings (or
// of the presentation being shown). A plain video brings its own: the frame rate its container
// states (checked against the frames' time stamps), each frame's own time stamp when the durations
// vary, or the rate it was recorded at (a phone's slow-motion recording plays at 30 frames per
// second but was filmed at 240).

#include "common/FrameClock.h"

#include <QString>
#include <functional>
#include <memory>

namespace kadro {

// What the file says of its timing.
struct VideoTimingFacts {
    double frameRate = 0;      // the container's frames per second (0: none stated)
    bool variableRate = false; // the frame durations differ by more than 1 %
    double captureRate = 0;    // the recording's rate the metadata names (0: none)
    qint64 frameCount = 0;     // frames of the video
    // Seconds from frame 0 to frame n from the time stamps (negative: unknown).
    std::function<double(qint64)> frameSeconds;
};

struct TimeBaseChoice {
    enum class Source {
        TimeStep,    // the normal time step (settings or presentation)
        FrameRate,   // 1 / the video's frame rate
        TimeStamps,  // each frame's own time stamp
        CaptureRate, // 1 / the rate the video was recorded at
    };
    Source source = Source::TimeStep;
    double framesPerSecond = 0; // FrameRate, CaptureRate

    bool operator==(const TimeBaseChoice&) const = default;
};

// Chooses the time base. `ownTimeBase` is false for a presentation (its time steps count) and
// when no video is loaded; `fromVideo` is the user's preference ("Zeit aus dem Video");
// `captureRate` the recording's rate the user confirmed or entered for this video (0: none).
TimeBaseChoice chooseTimeBase(bool ownTimeBase, bool fromVideo, const VideoTimingFacts& facts, double captureRate);

// The rate the frames' time stamps give (from the first and the last frame; 0 when they cannot
// tell).
double stampedFrameRate(const VideoTimingFacts& facts);

// The clock of a choice. For the time step it reads `normalStepText()` at each use.
std::unique_ptr<FrameClock> makeClock(const TimeBaseChoice& choice, std::function<QString()> normalStepText,
                                      const VideoTimingFacts& facts);

// A rate as the user reads it: "30", "29,97", "240" (at most two decimals, no trailing zeros).
QString rateText(double framesPerSecond);
// The time base as the player shows it next to the times, e.g. "Zeitbasis: 30 Bilder/s",
// "Zeitbasis: 240 Bilder/s (Aufnahme)", "Zeitbasis: 40 ms je Bild".
QString timeBaseText(const TimeBaseChoice& choice, const QString& normalStepText);

// The question when a file names the rate it was recorded at.
QString captureRateQuestion(double captureRate, double frameRate);
// The notice when the frame durations of a video vary.
extern const QString kVariableRateNotice;

} // namespace kadro
