#pragma once
// Small helpers shared by the FFMS2 code of the video engine: library start-up, the error buffer
// and owning handles.

#include <memory>
#include <string>

struct FFMS_Index;
struct FFMS_VideoSource;

namespace kadro {

// Initialises FFMS2 once per process (safe from any thread).
void ffmsInit();

struct FfmsRelease {
    void operator()(FFMS_Index* p) const;
    void operator()(FFMS_VideoSource* p) const;
};
using FfmsIndexPtr = std::unique_ptr<FFMS_Index, FfmsRelease>;
using FfmsVideoPtr = std::unique_ptr<FFMS_VideoSource, FfmsRelease>;

} // namespace kadro
