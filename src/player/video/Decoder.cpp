#include "player/video/Decoder.h"

#include <algorithm>

namespace kadro {

DecodeModel::DecodeModel(int codedCount, std::vector<int> keyframes, bool linear)
    : codedCount_(std::max(0, codedCount)), keyframes_(std::move(keyframes)), linear_(linear)
{
    std::sort(keyframes_.begin(), keyframes_.end());
    keyframes_.erase(std::unique(keyframes_.begin(), keyframes_.end()), keyframes_.end());
    if (keyframes_.empty() || keyframes_.front() != 0)
        keyframes_.insert(keyframes_.begin(), 0);
}

int DecodeModel::keyframeAtOrBefore(int coded) const
{
    const auto it = std::upper_bound(keyframes_.begin(), keyframes_.end(), coded);
    return it == keyframes_.begin() ? 0 : *std::prev(it);
}

int DecodeModel::seekStart(int coded) const { return linear_ ? 0 : keyframeAtOrBefore(coded); }

bool DecodeModel::decodesForward(int position, int coded) const
{
    if (position < 0 || coded <= position)
        return false;
    return linear_ || keyframeAtOrBefore(coded) <= position + kForwardMargin;
}

int DecodeModel::picturesDecoded(int position, int coded) const
{
    if (decodesForward(position, coded))
        return coded - position;
    if (position >= 0 && coded == position)
        return 0; // the decoder keeps its last picture
    return coded - seekStart(coded) + 1;
}

int DecodeModel::decodeCost(int position, int coded) const
{
    const int pictures = picturesDecoded(position, coded);
    return decodesForward(position, coded) || (position >= 0 && coded == position) ? pictures
                                                                                  : pictures + kSeekPenalty;
}

} // namespace kadro
