#pragma once
// FFmpeg's own verdict on pictures whose decoding made it complain.
//
// FFMS2 hands on the decoded picture but not the decoder's judgement of it, and FFmpeg's log lines
// are no verdict: a camera's "A non-intra slice in an IDR NAL unit." is a warning about one slice
// of a picture that decodes soundly. When a request logged errors, the engine asks here instead:
// the keyframe interval of the picture is decoded once with libavcodec, and a picture is sound
// when the interval gave exactly its pictures (none dropped, so FFMS2's count of them holds) and
// FFmpeg flagged this one neither as corrupt (AV_FRAME_FLAG_CORRUPT) nor with decoding errors
// (decode_error_flags). A picture that is an interval of its own (intra-only video) is decoded with
// strict error recognition: the decoder refuses it when it cannot decode it whole. Verdicts are
// kept per interval. Thread-safe.

#include <QString>

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace kadro {

class PictureVerdicts {
public:
    // `pts`: the index's time stamps of the coded pictures, `keyframes` their keyframes (coded
    // indices, ascending, from 0), `track` the stream of the video in `path`.
    PictureVerdicts(const QString& path, int track, std::vector<int64_t> pts, std::vector<int> keyframes);

    // Whether coded picture `coded` decodes soundly, as FFmpeg judges it (false when that cannot
    // be told).
    bool sound(int coded);
    // Whether every coded picture from `from` to `to` decodes soundly and comes out.
    bool soundBetween(int from, int to);
    int keyframeAtOrBefore(int coded) const;

    // How an interval decoded (tests, diagnostics).
    struct Interval {
        bool complete = false;      // exactly the interval's pictures came out, from its keyframe
        std::vector<bool> flagged;  // per picture of the interval: FFmpeg found it damaged
    };
    Interval interval(int coded);

    // Pictures of an interval decoded at most for one verdict.
    static constexpr int kMaxInterval = 2000;

private:
    Interval judge(int key, int end) const;

    const QString path_;
    const int track_;
    const std::vector<int64_t> pts_;
    const std::vector<int> keyframes_;
    std::mutex mutex_;
    std::map<int, Interval> intervals_; // by keyframe; guarded by mutex_
};

} // namespace kadro
