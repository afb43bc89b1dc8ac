#include "player/video/PictureMemory.h"

#include <cstdint>

#if defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#define KADRO_MAPPED_PICTURES 1
#endif

namespace kadro {

#if KADRO_MAPPED_PICTURES
namespace {
struct Mapping {
    void* address;
    std::size_t length;
};

void unmap(void* info)
{
    auto* m = static_cast<Mapping*>(info);
    munmap(m->address, m->length);
    delete m;
}
} // namespace
#endif

QImage newPicture(int width, int height)
{
#if KADRO_MAPPED_PICTURES
    if (width > 0 && height > 0) {
        const qsizetype bytesPerLine = qsizetype(width) * 4;
        const std::size_t length = std::size_t(bytesPerLine) * std::size_t(height);
        void* address = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (address != MAP_FAILED)
            return QImage(static_cast<uchar*>(address), width, height, bytesPerLine, QImage::Format_RGB32, unmap,
                          new Mapping{address, length});
    }
#endif
    return QImage(width, height, QImage::Format_RGB32);
}

// A decoder holds its pictures in blocks of several megabytes (a 1080p H.264 decoder about twenty
// of them) and frees them when it goes: after the seek check, when a video is closed, when the
// next one is opened. By default glibc gives blocks of that size back to the system when they are
// freed, and the next decoder faults every page in again; on opening that cost more than the
// decoding itself (a warm open of a 1080p H.264 file about 250 ms, 45 ms with the blocks kept).
// So blocks up to 32 MB come from the heap, and up to 256 MB of free memory at its top stay there
// for the next decoder. The frame cache's pictures are not affected: they have pages of their own
// (newPicture) and go back to the system when evicted.
void keepDecoderMemory()
{
#if KADRO_MAPPED_PICTURES && defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

} // namespace kadro
