#include "player/video/FfmsVideoDevice.h"

#include "player/video/AudioOutput.h"
#include "player/video/FfmsFrameSource.h"

#include <QCursor>
#include <QGuiApplication>
#include <QtDebug>

#include <algorithm>
#include <cmath>

namespace kadro {

FfmsVideoDevice::FfmsVideoDevice(QObject* parent) : VideoDevice(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &FfmsVideoDevice::tick);
    pendingTimer_.setInterval(5);
    connect(&pendingTimer_, &QTimer::timeout, this, &FfmsVideoDevice::pollPending);
    checkTimer_.setInterval(50);
    connect(&checkTimer_, &QTimer::timeout, this, &FfmsVideoDevice::adoptSeekCheck);
}

FfmsVideoDevice::~FfmsVideoDevice()
{
    endPending();
    halt();
    audio_.reset();
    fullServer_.reset();
    server_.reset();
    source_.reset();
}

void FfmsVideoDevice::open()
{
    close();
    if (fileName_.isEmpty())
        throw VideoDeviceError("no file name given");
    try {
        {
            std::unique_ptr<OpenProgress> progress;
            if (progressFactory_)
                progress = progressFactory_();
            FfmsFrameSource::Options options;
            options.indexCacheDir = indexCacheDir_;
            options.progress = progress.get();
            // The first picture shows at once; seeking is decided while the user looks at it.
            options.checkInBackground = true;
            source_ = std::make_unique<FfmsFrameSource>(fileName_, options);
        } // the progress dialog closes here
        server_ = std::make_unique<FrameServer>(*source_, pictureSize(), cacheBytes_);
        if (source_->hasAudio() && AudioOutput::deviceAvailable()) {
            if (FFMS_AudioSource* a = source_->createAudioSource())
                audio_ = std::make_unique<AudioOutput>(a);
        }
        frames_ = 1;
        failureReported_ = false;
        endPending_ = false;
        playEnd_ = -1;
        shown_ = 0;
        if (source_->checkingSeeking())
            checkTimer_.start();
        request(0, FrameServer::Move::Jump, kOpenWaitMs);
    } catch (...) {
        close();
        throw;
    }
}

void FfmsVideoDevice::close()
{
    checkTimer_.stop();
    endPending();
    halt();
    paused_ = false;
    audio_.reset();
    fullServer_.reset();
    fullPending_ = {};
    server_.reset();
    source_.reset();
    position_ = 0;
    shown_ = 0;
    endPending_ = false;
    playEnd_ = -1;
    if (!picture().isNull())
        showPicture(QImage());
}

void FfmsVideoDevice::setFrames(int frames) { frames_ = std::max(1, frames); }

VideoTiming FfmsVideoDevice::timing() const { return source_ ? source_->timing() : VideoTiming{}; }

double FfmsVideoDevice::frameSeconds(int frame) const
{
    if (!source_ || frame < 0 || frame >= source_->frameCount())
        return -1;
    return source_->frameTime(frame);
}

QSize FfmsVideoDevice::fullFrameSize() const { return source_ ? source_->frameSize() : QSize(); }

QImage FfmsVideoDevice::fullFrame(int frame, int waitMs)
{
    const QImage colour = fullColourFrame(frame, waitMs);
    return colour.isNull() ? QImage() : colour.convertToFormat(QImage::Format_Grayscale8);
}

QImage FfmsVideoDevice::fullColourFrame(int frame, int waitMs)
{
    if (!source_ || frame < 0 || frame > length())
        return {};
    if (!fullServer_)
        fullServer_ = std::make_unique<FrameServer>(*source_, source_->frameSize(), kFullFrameCacheBytes);
    FrameServer::Answer answer;
    if (fullPending_.active && fullPending_.frame == frame) {
        answer = fullServer_->poll(fullPending_.ticket);
        if (answer.state == FrameServer::Answer::Pending && waitMs > 0) {
            QElapsedTimer t;
            t.start();
            while (answer.state == FrameServer::Answer::Pending && t.elapsed() < waitMs) {
                fullServer_->waitIdle(2);
                answer = fullServer_->poll(fullPending_.ticket);
            }
        }
        if (answer.state == FrameServer::Answer::Replaced)
            answer = fullServer_->pictureWithin(source_->codedIndex(frame), FrameServer::Move::Forward, waitMs);
    } else {
        answer = fullServer_->pictureWithin(source_->codedIndex(frame), FrameServer::Move::Forward, waitMs);
    }
    fullPending_.active = answer.state == FrameServer::Answer::Pending;
    fullPending_.frame = frame;
    fullPending_.ticket = answer.ticket;
    if (answer.state == FrameServer::Answer::Failed)
        qWarning("video: full frame %d not decoded: %s", frame, answer.error.c_str());
    if (answer.state != FrameServer::Answer::Ready)
        return {};
    return answer.image;
}

int FfmsVideoDevice::length() const { return source_ ? source_->frameCount() - 1 : 0; }

QSize FfmsVideoDevice::pictureSize() const
{
    if (!source_)
        return {};
    // The natural size scaled down (never up) to fit the box, rounded as the window sizes the
    // picture surface, so the surface shows the pictures without scaling them again.
    const QRect natural = displayRect();
    int w = natural.width();
    int h = natural.height();
    if (maxPicture_.isValid() && (w > maxPicture_.width() || h > maxPicture_.height())) {
        const double scale = std::min(double(maxPicture_.width()) / w, double(maxPicture_.height()) / h);
        w = std::max(1, int(std::lround(w * scale)));
        h = std::max(1, int(std::lround(h * scale)));
    }
    return QSize(w, h);
}

void FfmsVideoDevice::adoptSeekCheck()
{
    if (!source_ || !source_->seekCheckEnded())
        return;
    checkTimer_.stop();
    if (!source_->adoptVerdict())
        return;
    // Seeking verified: from now on the decoders seek instead of decoding from the start.
    server_->setDecodeModel(source_->decodeModel());
    if (fullServer_)
        fullServer_->setDecodeModel(source_->decodeModel());
}

bool FfmsVideoDevice::waitForBackgroundWork(int timeoutMs)
{
    if (!server_)
        return true;
    QElapsedTimer t;
    t.start();
    if (source_->checkingSeeking()) {
        if (!source_->waitForSeekCheck(timeoutMs))
            return false;
        adoptSeekCheck();
    }
    return server_->waitIdle(std::max(0, timeoutMs - int(t.elapsed())));
}

bool FfmsVideoDevice::waitForPicture(int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (pending_.active) {
        if (t.elapsed() > timeoutMs)
            return false;
        server_->waitIdle(2);
        pollPending();
    }
    return true;
}

void FfmsVideoDevice::present(int frame, const QImage& image)
{
    position_ = frame;
    shown_ = frame;
    showPicture(image);
    emit frameShown(frame);
}


void FfmsVideoDevice::reportFailure(int frame, const char* what)
{
    qWarning("video: frame %d not shown: %s", frame, what);
    if (failureReported_)
        return;
    failureReported_ = true;
    emit decodingFailed(QString::fromUtf8(what));
}

void FfmsVideoDevice::move(int frame, FrameServer::Move how)
{
    halt();
    paused_ = false;
    if (!source_)
        return;
    pending_.skipped = 0;
    request(std::clamp(frame, 0, length()), how, kWaitMs);
}

// Asks for the picture of `frame` and shows it if it comes within `waitMs`; otherwise the frame
// is the position at once and its picture follows (pollPending). A step or back over a frame that
// cannot be decoded goes on to the next frame that can; a jump to one leaves the shown frame.
void FfmsVideoDevice::request(int frame, FrameServer::Move move, int waitMs)
{
    const int skipped = pending_.skipped;
    endPending();
    const int direction = move == FrameServer::Move::Forward ? 1 : move == FrameServer::Move::Back ? -1 : 0;
    for (int passed = skipped;; ++passed) {
        const FrameServer::Answer answer = server_->pictureWithin(source_->codedIndex(frame), move, waitMs);
        if (answer.state == FrameServer::Answer::Ready) {
            present(frame, answer.image);
            return;
        }
        if (answer.state == FrameServer::Answer::Pending) {
            position_ = frame;
            pending_.active = true;
            pending_.frame = frame;
            pending_.move = move;
            pending_.skipped = passed;
            pending_.ticket = answer.ticket;
            pending_.decoded = server_->stats().decoded;
            pending_.since.start();
            pending_.sinceProgress.start();
            pendingTimer_.start();
            return;
        }
        reportFailure(frame, answer.error.empty() ? "cannot decode the frame" : answer.error.c_str());
        frame += direction;
        if (direction == 0 || passed >= kMaxSkippedFrames || frame < 0 || frame > length() || frame == shown_) {
            position_ = shown_;
            return;
        }
    }
}

void FfmsVideoDevice::pollPending()
{
    if (!pending_.active || !server_) {
        endPending();
        return;
    }
    const FrameServer::Answer answer = server_->poll(pending_.ticket);
    switch (answer.state) {
    case FrameServer::Answer::Ready: {
        const int frame = pending_.frame;
        endPending();
        present(frame, answer.image);
        emit pictureArrived(frame);
        return;
    }
    case FrameServer::Answer::Failed: {
        // Goes on past the undecodable frame as a request made now would.
        const int direction = pending_.move == FrameServer::Move::Forward ? 1
                              : pending_.move == FrameServer::Move::Back  ? -1
                                                                          : 0;
        const int frame = pending_.frame;
        const int skipped = pending_.skipped;
        reportFailure(frame, answer.error.c_str());
        endPending();
        const int next = frame + direction;
        if (direction == 0 || skipped >= kMaxSkippedFrames || next < 0 || next > length() || next == shown_) {
            position_ = shown_;
            emit pictureArrived(shown_);
            return;
        }
        pending_.skipped = skipped + 1;
        request(next, pending_.move, 0);
        return;
    }
    case FrameServer::Answer::Replaced:
        // Someone else's request took its place (playback); nothing to show for this one.
        endPending();
        return;
    case FrameServer::Answer::Pending:
        break;
    }
    const long long decoded = server_->stats().decoded;
    if (decoded != pending_.decoded) {
        pending_.decoded = decoded;
        pending_.sinceProgress.restart();
    }
    if (pending_.since.elapsed() >= kBusyMs)
        setBusy(true);
    if (pending_.sinceProgress.elapsed() >= kStallMs) {
        const int frame = pending_.frame;
        endPending();
        position_ = shown_;
        reportFailure(frame, "the decoder makes no progress");
        emit pictureArrived(shown_);
    }
}

void FfmsVideoDevice::endPending()
{
    pending_.active = false;
    pendingTimer_.stop();
    setBusy(false);
}

void FfmsVideoDevice::setBusy(bool busy)
{
    if (busy == busy_ || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    busy_ = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}

void FfmsVideoDevice::seek(int frame)
{
    // A slider moved by one, or a seek next to the shown frame, is a step for what comes next.
    using Move = FrameServer::Move;
    move(frame, frame == position_ - 1 ? Move::Back : frame == position_ + 1 ? Move::Forward : Move::Jump);
}

void FfmsVideoDevice::step()
{
    move(position_ + frames_, FrameServer::Move::Forward);
}

void FfmsVideoDevice::back()
{
    move(position_ - frames_, FrameServer::Move::Back);
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
    endPending();
    position_ = shown_;
    halt();
    paused_ = false;
    playEnd_ = endPending_ ? std::clamp(endPos_, 0, length()) : length();
    endPending_ = false;
    if (position_ >= playEnd_)
        return; // nothing lies between here and the end point
    playing_ = true;
    server_->setPlaying(true, source_->codedIndex(playEnd_));
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
        server_->setPlaying(true, source_->codedIndex(playEnd_));
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

void FfmsVideoDevice::halt()
{
    timer_.stop();
    if (audio_ && audioClock_)
        audio_->stop();
    audioClock_ = false;
    if (playing_ && server_)
        server_->setPlaying(false);
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
            if (position_ != playEnd_) {
                pending_.skipped = 0;
                request(playEnd_, FrameServer::Move::Forward, kWaitMs);
            }
            emit playFinished();
            return;
        }
        if (target <= position_)
            return;
        // Frames on the way that cannot be decoded are passed over, and told once.
        for (int f = position_ + 1; f <= target && !failureReported_; ++f) {
            if (server_->hasFailed(source_->codedIndex(f)))
                reportFailure(f, server_->stats().firstFailure.c_str());
        }
        // Playback never waits for the decoder: it shows the frame the clock asks for when it is
        // ready, else the newest ready frame on the way there (the decoder catches up meanwhile).
        QImage img = server_->pictureIfReady(source_->codedIndex(target));
        int shown = target;
        for (int f = target - 1; img.isNull() && f > position_ && f > target - 64; --f) {
            if (server_->isReady(source_->codedIndex(f))) {
                img = server_->pictureIfReady(source_->codedIndex(f));
                shown = f;
            }
        }
        if (!img.isNull())
            present(shown, img);
    } catch (const VideoDeviceError& e) {
        qWarning("video: playback stopped: %s", e.what());
        halt();
        reportFailure(playEnd_, e.what());
    }
}

} // namespace kadro
