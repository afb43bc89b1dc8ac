#include "player/video/FfmsFrameSource.h"

#include "player/video/OpenProgress.h"
#include "player/video/PackedBFrames.h"
#include "player/video/PictureVerdicts.h"
#include "player/video/PtsDecoder.h"
#include "player/video/VideoDevice.h"
#include "player/video/VideoIndex.h"

#include <QDir>

#include <algorithm>
#include <chrono>
#include <cmath>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <ffms.h>

namespace kadro {

VideoTiming FfmsFrameSource::timingOf(const StreamFacts& facts, const AviSlots& numbering)
{
    VideoTiming t;
    t.frameRate = facts.statedRate > 0 ? facts.statedRate : numbering.meanRate();
    t.variableRate = numbering.variableDurations(kRateTolerance);
    // Phones name the capture rate of every recording; it tells something only where it differs
    // from the rate the video plays at.
    if (facts.captureRate > 0 && std::abs(facts.captureRate - t.frameRate) > kRateTolerance * t.frameRate)
        t.captureRate = facts.captureRate;
    return t;
}

FfmsFrameSource::FfmsFrameSource(const QString& path) : FfmsFrameSource(path, Options{}) {}

FfmsFrameSource::FfmsFrameSource(const QString& path, const Options& options) : path_(path), options_(options)
{
    ffmsInit();
    ProgressPhases progress(options.progress);
    progress.step(0, 1);

    // 1. A packed-B-frame AVI is read from its unpacked copy (the first open writes it).
    const QString cacheDir = options.indexCacheDir.isEmpty() ? IndexCache::defaultDir() : options.indexCacheDir;
    const UnpackedCopies copies(QDir(cacheDir).filePath(QStringLiteral("unpacked")));
    const bool packed = PackedBFrames::detect(path);
    qint64 indexFrom = 0;
    if (packed) {
        progress.setPhase(0, ProgressPhases::kTotal * 3 / 10);
        decodedPath_ = copies.fileToDecode(path, [&](qint64 done, qint64 total) { return progress.report(done, total); });
        if (progress.cancelled())
            throw VideoOpenCancelled();
        indexFrom = ProgressPhases::kTotal * 3 / 10;
    } else {
        decodedPath_ = path;
    }

    // 2. The index.
    const qint64 checkFrom = (indexFrom + ProgressPhases::kTotal) / 2;
    progress.setPhase(indexFrom, checkFrom);
    VideoIndex::Options indexOptions;
    indexOptions.useCache = options.useIndexCache;
    indexOptions.cacheDir = options.indexCacheDir;
    index_ = std::make_unique<VideoIndex>(decodedPath_, indexOptions, progress);

    stamps_ = std::make_shared<const std::vector<int64_t>>(index_->pts());
    verdicts_ = std::make_shared<PictureVerdicts>(decodedPath_, index_->videoTrack(), index_->pts(), index_->keyframes());

    // 3. The seek check, or its verdict from the cache.
    const auto& stored = index_->storedVerdict();
    if (stored && options.seeking == Seeking::Verified && stored->probeFrames == options.probeFrames) {
        try {
            check_ = *stored;
            linear_ = check_.linear;
            byTimeStamps_ = check_.byTimeStamps;
            leftover_ = newDecoder();
            verdictFromCache_ = true;
        } catch (const VideoDeviceError&) {
            // The stored verdict does not fit this file after all: check it afresh.
            check_ = SeekCheck{};
            leftover_.reset();
        }
    }
    // A stream whose structure settles the seeking needs no decoding check.
    if (!verdictFromCache_ && options.seeking == Seeking::Verified && options.useStructure) {
        const StructureVerdict structure = StreamProbe::structure(decodedPath_, index_->videoTrack(), index_->pts());
        if (structure.seekable) {
            if (std::optional<SeekCheckResult> result = trustSeeking(*index_, options.probeFrames, structure.reason, verdicts_.get())) {
                check_ = result->verdict;
                leftover_ = std::make_unique<FfmsDecoder>(opener(), std::move(result->decoder), check_.size,
                                                          result->position, verdicts_);
                verdictFromStructure_ = true;
            }
        }
    }
    // The decoding check in the background: the file opens with a linear decoder, which shows
    // every picture exactly whatever the check finds. Frame numbers of an AVI depend on whether
    // it has B-frames; they must be known now and are read from the packets' headers.
    bool inBackground = !verdictFromCache_ && !verdictFromStructure_ && options.checkInBackground &&
                        options.seeking == Seeking::Verified;
    bool reordered = false;
    if (inBackground && index_->container() == QLatin1String("avi")) {
        const std::vector<int>& keys = index_->keyframes();
        int packets = std::min(index_->codedCount(), std::max(1, options.probeFrames));
        if (keys.size() >= 3)
            packets = std::min(packets, std::max(48, keys[2] + 4));
        const StreamProbe::Reordering r = StreamProbe::reordering(decodedPath_, index_->videoTrack(), packets);
        inBackground = r != StreamProbe::Reordering::Unknown;
        reordered = r == StreamProbe::Reordering::Yes;
    }
    if (inBackground) {
        progress.setPhase(index_->fromCache() ? indexFrom : checkFrom, ProgressPhases::kTotal);
        SeekCheckResult result = checkSeeking(*index_, Seeking::Linear, 1, progress, verdicts_.get());
        check_ = result.verdict;
        check_.probeFrames = options.probeFrames;
        check_.reason = QStringLiteral("decoded linearly while seeking is checked");
        if (index_->container() == QLatin1String("avi"))
            check_.sawBFrames = reordered;
        leftover_ = std::make_unique<FfmsDecoder>(opener(), std::move(result.decoder), check_.size, result.position,
                                                  verdicts_);
    }
    if (!verdictFromCache_ && !verdictFromStructure_ && !inBackground) {
        progress.setPhase(index_->fromCache() ? indexFrom : checkFrom, ProgressPhases::kTotal);
        SeekCheckResult result = checkSeeking(*index_, options.seeking, options.probeFrames, progress, verdicts_.get());
        check_ = result.verdict;
        linear_ = check_.linear;
        byTimeStamps_ = check_.byTimeStamps;
        if (check_.byTimeStamps)
            leftover_ = newDecoder();
        else
            leftover_ = std::make_unique<FfmsDecoder>(opener(), std::move(result.decoder), check_.size, result.position,
                                                      verdicts_);
    }

    // 4. Frame numbers; 5. how decoders reach pictures.
    linear_ = check_.linear;
    numbering_ = AviSlots(index_->pts(), index_->tickSeconds(), index_->container() == QLatin1String("avi"),
                          check_.sawBFrames);
    model_ = DecodeModel(index_->codedCount(), index_->keyframes(), check_.linear);
    facts_ = StreamProbe::facts(decodedPath_, index_->videoTrack());
    timing_ = timingOf(facts_, numbering_);
    progress.step(1, 1);

    // Only a complete preparation is kept; a verdict only when the check ran as in the program
    // (the check in the background keeps its own once it has ended).
    if (!index_->fromCache() || (!verdictFromCache_ && options.seeking == Seeking::Verified && !inBackground)) {
        std::optional<SeekVerdict> v;
        if (options.seeking == Seeking::Verified && !check_.unfinished && !inBackground)
            v = check_;
        index_->store(v);
    }
    if (inBackground)
        checkThread_ = std::thread([this] { runSeekCheck(); });
}

FfmsFrameSource::~FfmsFrameSource()
{
    if (checkThread_.joinable()) {
        cancelCheck_ = true;
        checkThread_.join();
    }
}

namespace {
// The check's progress: nobody watches it; it only asks whether the check is to stop.
class CheckCancel : public OpenProgress {
public:
    explicit CheckCancel(const std::atomic<bool>& cancel) : cancel_(cancel) {}
    bool report(qint64, qint64) override { return !cancel_.load(); }

private:
    const std::atomic<bool>& cancel_;
};
} // namespace

void FfmsFrameSource::runSeekCheck()
{
#ifdef Q_OS_LINUX
    // The check yields to the pictures the user waits for (per-thread nice value on Linux).
    setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), 10);
#endif
    CheckCancel cancel(cancelCheck_);
    ProgressPhases progress(&cancel);
    std::optional<SeekVerdict> verdict;
    try {
        SeekCheckResult result = checkSeeking(*index_, Seeking::Verified, options_.probeFrames, progress, verdicts_.get());
        verdict = result.verdict;
    } catch (const VideoOpenCancelled&) {
    } catch (const std::exception& e) {
        // The file stays decoded linearly.
        qWarning("video: the seek check failed: %s", e.what());
    }
    if (verdict) {
        // The frame numbers were fixed when the file opened; they stay so on the next open.
        if (index_->container() == QLatin1String("avi")) {
            if (verdict->sawBFrames != check_.sawBFrames)
                qWarning("video: the packets' picture types and the decoder disagree on B-frames");
            verdict->sawBFrames = check_.sawBFrames;
        }
        if (!verdict->unfinished && !cancelCheck_)
            index_->store(verdict);
    }
    {
        std::lock_guard lock(checkMutex_);
        checked_ = verdict;
        checkDone_ = true;
    }
    checkEnded_.notify_all();
}

bool FfmsFrameSource::seekCheckEnded() const
{
    std::lock_guard lock(checkMutex_);
    return checkDone_;
}

bool FfmsFrameSource::waitForSeekCheck(int timeoutMs)
{
    if (!checkThread_.joinable())
        return true;
    std::unique_lock lock(checkMutex_);
    return checkEnded_.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)), [&] { return checkDone_; });
}

bool FfmsFrameSource::adoptVerdict()
{
    if (!checkThread_.joinable() || !seekCheckEnded())
        return false;
    checkThread_.join();
    std::optional<SeekVerdict> verdict;
    {
        std::lock_guard lock(checkMutex_);
        verdict = checked_;
    }
    if (!verdict) {
        check_.reason = QStringLiteral("decoded linearly: the seek check did not end");
        return false;
    }
    // The picture size and format were taken from the first picture at the open and stay.
    check_.linear = verdict->linear;
    check_.referenceFrames = verdict->referenceFrames;
    check_.checks = verdict->checks;
    check_.mismatches = verdict->mismatches;
    check_.firstMismatch = verdict->firstMismatch;
    check_.reason = verdict->reason;
    check_.unfinished = verdict->unfinished;
    check_.byTimeStamps = verdict->byTimeStamps;
    if (index_->container() != QLatin1String("avi"))
        check_.sawBFrames = verdict->sawBFrames;
    if (check_.linear)
        return false;
    model_ = DecodeModel(index_->codedCount(), index_->keyframes(), false);
    // Decoders made from now on: by time stamps, or FFMS2 seeking normally.
    byTimeStamps_ = check_.byTimeStamps;
    linear_ = false;
    return true;
}

std::unique_ptr<Decoder> FfmsFrameSource::newDecoder() const
{
    if (byTimeStamps_) {
        return std::make_unique<PtsDecoder>(index_->path(), index_->videoTrack(), stamps_,
                                            DecodeModel(index_->codedCount(), index_->keyframes(), false),
                                            kPtsDecoderThreads);
    }
    FfmsDecoder::Opener open = opener();
    FfmsVideoPtr source = open();
    return std::make_unique<FfmsDecoder>(std::move(open), std::move(source), check_.size, -1, verdicts_);
}

FfmsDecoder::Opener FfmsFrameSource::opener() const
{
    // The decoders never outlive the source that made them (the frame server goes first). A
    // decoder opened again after a failure keeps the seek mode it was made with.
    const int mode = linear_ ? FFMS_SEEK_LINEAR : FFMS_SEEK_NORMAL;
    return [this, mode] { return openFfmsVideo(*index_, mode); };
}

std::unique_ptr<Decoder> FfmsFrameSource::takeDecoder()
{
    if (leftover_)
        return std::move(leftover_);
    return newDecoder();
}

std::size_t FfmsFrameSource::decoderBytes() const
{
    const bool intraOnly = int(model_.keyframes().size()) >= model_.codedCount();
    const std::size_t picture = check_.pictureBytes > 0
                                    ? check_.pictureBytes
                                    : std::size_t(check_.size.width()) * std::size_t(check_.size.height()) * 3u / 2u;
    int pictures = intraOnly ? kIntraDecoderPictures : kDecoderPictures;
    if (byTimeStamps_)
        pictures += kThreadPictures * (kPtsDecoderThreads - 1);
    return picture * std::size_t(pictures);
}

QString FfmsFrameSource::containerName() const { return index_->container(); }

int FfmsFrameSource::videoTrack() const { return index_->videoTrack(); }

bool FfmsFrameSource::indexFromCache() const { return index_->fromCache(); }

bool FfmsFrameSource::hasAudio() const { return index_->audioTrack() >= 0; }

FFMS_AudioSource* FfmsFrameSource::createAudioSource() const
{
    if (index_->audioTrack() < 0)
        return nullptr;
    FfmsError err;
    return FFMS_CreateAudioSource(index_->fileName().constData(), index_->audioTrack(), index_->get(),
                                  FFMS_DELAY_FIRST_VIDEO_TRACK, &err.info);
}

} // namespace kadro
