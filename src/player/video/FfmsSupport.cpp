#include "player/video/FfmsSupport.h"

#include <ffms.h>

#include <mutex>

namespace kadro {

void ffmsInit()
{
    static std::once_flag once;
    std::call_once(once, [] {
        FFMS_Init(0, 0);
        FFMS_SetLogLevel(FFMS_LOG_QUIET);
    });
}

void FfmsRelease::operator()(FFMS_Index* p) const { FFMS_DestroyIndex(p); }
void FfmsRelease::operator()(FFMS_VideoSource* p) const { FFMS_DestroyVideoSource(p); }

} // namespace kadro
