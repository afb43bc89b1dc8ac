#pragma once
// The generated videos the video tests run on, made once per machine into a cache folder
// (KADRO_TEST_VIDEO_DIR, or <temp>/kadro-test-videos).

#include "VideoGen.h"

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

// Processes events until `done` holds or `timeoutMs` passed; returns done().
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace kadro::test
