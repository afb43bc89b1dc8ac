#include "player/video/OpenProgress.h"

#include "player/video/VideoDevice.h"

#include <algorithm>

namespace kadro {

void ProgressPhases::setPhase(qint64 from, qint64 to)
{
    from_ = from;
    to_ = to;
}

bool ProgressPhases::report(qint64 done, qint64 total)
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

void ProgressPhases::step(qint64 done, qint64 total)
{
    if (!report(done, total))
        throw VideoOpenCancelled();
}

} // namespace kadro
