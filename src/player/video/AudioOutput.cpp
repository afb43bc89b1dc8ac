#include "player/video/AudioOutput.h"

#include "player/video/AudioWorker.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>

#include <ffms.h>

#include <algorithm>
#include <cmath>

namespace kadro {

AudioWorker::AudioWorker(FFMS_AudioSource* source) : source_(source)
{
    if (!source_)
        return;
    // Convert whatever the track holds to interleaved 16-bit samples.
    FFMS_ResampleOptions* opts = FFMS_CreateResampleOptions(source_);
    if (!opts)
        return;
    opts->SampleFormat = FFMS_FMT_S16;
    char buf[512] = {};
    FFMS_ErrorInfo err{0, 0, int(sizeof buf), buf};
    const bool ok = FFMS_SetOutputFormatA(source_, opts, &err) == 0;
    FFMS_DestroyResampleOptions(opts);
    if (!ok)
        return;
    const FFMS_AudioProperties* ap = FFMS_GetAudioProperties(source_);
    if (!ap || ap->Channels < 1 || ap->SampleRate < 1000)
        return;
    format_.setSampleRate(ap->SampleRate);
    format_.setChannelCount(ap->Channels);
    format_.setSampleFormat(QAudioFormat::Int16);
    bytesPerSample_ = 2 * ap->Channels;
    numSamples_ = ap->NumSamples;
    usable_ = numSamples_ > 0;
}

AudioWorker::~AudioWorker()
{
    if (source_)
        FFMS_DestroyAudioSource(source_);
}

bool AudioWorker::startAt(double seconds)
{
    halt();
    if (!usable_)
        return false;
    if (!sink_) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return false;
        sink_ = new QAudioSink(device, format_, this);
        timer_ = new QTimer(this);
        timer_->setInterval(10);
        connect(timer_, &QTimer::timeout, this, &AudioWorker::feed);
    }
    next_ = std::clamp<int64_t>(int64_t(std::llround(seconds * format_.sampleRate())), 0, numSamples_);
    heardUs = 0;
    exhausted = next_ >= numSamples_;
    io_ = sink_->start();
    if (!io_ || sink_->error() != QAudio::NoError) {
        sink_->stop();
        io_ = nullptr;
        return false;
    }
    running = true;
    feed();
    timer_->start();
    return true;
}

void AudioWorker::halt()
{
    if (timer_)
        timer_->stop();
    if (sink_)
        sink_->stop();
    io_ = nullptr;
    running = false;
}

void AudioWorker::shutdown()
{
    halt();
    delete sink_;
    sink_ = nullptr;
}

void AudioWorker::feed()
{
    if (!io_ || !sink_)
        return;
    heardUs = sink_->processedUSecs();
    const int64_t free = sink_->bytesFree();
    int64_t count = std::min<int64_t>(free / bytesPerSample_, numSamples_ - next_);
    count = std::min<int64_t>(count, format_.sampleRate()); // at most a second at a time
    if (count <= 0) {
        exhausted = next_ >= numSamples_;
        return;
    }
    buffer_.resize(std::size_t(count * bytesPerSample_));
    char err[512] = {};
    FFMS_ErrorInfo info{0, 0, int(sizeof err), err};
    if (FFMS_GetAudio(source_, buffer_.data(), next_, count, &info) != 0) {
        next_ = numSamples_;
        exhausted = true;
        return;
    }
    io_->write(buffer_.data(), qint64(buffer_.size()));
    next_ += count;
    exhausted = next_ >= numSamples_;
}

AudioOutput::AudioOutput(FFMS_AudioSource* source)
{
    worker_ = new AudioWorker(source);
    worker_->moveToThread(&thread_);
    thread_.setObjectName(QStringLiteral("kadro-audio"));
    thread_.start();
}

AudioOutput::~AudioOutput()
{
    QMetaObject::invokeMethod(worker_, &AudioWorker::shutdown, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    delete worker_; // its thread has ended, nothing else touches it
}

bool AudioOutput::deviceAvailable() { return !QMediaDevices::audioOutputs().isEmpty(); }

bool AudioOutput::start(double seconds)
{
    bool ok = false;
    QMetaObject::invokeMethod(
        worker_, [this, seconds] { return worker_->startAt(seconds); }, Qt::BlockingQueuedConnection,
        &ok);
    return ok;
}

void AudioOutput::stop()
{
    QMetaObject::invokeMethod(worker_, &AudioWorker::halt, Qt::BlockingQueuedConnection);
}

bool AudioOutput::running() const { return worker_->running; }

double AudioOutput::heardSeconds() const
{
    return worker_->running ? double(worker_->heardUs.load()) / 1e6 : -1.0;
}

bool AudioOutput::exhausted() const { return worker_->exhausted; }

} // namespace kadro
