#pragma once
// The program's video device on FFMS2 (see FfmsFrameSource for the layers that keep frames exact).
//
// Pictures come at display size from a decode thread with a frame cache (FrameServer): seek,
// step and back return once the exact picture is shown, usually from the cache. Opening reuses
// the index cached on disk; preparing a new file that takes longer than half a second shows a
// progress dialog whose "Abbrechen" makes open() throw VideoOpenCancelled.
//
// Playback follows a clock: the sound actually heard when an audio track and an audio output
// exist, otherwise the system clock (silently). A timer on the GUI thread shows, on every tick,
// the frame whose time the clock has reached; at the end point the device shows exactly that
// frame and stops.
//
// The device and all its fields live on the GUI thread; the decode thread is inside FrameServer
// and the sound's thread inside AudioOutput.

#include "player/video/FrameServer.h"
#include "player/video/OpenProgress.h"
#include "player/video/VideoDevice.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>

#include <memory>

namespace kadro {

class AudioOutput;
class FfmsFrameSource;

class FfmsVideoDevice : public VideoDevice {
    Q_OBJECT
public:
    explicit FfmsVideoDevice(QObject* parent = nullptr);
    ~FfmsVideoDevice() override;

    QString fileName() const override { return fileName_; }
    void setFileName(const QString& path) override { fileName_ = path; }
    void open() override;
    void close() override;
    bool isOpen() const override { return source_ != nullptr; }
    void setTimeFormatFrames() override {}
    void setFrames(int frames) override;
    int length() const override;
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
    VideoTiming timing() const override;
    // For frames 0 .. length(); -1 for others or when nothing is open.
    double frameSeconds(int frame) const override;

    // --- engine facts (diagnostics and tests) ---------------------------------------------------
    // The picture of position() as decoded (null when nothing is open).
    QImage currentImage() const { return picture(); }
    const FfmsFrameSource* source() const { return source_.get(); }
    // Allows sound (default). Without it, playback always runs on the system clock.
    void setSoundEnabled(bool enabled) { soundEnabled_ = enabled; }
    // True while the running play follows the heard sound.
    bool followsSound() const { return audioClock_; }
    // Frames a step or back passes over at most when they cannot be decoded.
    static constexpr int kMaxSkippedFrames = 50;
    // The end point of the running or paused play.
    int playEnd() const { return playEnd_; }

    // --- engine settings (take effect at the next open) ------------------------------------------
    static constexpr std::size_t kDefaultCacheBytes = std::size_t(256) << 20;
    // Byte bound of the frame cache (default 256 MB).
    void setCacheBytes(std::size_t bytes) { cacheBytes_ = bytes; }
    std::size_t cacheBytesLimit() const { return cacheBytes_; }
    // Pictures are decoded at the natural size (displayRect) scaled down to fit this box, which
    // is the largest the program's picture surface gets (default 384 x 288).
    void setMaxPictureSize(const QSize& size) { maxPicture_ = size; }
    // Where the index cache lives (empty = IndexCache::defaultDir()).
    void setIndexCacheDir(const QString& dir) { indexCacheDir_ = dir; }
    // Makes the progress report of each open; without one nothing is reported (the program sets
    // its dialog, DialogOpenProgress).
    void setProgressFactory(OpenProgressFactory factory) { progressFactory_ = std::move(factory); }
    // The size pictures are decoded at (empty when nothing is open).
    QSize pictureSize() const;
    // The decode thread with its cache (null when nothing is open).
    const FrameServer* server() const { return server_.get(); }
    // Waits until the decode thread has nothing left to do (tests, benchmark).
    bool waitForBackgroundWork(int timeoutMs);

private:
    void show(int frame, FrameServer::Move move);
    void present(int frame, const QImage& image);
    void move(int frame, FrameServer::Move how);
    void reportFailure(int frame, const char* what);
    void halt();
    void startClock();
    double clockSeconds();
    void tick();

    QString fileName_;
    std::unique_ptr<FfmsFrameSource> source_;
    std::unique_ptr<FrameServer> server_;
    std::unique_ptr<AudioOutput> audio_;
    std::size_t cacheBytes_ = kDefaultCacheBytes;
    QSize maxPicture_{384, 288};
    QString indexCacheDir_;
    OpenProgressFactory progressFactory_;
    QTimer timer_;
    QElapsedTimer sinceStart_;
    QElapsedTimer sinceAudioReport_;
    double startSeconds_ = 0.0;
    double lastHeard_ = -1.0;
    int position_ = 0;
    int frames_ = 1;
    int endPos_ = -1;
    bool endPending_ = false;
    int playEnd_ = -1;
    bool playing_ = false;
    bool paused_ = false;
    bool soundEnabled_ = true;
    bool audioClock_ = false;
    bool failureReported_ = false; // decodingFailed was emitted for the open file
};

} // namespace kadro
