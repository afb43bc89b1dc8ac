#pragma once
// Frame source on FFMS2: indexes the file, decides how it may be decoded without ever showing a
// wrong frame, and delivers exact pictures by frame number.
//
// FFMS2's normal seeking guesses where a seek landed; on some files (open GOPs, AVI with several
// consecutive B-frames, MPEG program streams) the guess is wrong. So right after opening, the
// source decodes the start of the file linearly as a reference and compares seeked requests
// (around keyframes, where the faults show) with it. Only if every comparable request returned the
// reference picture does it use normal seeking; otherwise it decodes linearly (exact, slower on
// backward jumps, softened by a cache that is filled a window at a time).
//
// Frame numbering: frame n is the n-th picture. In AVI files without reordered (B) frames the
// numbering counts the file's frame slots: a dropped (empty) slot shows the picture before it and
// keeps its own number, so times computed as frame x time step stay true.
//
// The index and what the check found are kept on disk (IndexCache): the second open of a file
// neither indexes nor checks again. Preparing a file reports its progress and can be cancelled
// (VideoOpenCancelled).

#include "player/video/FfmsSupport.h"
#include "player/video/FrameCache.h"
#include "player/video/FrameSource.h"
#include "player/video/IndexCache.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct FFMS_AudioSource;

namespace kadro {

class OpenProgress;

// One FFMS2 decoder of a file, delivering coded pictures as RGB32 at a chosen size (scaled by
// area averaging when smaller than the coded size). Made by FfmsFrameSource, with the seek mode
// its check chose. Not thread-safe: one thread at a time uses it.
class FfmsDecoder {
public:
    ~FfmsDecoder();
    FfmsDecoder(const FfmsDecoder&) = delete;
    FfmsDecoder& operator=(const FfmsDecoder&) = delete;

    // The picture of coded picture `coded`. Throws VideoDeviceError.
    QImage picture(int coded);
    // The coded picture decoded last (-1 before the first).
    int position() const { return position_; }
    void setOutputSize(const QSize& size);
    QSize outputSize() const { return output_; }

private:
    friend class FfmsFrameSource;
    FfmsDecoder(FfmsVideoPtr source, const QSize& codedSize, int position);

    FfmsVideoPtr source_;
    QSize coded_;
    QSize output_;
    int position_ = -1;
};

class FfmsFrameSource : public FrameSource {
public:
    enum class Seeking {
        Verified, // verify normal seeking against a linear decode, fall back to linear
        Normal,   // trust FFMS2's normal seeking (for comparisons only)
        Linear,   // always decode linearly
    };
    struct Options {
        Seeking seeking = Seeking::Verified;
        // Most frames decoded linearly as the reference of the seek check.
        int probeFrames = 400;
        // Byte bound of the picture cache of frame().
        std::size_t cacheBytes = std::size_t(64) << 20;
        // Keep the index and the check's verdict on disk (see IndexCache).
        bool useIndexCache = true;
        // Folder of the index cache; empty = IndexCache::defaultDir().
        QString indexCacheDir;
        // Told how the preparation goes; cancelling makes the constructor throw
        // VideoOpenCancelled. May be null.
        OpenProgress* progress = nullptr;
    };
    // What the seek check found.
    struct SeekCheck {
        bool linear = false;   // the source decodes linearly
        int referenceFrames = 0; // frames decoded linearly as reference
        int checks = 0;        // seeked requests compared with the reference
        int mismatches = 0;    // of those, requests that returned another picture
        int firstMismatch = -1; // coded index of the first wrong request
        QString reason;
    };

    // Opens the file; throws VideoDeviceError with the decoder's text on failure, and
    // VideoOpenCancelled when options.progress reported a cancel.
    explicit FfmsFrameSource(const QString& path);
    FfmsFrameSource(const QString& path, const Options& options);
    ~FfmsFrameSource() override;

    FfmsFrameSource(const FfmsFrameSource&) = delete;
    FfmsFrameSource& operator=(const FfmsFrameSource&) = delete;

    int frameCount() const override { return frameCount_; }
    QSize frameSize() const override { return size_; }
    double pixelAspect() const override { return pixelAspect_; }
    // Frame n at the coded size, decoded on the calling thread with a small cache of its own.
    QImage frame(int n) override;
    double frameTime(int n) const override;

    QString path() const { return path_; }
    // FFmpeg's name of the container format ("avi", "matroska,webm", ...).
    QString containerName() const { return container_; }
    // True when frame numbers count AVI frame slots rather than coded pictures.
    bool slotNumbering() const { return slotNumbering_; }
    int codedFrameCount() const { return int(pts_.size()); }
    // The coded picture shown at frame n.
    int codedIndex(int n) const;
    // Coded indices of the keyframes (always starting with 0).
    const std::vector<int>& keyframes() const { return keyframes_; }
    // The first frame number showing coded picture `coded`.
    int frameOfCoded(int coded) const;
    const SeekCheck& seekCheck() const { return check_; }
    bool sawBFrames() const { return sawB_; }
    // Whether this open found the index / the check's verdict in the index cache.
    bool indexFromCache() const { return indexFromCache_; }
    bool verdictFromCache() const { return verdictFromCache_; }

    // --- decoders for a decode thread ------------------------------------------------------
    // The decoder left over from preparing the file (the next frame() makes a new one).
    std::unique_ptr<FfmsDecoder> takeDecoder();
    // A new decoder of the file with the seek mode the check chose.
    std::unique_ptr<FfmsDecoder> newDecoder() const;
    // True when pictures are decoded linearly (a backward request decodes from frame 0).
    bool decodesLinearly() const { return check_.linear; }
    // The keyframe at or before coded picture `coded` (0 when decoding linearly).
    int seekStart(int coded) const;
    // About how many pictures a decoder at `position` (a coded index, -1 = none) decodes to
    // deliver `coded`: a request shortly ahead decodes forward, any other one starts again from
    // the keyframe before it (or from the start, decoding linearly).
    int decodeCost(int position, int coded) const;
    // Whether a decoder at `position` reaches `coded` by decoding forward, without a seek.
    bool decodesForward(int position, int coded) const;

    bool hasAudio() const { return audioTrack_ >= 0; }
    // A new audio source for the first audio track, sample 0 aligned with frame 0; the caller owns
    // it (FFMS_DestroyAudioSource). Null if the file has no usable audio.
    FFMS_AudioSource* createAudioSource() const;

private:
    class Progress;

    FfmsVideoPtr openVideo(int seekMode, int threads) const;
    void buildIndex(Progress& progress);
    void learnTrack();
    void probe(Progress& progress);
    void adoptVerdict(const IndexCache::Verdict& verdict);
    IndexCache::Verdict verdict() const;
    void decideNumbering();
    int keyframeAtOrBefore(int coded) const;
    int seekMode() const;
    int decoderThreads() const;

    QString path_;
    QByteArray file_;
    Options options_;
    QString container_;
    FfmsIndexPtr index_;
    std::unique_ptr<FfmsDecoder> decoder_;
    int videoTrack_ = -1;
    int audioTrack_ = -1;
    QSize size_;
    double pixelAspect_ = 1.0;
    double tickSeconds_ = 0.04; // seconds per unit of the track's time stamps
    std::vector<int64_t> pts_;
    std::vector<int> keyframes_;
    std::vector<int> codedOfFrame_; // slot numbering only
    bool slotNumbering_ = false;
    bool sawB_ = false;
    int frameCount_ = 0;
    bool indexFromCache_ = false;
    bool verdictFromCache_ = false;
    SeekCheck check_;
    FrameCache cache_;
};

} // namespace kadro
