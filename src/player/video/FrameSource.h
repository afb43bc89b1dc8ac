#pragma once
// The frame-source layer under the video device: "give me the exact picture of frame n".
// The device only talks to this interface, so a frame cache or a decode thread can be layered
// between it and the decoder without the device changing.

#include <QImage>
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
    // The picture of frame n (RGB32). Throws VideoDeviceError if it cannot be decoded.
    virtual QImage frame(int n) = 0;
    // Presentation time of frame n in seconds, counted from frame 0 (non-decreasing in n).
    virtual double frameTime(int n) const = 0;

    // The frame on screen at time t (seconds from frame 0): the last frame whose time is <= t.
    int frameAt(double seconds) const;
};

} // namespace kadro
