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
// The GUI thread never waits long for a picture: seek, step and back wait at most kWaitMs for it.
// A picture that takes longer is shown when it comes (the position is the requested frame at
// once; pictureChanged and frameShown follow, and pictureArrived tells that it came late); a new
// request meanwhile replaces it. After kBusyMs the pointer shows that the program is busy, and a
// decoder that delivers nothing for kStallMs is reported (decodingFailed), not waited for.
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
    // From a decode thread of their own at the coded size (a second FrameServer with a small
    // cache, made at the first request), so the shown pictures and their cache are untouched.
    QImage fullFrame(int frame, int waitMs) override;
    QImage fullColourFrame(int frame, int waitMs) override;
    QSize fullFrameSize() const override;

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
    // True while a requested picture has not come yet.
    bool picturePending() const { return pending_.active; }
    // Longest the GUI thread waits for a picture; then the picture comes when it is ready.
    static constexpr int kWaitMs = 50;
    // What opening waits for the first picture.
    static constexpr int kOpenWaitMs = 3000;
    // A pending picture shows the busy pointer after this long.
    static constexpr int kBusyMs = 1000;
    // A decoder that delivers no picture for this long is reported.
    static constexpr int kStallMs = 20000;
    // Byte bound of the cache of full-resolution frames (a few frames; too small for a second
    // decoder, so that server decodes forward with one).
    static constexpr std::size_t kFullFrameCacheBytes = std::size_t(48) << 20;

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
    // Waits until the seek check and the decode thread have nothing left to do (tests, benchmark).
    bool waitForBackgroundWork(int timeoutMs);
    // Waits until a pending picture is shown or its request ended; false on timeout (tests,
    // benchmark; the program never waits so).
    bool waitForPicture(int timeoutMs = 120000) override;

private:
    void request(int frame, FrameServer::Move move, int waitMs);
    void pollPending();
    void endPending();
    void setBusy(bool busy);
    void present(int frame, const QImage& image);
    void move(int frame, FrameServer::Move how);
    void reportFailure(int frame, const char* what);
    void halt();
    void startClock();
    double clockSeconds();
    void tick();
    void adoptSeekCheck();

    QString fileName_;
    std::unique_ptr<FfmsFrameSource> source_;
    std::unique_ptr<FrameServer> server_;
    std::unique_ptr<FrameServer> fullServer_; // full-resolution frames (fullFrame)
    struct FullPending {
        bool active = false;
        int frame = -1;
        long long ticket = 0;
    } fullPending_;
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
    // The request whose picture has not come yet.
    struct Pending {
        bool active = false;
        int frame = 0;
        FrameServer::Move move = FrameServer::Move::Jump;
        int skipped = 0;          // undecodable frames passed over on the way
        long long ticket = 0;
        long long decoded = 0;    // the server's decoded pictures when progress was last seen
        QElapsedTimer since;      // since the request
        QElapsedTimer sinceProgress;
    } pending_;
    int shown_ = 0; // the frame whose picture is shown
    QTimer pendingTimer_;
    QTimer checkTimer_; // watches the seek check running in the background
    bool busy_ = false;
};

} // namespace kadro
