#include "player/video/FrameSource.h"

namespace kadro {

int FrameSource::frameAt(double seconds) const
{
    const int count = frameCount();
    if (count <= 0)
        return 0;
    // Binary search for the last frame whose time is not after `seconds`.
    int lo = 0;
    int hi = count - 1;
    const double t = seconds + 1e-9;
    if (frameTime(hi) <= t)
        return hi;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (frameTime(mid) <= t)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

} // namespace kadro
