#include "player/video/FfmsSupport.h"
#include "player/video/PictureMemory.h"

#include <ffms.h>

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace kadro {

namespace {

// Per thread: errors reported so far, and the first message since the outermost DecodeErrors.
thread_local int tlErrors = 0;
thread_local int tlWatchers = 0;
thread_local std::string tlFirst;

void logCallback(void* context, int level, const char* format, va_list args)
{
    if (level <= AV_LOG_ERROR) {
        ++tlErrors;
        if (tlWatchers > 0 && tlFirst.empty()) {
            va_list copy;
            va_copy(copy, args);
            char line[512];
            int prefix = 1;
            av_log_format_line2(context, level, format, copy, line, int(sizeof line), &prefix);
            va_end(copy);
            tlFirst = line;
            while (!tlFirst.empty() && (tlFirst.back() == '\n' || tlFirst.back() == '\r'))
                tlFirst.pop_back();
        }
    }
    // What FFmpeg would print itself (nothing at the quiet level the engine sets).
    if (level <= av_log_get_level())
        av_log_default_callback(context, level, format, args);
}

} // namespace

void ffmsInit()
{
    static std::once_flag once;
    std::call_once(once, [] {
        keepDecoderMemory();
        FFMS_Init(0, 0);
        FFMS_SetLogLevel(FFMS_LOG_QUIET);
        av_log_set_callback(logCallback);
    });
}

void FfmsRelease::operator()(FFMS_Index* p) const { FFMS_DestroyIndex(p); }
void FfmsRelease::operator()(FFMS_VideoSource* p) const { FFMS_DestroyVideoSource(p); }

DecodeErrors::DecodeErrors() : startCount_(tlErrors)
{
    ffmsInit();
    if (tlWatchers++ == 0)
        tlFirst.clear();
}

DecodeErrors::~DecodeErrors() { --tlWatchers; }

int DecodeErrors::count() const { return tlErrors - startCount_; }

std::string DecodeErrors::first() const { return count() > 0 ? tlFirst : std::string(); }

} // namespace kadro
