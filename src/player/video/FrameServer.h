#pragma once
// Pictures at display size for the video device, decoded on one thread of their own.
//
// Two decode threads, each owning one decoder (a front one that follows the shown picture and a
// second one for the work behind it), share a cache of pictures bounded in bytes. They work, in
// this order, on
//  1. the picture to show now (a newer request replaces an older one),
//  2. read-ahead: the pictures after the shown one (more of them while playing),
//  3. the keyframe interval up to the shown picture, so that stepping back is served from the cache,
//  4. while the user steps back in the first half of an interval: the interval before it.
// Background work (2-4) is planned afresh from the newest request after every picture, in steps of
// a few pictures, so work for a position the user has left is dropped at once.
//
// A miss on a back step inside the interval decodes from where decoding has to start up to the
// picture and keeps every picture on the way, so the following back steps are hits. A miss on a
// jump decodes only the picture, as FFMS2 alone would; the rest of its interval follows in the
// background. So does the first back step into the interval before, where keeping every picture
// on the way would cost more than a seek to the picture alone: the front decoder decodes just
// that picture, and the second one fills the interval up to it once it is shown.
// While a picture is waited for, only the decoder that decodes it works; otherwise read-ahead and
// fills run side by side.
//
// Memory: the cache's bound counts the bytes of the pictures it holds. The second decoder's own
// pictures (references at the coded size, DecoderFactory::decoderBytes) are paid from the same
// bound while it exists; a second decoder that would take more than half of the bound is not made,
// and the front decoder then does all the work.
//
// The server knows decoders only through the Decoder interface and plans with the DecodeModel of
// its DecoderFactory. Pictures are keyed by coded index (see AviSlots::codedIndex).

#include "player/video/Decoder.h"
#include "player/video/FrameCache.h"

#include <QImage>
#include <QSize>

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace kadro {

class FrameServer {
public:
    // How the shown picture was reached; it decides what is useful next.
    enum class Move { Jump, Forward, Back, Play };

    struct Stats {
        long long requests = 0; // pictures asked for by picture()
        long long hits = 0;     // of those, found in the cache
        long long decoded = 0;  // pictures delivered by the decoders
        long long failures = 0;     // pictures that could not be decoded
        std::string firstFailure;   // the decoder's text for the first of them
        std::size_t backDecoderBytes = 0; // what the second decoder is charged, once it exists
        bool backDecoderDropped = false;  // it would cost too much: the front decoder does all
    };

    // Starts the decode thread. `decoders` must outlive the server; the server takes its leftover
    // decoder as the front one. `pictureSize` is the size pictures are delivered at.
    FrameServer(DecoderFactory& decoders, const QSize& pictureSize, std::size_t cacheBytes);
    ~FrameServer();

    FrameServer(const FrameServer&) = delete;
    FrameServer& operator=(const FrameServer&) = delete;

    // The picture of coded picture `coded`, waiting for its decode if needed.
    // Throws VideoDeviceError when it cannot be decoded.
    QImage picture(int coded, Move move);

    // A request that waits at most a given time (the GUI thread never waits for a slow decode).
    struct Answer {
        enum State { Ready, Pending, Failed, Replaced } state = Pending;
        QImage image;      // Ready
        std::string error; // Failed
        long long ticket = 0;
    };
    // The picture if it is at hand within `waitMs`; otherwise Pending, and it stays the picture to
    // decode next: poll() with the ticket tells when it came.
    Answer pictureWithin(int coded, Move move, int waitMs);
    // The state of the request `ticket`: Pending, Ready or Failed once decoded, Replaced when a
    // newer request took its place.
    Answer poll(long long ticket) const;
    // The picture if it is at hand; otherwise it becomes the picture to decode next (replacing any
    // picture still waited for) and a null image is returned. Playback, which must not wait,
    // asks this way with Move::Play: an earlier pending picture is then dropped once a later one
    // is at hand.
    QImage pictureIfReady(int coded, Move move = Move::Play);
    // Whether the picture is in the cache (does not count as a use).
    bool isReady(int coded) const;
    // Playback reads further ahead, up to `endCoded`.
    void setPlaying(bool playing, int endCoded = -1);
    // Whether the picture was found undecodable (when asked for or in the background); the text
    // of the first picture found so is in stats().
    bool hasFailed(int coded) const;

    // Waits until the thread has nothing left to do; false on timeout (tests, benchmark).
    bool waitIdle(int timeoutMs);

    // The decoders' way of reaching pictures changed (the seek check allowed seeking): plans with
    // `model` from now on and makes its decoders anew, paying for the second one what the factory
    // now declares. Pictures in the cache stay.
    void setDecodeModel(const DecodeModel& model);

    QSize pictureSize() const { return size_; }
    std::size_t cacheBytes() const;
    std::size_t cacheLimit() const { return limit_; }
    // Bytes the cache may hold now: the bound less what the second decoder costs.
    std::size_t cacheBudget() const;
    Stats stats() const;

    // Background work decodes at most this many pictures per request to a decoder, so a new
    // request waits for little more than that.
    static constexpr int kChunk = 4;

private:
    struct Job {
        int coded = -1;
        int decoder = 0; // 0 front, 1 back
        bool keep = true;
        bool wanted = false; // on the way to the picture to show
    };
    // How the picture to show is reached: by which decoder, and whether by itself (a seek to it)
    // while the other decoder fills its interval.
    struct Route {
        long long gen = -1; // the request it was chosen for
        int decoder = 0;
        bool direct = false;
    };

    void setPictureBudget(std::size_t bytes);
    void run(int self);
    bool plan(Job& job, int self);
    bool planBackground(Job& job, int lo, int hi, int self);
    void chooseRoute();
    int cheapest(int coded) const;
    int firstMissing(int lo, int hi) const;
    int blockStart(int coded) const;
    int blockEnd(int start) const;
    void deliver(const QImage& image, const std::string& error);
    void request(int coded, Move move);

    // A kept picture (decoded, scaled, converted and copied) costs about as much as two that are
    // only decoded on the way.
    static constexpr int kKeepCost = 2;

    // Fixed at construction.
    DecoderFactory& decoders_;
    const QSize size_;
    const std::size_t limit_;
    const int lastCoded_;
    std::size_t backCost_;       // the second decoder's pictures plus the one it delivers (guarded by mutex_ once running)
    const bool backAllowed_;     // backCost_ fits into half of the bound

    // decoder_[i] belongs to decode thread i; what the planner needs of the decoders is copied
    // into positions_ under the lock.
    std::unique_ptr<Decoder> decoder_[2];

    mutable std::mutex mutex_;
    std::condition_variable work_; // wakes the decode thread
    std::condition_variable done_; // wakes callers waiting for a picture or for idleness
    // --- guarded by mutex_ ------------------------------------------------------------------
    DecodeModel model_;
    bool remake_[2] = {false, false}; // the decoder reaches pictures the old way: make it anew
    FrameCache cache_;
    int capacity_ = 0;      // pictures the cache holds
    int keepLimit_ = 0;     // most pictures kept by one fill
    int prefetchLimit_ = 0; // most pictures prefetched from the interval before
    int stepAhead_ = 0;
    int playAhead_ = 0;
    int linearBlock_ = 1;   // fill unit when decoding linearly
    std::set<int> failed_;  // pictures the background could not decode
    int want_ = -1;         // the picture to show now (-1 none)
    Move wantMove_ = Move::Jump;
    bool enteredInterval_ = false; // the request stepped back into another keyframe interval
    Route route_;
    long long wantGen_ = 0;
    long long deliveredGen_ = 0;
    QImage delivered_;
    std::string deliveredError_;
    int focus_ = 0;         // the picture last asked for
    Move move_ = Move::Jump;
    bool playing_ = false;
    int playEnd_ = -1;
    int backgroundBudget_ = 0; // background decodes left until the next request
    int positions_[2] = {-1, -1}; // where the decoders stand (once their job is done)
    int inFlight_[2] = {-1, -1};  // the picture each decoder works on
    bool hasBack_ = false;
    bool backBroken_ = false;  // no second decoder: the front one does all
    bool busy_[2] = {false, false};
    bool quit_ = false;
    Stats stats_;
    // -------------------------------------------------------------------------------------------

    std::thread threads_[2]; // the second only where a second decoder is allowed
};

} // namespace kadro
