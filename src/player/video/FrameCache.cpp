#include "player/video/FrameCache.h"

namespace kadro {

namespace {
std::size_t sizeOf(const QImage& image) { return std::size_t(image.sizeInBytes()); }
} // namespace

void FrameCache::setMaxBytes(std::size_t maxBytes)
{
    maxBytes_ = maxBytes;
    trim();
}

QImage FrameCache::find(int key)
{
    const auto it = map_.find(key);
    if (it == map_.end())
        return {};
    lru_.splice(lru_.begin(), lru_, it->second);
    return it->second->image;
}

void FrameCache::insert(int key, const QImage& image)
{
    const auto it = map_.find(key);
    if (it != map_.end()) {
        bytes_ -= sizeOf(it->second->image);
        lru_.erase(it->second);
        map_.erase(it);
    }
    if (image.isNull() || sizeOf(image) > maxBytes_)
        return;
    lru_.push_front(Entry{key, image});
    map_[key] = lru_.begin();
    bytes_ += sizeOf(image);
    trim();
}

void FrameCache::clear()
{
    lru_.clear();
    map_.clear();
    bytes_ = 0;
}

void FrameCache::trim()
{
    while (bytes_ > maxBytes_ && !lru_.empty()) {
        bytes_ -= sizeOf(lru_.back().image);
        map_.erase(lru_.back().key);
        lru_.pop_back();
    }
}

} // namespace kadro
