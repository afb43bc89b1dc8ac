#include "player/video/VideoIndex.h"

#include "player/video/OpenProgress.h"
#include "player/video/VideoDevice.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace kadro {

IndexingBound::IndexingBound(qint64 fileSize) : maxReports_(std::max<qint64>(0, fileSize) + kSpareReports) {}

bool IndexingBound::report(qint64 position)
{
    if (exceeded_)
        return false;
    ++reports_;
    if (position > furthest_) {
        furthest_ = position;
        sinceFurther_ = 0;
    } else {
        ++sinceFurther_;
    }
    exceeded_ = reports_ > maxReports_ || sinceFurther_ > kStallReports;
    return !exceeded_;
}

VideoIndex::VideoIndex(const QString& path, const Options& options, ProgressPhases& progress)
    : path_(path), file_(QFile::encodeName(path)), options_(options)
{
    ffmsInit();
    std::optional<IndexCache::Entry> stored;
    if (options_.useCache)
        stored = IndexCache(options_.cacheDir).load(path_);
    if (stored) {
        index_ = std::move(stored->index);
        container_ = stored->container;
        storedVerdict_ = stored->verdict;
        fromCache_ = true;
    } else {
        build(progress);
    }

    FfmsError trackErr;
    videoTrack_ = FFMS_GetFirstTrackOfType(index_.get(), FFMS_TYPE_VIDEO, &trackErr.info);
    if (videoTrack_ < 0)
        throw VideoDeviceError(trackErr.text("the file has no video track"));
    FfmsError audioErr;
    audioTrack_ = FFMS_GetFirstIndexedTrackOfType(index_.get(), FFMS_TYPE_AUDIO, &audioErr.info);
    learnTrack();
}

void VideoIndex::build(ProgressPhases& progress)
{
    FfmsError err;
    FFMS_Indexer* indexer = FFMS_CreateIndexer(file_.constData(), &err.info);
    if (!indexer)
        throw VideoDeviceError(err.text("cannot open the file"));
    if (const char* name = FFMS_GetFormatNameI(indexer))
        container_ = QString::fromUtf8(name);
    // Audio is not indexed by default, and an un-indexed track cannot be played.
    FFMS_TrackTypeIndexSettings(indexer, FFMS_TYPE_AUDIO, 1, 0);
    struct Watch {
        ProgressPhases* progress;
        IndexingBound bound;
    } watch{&progress, IndexingBound(QFileInfo(path_).size())};
    FFMS_SetProgressCallback(
        indexer,
        [](int64_t current, int64_t total, void* data) -> int {
            auto* w = static_cast<Watch*>(data);
            if (!w->bound.report(current))
                return 1;
            return w->progress->report(current, total) ? 0 : 1;
        },
        &watch);
    index_.reset(FFMS_DoIndexing2(indexer, FFMS_IEH_STOP_TRACK, &err.info)); // frees the indexer
    if (progress.cancelled())
        throw VideoOpenCancelled();
    if (watch.bound.exceeded()) {
        index_.reset();
        throw VideoDeviceError("indexing does not come to an end: the file is damaged");
    }
    if (!index_)
        throw VideoDeviceError(err.text("cannot index the file"));
}

void VideoIndex::learnTrack()
{
    FFMS_Track* track = FFMS_GetTrackFromIndex(index_.get(), videoTrack_);
    const int coded = track ? FFMS_GetNumFrames(track) : 0;
    if (coded <= 0)
        throw VideoDeviceError("the video track has no frames");
    const FFMS_TrackTimeBase* tb = FFMS_GetTimeBase(track);
    if (tb && tb->Den != 0)
        tickSeconds_ = double(tb->Num) / double(tb->Den) / 1000.0;
    pts_.resize(std::size_t(coded));
    for (int i = 0; i < coded; ++i) {
        const FFMS_FrameInfo* fi = FFMS_GetFrameInfo(track, i);
        pts_[std::size_t(i)] = fi ? fi->PTS : i;
        if (fi && fi->KeyFrame)
            keyframes_.push_back(i);
    }
    if (keyframes_.empty() || keyframes_.front() != 0)
        keyframes_.insert(keyframes_.begin(), 0);
}

void VideoIndex::store(const std::optional<SeekVerdict>& verdict) const
{
    if (options_.useCache)
        IndexCache(options_.cacheDir).store(path_, index_.get(), container_, verdict);
}

} // namespace kadro
