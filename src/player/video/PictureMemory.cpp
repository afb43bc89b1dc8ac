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

void returnFreeHeap()
{
#if KADRO_MAPPED_PICTURES && defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace kadro
