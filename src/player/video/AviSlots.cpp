#include "player/video/AviSlots.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kadro {

AviSlots::AviSlots(const std::vector<int64_t>& pts, double tickSeconds, bool avi, bool reordered)
    : pts_(pts), tick_(tickSeconds), avi_(avi), frameCount_(int(pts.size()))
{
    const int coded = int(pts_.size());
    if (!avi || reordered || coded == 0)
        return;
    std::vector<int64_t> slotOf(pts_.size());
    for (int i = 0; i < coded; ++i) {
        slotOf[std::size_t(i)] = pts_[std::size_t(i)] - pts_[0];
        if (i > 0 && slotOf[std::size_t(i)] <= slotOf[std::size_t(i) - 1])
            return; // not a plain slot sequence: keep counting pictures
    }
    const int64_t count = slotOf.back() + 1;
    if (count == coded || count > int64_t(coded) * kMaxSlotsPerPicture + 16 || count > INT32_MAX)
        return;
    slots_ = true;
    frameCount_ = int(count);
    codedOfFrame_.assign(std::size_t(count), 0);
    int c = 0;
    for (int s = 0; s < frameCount_; ++s) {
        while (c + 1 < coded && slotOf[std::size_t(c) + 1] <= s)
            ++c;
        codedOfFrame_[std::size_t(s)] = c;
    }
}

int AviSlots::codedIndex(int n) const
{
    if (frameCount_ <= 0)
        return 0;
    n = std::clamp(n, 0, frameCount_ - 1);
    return slots_ ? codedOfFrame_[std::size_t(n)] : n;
}

int AviSlots::frameOfCoded(int coded) const
{
    if (frameCount_ <= 0)
        return 0;
    if (!slots_)
        return std::clamp(coded, 0, frameCount_ - 1);
    const auto it = std::lower_bound(codedOfFrame_.begin(), codedOfFrame_.end(), coded);
    return it == codedOfFrame_.end() ? frameCount_ - 1 : int(it - codedOfFrame_.begin());
}

double AviSlots::frameTime(int n) const
{
    if (frameCount_ <= 0)
        return 0.0;
    n = std::clamp(n, 0, frameCount_ - 1);
    if (avi_)
        return n * tick_; // AVI: every slot lasts one time step
    return double(pts_[std::size_t(n)] - pts_[0]) * tick_;
}

double AviSlots::meanRate() const
{
    if (avi_)
        return tick_ > 0 ? 1.0 / tick_ : 0.0;
    if (pts_.size() < 2)
        return 0.0;
    const double span = double(pts_.back() - pts_.front()) * tick_;
    return span > 0 ? double(pts_.size() - 1) / span : 0.0;
}

bool AviSlots::variableDurations(double tolerance) const
{
    if (avi_ || pts_.size() < 3)
        return false;
    std::vector<int64_t> d(pts_.size() - 1);
    for (std::size_t i = 0; i + 1 < pts_.size(); ++i)
        d[i] = pts_[i + 1] - pts_[i];
    std::vector<int64_t> sorted = d;
    std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
    const double typical = double(sorted[sorted.size() / 2]);
    const double allowed = std::max(tolerance * typical, 1.0);
    return std::any_of(d.begin(), d.end(), [&](int64_t x) { return std::abs(double(x) - typical) > allowed; });
}

} // namespace kadro
