#pragma once
// A scripted video device without decoding, for tests of the code that drives a device.
// It keeps positions, length, end point and play state like the real device; playback moves only
// when the test calls advance().

#include "player/video/VideoDevice.h"

#include <QStringList>

#include <functional>

#include <vector>

namespace kadro {

class FakeVideoDevice : public VideoDevice {
    Q_OBJECT
public:
    explicit FakeVideoDevice(QObject* parent = nullptr);

    // --- scripting ---------------------------------------------------------------------------
    // Frame count - 1 that the next open() will report (default 99).
    void setLength(int length);
    // Picture size reported by displayRect() after open() (default 320 x 240).
    void setDisplaySize(const QSize& size);
    // Makes the next open() calls fail with this text (empty = succeed).
    void setOpenError(const QString& text);
    // Makes the next open() calls end as if the user cancelled the preparation.
    void setOpenCancelled(bool cancelled) { openCancelled_ = cancelled; }
    // The timing the next opened video reports, and each frame's time stamp in seconds (frames
    // beyond the list continue at the last duration; an empty list: the device cannot tell).
    void setTiming(const VideoTiming& timing, std::vector<double> frameSeconds = {})
    {
        timing_ = timing;
        frameSeconds_ = std::move(frameSeconds);
    }
    // The full-resolution frames fullFrame gives (grey pictures of `size`, made by `render` for
    // a frame number); without them the device has none.
    void setFullFrames(const QSize& size, std::function<QImage(int)> render)
    {
        fullSize_ = size;
        render_ = std::move(render);
    }
    // While playing: moves `frames` frames on, stopping by itself at the end point.
    void advance(int frames = 1);
    // Every operation called, in order ("open", "seek 12", "play", "setEndPos 40", ...).
    const QStringList& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // The end point the running (or paused) play stops at.
    int playEnd() const { return playEnd_; }

    // --- VideoDevice -------------------------------------------------------------------------
    QString fileName() const override { return fileName_; }
    void setFileName(const QString& path) override;
    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    void setTimeFormatFrames() override;
    void setFrames(int frames) override;
    int length() const override { return open_ ? length_ : 0; }
    int position() const override { return position_; }
    void seek(int frame) override;
    void setEndPos(int frame) override;
    int endPos() const override { return endPending_ ? endPos_ : -1; }
    void play() override;
    void pause() override;
    void stop() override;
    void step() override;
    void back() override;
    QRect displayRect() const override;
    bool isPlaying() const override { return playing_; }
    bool isPaused() const override { return paused_; }
    VideoTiming timing() const override { return open_ ? timing_ : VideoTiming{}; }
    double frameSeconds(int frame) const override;
    QImage fullFrame(int frame, int waitMs) override;
    QImage fullColourFrame(int frame, int waitMs) override;
    QSize fullFrameSize() const override { return open_ && render_ ? fullSize_ : QSize(); }

private:
    void show(int frame);

    QSize fullSize_;
    std::function<QImage(int)> render_;
    VideoTiming timing_;
    std::vector<double> frameSeconds_;
    QString fileName_;
    QString openError_;
    bool openCancelled_ = false;
    QStringList calls_;
    QSize size_{320, 240};
    int length_ = 99;
    int position_ = 0;
    int frames_ = 1;
    int endPos_ = -1;
    bool endPending_ = false;
    int playEnd_ = -1;
    bool open_ = false;
    bool playing_ = false;
    bool paused_ = false;
};

} // namespace kadro
