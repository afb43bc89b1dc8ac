#pragma once
// Pictures at display size for the video device, decoded on one thread of their own.
//
// The decode thread owns the decoders (a front one that follows the shown picture and a second
// one for the work behind it) and a cache of pictures bounded in bytes. It works, in this order, on
//  1. the picture to show now (the GUI thread waits for it; a newer request replaces an older one),
//  2. read-ahead: the pictures after the shown one (more of them while playing),
//  3. the keyframe interval up to the shown picture, so that stepping back is served from the cache,
//  4. while the user steps back in the first half of an interval: the interval before it.
// Background work (2-4) is planned afresh from the newest request after every picture, in steps of
// a few pictures, so work for a position the user has left is dropped at once.
//
// A miss on a back step decodes from where decoding has to start (the keyframe) up to the picture
// and keeps every picture on the way, so the following back steps are hits. A miss on a jump
// decodes only the picture, as FFMS2 alone would; the rest of its interval follows in the
// background.
//
// Pictures are keyed by coded index (see FfmsFrameSource::codedIndex).

#include <QImage>
#include <QSize>

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "player/video/FrameCache.h"

namespace kadro {

class FfmsDecoder;
class FfmsFrameSource;

class FrameServer {
public:
    // How the shown picture was reached; it decides what is useful next.
    enum class Move { Jump, Forward, Back, Play };

    struct Stats {
        long long requests = 0; // pictures asked for by picture()
        long long hits = 0;     // of those, found in the cache
        long long decoded = 0;  // pictures decoded by the thread
        std::size_t backDecoderBytes = 0; // measured cost of the second decoder
        bool backDecoderDropped = false;  // it cost too much and the front decoder does all
    };

    // Starts the decode thread. `source` must outlive the server; the server takes the source's
    // decoder left over from opening. `pictureSize` is the size pictures are delivered at.
    FrameServer(FfmsFrameSource& source, const QSize& pictureSize, std::size_t cacheBytes);
    ~FrameServer();

    FrameServer(const FrameServer&) = delete;
    FrameServer& operator=(const FrameServer&) = delete;

    // The picture of coded picture `coded`, waiting for its decode if needed.
    // Throws VideoDeviceError when it cannot be decoded.
    QImage picture(int coded, Move move);
    // The picture if it is at hand (a pending request for an earlier picture is dropped then);
    // otherwise it becomes the picture to decode next and a null image is returned (for
    // playback, which must not wait).
    QImage pictureIfReady(int coded);
    // Whether the picture is in the cache (does not count as a use).
    bool isReady(int coded) const;
    // Playback reads further ahead, up to `endCoded`.
    void setPlaying(bool playing, int endCoded = -1);

    // Waits until the thread has nothing left to do; false on timeout (tests, benchmark).
    bool waitIdle(int timeoutMs);

    QSize pictureSize() const { return size_; }
    std::size_t cacheBytes() const;
    std::size_t cacheLimit() const { return limit_; }
    // Bytes the cache may hold now: the bound less what the second decoder costs.
    std::size_t cacheBudget() const;
    Stats stats() const;

private:
    struct Job {
        int coded = -1;
        int decoder = 0; // 0 front, 1 back
        bool keep = true;
        bool wanted = false; // on the way to the picture to show
    };

    void setPictureBudget(std::size_t bytes);
    void run();
    bool plan(Job& job);
    bool planBackground(Job& job, int lo, int hi);
    int cheapest(int coded) const;
    int position(int decoder) const;
    int firstMissing(int lo, int hi) const;
    int blockStart(int coded) const;
    int blockEnd(int start) const;
    void deliver(const QImage& image, const std::string& error);
    void request(int coded, Move move);

    FfmsFrameSource& source_;
    const QSize size_;
    const std::size_t limit_;
    int capacity_ = 0;      // pictures the cache holds
    int lastCoded_ = 0;
    int keepLimit_ = 0;     // most pictures kept by one fill
    int prefetchLimit_ = 0; // most pictures prefetched from the interval before
    int stepAhead_ = 0;
    int playAhead_ = 0;
    int linearBlock_ = 1;   // fill unit when decoding linearly

    std::unique_ptr<FfmsDecoder> decoders_[2]; // used by the decode thread only
    std::size_t heapBeforeBack_ = 0;
    std::size_t backCost_ = 0;
    int backMeasurements_ = 0;


    mutable std::mutex mutex_;
    std::condition_variable work_;    // wakes the thread
    std::condition_variable done_;    // wakes waiting callers
    FrameCache cache_;
    std::set<int> failed_;            // pictures the background could not decode
    int want_ = -1;                   // the picture to show now (-1 none)
    Move wantMove_ = Move::Jump;
    long long wantGen_ = 0;
    long long deliveredGen_ = 0;
    QImage delivered_;
    std::string deliveredError_;
    int focus_ = 0;                   // the picture last asked for
    Move move_ = Move::Jump;
    bool playing_ = false;
    int playEnd_ = -1;
    int backgroundBudget_ = 0;        // background decodes left until the next request
    int positions_[2] = {-1, -1};     // where the decoders stand
    bool hasBack_ = false;
    bool backBroken_ = false;
    bool busy_ = false;
    bool quit_ = false;
    Stats stats_;

    std::thread thread_;
};

} // namespace kadro
