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
    // A difference of one step of the stamps' precision is rounding.
    const double precision = double(stampPrecision());
    const double allowed = std::max(tolerance * typical, precision);
    const bool uneven =
        std::any_of(d.begin(), d.end(), [&](int64_t x) { return std::abs(double(x) - typical) > allowed; });
    // Where the precision is fine against a frame's duration, a camera clock's jitter of about one
    // step on top of its rounding is still one rate (every stamp within a step of it).
    return uneven && !(precision * 20 <= typical && constantRateRounded());
}

int64_t AviSlots::stampPrecision() const
{
    // Stamps in a fine time base that are all whole milliseconds were rounded to milliseconds
    // (cameras writing microsecond MP4s, Matroska's default time scale).
    if (tick_ > 0 && tick_ < 0.001) {
        const double perMs = 0.001 / tick_;
        const int64_t m = int64_t(std::llround(perMs));
        if (m > 1 && std::abs(perMs - double(m)) < 1e-6 * perMs) {
            const bool wholeMs = std::all_of(pts_.begin(), pts_.end(), [&](int64_t p) { return (p - pts_[0]) % m == 0; });
            if (wholeMs)
                return m;
        }
    }
    return 1;
}

bool AviSlots::constantRateRounded() const
{
    const std::size_t n = pts_.size();
    if (n < 3)
        return true;
    // The straight line through the stamps (least squares over the frame index): a constant rate
    // whose times were each rounded to the precision keeps every stamp within one step of it (a
    // dropped or doubled frame, or a rate that changes, moves stamps by a good part of a frame).
    const double precision = double(stampPrecision());
    double sumI = 0, sumT = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sumI += double(i);
        sumT += double(pts_[i] - pts_[0]);
    }
    const double meanI = sumI / double(n);
    const double meanT = sumT / double(n);
    double sii = 0, sit = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double di = double(i) - meanI;
        sii += di * di;
        sit += di * (double(pts_[i] - pts_[0]) - meanT);
    }
    const double slope = sit / sii;
    if (!(slope > 0))
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const double r = double(pts_[i] - pts_[0]) - meanT - slope * (double(i) - meanI);
        if (std::abs(r) > precision + 1e-9)
            return false;
    }
    return true;
}

} // namespace kadro
