#pragma once
// What the video device needs to know of a video's frames besides their pictures: how many there
// are, their size and pixel aspect, and when each is due. Pictures come from a FrameServer (the
// device holds both; see FfmsVideoDevice).

#include <QSize>

namespace kadro {

class FrameSource {
public:
    virtual ~FrameSource() = default;

    // Number of frames (frame numbers run 0 .. frameCount() - 1).
    virtual int frameCount() const = 0;
    // Coded picture size in pixels.
    virtual QSize frameSize() const = 0;
    // Width / height of one pixel (1.0 for square pixels).
    virtual double pixelAspect() const = 0;
    // Presentation time of frame n in seconds, counted from frame 0 (non-decreasing in n).
    virtual double frameTime(int n) const = 0;

    // The frame on screen at time t (seconds from frame 0): the last frame whose time is <= t.
    int frameAt(double seconds) const;
};

} // namespace kadro
