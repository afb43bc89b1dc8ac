#pragma once
// Internal to AudioOutput: the object on the audio thread that owns the sink.

#include <QAudioFormat>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <vector>

class QAudioSink;
class QIODevice;
struct FFMS_AudioSource;

namespace kadro {

class AudioWorker : public QObject {
    Q_OBJECT
public:
    explicit AudioWorker(FFMS_AudioSource* source);
    ~AudioWorker() override;

    std::atomic<bool> running{false};
    std::atomic<bool> exhausted{false};
    std::atomic<int64_t> heardUs{0};

public slots:
    bool startAt(double seconds);
    void halt();
    void shutdown();

private slots:
    void feed();

private:
    FFMS_AudioSource* source_;
    QAudioFormat format_;
    int64_t numSamples_ = 0;
    int64_t next_ = 0;
    int bytesPerSample_ = 0; // all channels of one sample
    QAudioSink* sink_ = nullptr;
    QIODevice* io_ = nullptr;
    QTimer* timer_ = nullptr;
    std::vector<char> buffer_;
    bool usable_ = false;
};

} // namespace kadro
