#include "player/video/FfmsFrameSource.h"

#include "player/video/OpenProgress.h"
#include "player/video/PictureMemory.h"
#include "player/video/VideoDevice.h"

#include <QFile>
#include <QHash>

#include <ffms.h>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

namespace kadro {

namespace {

// A request at most this many pictures past the decoder's keyframe horizon is decoded forward
// by FFMS2 without seeking (its own margin).
constexpr int kForwardMargin = 10;
// What a seek costs beyond the pictures it decodes (in pictures), for choosing between decoders.
constexpr int kSeekPenalty = 3;

struct FfmsError {
    char buffer[1024] = {};
    FFMS_ErrorInfo info{FFMS_ERROR_SUCCESS, FFMS_ERROR_SUCCESS, int(sizeof buffer), buffer};

    std::string text(const char* fallback) const
    {
        return buffer[0] ? std::string(buffer) : std::string(fallback);
    }
};

// Hash of a decoded picture in the decoder's own format (all planes, without row padding).
std::size_t pictureHash(const FFMS_Frame* f)
{
    const auto fmt = AVPixelFormat(f->EncodedPixelFormat);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(fmt);
    const int w = f->EncodedWidth;
    const int h = f->EncodedHeight;
    int lineBytes[4] = {};
    std::size_t hash = std::size_t(w) * 31u + std::size_t(h);
    if (!desc || av_image_fill_linesizes(lineBytes, fmt, w) < 0) {
        // Unknown format: hash the first plane by its line size.
        for (int y = 0; y < h; ++y)
            hash = qHashBits(f->Data[0] + std::ptrdiff_t(y) * f->Linesize[0],
                             std::size_t(std::abs(f->Linesize[0])), hash);
        return hash;
    }
    const int planes = av_pix_fmt_count_planes(fmt);
    for (int p = 0; p < planes && p < 4; ++p) {
        if (!f->Data[p])
            continue;
        const bool chroma = (p == 1 || p == 2) && !(desc->flags & AV_PIX_FMT_FLAG_RGB);
        const int ph = chroma ? -((-h) >> desc->log2_chroma_h) : h;
        for (int y = 0; y < ph; ++y)
            hash = qHashBits(f->Data[p] + std::ptrdiff_t(y) * f->Linesize[p], std::size_t(lineBytes[p]),
                             hash);
    }
    return hash;
}

} // namespace

// ---- progress --------------------------------------------------------------------------------

// Maps the steps of one phase of the preparation onto the whole and passes them on.
class FfmsFrameSource::Progress {
public:
    static constexpr qint64 kTotal = 1000;
    explicit Progress(OpenProgress* sink) : sink_(sink) {}

    void setPhase(qint64 from, qint64 to)
    {
        from_ = from;
        to_ = to;
    }
    // False once cancelled (for FFMS2's indexing callback).
    bool report(qint64 done, qint64 total)
    {
        if (cancelled_)
            return false;
        if (!sink_)
            return true;
        const double part = total > 0 ? std::clamp(double(done) / double(total), 0.0, 1.0) : 0.0;
        if (!sink_->report(from_ + qint64(part * double(to_ - from_)), kTotal))
            cancelled_ = true;
        return !cancelled_;
    }
    // Throws VideoOpenCancelled once cancelled.
    void step(qint64 done, qint64 total)
    {
        if (!report(done, total))
            throw VideoOpenCancelled();
    }
    bool cancelled() const { return cancelled_; }

private:
    OpenProgress* sink_;
    qint64 from_ = 0;
    qint64 to_ = kTotal;
    bool cancelled_ = false;
};

// ---- decoder ---------------------------------------------------------------------------------

FfmsDecoder::FfmsDecoder(FfmsVideoPtr source, const QSize& codedSize, int position)
    : source_(std::move(source)), coded_(codedSize), position_(position)
{
    setOutputSize(codedSize);
}

FfmsDecoder::~FfmsDecoder() = default;

void FfmsDecoder::setOutputSize(const QSize& size)
{
    const QSize out = size.isValid() && !size.isEmpty() ? size : coded_;
    if (out == output_)
        return;
    const int formats[] = {FFMS_GetPixFmt("bgra"), -1};
    // Area averaging for scaling down (each output pixel the mean of the pixels it covers);
    // otherwise only the colour conversion runs.
    const bool smaller = out.width() < coded_.width() || out.height() < coded_.height();
    FfmsError err;
    if (FFMS_SetOutputFormatV2(source_.get(), formats, out.width(), out.height(),
                               smaller ? FFMS_RESIZER_AREA : FFMS_RESIZER_BICUBIC, &err.info))
        throw VideoDeviceError(err.text("cannot convert the pictures"));
    output_ = out;
}

QImage FfmsDecoder::picture(int coded)
{
    FfmsError err;
    const FFMS_Frame* f = FFMS_GetFrame(source_.get(), coded, &err.info);
    if (!f) {
        position_ = -1; // where the decoder stands is unknown now
        throw VideoDeviceError(err.text("cannot decode the frame"));
    }
    position_ = coded;
    QImage img = newPicture(f->ScaledWidth, f->ScaledHeight);
    const std::size_t rowBytes = std::size_t(f->ScaledWidth) * 4u;
    for (int y = 0; y < f->ScaledHeight; ++y)
        std::memcpy(img.scanLine(y), f->Data[0] + std::ptrdiff_t(y) * f->Linesize[0], rowBytes);
    return img;
}

// ---- source ----------------------------------------------------------------------------------

FfmsFrameSource::FfmsFrameSource(const QString& path) : FfmsFrameSource(path, Options{}) {}

FfmsFrameSource::FfmsFrameSource(const QString& path, const Options& options)
    : path_(path), file_(QFile::encodeName(path)), options_(options), cache_(options.cacheBytes)
{
    ffmsInit();
    Progress progress(options.progress);
    progress.step(0, 1);

    const IndexCache cache(options.indexCacheDir);
    std::optional<IndexCache::Entry> stored;
    if (options.useIndexCache)
        stored = cache.load(path);
    if (stored) {
        index_ = std::move(stored->index);
        container_ = stored->container;
        indexFromCache_ = true;
    } else {
        progress.setPhase(0, Progress::kTotal / 2);
        buildIndex(progress);
    }

    FfmsError trackErr;
    videoTrack_ = FFMS_GetFirstTrackOfType(index_.get(), FFMS_TYPE_VIDEO, &trackErr.info);
    if (videoTrack_ < 0)
        throw VideoDeviceError(trackErr.text("the file has no video track"));
    FfmsError audioErr;
    audioTrack_ = FFMS_GetFirstIndexedTrackOfType(index_.get(), FFMS_TYPE_AUDIO, &audioErr.info);

    learnTrack();
    const bool verdictUsable = stored && stored->verdict && options.seeking == Seeking::Verified &&
                               stored->verdict->probeFrames == options.probeFrames;
    if (verdictUsable) {
        try {
            adoptVerdict(*stored->verdict);
            verdictFromCache_ = true;
        } catch (const VideoDeviceError&) {
            // The stored verdict does not fit this file after all: check it afresh.
            check_ = SeekCheck{};
            decoder_.reset();
            size_ = QSize();
            pixelAspect_ = 1.0;
            sawB_ = false;
        }
    }
    if (!verdictFromCache_) {
        progress.setPhase(indexFromCache_ ? 0 : Progress::kTotal / 2, Progress::kTotal);
        probe(progress);
    }
    decideNumbering();
    progress.step(1, 1);

    // Only a complete preparation is kept; a verdict only when the check ran as in the program.
    if (options.useIndexCache && (!indexFromCache_ || (!verdictFromCache_ && options.seeking == Seeking::Verified))) {
        std::optional<IndexCache::Verdict> v;
        if (options.seeking == Seeking::Verified)
            v = verdict();
        cache.store(path, index_.get(), container_, v);
    }
    // The check's decoders are gone: give their memory back rather than keep it for later.
    returnFreeHeap();
}

FfmsFrameSource::~FfmsFrameSource() = default;

void FfmsFrameSource::buildIndex(Progress& progress)
{
    FfmsError err;
    FFMS_Indexer* indexer = FFMS_CreateIndexer(file_.constData(), &err.info);
    if (!indexer)
        throw VideoDeviceError(err.text("cannot open the file"));
    if (const char* name = FFMS_GetFormatNameI(indexer))
        container_ = QString::fromUtf8(name);
    // Audio is not indexed by default, and an un-indexed track cannot be played.
    FFMS_TrackTypeIndexSettings(indexer, FFMS_TYPE_AUDIO, 1, 0);
    FFMS_SetProgressCallback(
        indexer,
        [](int64_t current, int64_t total, void* data) -> int {
            return static_cast<Progress*>(data)->report(current, total) ? 0 : 1;
        },
        &progress);
    index_.reset(FFMS_DoIndexing2(indexer, FFMS_IEH_STOP_TRACK, &err.info)); // frees the indexer
    if (progress.cancelled())
        throw VideoOpenCancelled();
    if (!index_)
        throw VideoDeviceError(err.text("cannot index the file"));
}

int FfmsFrameSource::seekMode() const { return check_.linear ? FFMS_SEEK_LINEAR : FFMS_SEEK_NORMAL; }

// One thread per decoder: the check verified normal seeking with one, the decode thread runs
// beside the GUI on small machines, and a frame-threaded decoder keeps several times the memory
// (part of which stays with the process after it is gone).
int FfmsFrameSource::decoderThreads() const { return 1; }

FfmsVideoPtr FfmsFrameSource::openVideo(int seekMode, int threads) const
{
    FfmsError err;
    FfmsVideoPtr src(FFMS_CreateVideoSource(file_.constData(), videoTrack_, index_.get(), threads,
                                            seekMode, &err.info));
    if (!src)
        throw VideoDeviceError(err.text("cannot open the video decoder"));
    return src;
}

std::unique_ptr<FfmsDecoder> FfmsFrameSource::newDecoder() const
{
    return std::unique_ptr<FfmsDecoder>(new FfmsDecoder(openVideo(seekMode(), decoderThreads()), size_, -1));
}

std::unique_ptr<FfmsDecoder> FfmsFrameSource::takeDecoder()
{
    if (!decoder_)
        return newDecoder();
    cache_.clear(); // frame() starts afresh with its next decoder
    return std::move(decoder_);
}

void FfmsFrameSource::adoptVerdict(const IndexCache::Verdict& v)
{
    check_.linear = v.linear;
    check_.referenceFrames = v.referenceFrames;
    check_.checks = v.checks;
    check_.mismatches = v.mismatches;
    check_.firstMismatch = v.firstMismatch;
    check_.reason = v.reason;
    size_ = v.size;
    pixelAspect_ = v.pixelAspect;
    sawB_ = v.sawBFrames;
    decoder_ = newDecoder();
}

IndexCache::Verdict FfmsFrameSource::verdict() const
{
    IndexCache::Verdict v;
    v.probeFrames = options_.probeFrames;
    v.linear = check_.linear;
    v.referenceFrames = check_.referenceFrames;
    v.checks = check_.checks;
    v.mismatches = check_.mismatches;
    v.firstMismatch = check_.firstMismatch;
    v.reason = check_.reason;
    v.size = size_;
    v.pixelAspect = pixelAspect_;
    v.sawBFrames = sawB_;
    return v;
}

void FfmsFrameSource::learnTrack()
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

int FfmsFrameSource::keyframeAtOrBefore(int coded) const
{
    const auto it = std::upper_bound(keyframes_.begin(), keyframes_.end(), coded);
    return it == keyframes_.begin() ? 0 : *std::prev(it);
}

void FfmsFrameSource::probe(Progress& progress)
{
    const int coded = codedFrameCount();
    const bool verify = options_.seeking == Seeking::Verified;

    // The reference: a linear decode of the start of the file. It also tells whether the video
    // has B-frames, which decides the AVI numbering.
    FfmsVideoPtr linear = openVideo(FFMS_SEEK_LINEAR, decoderThreads());
    int range = std::min(coded, std::max(1, options_.probeFrames));
    if (keyframes_.size() >= 3)
        range = std::min(range, std::max(48, keyframes_[2] + 4));
    if (!verify)
        range = std::min(range, 48);

    // Progress: the reference decode and the seeked requests weigh about the same.
    std::vector<std::size_t> ref(static_cast<std::size_t>(range));
    for (int i = 0; i < range; ++i) {
        progress.step(i, 2L * range);
        FfmsError err;
        const FFMS_Frame* f = FFMS_GetFrame(linear.get(), i, &err.info);
        if (!f)
            throw VideoDeviceError(err.text("cannot decode the video"));
        if (i == 0) {
            size_ = QSize(f->EncodedWidth, f->EncodedHeight);
        }
        if (f->PictType == 'B' || f->PictType == 'b')
            sawB_ = true;
        ref[std::size_t(i)] = pictureHash(f);
    }
    check_.referenceFrames = range;

    const FFMS_VideoProperties* props = FFMS_GetVideoProperties(linear.get());
    if (props && props->SARNum > 0 && props->SARDen > 0)
        pixelAspect_ = double(props->SARNum) / double(props->SARDen);

    if (options_.seeking == Seeking::Linear) {
        check_.linear = true;
        check_.reason = QStringLiteral("linear decoding requested");
        decoder_.reset(new FfmsDecoder(std::move(linear), size_, range - 1));
        return;
    }
    FfmsVideoPtr normal = openVideo(FFMS_SEEK_NORMAL, decoderThreads());
    if (!verify) {
        check_.reason = QStringLiteral("normal seeking requested");
        decoder_.reset(new FfmsDecoder(std::move(normal), size_, -1));
        return;
    }

    // A position is comparable if its picture differs from its neighbours in the reference: a
    // seek that lands a few frames off is then visible as a different picture.
    auto comparable = [&](int p) {
        for (int d = -3; d <= 3; ++d) {
            const int q = p + d;
            if (d != 0 && q >= 0 && q < range && ref[std::size_t(q)] == ref[std::size_t(p)])
                return false;
        }
        return true;
    };

    // Candidate requests in order of importance: keyframes and the frames after them (where an
    // open GOP makes the landing guess wrong), the frame before each keyframe (where reordered
    // B-frames in AVI go wrong), then further neighbours and the middle of each interval.
    std::vector<int> bounds;
    for (int k : keyframes_)
        if (k > 0 && k < range)
            bounds.push_back(k);
    std::vector<int> candidates;
    auto add = [&](int p) {
        if (p > 0 && p < range && std::find(candidates.begin(), candidates.end(), p) == candidates.end())
            candidates.push_back(p);
    };
    for (int k : bounds) {
        add(k);
        add(k + 1);
    }
    for (int k : bounds)
        add(k - 1);
    for (int k : bounds) {
        add(k + 2);
        add(k - 2);
        add(k + 3);
        add(k - 3);
    }
    for (std::size_t i = 0; i + 1 < keyframes_.size() && keyframes_[i] < range; ++i)
        add((keyframes_[i] + std::min(range, keyframes_[i + 1])) / 2);
    add(range - 1);
    add(range / 2);
    add(range / 3);
    add((2 * range) / 3);

    // Keep the check's decoding work near the size of the reference decode.
    const long budget = std::max<long>(200, 2L * range);
    long cost = 0;
    std::vector<int> chosen;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const int p = candidates[i];
        const long c = p - keyframeAtOrBefore(p) + 2;
        if (cost + c > budget && chosen.size() >= 8)
            continue;
        cost += c;
        chosen.push_back(p);
    }

    // Backward requests always make FFMS2 seek: ask from the end towards the start, and follow
    // each seek with the next frame to check that decoding goes on from the right place. Then a
    // few forward jumps from frame 0.
    std::vector<std::pair<int, bool>> requests; // (position, after a jump)
    std::vector<int> order = chosen;
    std::sort(order.begin(), order.end(), std::greater<>());
    for (int p : order) {
        requests.push_back({p, true});
        if (p + 1 < range)
            requests.push_back({p + 1, false});
    }
    for (std::size_t i = 0; i < bounds.size() && i < 3; ++i) {
        requests.push_back({0, true});
        requests.push_back({std::min(range - 1, bounds[i] + 1), true});
    }

    int normalPosition = -1;
    for (std::size_t r = 0; r < requests.size(); ++r) {
        const int p = requests[r].first;
        progress.step(long(range) + long(r) * range / long(requests.size()), 2L * range);
        FfmsError err;
        const FFMS_Frame* f = FFMS_GetFrame(normal.get(), p, &err.info);
        normalPosition = f ? p : -1;
        if (!comparable(p) && f)
            continue;
        ++check_.checks;
        if (!f || pictureHash(f) != ref[std::size_t(p)]) {
            ++check_.mismatches;
            if (check_.firstMismatch < 0)
                check_.firstMismatch = p;
        }
    }

    if (check_.mismatches > 0) {
        check_.linear = true;
        check_.reason = QStringLiteral("seeking returned %1 wrong of %2 checked pictures (first at %3)")
                            .arg(check_.mismatches)
                            .arg(check_.checks)
                            .arg(check_.firstMismatch);
    } else if (check_.checks < 3 && coded > range) {
        // Too little to compare (a still picture?) while frames lie beyond the reference.
        check_.linear = true;
        check_.reason = QStringLiteral("seeking could not be checked (%1 comparable pictures)")
                            .arg(check_.checks);
    } else {
        check_.linear = false;
        check_.reason = QStringLiteral("seeking verified on %1 pictures").arg(check_.checks);
    }
    if (check_.linear)
        decoder_.reset(new FfmsDecoder(std::move(linear), size_, range - 1));
    else
        decoder_.reset(new FfmsDecoder(std::move(normal), size_, normalPosition));
}

void FfmsFrameSource::decideNumbering()
{
    const int coded = codedFrameCount();
    frameCount_ = coded;
    slotNumbering_ = false;
    codedOfFrame_.clear();
    if (container_ != QLatin1String("avi") || sawB_)
        return;
    // Time stamps of an AVI count the slots of its index (its time base is the frame period).
    std::vector<int64_t> slotOf(static_cast<std::size_t>(coded));
    for (int i = 0; i < coded; ++i) {
        slotOf[std::size_t(i)] = pts_[std::size_t(i)] - pts_[0];
        if (i > 0 && slotOf[std::size_t(i)] <= slotOf[std::size_t(i) - 1])
            return; // not a plain slot sequence: keep counting pictures
    }
    const int64_t count = slotOf.back() + 1;
    if (count == coded || count > int64_t(coded) * 4 + 16 || count > INT32_MAX)
        return;
    slotNumbering_ = true;
    frameCount_ = int(count);
    codedOfFrame_.assign(std::size_t(count), 0);
    int c = 0;
    for (int s = 0; s < frameCount_; ++s) {
        while (c + 1 < coded && slotOf[std::size_t(c) + 1] <= s)
            ++c;
        codedOfFrame_[std::size_t(s)] = c;
    }
}

int FfmsFrameSource::codedIndex(int n) const
{
    n = std::clamp(n, 0, frameCount_ - 1);
    return slotNumbering_ ? codedOfFrame_[std::size_t(n)] : n;
}

int FfmsFrameSource::frameOfCoded(int coded) const
{
    if (!slotNumbering_)
        return std::clamp(coded, 0, frameCount_ - 1);
    const auto it = std::lower_bound(codedOfFrame_.begin(), codedOfFrame_.end(), coded);
    return it == codedOfFrame_.end() ? frameCount_ - 1 : int(it - codedOfFrame_.begin());
}

double FfmsFrameSource::frameTime(int n) const
{
    n = std::clamp(n, 0, frameCount_ - 1);
    if (container_ == QLatin1String("avi"))
        return n * tickSeconds_; // AVI: every slot lasts one time step
    return double(pts_[std::size_t(n)] - pts_[0]) * tickSeconds_;
}

int FfmsFrameSource::seekStart(int coded) const { return check_.linear ? 0 : keyframeAtOrBefore(coded); }

bool FfmsFrameSource::decodesForward(int position, int coded) const
{
    if (position < 0 || coded <= position)
        return false;
    return check_.linear || keyframeAtOrBefore(coded) <= position + kForwardMargin;
}

int FfmsFrameSource::decodeCost(int position, int coded) const
{
    if (decodesForward(position, coded))
        return coded - position;
    if (position >= 0 && coded == position)
        return 0; // FFMS2 keeps the last picture
    return coded - seekStart(coded) + 1 + kSeekPenalty;
}

QImage FfmsFrameSource::frame(int n)
{
    const int coded = codedIndex(n);
    QImage img = cache_.find(coded);
    if (!img.isNull())
        return img;
    if (!decoder_)
        decoder_ = newDecoder();
    decoder_->setOutputSize(size_);

    const int position = decoder_->position();
    if (coded < position || position < 0) {
        // A backward request makes the decoder start again from a keyframe (or, decoding
        // linearly, from the start). Decode a window of frames up to the one asked for, so the
        // following back steps are served from the cache.
        const std::size_t frameBytes = std::size_t(size_.width()) * std::size_t(size_.height()) * 4u;
        const int window = int(std::clamp<std::size_t>(options_.cacheBytes / 2 / std::max<std::size_t>(1, frameBytes), 1, 64));
        const int start = std::max(seekStart(coded), coded - window + 1);
        for (int c = start; c < coded; ++c)
            if (!cache_.contains(c))
                cache_.insert(c, decoder_->picture(c));
    }
    img = decoder_->picture(coded);
    cache_.insert(coded, img);
    return img;
}

FFMS_AudioSource* FfmsFrameSource::createAudioSource() const
{
    if (audioTrack_ < 0)
        return nullptr;
    FfmsError err;
    return FFMS_CreateAudioSource(file_.constData(), audioTrack_, index_.get(),
                                  FFMS_DELAY_FIRST_VIDEO_TRACK, &err.info);
}

} // namespace kadro
