#pragma once
// Test-video generator: short real videos in which every frame shows its own number, once as
// large digits (for people) and once as a row of black and white blocks (for programs).
//
// The block row fills the full width of the picture in a band near the top: 20 blocks, the first
// white and the second black (the marker that also calibrates the reader's threshold), then 17
// data bits (most significant first, white = 1) and one even-parity bit. The blocks are large
// (1/20 of the width), so the pattern survives lossy codecs and scaling down to ~160 px wide.

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace kadro::videogen {

enum class Format {
    MjpegAvi,        // MJPEG in AVI (intra only)
    MsVideo1Avi,     // Microsoft Video-1 (CRAM) in AVI
    RawAvi,          // uncompressed BGR24 in AVI
    DroppedSlotsAvi, // MJPEG in AVI whose index has empty (dropped) frame slots
    XvidAvi,         // MPEG-4 Part 2 (Xvid) in AVI with two consecutive B-frames
    H264Mp4,         // H.264 in MP4, long closed GOP, B-frames, AAC audio
    H264OpenGopMkv,  // H.264 in Matroska with open GOPs
    HevcMp4,         // HEVC (x265, open GOP) in MP4
    Vp9Webm,         // VP9 in WebM
    Mpeg2Ps,         // MPEG-2 video in an MPEG program stream
    PackedBAvi,      // MPEG-4 Part 2 in AVI with DivX-style packed B-frames (see below)
};

// Every format the generator knows, in declaration order.
std::vector<Format> allFormats();

// Short stable name of a format ("mjpeg-avi", "h264-mp4", ...) and its reverse.
QString formatName(Format format);
std::optional<Format> formatFromName(const QString& name);
// File name extension including the dot (".avi", ".mp4", ".mkv", ".webm", ".mpg").
QString extension(Format format);

struct Spec {
    Format format = Format::MjpegAvi;
    int width = 320;
    int height = 240;
    // Number of pictures; for DroppedSlotsAvi the number of frame slots including the dropped ones.
    int frames = 100;
    // Frames per second: fps / fpsDen (30000 / 1001 for NTSC's 29.97).
    int fps = 25;
    int fpsDen = 1;
    // MP4 / Matroska only: the frame durations alternate between 3/4 and 5/4 of 1 / rate (frame n
    // starts at (4n - n % 2) / (4 rate), see frameSeconds), so the mean rate is the stated one
    // while each duration differs from it by 25 %.
    bool variableRate = false;
    // MP4 only: the metadata names this as the rate the video was recorded at, as Android phones
    // do for slow motion (key "com.android.capture.fps", a 32-bit float, e.g. 240 in a video
    // stored to play at 30 fps). 0 = no such entry.
    double captureFps = 0;
    // Keyframe interval in frames; 0 takes the format's default (see effectiveGop).
    int gop = 0;
    // Adds a sine-tone track: AAC in MP4/MKV, 16-bit PCM in AVI. Not available for WebM/MPEG-PS.
    bool audio = false;
    // Pixel aspect (width / height of one pixel) stored in the file, e.g. 16:15 for PAL DV.
    int sarNum = 1;
    int sarDen = 1;
    // PackedBAvi only: consecutive B-frames between two reference pictures (0 = 1, the classic
    // DivX pattern). XvidAvi always has 2.
    int bFrames = 0;
    // DroppedSlotsAvi only: the slots left empty. Empty list = the default pattern
    // (see droppedSlots). Slot 0 can never be dropped.
    std::vector<int> dropped;
    // Draws the picture of frame n at the given size instead of the numbered test frame
    // (used for scenes such as the demo video; such files are not cached by fileNameFor).
    std::function<QImage(int n, int width, int height)> render;
};

// PackedBAvi: the stream is written as DivX 5 and Xvid did for Video for Windows, which hands a
// decoder one chunk per frame slot and wants one picture back at once. Each group of a reference
// picture R and the b B-frames shown before it (coded order R B1 .. Bb) is stored in b + 1 chunks:
// [R B1] [B2] .. [Bb] [N], i.e. every B-frame moves into the chunk before it and the slot the last
// one left holds a 7-byte "not coded" picture (N-VOP). The user data "DivX503b1393p" (p = packed)
// is placed before every keyframe's picture, and the stream header (VOL) carries no control
// parameters, as DivX 5 wrote it: it does not tell that pictures come out reordered. Slot k shows
// display frame k: the decoder shows B1 for [R B1], B2 .. Bb for the following chunks and R,
// decoded earlier, for the placeholder.

// The keyframe interval the generator uses for this video.
int effectiveGop(const Spec& spec);

// The consecutive B-frames the generator asks the encoder for (PackedBAvi; 2 for XvidAvi; else 0).
int effectiveBFrames(const Spec& spec);

// The slots that are written empty (sorted, unique; empty for formats other than DroppedSlotsAvi).
std::vector<int> droppedSlots(const Spec& spec);

// The number the pattern of slot `slot` shows: the slot itself, or for a dropped slot the last
// written slot before it.
int expectedNumber(const Spec& spec, int slot);

// The time stamp the generator gives frame (slot) n, in seconds from frame 0.
double frameSeconds(const Spec& spec, int n);

// Videos for the timing of a video (H.264 in MP4, the frames numbered as always, default GOP):
// at a rate of num / den frames per second (25, 30, 60, 30000/1001 ...);
Spec h264Mp4AtRate(int num, int den = 1, int frames = 60);
// with frame durations alternating by +-25 % around 1 / 30 s (see Spec::variableRate);
Spec variableRateMp4(int frames = 60);
// recorded at `captureFps` and stored to play at `fps`, as a phone's slow motion.
Spec slowMotionMp4(double captureFps = 240, int fps = 30, int frames = 60);

// Writes the video. Returns false and sets *error (if given) on failure; a partial file is removed.
bool generate(const Spec& spec, const QString& path, QString* error = nullptr);

// Ways a video file gets damaged (a copy cut short, bytes changed, not a video at all).
enum class Damage {
    HeaderOnly,   // cut right after the headers: no picture data
    CutInIndex,   // cut in the middle of the index (AVI: idx1; MP4: moov)
    CutInData,    // cut in the middle of the picture data (AVI: movi; MP4: mdat)
    FlippedBytes, // bytes inverted here and there in the middle half of the picture data
    Empty,        // zero bytes
    TextAsAvi,    // a text file (give it the name of a video)
    IndexPastEnd, // AVI: every index entry points far beyond the end of the file
};
std::vector<Damage> allDamages();
// Short stable name ("header-only", "cut-in-index", ...).
QString damageName(Damage damage);
// Writes a damaged copy of the generated AVI or MP4 `source` to `path` (Empty and TextAsAvi do
// not read the source). Returns false and sets *error if the source's layout is not recognised.
bool writeDamaged(const QString& source, Damage damage, const QString& path, QString* error = nullptr);

// A file name describing the video's settings ("v1_h264-mp4_320x240_250f_25fps_g100_a.mp4").
QString fileNameFor(const Spec& spec);

// Generates the video into `dir` unless a complete file for the same settings is already there.
// Returns the path, or an empty string and *error on failure.
QString cachedVideo(const Spec& spec, const QString& dir, QString* error = nullptr);

// The picture of frame `number` (RGB32) as the generator encodes it.
QImage renderFrame(int number, int width, int height);

// Reads the block pattern back from a picture showing a whole generated frame (any scale down to
// about 160 px wide). Returns -1 if the pattern cannot be read with confidence.
int readFrameNumber(const QImage& image);

// Bumped whenever generated files change, so cached files of older generators are not reused.
constexpr int generatorVersion = 1;

// The largest number the pattern can carry.
constexpr int maxFrameNumber = (1 << 17) - 1;

} // namespace kadro::videogen
