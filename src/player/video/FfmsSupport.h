#pragma once
// Small helpers shared by the FFMS2 code of the video engine: library start-up, the error buffer,
// owning handles, and what FFmpeg reports while a thread decodes.

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

// The errors FFmpeg reports on the calling thread while an instance lives: FFMS2 decodes on the
// thread that asks it (our decoders use one decoding thread each) and does not pass the decoder's
// complaints on, so a damaged picture, or a picture the decoder dropped (after which FFMS2 counts
// the following pictures one too early), would go unnoticed. Instances nest.
class DecodeErrors {
public:
    DecodeErrors();
    ~DecodeErrors();
    DecodeErrors(const DecodeErrors&) = delete;
    DecodeErrors& operator=(const DecodeErrors&) = delete;

    // Errors reported since this instance was made.
    int count() const;
    // The first of them, as FFmpeg wrote it (empty when none).
    std::string first() const;

private:
    int startCount_;
};

} // namespace kadro
