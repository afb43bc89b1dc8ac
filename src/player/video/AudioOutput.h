#pragma once
// Sound for playback: decodes the video's audio through FFMS2 and pushes it into a QAudioSink that
// lives on a thread of its own. What has been heard is the playback clock.
//
// Qt 6.4 notes: the sink is created once and kept (stopped, never destroyed while running);
// playback restarts with stop()/start() rather than resume(); state changes are not used.

#include <QObject>
#include <QThread>

#include <atomic>
#include <cstdint>

struct FFMS_AudioSource;

namespace kadro {

class AudioWorker;

class AudioOutput {
public:
    // Takes ownership of `source` (sample 0 aligned with video frame 0).
    explicit AudioOutput(FFMS_AudioSource* source);
    ~AudioOutput();

    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Whether the system offers any audio output at all.
    static bool deviceAvailable();

    // Starts sound at `seconds` after frame 0. Returns false if no output could be started.
    bool start(double seconds);
    void stop();
    bool running() const;
    // Seconds heard since start() (advances in steps of the sink's reports), -1 if not running.
    double heardSeconds() const;
    // All samples have been handed to the sink.
    bool exhausted() const;

private:
    QThread thread_;
    AudioWorker* worker_ = nullptr;
};

} // namespace kadro
