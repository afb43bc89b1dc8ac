#include "player/video/FrameServer.h"

#include "player/video/VideoDevice.h"

#include <algorithm>

namespace kadro {

namespace {
std::size_t pictureBytes(const QSize& size)
{
    return std::max<std::size_t>(1, std::size_t(std::max(1, size.width())) * std::size_t(std::max(1, size.height())) * 4u);
}
} // namespace

FrameServer::FrameServer(DecoderFactory& decoders, const QSize& pictureSize, std::size_t cacheBytes)
    : decoders_(decoders),
      size_(pictureSize),
      limit_(cacheBytes),
      lastCoded_(std::max(0, decoders.decodeModel().codedCount() - 1)),
      backCost_(decoders.decoderBytes() + pictureBytes(pictureSize)),
      backAllowed_(backCost_ <= cacheBytes / 2),
      model_(decoders.decodeModel()),
      cache_(cacheBytes)
{
    setPictureBudget(limit_);
    backBroken_ = !backAllowed_;
    stats_.backDecoderDropped = backBroken_;

    decoder_[0] = decoders_.takeDecoder();
    decoder_[0]->setOutputSize(size_);
    positions_[0] = decoder_[0]->position();
    threads_[0] = std::thread([this] { run(0); });
    if (backAllowed_)
        threads_[1] = std::thread([this] { run(1); });
}

FrameServer::~FrameServer()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    work_.notify_all();
    for (std::thread& t : threads_)
        if (t.joinable())
            t.join();
}

void FrameServer::setPictureBudget(std::size_t bytes)
{
    cache_.setMaxBytes(bytes);
    capacity_ = int(std::min<std::size_t>(bytes / pictureBytes(size_), 1u << 20));
    // The ranges planned at one time (shown picture, read-ahead, fill, prefetch) fit into the
    // cache together, so filling one never evicts another.
    keepLimit_ = capacity_ / 2;
    prefetchLimit_ = capacity_ / 4;
    stepAhead_ = std::min(3, capacity_ / 8);
    playAhead_ = std::min(12, capacity_ / 4);
    linearBlock_ = std::max(8, capacity_ / 4);
}

// ---- the GUI side --------------------------------------------------------------------------------

void FrameServer::request(int coded, Move move)
{
    enteredInterval_ = move == Move::Back && model_.keyframeAtOrBefore(coded) != model_.keyframeAtOrBefore(focus_);
    focus_ = coded;
    move_ = move;
    backgroundBudget_ = 2 * capacity_ + 4 * kChunk;
}

QImage FrameServer::picture(int coded, Move move)
{
    std::unique_lock lock(mutex_);
    request(coded, move);
    ++stats_.requests;
    QImage img = cache_.find(coded);
    if (!img.isNull()) {
        ++stats_.hits;
        want_ = -1;
        lock.unlock();
        work_.notify_all();
        return img;
    }
    want_ = coded;
    wantMove_ = move;
    const long long gen = ++wantGen_;
    work_.notify_all();
    done_.wait(lock, [&] { return deliveredGen_ >= gen; });
    if (!deliveredError_.empty())
        throw VideoDeviceError(deliveredError_);
    return delivered_;
}

FrameServer::Answer FrameServer::pictureWithin(int coded, Move move, int waitMs)
{
    std::unique_lock lock(mutex_);
    request(coded, move);
    ++stats_.requests;
    Answer answer;
    QImage img = cache_.find(coded);
    if (!img.isNull()) {
        ++stats_.hits;
        want_ = -1;
        lock.unlock();
        work_.notify_all();
        answer.state = Answer::Ready;
        answer.image = img;
        return answer;
    }
    want_ = coded;
    wantMove_ = move;
    answer.ticket = ++wantGen_;
    work_.notify_all();
    done_.wait_for(lock, std::chrono::milliseconds(std::max(0, waitMs)), [&] { return deliveredGen_ >= answer.ticket; });
    lock.unlock();
    return poll(answer.ticket);
}

FrameServer::Answer FrameServer::poll(long long ticket) const
{
    std::lock_guard lock(mutex_);
    Answer answer;
    answer.ticket = ticket;
    if (deliveredGen_ < ticket) {
        answer.state = wantGen_ > ticket ? Answer::Replaced : Answer::Pending;
    } else if (deliveredGen_ > ticket) {
        answer.state = Answer::Replaced;
    } else if (!deliveredError_.empty()) {
        answer.state = Answer::Failed;
        answer.error = deliveredError_;
    } else {
        answer.state = Answer::Ready;
        answer.image = delivered_;
    }
    return answer;
}

QImage FrameServer::pictureIfReady(int coded, Move move)
{
    std::unique_lock lock(mutex_);
    QImage img = cache_.find(coded);
    if (!img.isNull()) {
        request(coded, move == Move::Play && !playing_ ? Move::Forward : move);
        // Playback no longer needs an earlier picture; any other move replaces every older one.
        if (want_ >= 0 && (move != Move::Play || want_ <= coded))
            want_ = -1;
    } else if (want_ != coded || wantMove_ != move) {
        if (move != Move::Play)
            request(coded, move);
        want_ = coded;
        wantMove_ = move;
        ++wantGen_;
    }
    lock.unlock();
    work_.notify_all();
    return img;
}

bool FrameServer::isReady(int coded) const
{
    std::lock_guard lock(mutex_);
    return cache_.contains(coded);
}

void FrameServer::setPlaying(bool playing, int endCoded)
{
    {
        std::lock_guard lock(mutex_);
        playing_ = playing;
        playEnd_ = endCoded;
        if (playing)
            move_ = Move::Play;
        else if (want_ >= 0 && wantMove_ == Move::Play)
            want_ = -1; // playback no longer waits for it
        backgroundBudget_ = 2 * capacity_ + 4 * kChunk;
    }
    work_.notify_all();
}

bool FrameServer::hasFailed(int coded) const
{
    std::lock_guard lock(mutex_);
    return failed_.count(coded) != 0;
}

bool FrameServer::waitIdle(int timeoutMs)
{
    std::unique_lock lock(mutex_);
    work_.notify_all();
    return done_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        Job job;
        return !busy_[0] && !busy_[1] && want_ < 0 && !plan(job, 0) && !plan(job, 1);
    });
}

std::size_t FrameServer::cacheBytes() const
{
    std::lock_guard lock(mutex_);
    return cache_.bytes();
}

std::size_t FrameServer::cacheBudget() const
{
    std::lock_guard lock(mutex_);
    return cache_.maxBytes();
}

void FrameServer::setDecodeModel(const DecodeModel& model)
{
    {
        std::lock_guard lock(mutex_);
        model_ = model;
        remake_[0] = remake_[1] = true;
        route_.gen = -1;
        backCost_ = decoders_.decoderBytes() + pictureBytes(size_);
        if (stats_.backDecoderBytes > 0) {
            setPictureBudget(limit_ - std::min(backCost_, limit_));
            stats_.backDecoderBytes = backCost_;
        }
    }
    work_.notify_all();
}

FrameServer::Stats FrameServer::stats() const
{
    std::lock_guard lock(mutex_);
    return stats_;
}

// ---- planning (under the lock) ---------------------------------------------------------------

// The decoder that reaches `coded` with the least work; the front one on a tie.
int FrameServer::cheapest(int coded) const
{
    if (!hasBack_ && !busy_[1])
        return 0; // no second decoder (one that is being made counts, from where it will stand)
    return model_.decodeCost(positions_[1], coded) < model_.decodeCost(positions_[0], coded) ? 1 : 0;
}

int FrameServer::firstMissing(int lo, int hi) const
{
    lo = std::max(lo, 0);
    hi = std::min(hi, lastCoded_);
    for (int c = lo; c <= hi; ++c)
        if (!cache_.contains(c) && !failed_.count(c) && c != inFlight_[0] && c != inFlight_[1])
            return c;
    return -1;
}

// Where the fill of the interval holding `coded` starts: its keyframe, or when decoding linearly
// a block of the cache's size. Never further back than one fill keeps.
int FrameServer::blockStart(int coded) const
{
    const int start = model_.linear() ? coded - coded % linearBlock_ : model_.seekStart(coded);
    return std::max(start, coded - keepLimit_);
}

int FrameServer::blockEnd(int start) const
{
    if (model_.linear())
        return std::min(lastCoded_ + 1, start - start % linearBlock_ + linearBlock_);
    const auto& keys = model_.keyframes();
    const auto it = std::upper_bound(keys.begin(), keys.end(), start);
    return it == keys.end() ? lastCoded_ + 1 : *it;
}

// Plans one background request towards the first missing picture of lo..hi, on the back decoder.
// A picture far from where the decoder stands is approached in steps (first the point decoding
// starts from, then a few pictures at a time), so a new request never waits long.
bool FrameServer::planBackground(Job& job, int lo, int hi, int self)
{
    const int decoder = backBroken_ ? 0 : 1;
    if (decoder != self)
        return false;
    const int target = firstMissing(lo, hi);
    if (target < 0)
        return false;
    const int at = positions_[decoder];
    int next = target;
    if (!model_.decodesForward(at, target)) {
        const int start = model_.seekStart(target);
        if (target - start > kChunk)
            next = start;
    } else if (target - at > kChunk) {
        next = at + kChunk;
    }
    job.coded = next;
    job.decoder = decoder;
    job.keep = next >= lo && next <= hi;
    job.wanted = false;
    return true;
}

// The first back step into another interval, where keeping every picture on the way costs more
// than the seek to the picture alone, goes directly to the picture; the fill of its interval
// follows on the second decoder. (Run beside the seek, the fill slowed the asked picture by up to a
// third: two 1080p decodes share the memory bus of two cores.)
void FrameServer::chooseRoute()
{
    route_.gen = wantGen_;
    route_.decoder = cheapest(want_);
    route_.direct = false;
    if (wantMove_ != Move::Back || !enteredInterval_ || model_.linear() || !backAllowed_ || backBroken_)
        return;
    const int d = route_.decoder;
    const bool forward = model_.decodesForward(positions_[d], want_);
    const int from = forward ? positions_[d] + 1 : std::max(blockStart(want_), want_ - keepLimit_);
    const int keepCost = kKeepCost * (want_ - from + 1) + (forward ? 0 : DecodeModel::kSeekPenalty);
    if (model_.decodeCost(positions_[0], want_) < keepCost) {
        route_.decoder = 0;
        route_.direct = true;
    }
}

bool FrameServer::plan(Job& job, int self)
{
    // 1. The picture to show.
    if (want_ >= 0) {
        const QImage img = cache_.find(want_);
        if (!img.isNull()) {
            deliver(img, {});
        } else {
            if (route_.gen != wantGen_)
                chooseRoute();
            const int d = route_.decoder;
            if (d != self) {
                // The other decoder decodes it; nothing else meanwhile, so that it has the machine
                // to itself (the fill of its interval follows once it is shown).
                return false;
            } else if (route_.direct) {
                job = Job{want_, d, true, true};
                return true;
            } else {
                int from = want_;
                if (wantMove_ == Move::Back) {
                    // Decoding starts before it anyway: keep every picture on the way.
                    const int at = positions_[d];
                    from = model_.decodesForward(at, want_) ? at + 1 : blockStart(want_);
                    from = std::max(from, want_ - keepLimit_);
                }
                int c = from;
                while (c < want_ && (cache_.contains(c) || failed_.count(c) || c == inFlight_[1 - self]))
                    ++c;
                job = Job{c, d, true, true};
                return true;
            }
        }
    }
    if (backgroundBudget_ <= 0)
        return false;

    // 2. Read-ahead.
    const int ahead = playing_ ? playAhead_ : (move_ == Move::Back ? 0 : stepAhead_);
    int aheadEnd = std::min(lastCoded_, focus_ + ahead);
    if (playing_ && playEnd_ >= 0)
        aheadEnd = std::min(aheadEnd, playEnd_);
    if (const int c = firstMissing(focus_ + 1, aheadEnd); c >= 0 && cheapest(c) == self) {
        job = Job{c, self, true, false};
        return true;
    }
    if (playing_)
        return false;

    // 3. The interval up to the shown picture.
    const int start = blockStart(focus_);
    if (planBackground(job, start, focus_ - 1, self))
        return true;

    // 4. Stepping back in the first half of an interval: the interval before it.
    if (move_ == Move::Back && start > 0 && 2 * (focus_ - start) < blockEnd(start) - start) {
        const int before = std::max(blockStart(start - 1), start - prefetchLimit_);
        if (planBackground(job, before, start - 1, self))
            return true;
    }
    return false;
}

void FrameServer::deliver(const QImage& image, const std::string& error)
{
    delivered_ = image;
    deliveredError_ = error;
    deliveredGen_ = wantGen_;
    want_ = -1;
    done_.notify_all();
}

// ---- the decode thread -----------------------------------------------------------------------

void FrameServer::run(int self)
{
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (remake_[self]) {
            // Between two pictures: this decoder reaches pictures the old way.
            remake_[self] = false;
            positions_[self] = -1;
            if (self == 1)
                hasBack_ = false;
            std::unique_ptr<Decoder> old = std::move(decoder_[self]);
            lock.unlock();
            old.reset();
            lock.lock();
            continue;
        }
        Job job;
        if (!plan(job, self)) {
            busy_[self] = false;
            done_.notify_all(); // idle
            work_.wait(lock);
            continue;
        }
        busy_[self] = true;
        inFlight_[self] = job.coded;
        positions_[self] = job.coded; // where it will stand, for the other thread's planning
        // The budget guards against refilling what the cache keeps evicting; steps that only
        // move a decoder forward towards its work keep nothing and do not count.
        if (!job.wanted && job.keep)
            --backgroundBudget_;
        lock.unlock();

        QImage img;
        std::string error;
        bool created = false;
        std::unique_ptr<Decoder>& decoder = decoder_[self];
        try {
            if (!decoder) {
                decoder = decoders_.newDecoder();
                decoder->setOutputSize(size_);
                created = true;
            }
            img = decoder->picture(job.coded);
        } catch (const std::exception& e) {
            error = e.what();
        }
        // A second decoder that cannot even be made leaves all the work to the front one.
        const bool broken = !decoder;
        const int at = decoder ? decoder->position() : -1;

        lock.lock();
        inFlight_[self] = -1;
        positions_[self] = at;
        if (self == 1) {
            hasBack_ = decoder_[1] != nullptr;
            backBroken_ = backBroken_ || broken;
            if (created) {
                // From now on the second decoder's pictures are paid from the bound.
                setPictureBudget(limit_ - std::min(backCost_, limit_));
                stats_.backDecoderBytes = backCost_;
            }
            stats_.backDecoderDropped = backBroken_;
        }
        ++stats_.decoded;
        if (!img.isNull() && job.keep)
            cache_.insert(job.coded, img);
        if (img.isNull() && error.empty())
            error = "cannot decode the frame";
        if (img.isNull()) {
            route_.gen = -1; // choose again, from where the decoders stand now
            if (!broken) {
                // Not tried again in the background; a request for it decodes it once more.
                if (failed_.insert(job.coded).second && stats_.failures++ == 0)
                    stats_.firstFailure = error;
                if (!job.keep && job.coded != want_)
                    --backgroundBudget_; // a failing step must not be retried for ever
            }
        }
        if (job.coded == want_)
            deliver(img, img.isNull() ? error : std::string());
        work_.notify_all(); // the other thread may have work now
    }
    busy_[self] = false;
}

} // namespace kadro
