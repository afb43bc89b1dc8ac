#pragma once
// The FFMS2 index of a video file and what it tells about the video track: the pictures' time
// stamps and keyframes. Indexing demuxes the whole file (I/O-bound, no decoding); the index is kept
// on disk (IndexCache), together with the seek check's verdict, so the second open of a file needs
// neither.

#include "player/video/FfmsSupport.h"
#include "player/video/IndexCache.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kadro {

class ProgressPhases;

// Keeps indexing finite. FFMS2 reports after every packet how far into the file the reading is;
// a damaged file that makes the demuxer read in circles, or produce packets without reading on,
// would never reach the end. Indexing is stopped when the reports outnumber the bytes of the file
// (every packet comes from at least one byte) or when a long run of reports gets no further into
// the file than before.
class IndexingBound {
public:
    explicit IndexingBound(qint64 fileSize);
    // One report: `position` bytes into the file. False once indexing must stop.
    bool report(qint64 position);
    bool exceeded() const { return exceeded_; }

    // Reports in a row that may pass without reading further than before.
    static constexpr qint64 kStallReports = 200000;
    // Reports allowed beyond the file's size in bytes.
    static constexpr qint64 kSpareReports = 100000;

private:
    qint64 maxReports_;
    qint64 reports_ = 0;
    qint64 furthest_ = -1;
    qint64 sinceFurther_ = 0;
    bool exceeded_ = false;
};

class VideoIndex {
public:
    struct Options {
        // Take the index from, and keep it in, the disk cache.
        bool useCache = true;
        // Folder of the cache; empty = IndexCache::defaultDir().
        QString cacheDir;
    };

    // Indexes `path` (video and audio tracks) or reads its index from the cache. Throws
    // VideoDeviceError when the file cannot be indexed or has no video (also when indexing does
    // not come to an end, see IndexingBound), VideoOpenCancelled when `progress` cancelled.
    VideoIndex(const QString& path, const Options& options, ProgressPhases& progress);

    VideoIndex(const VideoIndex&) = delete;
    VideoIndex& operator=(const VideoIndex&) = delete;

    FFMS_Index* get() const { return index_.get(); }
    QString path() const { return path_; }
    // The file name as FFMS2 takes it.
    const QByteArray& fileName() const { return file_; }
    // FFmpeg's name of the container format ("avi", "matroska,webm", ...).
    QString container() const { return container_; }
    int videoTrack() const { return videoTrack_; }
    // The first indexed audio track, -1 if none.
    int audioTrack() const { return audioTrack_; }

    int codedCount() const { return int(pts_.size()); }
    // Time stamps of the coded pictures (presentation order), in units of tickSeconds().
    const std::vector<int64_t>& pts() const { return pts_; }
    double tickSeconds() const { return tickSeconds_; }
    // Coded indices of the keyframes, ascending, starting with 0.
    const std::vector<int>& keyframes() const { return keyframes_; }

    // Whether the index came from the cache, and the verdict stored with it.
    bool fromCache() const { return fromCache_; }
    const std::optional<SeekVerdict>& storedVerdict() const { return storedVerdict_; }
    // Keeps the index (with `verdict`, if any) in the cache; nothing when the cache is not used.
    void store(const std::optional<SeekVerdict>& verdict) const;

private:
    void build(ProgressPhases& progress);
    void learnTrack();

    QString path_;
    QByteArray file_;
    Options options_;
    FfmsIndexPtr index_;
    QString container_;
    int videoTrack_ = -1;
    int audioTrack_ = -1;
    std::vector<int64_t> pts_;
    std::vector<int> keyframes_;
    double tickSeconds_ = 0.04;
    bool fromCache_ = false;
    std::optional<SeekVerdict> storedVerdict_;
};

} // namespace kadro
