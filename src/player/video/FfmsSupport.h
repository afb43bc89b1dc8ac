#pragma once
// Small helpers shared by the FFMS2 code of the video engine: library start-up, the error buffer
// and owning handles.

#include <memory>
#include <string>

#include <ffms.h>

namespace kadro {

// Initialises FFMS2 once per process (safe from any thread).
void ffmsInit();

// FFMS2's error report for one call.
struct FfmsError {
    char buffer[1024] = {};
    FFMS_ErrorInfo info{FFMS_ERROR_SUCCESS, FFMS_ERROR_SUCCESS, int(sizeof buffer), buffer};

    // The library's text, or `fallback` when it gave none.
    std::string text(const char* fallback) const { return buffer[0] ? std::string(buffer) : std::string(fallback); }
};

struct FfmsRelease {
    void operator()(FFMS_Index* p) const;
    void operator()(FFMS_VideoSource* p) const;
};
using FfmsIndexPtr = std::unique_ptr<FFMS_Index, FfmsRelease>;
using FfmsVideoPtr = std::unique_ptr<FFMS_VideoSource, FfmsRelease>;

} // namespace kadro
