#pragma once
// What the container says about the video track, read with libavformat from the file's headers
// without decoding a picture: the container and codec, the frame rate the file states, and the
// rate of the recording where a phone wrote one into the metadata; and whether the structure of
// the first keyframe intervals settles that FFMS2's normal seeking lands exactly.
//
// FFMS2 seeks to the keyframe before a frame, takes the time stamp of the first packet it reads
// for the frame it landed on, and counts the decoder's output from there. That count is right when
// every keyframe is an instantaneous decoder refresh (H.264 IDR, HEVC IDR) with no picture decoded
// after it but shown before it (no open GOP, no leading pictures), when every packet carries its
// own presentation time stamp and none is to be dropped by an edit list, and when the index holds
// exactly these packets as its frames, one each. Then the decoder restarts cleanly at each
// keyframe and drops nothing, and the landing is known. Files of other codecs or containers are
// checked by decoding (SeekCheck).

#include <QString>

#include <cstdint>
#include <vector>

namespace kadro {

struct StreamFacts {
    bool readable = false;  // libavformat could open the file and found the video track
    QString container;      // FFmpeg's name of the format ("avi", "mov,mp4,m4a,3gp,3g2,mj2", ...)
    QString codec;          // FFmpeg's name of the video codec ("h264", "mjpeg", ...)
    double statedRate = 0;  // frames per second the container states (0 if none)
    double captureRate = 0; // frames per second of the recording as the metadata names it (0 if none)
};

// The verdict on the structure of the first keyframe intervals.
struct StructureVerdict {
    bool seekable = false; // FFMS2's normal seeking lands exactly (see above)
    int keyframes = 0;     // keyframes looked at
    int packets = 0;       // video packets looked at
    QString reason;
};

class StreamProbe {
public:
    // Reads the facts of video stream `track` (FFMS2's track number is the container's stream
    // index). Never throws; `readable` tells whether it worked.
    static StreamFacts facts(const QString& path, int track);

    // Looks at the packets of the first `keyframes` keyframe intervals (at most `maxPackets`
    // packets of the track) and compares them with the index's time stamps of the frames
    // (`indexPts`, display order, in the stream's time base). Never throws.
    static StructureVerdict structure(const QString& path, int track, const std::vector<int64_t>& indexPts,
                                      int keyframes = 4, int maxPackets = 4000);

    // Whether the video has reordered (B) pictures, told from the picture types FFmpeg's parser
    // reads from the headers of the first `maxPackets` packets of track `track` (it stops at the
    // first B picture), without decoding. Only for codecs whose parser reports every picture's
    // type (MPEG-4 Visual as Xvid and DivX write it, H.264, MPEG-1/2), for codecs that never
    // reorder and for intra-only video (every packet a keyframe); otherwise, or when the file
    // cannot be read, it cannot tell.
    enum class Reordering { No, Yes, Unknown };
    static Reordering reordering(const QString& path, int track, int maxPackets);

    // Whether the H.264 / HEVC access unit `data` holds an instantaneous decoder refresh picture
    // and no other picture (for HEVC: IDR_W_RADL or IDR_N_LP). `lengthSize`: bytes of the NAL
    // length prefix (1, 2 or 4), 0 for start codes (Annex B).
    static bool isIdrH264(const uint8_t* data, int size, int lengthSize);
    static bool isIdrHevc(const uint8_t* data, int size, int lengthSize);
    // The NAL length prefix size declared by avcC / hvcC extradata; 0 for Annex B.
    static int lengthSizeH264(const uint8_t* extradata, int size);
    static int lengthSizeHevc(const uint8_t* extradata, int size);

    // A frame rate written as text in the metadata ("240", "240.000000"); 0 if it is none.
    static double rateFromText(const char* text);
};

} // namespace kadro
