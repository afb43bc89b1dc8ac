#pragma once
// A video file prepared for exact frames on FFMS2, put together from the engine's layers:
//  1. PackedBFrames: an AVI with DivX-style packed B-frames is decoded from an unpacked copy;
//  2. VideoIndex: the index of the file (from the disk cache when it is there);
//  3. SeekCheck: whether normal seeking may be used or the file is decoded linearly (the verdict
//     is cached with the index); settled without decoding where the stream's structure tells
//     (StreamProbe::structure), else by comparing seeks with a linear decode. That comparison
//     may run in the background: the file is then decoded linearly (exact whatever the verdict)
//     until the check has ended and its verdict is adopted (adoptVerdict);
//  4. AviSlots: frame numbers (AVI slots or coded pictures) and times; with StreamProbe's facts
//     from the container they give the video's timing;
//  5. FfmsDecoder: the decoders it makes for the frame server (DecoderFactory), with the seek mode
//     the check chose.
// Pictures themselves come only through a FrameServer over this source (one frame path for the
// program, the tests and the benchmark).
//
// Preparing a file reports its progress and can be cancelled (VideoOpenCancelled).

#include "player/video/AviSlots.h"
#include "player/video/Decoder.h"
#include "player/video/FfmsDecoder.h"
#include "player/video/FrameSource.h"
#include "player/video/SeekCheck.h"
#include "player/video/StreamProbe.h"
#include "player/video/VideoDevice.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

struct FFMS_AudioSource;

namespace kadro {

class OpenProgress;
class PictureVerdicts;
class VideoIndex;

class FfmsFrameSource : public FrameSource, public DecoderFactory {
public:
    using Seeking = kadro::Seeking;
    using SeekCheck = SeekVerdict;
    struct Options {
        Seeking seeking = Seeking::Verified;
        // Most frames decoded linearly as the reference of the seek check.
        int probeFrames = 400;
        // Settle the seeking by the stream's structure where it can (StreamProbe::structure);
        // false: always run the decoding check.
        bool useStructure = true;
        // Keep the index and the check's verdict on disk (see IndexCache).
        bool useIndexCache = true;
        // Folder of the index cache; empty = IndexCache::defaultDir(). Unpacked copies of
        // packed-B-frame AVIs are kept in its subfolder "unpacked".
        QString indexCacheDir;
        // Run the decoding check of the seeking on a thread of its own instead of before the
        // constructor returns (see adoptVerdict). Not for AVI files whose B-frames (which decide
        // the frame numbers) cannot be told from their packets: these are checked at once.
        bool checkInBackground = false;
        // Told how the preparation goes; cancelling makes the constructor throw
        // VideoOpenCancelled. May be null.
        OpenProgress* progress = nullptr;
    };

    // Opens the file; throws VideoDeviceError with the decoder's text on failure, and
    // VideoOpenCancelled when options.progress reported a cancel.
    explicit FfmsFrameSource(const QString& path);
    FfmsFrameSource(const QString& path, const Options& options);
    ~FfmsFrameSource() override;

    FfmsFrameSource(const FfmsFrameSource&) = delete;
    FfmsFrameSource& operator=(const FfmsFrameSource&) = delete;

    // --- FrameSource
    int frameCount() const override { return numbering_.frameCount(); }
    QSize frameSize() const override { return check_.size; }
    double pixelAspect() const override { return check_.pixelAspect; }
    double frameTime(int n) const override { return numbering_.frameTime(n); }

    // --- DecoderFactory
    const DecodeModel& decodeModel() const override { return model_; }
    std::unique_ptr<Decoder> newDecoder() const override;
    std::unique_ptr<Decoder> takeDecoder() override;
    std::size_t decoderBytes() const override;

    QString path() const { return path_; }
    // The file the pictures are decoded from: path(), or the unpacked copy of a packed-B AVI.
    QString decodedPath() const { return decodedPath_; }
    bool unpackedPackedBFrames() const { return decodedPath_ != path_; }
    // FFmpeg's name of the container format ("avi", "matroska,webm", ...).
    QString containerName() const;
    // The container's stream number of the video.
    int videoTrack() const;
    // True when frame numbers count AVI frame slots rather than coded pictures.
    bool slotNumbering() const { return numbering_.slotNumbering(); }
    int codedFrameCount() const { return numbering_.codedCount(); }
    // The coded picture shown at frame n.
    int codedIndex(int n) const { return numbering_.codedIndex(n); }
    // The first frame number showing coded picture `coded`.
    int frameOfCoded(int coded) const { return numbering_.frameOfCoded(coded); }
    // Coded indices of the keyframes (always starting with 0).
    const std::vector<int>& keyframes() const { return model_.keyframes(); }
    const SeekCheck& seekCheck() const { return check_; }
    // FFmpeg's verdict on pictures whose decoding made it complain.
    PictureVerdicts& verdicts() const { return *verdicts_; }
    bool sawBFrames() const { return check_.sawBFrames; }
    // True when pictures are decoded linearly (a backward request decodes from frame 0).
    bool decodesLinearly() const { return check_.linear; }
    // True when pictures are found by their time stamps (PtsDecoder), FFMS2's seeking being wrong.
    bool seeksByTimeStamps() const { return check_.byTimeStamps; }
    // Whether this open found the index / the check's verdict in the index cache.
    bool indexFromCache() const;
    bool verdictFromCache() const { return verdictFromCache_; }
    // Whether this open settled the seeking by the stream's structure, without the decoding check.
    bool verdictFromStructure() const { return verdictFromStructure_; }

    // --- the seek check in the background (Options::checkInBackground)
    // Whether a check runs or has ended and its verdict is not adopted yet.
    bool checkingSeeking() const { return checkThread_.joinable(); }
    // Whether that check has ended (its verdict waits for adoptVerdict()).
    bool seekCheckEnded() const;
    // Waits at most `timeoutMs` for the check to end; true when none runs (any more).
    bool waitForSeekCheck(int timeoutMs);
    // Takes the verdict of an ended check (and keeps it in the index cache, which the check's
    // thread has done). True when decoding changes from linear to normal seeking: decoders made
    // from now on seek, and the frame servers over this source need decodeModel() anew. Called
    // on the thread that owns the source.
    bool adoptVerdict();
    // What the container states about the video.
    const StreamFacts& streamFacts() const { return facts_; }
    // The video's timing: the stated frame rate (else the mean rate of the time stamps), whether
    // frame durations vary, and a capture rate that differs from the frame rate.
    VideoTiming timing() const { return timing_; }

    bool hasAudio() const;
    // A new audio source for the first audio track, sample 0 aligned with frame 0; the caller owns
    // it (FFMS_DestroyAudioSource). Null if the file has no usable audio.
    FFMS_AudioSource* createAudioSource() const;

    // Pictures a decoder holds besides the one it delivers: reference and reordering pictures
    // (H.264 keeps up to 16 references and FFMS2's decoder pool grows beyond that: a one-thread
    // decoder of 1080p H.264 was measured here to hold 84 MB, 27 pictures of 3.1 MB), or a few
    // for intra-only video.
    static constexpr int kDecoderPictures = 27;
    static constexpr int kIntraDecoderPictures = 3;

    // Frame threads of a PtsDecoder. It finds pictures by their time stamps, so threads cannot
    // shift what it delivers (FFMS2's decoders keep one: their seeking was checked so); while a
    // picture is waited for, the other decoder rests and leaves its core to these.
    static constexpr int kPtsDecoderThreads = 2;
    // Pictures each further frame thread holds (measured: a second thread of a 1080p HEVC decoder
    // about 24 MB, eight pictures of 3.1 MB).
    static constexpr int kThreadPictures = 8;

    // Frame durations or rates that differ by more than this share count as different.
    static constexpr double kRateTolerance = 0.01;

    // Makes FFMS2 decoders of the file in the seek mode chosen.
    FfmsDecoder::Opener opener() const;

    // The timing of a video with these container facts and frame times.
    static VideoTiming timingOf(const StreamFacts& facts, const AviSlots& numbering);

private:
    void runSeekCheck();

    QString path_;
    QString decodedPath_;
    Options options_;
    std::unique_ptr<VideoIndex> index_;
    SeekCheck check_;
    bool verdictFromCache_ = false;
    bool verdictFromStructure_ = false;
    AviSlots numbering_;
    StreamFacts facts_;
    VideoTiming timing_;
    DecodeModel model_;
    std::shared_ptr<PictureVerdicts> verdicts_;
    std::unique_ptr<Decoder> leftover_; // the check's decoder, until the frame server takes it

    // Decoders are made on the frame servers' threads: the seek mode they get, and whether they
    // are PtsDecoders (over the index's time stamps, made once).
    std::atomic<bool> linear_{false};
    std::atomic<bool> byTimeStamps_{false};
    std::shared_ptr<const std::vector<int64_t>> stamps_;
    // The check in the background: its thread, the verdict it found (null when it was cancelled
    // or failed) and whether it has ended, guarded by checkMutex_.
    std::thread checkThread_;
    std::atomic<bool> cancelCheck_{false};
    mutable std::mutex checkMutex_;
    std::condition_variable checkEnded_;
    bool checkDone_ = false;
    std::optional<SeekVerdict> checked_;
};

} // namespace kadro
