#include "BallScene.h"
#include "FreeFall.h"
#include "measure/model/tracking/ObjectTracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

using namespace kadro;
using videogen::BallScene;
using Status = TrackStep::Status;

namespace {

enum class Path { Falling, Thrown };
enum class Backdrop { Grey, Dark };

struct Case {
    Path path;
    Backdrop backdrop;
    int width;
    int height;
    double fps;
    double exposure;  // motion blur
    double noise;

    std::string name() const
    {
        char buf[96];
        std::snprintf(buf, sizeof buf, "%s_%s_%dx%d_%gfps%s%s", path == Path::Falling ? "falling" : "thrown",
                      backdrop == Backdrop::Grey ? "grey" : "dark", width, height, fps, exposure > 0 ? "_blur" : "",
                      noise > 0 ? "_noise" : "");
        return buf;
    }
};

// The ball's size grows with the picture, as in a film of the same scene: 7 px at 640 × 480.
double radiusFor(int width)
{
    return 7.0 * width / 640.0 + (width > 640 ? 0.3 : 0.0);
}

BallScene sceneFor(const Case& c)
{
    const double r = radiusFor(c.width);
    BallScene s = c.path == Path::Falling ? BallScene::falling(c.width, c.height, c.fps, r, 0.6)
                                          : BallScene::thrown(c.width, c.height, c.fps, r, 1.0);
    if (c.backdrop == Backdrop::Grey) {
        s.ball = 45;
        s.backgroundTop = 160;
        s.backgroundBottom = 115;
        s.texture = 8;
    } else {
        // A lit ball in a dark room.
        s.ball = 200;
        s.ballShading = 40;
        s.backgroundTop = 22;
        s.backgroundBottom = 12;
        s.texture = 3;
    }
    s.exposure = c.exposure;
    s.noise = c.noise;
    s.seed = 7;
    return s;
}

// The tracker's box: the ball with a rim of background around it.
TrackerSettings settingsFor(const BallScene& s)
{
    TrackerSettings t;
    t.boxSize = 2 * int(std::ceil(s.radius)) + 3;
    return t;
}

struct PathResult {
    int frames = 0;        // frames after the first that were tracked
    int found = 0;
    double rms = 0;        // distance of the found centres to the true ones
    double worst = 0;
    double gError = 0;     // relative error of g from the parabola fit of y(t)
    std::vector<TrackStep> steps;
};

// Starts at frame 0 on the true centre and tracks every following frame in which the ball is
// wholly visible (or up to `lastFrame`).
PathResult trackScene(const BallScene& scene, const TrackerSettings& settings, int lastFrame = -1)
{
    PathResult r;
    ObjectTracker tracker(settings);
    EXPECT_EQ(tracker.start(scene.render(0), scene.centreAt(0), 0), ObjectTracker::StartResult::Started);
    std::vector<double> t{0.0}, y{scene.centreAt(0).y()};
    double sum2 = 0;
    for (int n = 1; lastFrame < 0 ? scene.fullyVisible(n) : n <= lastFrame; ++n) {
        const TrackStep step = tracker.track(scene.render(n), n);
        r.steps.push_back(step);
        ++r.frames;
        if (!step.found())
            continue;
        ++r.found;
        const QPointF e = step.centre - scene.centreAt(n);
        const double d2 = e.x() * e.x() + e.y() * e.y();
        sum2 += d2;
        r.worst = std::max(r.worst, std::sqrt(d2));
        t.push_back(n / scene.fps);
        y.push_back(step.centre.y());
    }
    r.rms = r.found ? std::sqrt(sum2 / r.found) : 0;
    const videogen::Parabola fit = videogen::fitParabola(t, y);
    r.gError = (2 * fit.c - scene.acceleration.y()) / scene.acceleration.y();
    return r;
}

class TrackKnownPath : public ::testing::TestWithParam<Case> {};

} // namespace

// Every frame found, within 0.3 px RMS of the true centre, and g from the fit of y over time
// within 0.3 % of the scene's.
TEST_P(TrackKnownPath, FindsEveryFrameWithSubPixelAccuracy)
{
    const Case c = GetParam();
    const BallScene scene = sceneFor(c);
    const PathResult r = trackScene(scene, settingsFor(scene));
    std::printf("  %-40s frames %3d  found %3d  rms %.3f px  worst %.3f px  g error %+.3f %%\n", c.name().c_str(),
                r.frames, r.found, r.rms, r.worst, 100 * r.gError);
    ASSERT_GT(r.frames, 10);
    EXPECT_EQ(r.found, r.frames);
    EXPECT_LE(r.rms, 0.3);
    EXPECT_LE(std::abs(r.gError), 0.003);
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, TrackKnownPath,
    ::testing::Values(Case{Path::Falling, Backdrop::Grey, 640, 480, 25, 0, 0},
                      Case{Path::Falling, Backdrop::Grey, 640, 480, 50, 0, 0},
                      Case{Path::Falling, Backdrop::Grey, 640, 480, 60, 0.5, 2},
                      Case{Path::Falling, Backdrop::Dark, 640, 480, 25, 0.5, 3},
                      Case{Path::Falling, Backdrop::Dark, 640, 480, 50, 0, 2},
                      Case{Path::Thrown, Backdrop::Grey, 640, 480, 25, 0.5, 2},
                      Case{Path::Thrown, Backdrop::Grey, 640, 480, 50, 0, 0},
                      Case{Path::Thrown, Backdrop::Dark, 640, 480, 60, 0.5, 3},
                      Case{Path::Falling, Backdrop::Grey, 1920, 1080, 50, 0.5, 2},
                      Case{Path::Falling, Backdrop::Dark, 1920, 1080, 60, 0, 3},
                      Case{Path::Thrown, Backdrop::Grey, 1920, 1080, 60, 0.5, 3},
                      Case{Path::Thrown, Backdrop::Dark, 1920, 1080, 25, 0.5, 2}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name(); });
