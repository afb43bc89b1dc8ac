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

#include "player/video/FrameCache.h"
#include "player/video/FrameSource.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct FFMS_Index;
struct FFMS_VideoSource;
struct FFMS_AudioSource;

namespace kadro {

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
        // Byte bound of the picture cache.
        std::size_t cacheBytes = std::size_t(192) << 20;
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

    // Opens the file; throws VideoDeviceError with the decoder's text on failure.
    explicit FfmsFrameSource(const QString& path);
    FfmsFrameSource(const QString& path, const Options& options);
    ~FfmsFrameSource() override;

    FfmsFrameSource(const FfmsFrameSource&) = delete;
    FfmsFrameSource& operator=(const FfmsFrameSource&) = delete;

    int frameCount() const override { return frameCount_; }
    QSize frameSize() const override { return size_; }
    double pixelAspect() const override { return pixelAspect_; }
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

    bool hasAudio() const { return audioTrack_ >= 0; }
    // A new audio source for the first audio track, sample 0 aligned with frame 0; the caller owns
    // it (FFMS_DestroyAudioSource). Null if the file has no usable audio.
    FFMS_AudioSource* createAudioSource() const;

private:
    struct Deleters {
        void operator()(FFMS_Index* p) const;
        void operator()(FFMS_VideoSource* p) const;
    };
    using IndexPtr = std::unique_ptr<FFMS_Index, Deleters>;
    using VideoPtr = std::unique_ptr<FFMS_VideoSource, Deleters>;

    VideoPtr openVideo(int seekMode, int threads) const;
    void learnTrack();
    void probe();
    void decideNumbering();
    void setOutput(FFMS_VideoSource* src);
    QImage decode(int coded);
    int keyframeAtOrBefore(int coded) const;

    QString path_;
    QByteArray file_;
    Options options_;
    QString container_;
    IndexPtr index_;
    VideoPtr source_;
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
    int lastDecoded_ = -1;
    SeekCheck check_;
    FrameCache cache_;
};

} // namespace kadro
