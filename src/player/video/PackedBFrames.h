#pragma once
// AVI files with DivX-style packed B-frames, made readable frame by frame.
//
// Video for Windows hands a decoder one chunk per frame slot and expects the slot's picture back
// at once, which B-frames (shown before the reference picture they are coded after) do not allow.
// DivX 5 and Xvid's "packed bitstream" worked around it: for each reference picture R with the
// B-frames B1..Bb shown before it (coded order R B1 .. Bb), the chunks are [R B1] [B2] .. [Bb] [N],
// every B-frame moved into the chunk before it and the slot the last one left filled with a
// 7-byte "not coded" picture (N-VOP). A Windows player's decoder shows B1 for [R B1], B2 .. Bb for
// the following chunks, and for [N] the reference R it decoded earlier: slot k shows the k-th
// picture in display order, one picture per slot, none twice.
//
// FFmpeg decodes such a stream, but its MPEG-4 decoder takes the missing "low delay" declaration
// of a DivX stream header (VOL) for "no reordering" until it meets the first B-frame: the
// reference after the first keyframe comes out early and then once more, every later picture one
// output late, and the last one never. FFMS2 numbers those outputs as frames, so frame 1 shows
// frame 2's picture, and after a restart of the decoder (a backward jump when decoding linearly)
// the numbering shifts again.
//
// The engine therefore decodes an unpacked copy: FFmpeg's mpeg4_unpack_bframes filter turns
// [R B1] [B2] .. [Bb] [N] into [R] [B1] .. [Bb], still one chunk per slot, and the stream header
// of every keyframe is rewritten to declare reordered pictures. The copy is an ordinary AVI with
// B-frames, which FFMS2 decodes in display order: slot k shows picture k, as on Windows. Audio and
// empty (dropped) slots are copied as they are. Copies are kept in a cache folder, a few at a time.

#include <QByteArray>
#include <QString>

#include <functional>

namespace kadro {

class PackedBFrames {
public:
    // Whether `path` is an AVI file whose MPEG-4 video packs B-frames (decided from the stream's
    // DivX user data or from the first chunks that carry two pictures). Cheap for files that are
    // not AVI (their first bytes say so).
    static bool detect(const QString& path);

    // Told how far the copy is (bytes read of the source); returns false to cancel.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    enum class Result { Written, Failed, Cancelled };
    // Writes the unpacked copy of `source` to `target` (replacing it; nothing is left behind on
    // failure or cancel). `error` receives the reason of a failure.
    static Result unpack(const QString& source, const QString& target, const Progress& progress,
                         QString* error);

    // The chunk with every MPEG-4 stream header (VOL) in it rewritten to declare reordered
    // pictures (low_delay = 0). Chunks without one come back unchanged.
    static QByteArray declareReordering(const QByteArray& chunk);
};

// The unpacked copies, in a folder of their own. A copy is named after the source's path, size and
// modification time, so a changed source gets a new copy; the oldest copies beyond kMaxCopies are
// removed when a new one is written.
class UnpackedCopies {
public:
    // `dir` empty: "unpacked" in the index cache's default folder.
    explicit UnpackedCopies(const QString& dir = {});

    QString dir() const { return dir_; }
    // Where the copy of `source` is (or would be) kept.
    QString copyPath(const QString& source) const;

    // The file to decode for `source`: its unpacked copy when it is an AVI with packed B-frames
    // (written now if there is none yet), otherwise `source` itself. Throws VideoDeviceError when
    // the copy cannot be written and VideoOpenCancelled when `progress` cancelled.
    QString fileToDecode(const QString& source, const PackedBFrames::Progress& progress = {}) const;

    static constexpr int kMaxCopies = 4;

private:
    void prune() const;

    QString dir_;
};

} // namespace kadro
