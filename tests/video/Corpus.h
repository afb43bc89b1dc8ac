#pragma once
// The generated videos the video tests run on, made once per machine into a cache folder
// (KADRO_TEST_VIDEO_DIR, or <temp>/kadro-test-videos).

#include "VideoGen.h"

#include <QImage>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace kadro::test {

struct CorpusVideo {
    std::string name; // test-name friendly
    videogen::Spec spec;
};

// One video per format at 320 x 240, plus H.264 at 1920 x 1080 and packed B-frames at 720 x 528.
const std::vector<CorpusVideo>& corpus();
const CorpusVideo& corpusVideo(const std::string& name);

// Path of the generated file (generated on first use); empty with a test failure on error.
QString videoPath(const videogen::Spec& spec);

// The number each frame shows when the file is decoded linearly from the start.
std::vector<int> referenceNumbers(const QString& path);

// A real clip of tests/data/real (see its README).
QString realClip(const QString& name);

// FFmpeg's own linear decode of the file's video, every picture it outputs in order, scaled to
// `size` (area averaging) as RGB32: the reference for files whose pictures carry no numbers.
std::vector<QImage> ffmpegPictures(const QString& path, const QSize& size);

// Mean absolute difference of the green channel of two pictures of one size (0..255).
double pictureDifference(const QImage& a, const QImage& b);

// Processes events until `done` holds or `timeoutMs` passed; returns done().
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace kadro::test
