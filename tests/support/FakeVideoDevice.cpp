#include "support/FakeVideoDevice.h"

#include <algorithm>

namespace kadro {

FakeVideoDevice::FakeVideoDevice(QObject* parent) : VideoDevice(parent) {}

void FakeVideoDevice::setLength(int length) { length_ = std::max(0, length); }

void FakeVideoDevice::setDisplaySize(const QSize& size) { size_ = size; }

void FakeVideoDevice::setOpenError(const QString& text) { openError_ = text; }

void FakeVideoDevice::setFileName(const QString& path)
{
    calls_ << QStringLiteral("setFileName %1").arg(path);
    fileName_ = path;
}

void FakeVideoDevice::open()
{
    calls_ << QStringLiteral("open");
    close();
    if (fileName_.isEmpty())
        throw VideoDeviceError("no file name");
    if (!openError_.isEmpty())
        throw VideoDeviceError(openError_.toStdString());
    if (openCancelled_)
        throw VideoOpenCancelled();
    open_ = true;
    endPending_ = false;
    show(0);
}

void FakeVideoDevice::close()
{
    open_ = false;
    playing_ = paused_ = false;
    position_ = 0;
}

void FakeVideoDevice::setTimeFormatFrames() { calls_ << QStringLiteral("setTimeFormatFrames"); }

void FakeVideoDevice::setFrames(int frames)
{
    calls_ << QStringLiteral("setFrames %1").arg(frames);
    frames_ = std::max(1, frames);
}

void FakeVideoDevice::seek(int frame)
{
    calls_ << QStringLiteral("seek %1").arg(frame);
    playing_ = paused_ = false;
    show(frame);
}

void FakeVideoDevice::setEndPos(int frame)
{
    calls_ << QStringLiteral("setEndPos %1").arg(frame);
    endPos_ = frame;
    endPending_ = true;
}

void FakeVideoDevice::play()
{
    calls_ << QStringLiteral("play");
    if (!open_)
        return;
    playEnd_ = endPending_ ? std::clamp(endPos_, 0, length_) : length_;
    endPending_ = false;
    paused_ = false;
    playing_ = position_ < playEnd_;
}

void FakeVideoDevice::pause()
{
    calls_ << QStringLiteral("pause");
    if (playing_) {
        playing_ = false;
        paused_ = true;
    } else if (paused_) {
        paused_ = false;
        playing_ = true;
    }
}

void FakeVideoDevice::stop()
{
    calls_ << QStringLiteral("stop");
    playing_ = paused_ = false;
}

void FakeVideoDevice::step()
{
    calls_ << QStringLiteral("step");
    playing_ = paused_ = false;
    show(position_ + frames_);
}

void FakeVideoDevice::back()
{
    calls_ << QStringLiteral("back");
    playing_ = paused_ = false;
    show(position_ - frames_);
}

QRect FakeVideoDevice::displayRect() const { return open_ ? QRect(QPoint(0, 0), size_) : QRect(); }

void FakeVideoDevice::advance(int frames)
{
    if (!playing_)
        return;
    const int target = std::min(position_ + std::max(0, frames), playEnd_);
    show(target);
    if (target >= playEnd_) {
        playing_ = false;
        emit playFinished();
    }
}

void FakeVideoDevice::show(int frame)
{
    if (!open_)
        return;
    position_ = std::clamp(frame, 0, length_);
    emit frameShown(position_);
}

QImage FakeVideoDevice::fullFrame(int frame, int waitMs)
{
    Q_UNUSED(waitMs);
    if (!open_ || !render_ || frame < 0 || frame > length_)
        return {};
    return render_(frame).convertToFormat(QImage::Format_Grayscale8);
}

QImage FakeVideoDevice::fullColourFrame(int frame, int waitMs)
{
    Q_UNUSED(waitMs);
    if (!open_ || !render_ || frame < 0 || frame > length_)
        return {};
    return render_(frame).convertToFormat(QImage::Format_RGB32);
}

double FakeVideoDevice::frameSeconds(int frame) const
{
    if (!open_ || frameSeconds_.empty() || frame < 0)
        return -1;
    const std::size_t n = frameSeconds_.size();
    if (std::size_t(frame) < n)
        return frameSeconds_[std::size_t(frame)];
    const double last = n > 1 ? frameSeconds_[n - 1] - frameSeconds_[n - 2] : 0.0;
    return frameSeconds_[n - 1] + double(std::size_t(frame) - (n - 1)) * last;
}

} // namespace kadro
