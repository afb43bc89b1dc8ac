// kadro-track-bench: how fast and how exactly the object tracker follows a ball on a known path,
// on generated 640 × 480 and 1920 × 1080 sequences (a falling ball on a grey wall and a thrown
// lit ball in a dark room, 60 fps, motion blur with the shutter open a quarter of the frame,
// noise).
//  - track_fps: the frames are drawn before the clock starts, so the figures are the tracker's
//    alone, on grey frames and on RGB32 frames (each search window converted to grey);
//  - video_fps: the same scenes written as H.264 MP4 (a phone's format) and read back at full
//    resolution with FFMS2, one frame after the other, decoded to grey and tracked: decoding
//    and tracking together, the accuracy after lossy compression.
//
// Output: one line per sequence and way
//   metric=<track_fps|video_fps>_<sequence>_<format> fps=<frames per second> frames=<n>
//          found=<n> rms_px=<distance to the true centre> g_error_pct=<of the fit of y over time>
// and, last, the slowest video_fps per picture size against its goal:
//   goal <size> fps=<slowest> goal=<30 or 10> met|missed

#include "BallScene.h"
#include "VideoGen.h"
#include "measure/model/tracking/ObjectTracker.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <ffms.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kadro;
using videogen::BallScene;

namespace {

struct Sequence {
    std::string name;
    BallScene scene;
    TrackerSettings settings;
    int frames = 0;
};

Sequence makeSequence(bool thrown, int width, int height)
{
    const double fps = 60;
    const double radius = 7.0 * width / 640.0;
    Sequence s;
    s.scene = thrown ? BallScene::thrown(width, height, fps, radius, 1.0)
                     : BallScene::falling(width, height, fps, radius, 0.6);
    if (thrown) {
        s.scene.ball = 200;
        s.scene.ballShading = 40;
        s.scene.backgroundTop = 22;
        s.scene.backgroundBottom = 12;
        s.scene.texture = 3;
    } else {
        s.scene.ball = 45;
        s.scene.backgroundTop = 160;
        s.scene.backgroundBottom = 115;
        s.scene.texture = 8;
    }
    s.scene.exposure = 0.25;
    s.scene.noise = 2.5;
    s.scene.seed = 11;
    s.settings.boxSize = 2 * int(std::ceil(radius)) + 3;
    s.frames = 0;
    while (s.scene.fullyVisible(s.frames + 1))
        ++s.frames;
    s.name = std::string(thrown ? "thrown_dark_" : "falling_grey_") + std::to_string(width) + "x" + std::to_string(height);
    return s;
}

struct Outcome {
    double fps = 0;
    int found = 0;
    double rms = 0;
    double gError = 0;
};

void judge(const Sequence& s, const std::vector<TrackStep>& steps, Outcome& out)
{
    std::vector<double> t{0.0}, y{s.scene.centreAt(0).y()};
    double sum2 = 0;
    out.found = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (!steps[i].found())
            continue;
        const int n = int(i) + 1;
        const QPointF e = steps[i].centre - s.scene.centreAt(n);
        sum2 += e.x() * e.x() + e.y() * e.y();
        ++out.found;
        t.push_back(n / s.scene.fps);
        y.push_back(steps[i].centre.y());
    }
    out.rms = out.found ? std::sqrt(sum2 / out.found) : 0;
    const videogen::Parabola fit = videogen::fitParabola(t, y);
    out.gError = (2 * fit.c - s.scene.acceleration.y()) / s.scene.acceleration.y();
}

Outcome run(const Sequence& s, const std::vector<QImage>& frames, int passes)
{
    Outcome out;
    double bestSeconds = 1e300;
    for (int pass = 0; pass < passes; ++pass) {
        ObjectTracker tracker(s.settings);
        tracker.start(frames[0], s.scene.centreAt(0), 0);
        std::vector<TrackStep> steps;
        steps.reserve(frames.size());
        QElapsedTimer timer;
        timer.start();
        for (std::size_t n = 1; n < frames.size(); ++n)
            steps.push_back(tracker.track(frames[n], qint64(n)));
        bestSeconds = std::min(bestSeconds, double(timer.nsecsElapsed()) / 1e9);
        if (pass == 0)
            judge(s, steps, out);
    }
    out.fps = double(frames.size() - 1) / bestSeconds;
    return out;
}

struct FfmsErr {
    char text[1024] = {};
    FFMS_ErrorInfo info{FFMS_ERROR_SUCCESS, FFMS_ERROR_SUCCESS, int(sizeof text), text};
};

// Writes the sequence as H.264 MP4, then reads it with FFMS2 frame after frame in grey at its
// own size and tracks each frame as it comes (the clock runs from the first frame asked for).
Outcome runVideo(const Sequence& s, const QString& dir, int passes)
{
    videogen::Spec spec;
    spec.format = videogen::Format::H264Mp4;
    spec.width = s.scene.width;
    spec.height = s.scene.height;
    spec.frames = s.frames + 1;
    spec.fps = int(s.scene.fps);
    spec.render = [&s](int n, int, int) { return s.scene.render(n).convertToFormat(QImage::Format_RGB32); };
    const QString path = dir + "/" + QString::fromStdString(s.name) + ".mp4";
    QString error;
    if (!videogen::generate(spec, path, &error))
        throw std::runtime_error(error.toStdString());

    const QByteArray file = QFile::encodeName(path);
    FfmsErr err;
    FFMS_Indexer* ix = FFMS_CreateIndexer(file.constData(), &err.info);
    if (!ix)
        throw std::runtime_error(err.text);
    FFMS_Index* index = FFMS_DoIndexing2(ix, FFMS_IEH_ABORT, &err.info);
    if (!index)
        throw std::runtime_error(err.text);
    const int track = FFMS_GetFirstTrackOfType(index, FFMS_TYPE_VIDEO, &err.info);

    Outcome out;
    double bestSeconds = 1e300;
    for (int pass = 0; pass < passes; ++pass) {
        FFMS_VideoSource* source = FFMS_CreateVideoSource(file.constData(), track, index, 1, FFMS_SEEK_NORMAL, &err.info);
        if (!source)
            throw std::runtime_error(err.text);
        const int formats[] = {FFMS_GetPixFmt("gray"), -1};
        FFMS_SetOutputFormatV2(source, formats, spec.width, spec.height, FFMS_RESIZER_BICUBIC, &err.info);
        auto grey = [&](int n) {
            const FFMS_Frame* f = FFMS_GetFrame(source, n, &err.info);
            if (!f)
                throw std::runtime_error(err.text);
            return QImage(f->Data[0], f->ScaledWidth, f->ScaledHeight, f->Linesize[0], QImage::Format_Grayscale8);
        };
        ObjectTracker tracker(s.settings);
        std::vector<TrackStep> steps;
        QElapsedTimer timer;
        timer.start();
        tracker.start(grey(0), s.scene.centreAt(0), 0);
        for (int n = 1; n <= s.frames; ++n)
            steps.push_back(tracker.track(grey(n), n));
        bestSeconds = std::min(bestSeconds, double(timer.nsecsElapsed()) / 1e9);
        FFMS_DestroyVideoSource(source);
        if (pass == 0)
            judge(s, steps, out);
    }
    FFMS_DestroyIndex(index);
    out.fps = double(s.frames + 1) / bestSeconds;
    return out;
}

void print(const char* way, const Sequence& s, const char* format, const Outcome& o)
{
    std::printf("metric=%s_%s_%s fps=%.0f frames=%d found=%d rms_px=%.3f g_error_pct=%+.3f\n", way, s.name.c_str(),
                format, o.fps, s.frames, o.found, o.rms, 100 * o.gError);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    FFMS_Init(0, 0);
    QTemporaryDir dir;
    std::map<int, double> slowest;  // video_fps per picture height
    for (const auto& [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}}) {
        for (const bool thrown : {false, true}) {
            const Sequence s = makeSequence(thrown, w, h);
            std::vector<QImage> grey, rgb;
            for (int n = 0; n <= s.frames; ++n) {
                grey.push_back(s.scene.render(n));
                rgb.push_back(grey.back().convertToFormat(QImage::Format_RGB32));
            }
            print("track_fps", s, "grey8", run(s, grey, 5));
            print("track_fps", s, "rgb32", run(s, rgb, 5));
            const Outcome video = runVideo(s, dir.path(), 3);
            print("video_fps", s, "h264", video);
            auto it = slowest.find(h);
            slowest[h] = it == slowest.end() ? video.fps : std::min(it->second, video.fps);
        }
    }
    for (const auto& [h, fps] : slowest) {
        const double goal = h >= 1080 ? 10 : 30;
        std::printf("goal %s fps=%.0f goal=%.0f %s\n", h >= 1080 ? "1920x1080" : "640x480", fps, goal,
                    fps >= goal ? "met" : "missed");
    }
    return 0;
}
