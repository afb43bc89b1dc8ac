#pragma once
// The seek check: may this file be decoded with FFMS2's normal seeking without ever showing a wrong
// frame?
//
// FFMS2's normal seeking guesses where a seek landed; on some files (open GOPs, AVI with several
// consecutive B-frames, MPEG program streams) the guess is wrong. So right after indexing, the start
// of the file is decoded linearly as a reference, and seeked requests (around keyframes, where the
// faults show) are compared with it. Only if every comparable request returned the reference
// picture is normal seeking used. Where it is wrong and the container stamps every picture (MP4,
// Matroska), the same requests are made of a PtsDecoder, which finds pictures by their time
// stamps; if it returns every reference picture, it decodes the file. Otherwise the file is
// decoded linearly (exact, slower on backward jumps, softened by the frame cache).

#include "player/video/FfmsSupport.h"

#include <QSize>
#include <QString>

#include <cstddef>
#include <optional>

namespace kadro {

class PictureVerdicts;
class ProgressPhases;
class VideoIndex;

// What decoding the start of the file taught (kept in the index cache with the index).
struct SeekVerdict {
    int probeFrames = 0;      // the reference length the check was asked to use
    bool linear = false;      // decode linearly (seeking was found wrong or uncheckable)
    // FFMS2's seeking was found wrong, seeking by the pictures' own time stamps right: decode with
    // PtsDecoder (not linear).
    bool byTimeStamps = false;
    int referenceFrames = 0;  // pictures decoded linearly as the reference
    int checks = 0;           // seeked requests compared with the reference
    int mismatches = 0;       // of those, requests that returned another picture
    int firstMismatch = -1;   // coded index of the first wrong request
    QString reason;
    bool unfinished = false;  // the check ran out of time (such a verdict is not kept)
    QSize size;               // coded picture size
    double pixelAspect = 1.0;
    bool sawBFrames = false;  // the reference had B-frames (decides the AVI numbering)
    std::size_t pictureBytes = 0; // one coded picture in the decoder's own format
};

enum class Seeking {
    Verified, // verify normal seeking against a linear decode, fall back to linear
    Normal,   // trust FFMS2's normal seeking (for comparisons only)
    Linear,   // always decode linearly
};

struct SeekCheckResult {
    SeekVerdict verdict;
    // The decoder the chosen mode kept (linear or normal), and the coded picture it decoded last.
    FfmsVideoPtr decoder;
    int position = -1;
};

// Decodes up to `probeFrames` pictures linearly (fewer when the third keyframe comes earlier, or
// when the decoder reports errors on one: the reference ends before it) and,
// for Seeking::Verified, compares seeked requests with them. Reports through `progress` (throws
// VideoOpenCancelled on a cancel) and throws VideoDeviceError when the start cannot be decoded.
// A picture during whose decoding FFmpeg complained counts as clean where `verdicts` finds it sound.
SeekCheckResult checkSeeking(const VideoIndex& index, Seeking seeking, int probeFrames, ProgressPhases& progress,
                             PictureVerdicts* verdicts = nullptr);

// Normal seeking where the structure of the stream settles that it lands exactly (see
// StreamProbe::structure): only the first picture is decoded, for its size. Nothing when even that
// fails (the decoding check then decides).
std::optional<SeekCheckResult> trustSeeking(const VideoIndex& index, int probeFrames, const QString& reason,
                                            PictureVerdicts* verdicts = nullptr);

// Most time the seeked requests of the check may take; past it the file is decoded linearly.
constexpr int kSeekCheckMillis = 60000;

// Opens an FFMS2 decoder of the indexed file with one thread and the given FFMS2 seek mode.
FfmsVideoPtr openFfmsVideo(const VideoIndex& index, int seekMode);

} // namespace kadro
