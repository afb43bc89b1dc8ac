#pragma once
// What the container says about the video track, read with libavformat from the file's headers
// without decoding a picture: the container and codec, the frame rate the file states, and the
// rate of the recording where a phone wrote one into the metadata.

#include <QString>

namespace kadro {

struct StreamFacts {
    bool readable = false;  // libavformat could open the file and found the video track
    QString container;      // FFmpeg's name of the format ("avi", "mov,mp4,m4a,3gp,3g2,mj2", ...)
    QString codec;          // FFmpeg's name of the video codec ("h264", "mjpeg", ...)
    double statedRate = 0;  // frames per second the container states (0 if none)
    double captureRate = 0; // frames per second of the recording as the metadata names it (0 if none)
};

class StreamProbe {
public:
    // Reads the facts of video stream `track` (FFMS2's track number is the container's stream
    // index). Never throws; `readable` tells whether it worked.
    static StreamFacts facts(const QString& path, int track);

    // A frame rate written as text in the metadata ("240", "240.000000"); 0 if it is none.
    static double rateFromText(const char* text);
};

} // namespace kadro
