#pragma once
// Frame numbers of a video: which coded picture each frame shows and when.
//
// In general frame n is the n-th coded picture, timed by its presentation time stamp. An AVI file
// is different: FFmpeg skips its empty chunks (dropped frames), so the coded pictures are fewer
// than the file's frame slots, while a Windows player counts the slots and shows the picture
// before an empty one again. Times computed as frame x time step only hold with slot numbering,
// so frames of an AVI count slots: slot of a coded picture = its time stamp (AVI time stamps count
// slots), and a slot without a picture shows the last picture before it. A video with reordered
// (B) frames has no usable slot stamps in AVI; its frames count the pictures.

#include <cstdint>
#include <vector>

namespace kadro {

class AviSlots {
public:
    AviSlots() = default;
    // `pts`: time stamps of the coded pictures in presentation order (in units of `tickSeconds`).
    // `avi`: the container is AVI; `reordered`: the video has B-frames.
    AviSlots(const std::vector<int64_t>& pts, double tickSeconds, bool avi, bool reordered);

    // Number of frames (frame numbers run 0 .. frameCount() - 1).
    int frameCount() const { return frameCount_; }
    int codedCount() const { return int(pts_.size()); }
    // True when frames count slots rather than coded pictures.
    bool slotNumbering() const { return slots_; }
    // The coded picture shown at frame n (n clamped to the frames).
    int codedIndex(int n) const;
    // The first frame showing coded picture `coded`.
    int frameOfCoded(int coded) const;
    // Time of frame n in seconds from frame 0 (non-decreasing in n).
    double frameTime(int n) const;
    // Frames per second over the whole video (from the first frame's time to the last one's);
    // for AVI one frame per time step. 0 when it cannot be told (a single frame).
    double meanRate() const;
    // Whether some frame lasts longer or shorter than the typical (median) frame by more than
    // `tolerance` of it. A difference of one step of the stamps' precision is rounding, not a
    // change of rate: one tick of the time base, or a millisecond where all stamps are whole
    // milliseconds (Matroska at 30 fps gives 33, 33, 34 ms; a camera's microsecond MP4 rounded to
    // milliseconds 33 000, 34 000 µs), and where that step is small against a frame's duration,
    // stamps within a step of one constant rate (a camera clock's jitter). AVI frames all last one
    // time step.
    bool variableDurations(double tolerance) const;
    // Whether one constant rate explains every stamp, each rounded to stampPrecision().
    bool constantRateRounded() const;
    // Ticks the stamps were rounded to: 1, or a millisecond's worth of ticks.
    int64_t stampPrecision() const;

    // A slot sequence is believed only up to this many slots per coded picture.
    static constexpr int kMaxSlotsPerPicture = 4;

private:
    std::vector<int64_t> pts_;
    std::vector<int> codedOfFrame_; // slot numbering only
    double tick_ = 0.04;
    bool avi_ = false;
    bool slots_ = false;
    int frameCount_ = 0;
};

} // namespace kadro
