#pragma once
// Decoded pictures by frame number, bounded in bytes, least recently used out first.

#include <QImage>

#include <cstddef>
#include <list>
#include <unordered_map>

namespace kadro {

class FrameCache {
public:
    explicit FrameCache(std::size_t maxBytes = 0) : maxBytes_(maxBytes) {}

    void setMaxBytes(std::size_t maxBytes);
    std::size_t maxBytes() const { return maxBytes_; }
    std::size_t bytes() const { return bytes_; }
    std::size_t count() const { return map_.size(); }

    // The picture of `key`, or a null image. A hit makes the entry the most recent.
    QImage find(int key);
    bool contains(int key) const { return map_.count(key) != 0; }
    // Stores a picture; entries are dropped (oldest first) to stay within the byte bound.
    // A picture larger than the whole bound is not kept.
    void insert(int key, const QImage& image);
    void clear();

private:
    void trim();

    struct Entry {
        int key;
        QImage image;
    };
    std::size_t maxBytes_ = 0;
    std::size_t bytes_ = 0;
    std::list<Entry> lru_; // front = most recent
    std::unordered_map<int, std::list<Entry>::iterator> map_;
};

} // namespace kadro
