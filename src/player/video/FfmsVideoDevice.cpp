#include "player/video/FfmsVideoDevice.h"

#include "player/video/AudioOutput.h"
#include "player/video/FfmsFrameSource.h"
#include "player/video/PictureSurface.h"

#include <QtDebug>

#include <algorithm>
#include <cmath>

namespace kadro {

FfmsVideoDevice::FfmsVideoDevice(QObject* parent) : VideoDevice(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &FfmsVideoDevice::tick);
}

FfmsVideoDevice::~FfmsVideoDevice()
{
    halt();
    audio_.reset();
    source_.reset();
}

void FfmsVideoDevice::open()
{
    close();
    if (fileName_.isEmpty())
        throw VideoDeviceError("no file name given");
    try {
        source_ = std::make_unique<FfmsFrameSource>(fileName_);
        if (source_->hasAudio() && AudioOutput::deviceAvailable()) {
            if (FFMS_AudioSource* a = source_->createAudioSource())
                audio_ = std::make_unique<AudioOutput>(a);
        }
        frames_ = 1;
        endPending_ = false;
        playEnd_ = -1;
        show(0);
    } catch (...) {
        close();
        throw;
    }
}

void FfmsVideoDevice::close()
{
    halt();
    paused_ = false;
    audio_.reset();
    source_.reset();
    image_ = QImage();
    position_ = 0;
    endPending_ = false;
    playEnd_ = -1;
    if (PictureSurface* d = display())
        d->clearFrame();
}

void FfmsVideoDevice::setFrames(int frames) { frames_ = std::max(1, frames); }

int FfmsVideoDevice::length() const { return source_ ? source_->frameCount() - 1 : 0; }

void FfmsVideoDevice::show(int frame)
{
    if (!source_)
        return;
    frame = std::clamp(frame, 0, length());
    QImage img = source_->frame(frame); // throws if the frame cannot be decoded
    image_ = img;
    position_ = frame;
    if (PictureSurface* d = display())
        d->setFrame(img);
    emit frameShown(frame);
}

void FfmsVideoDevice::seek(int frame)
{
    halt();
    paused_ = false;
    try {
        show(frame);
    } catch (const VideoDeviceError& e) {
        qWarning("video: frame %d not shown: %s", frame, e.what());
    }
}

void FfmsVideoDevice::step()
{
    seek(position_ + frames_);
}

void FfmsVideoDevice::back()
{
    seek(position_ - frames_);
}

void FfmsVideoDevice::setEndPos(int frame)
{
    endPos_ = frame;
    endPending_ = true;
}

void FfmsVideoDevice::play()
{
    if (!source_)
        return;
    halt();
    paused_ = false;
    playEnd_ = endPending_ ? std::clamp(endPos_, 0, length()) : length();
    endPending_ = false;
    if (position_ >= playEnd_)
        return; // nothing lies between here and the end point
    playing_ = true;
    startClock();
    timer_.start();
}

void FfmsVideoDevice::pause()
{
    if (playing_) {
        halt();
        paused_ = true;
    } else if (paused_ && source_) {
        paused_ = false;
        playing_ = true;
        startClock();
        timer_.start();
    }
}

void FfmsVideoDevice::stop()
{
    halt();
    paused_ = false;
}

QRect FfmsVideoDevice::displayRect() const
{
    if (!source_)
        return {};
    const QSize s = source_->frameSize();
    const int w = int(std::lround(s.width() * source_->pixelAspect()));
    return QRect(0, 0, std::max(1, w), s.height());
}

void FfmsVideoDevice::displayChanged()
{
    if (PictureSurface* d = display()) {
        if (image_.isNull())
            d->clearFrame();
        else
            d->setFrame(image_);
    }
}

void FfmsVideoDevice::halt()
{
    timer_.stop();
    if (audio_ && audioClock_)
        audio_->stop();
    audioClock_ = false;
    playing_ = false;
}

void FfmsVideoDevice::startClock()
{
    startSeconds_ = source_->frameTime(position_);
    audioClock_ = soundEnabled_ && audio_ && audio_->start(startSeconds_);
    lastHeard_ = -1.0;
    sinceStart_.start();
    sinceAudioReport_.start();
}

double FfmsVideoDevice::clockSeconds()
{
    if (!audioClock_)
        return startSeconds_ + double(sinceStart_.nsecsElapsed()) / 1e9;
    // The sink reports what has been heard in steps; between reports, and once all sound has
    // been played, the system clock carries on from the last report.
    const double heard = std::max(0.0, audio_->heardSeconds());
    if (heard != lastHeard_) {
        lastHeard_ = heard;
        sinceAudioReport_.restart();
    }
    double extra = double(sinceAudioReport_.nsecsElapsed()) / 1e9;
    if (!audio_->exhausted())
        extra = std::min(extra, 0.1);
    return startSeconds_ + lastHeard_ + extra;
}

void FfmsVideoDevice::tick()
{
    if (!playing_ || !source_)
        return;
    const int target = source_->frameAt(clockSeconds());
    try {
        if (target >= playEnd_) {
            halt();
            if (position_ != playEnd_)
                show(playEnd_);
            emit playFinished();
            return;
        }
        if (target > position_)
            show(target);
    } catch (const VideoDeviceError& e) {
        qWarning("video: playback stopped: %s", e.what());
        halt();
    }
}

} // namespace kadro
