#include "BallScene.h"
#include "FreeFall.h"
#include "measure/model/tracking/ObjectTracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
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
    double exposure;  // motion blur: the shutter open this share of the frame's time
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

// Names the case in gtest's messages.
[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name();
}

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
    double worstPrediction = 0;  // from the third frame on, when three points are known
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
        if (n >= 3 && r.found == n - 1) {
            const QPointF p = step.predicted - scene.centreAt(n);
            r.worstPrediction = std::max(r.worstPrediction, std::hypot(p.x(), p.y()));
        }
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
// within 0.3 % of the scene's. The prediction follows the acceleration: a prediction by velocity
// alone would miss by g / fps² (3.4 px at 640 × 480 and 25 fps, 1.3 px at 1080p and 60 fps),
// which the search window still covers, so this is checked apart.
TEST_P(TrackKnownPath, FindsEveryFrameWithSubPixelAccuracy)
{
    const Case c = GetParam();
    const BallScene scene = sceneFor(c);
    const PathResult r = trackScene(scene, settingsFor(scene));
    std::printf("  %-40s frames %3d  found %3d  rms %.3f px  worst %.3f px  g error %+.3f %%  prediction %.2f px\n",
                c.name().c_str(), r.frames, r.found, r.rms, r.worst, 100 * r.gError, r.worstPrediction);
    ASSERT_GT(r.frames, 10);
    EXPECT_EQ(r.found, r.frames);
    EXPECT_LE(r.rms, 0.3);
    EXPECT_LE(std::abs(r.gError), 0.003);
    if (c.exposure == 0) {  // the blurred centres scatter more, and the prediction with them
        EXPECT_LE(r.worstPrediction, 1.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, TrackKnownPath,
    ::testing::Values(Case{Path::Falling, Backdrop::Grey, 640, 480, 25, 0, 0},
                      Case{Path::Falling, Backdrop::Grey, 640, 480, 50, 0, 0},
                      Case{Path::Falling, Backdrop::Grey, 640, 480, 60, 0.25, 2},
                      Case{Path::Falling, Backdrop::Dark, 640, 480, 25, 0.25, 3},
                      Case{Path::Falling, Backdrop::Dark, 640, 480, 50, 0, 2},
                      Case{Path::Thrown, Backdrop::Grey, 640, 480, 25, 0.25, 2},
                      Case{Path::Thrown, Backdrop::Grey, 640, 480, 50, 0, 0},
                      Case{Path::Thrown, Backdrop::Dark, 640, 480, 60, 0.25, 3},
                      Case{Path::Falling, Backdrop::Grey, 1920, 1080, 50, 0.25, 2},
                      Case{Path::Falling, Backdrop::Dark, 1920, 1080, 60, 0, 3},
                      Case{Path::Thrown, Backdrop::Grey, 1920, 1080, 60, 0.25, 3},
                      Case{Path::Thrown, Backdrop::Dark, 1920, 1080, 25, 0.25, 2}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name(); });

namespace {

// Tracks from frame 0 until the first frame in which the object is not found; returns that frame
// (or -1) and checks every centre found before it against the truth.
int trackUntilLost(const BallScene& scene, const TrackerSettings& settings, int lastFrame, double tolerance,
                   TrackStep* lost = nullptr, int firstFrame = 0)
{
    ObjectTracker tracker(settings);
    EXPECT_EQ(tracker.start(scene.render(firstFrame), scene.centreAt(firstFrame), firstFrame),
              ObjectTracker::StartResult::Started);
    for (int n = firstFrame + 1; n <= lastFrame; ++n) {
        const TrackStep step = tracker.track(scene.render(n), n);
        if (!step.found()) {
            if (lost)
                *lost = step;
            return n;
        }
        const QPointF e = step.centre - scene.centreAt(n);
        EXPECT_LE(std::hypot(e.x(), e.y()), tolerance) << "frame " << n;
    }
    return -1;
}

} // namespace

// A ball leaving the picture is reported as not found once its box no longer fits, never as a
// point stuck at the edge.
TEST(ObjectTracker, BallLeavingThePictureIsReportedNotFound)
{
    for (const Backdrop backdrop : {Backdrop::Grey, Backdrop::Dark}) {
        BallScene scene = sceneFor(Case{Path::Thrown, backdrop, 640, 480, 50, 0.25, 2});
        scene.velocity.setX(scene.velocity.x() * 1.6);  // out at the right before it comes down
        const TrackerSettings settings = settingsFor(scene);
        TrackStep lost;
        const int frame = trackUntilLost(scene, settings, 60, 0.5, &lost);
        ASSERT_GT(frame, 0);
        const double half = settings.boxSize / 2.0;
        // Lost only when the ball came within its box's half of the edge.
        EXPECT_GT(scene.centreAt(frame).x(), scene.width - 1 - half - 1.0) << frame;
        EXPECT_EQ(lost.status, Status::OutsidePicture) << frame;
    }
}

// A bar in front of the ball: lost as soon as the bar covers it noticeably, without a jump before;
// a fresh start below the bar goes on as before.
TEST(ObjectTracker, CoveredBallIsReportedNotFoundAndAFreshStartGoesOn)
{
    for (const Backdrop backdrop : {Backdrop::Grey, Backdrop::Dark}) {
        BallScene scene = sceneFor(Case{Path::Falling, backdrop, 640, 480, 50, 0, 2});
        scene.cover = QRectF(0, 250, 640, 40);
        scene.coverGrey = backdrop == Backdrop::Grey ? 90 : 60;
        const TrackerSettings settings = settingsFor(scene);
        TrackStep lost;
        const int frame = trackUntilLost(scene, settings, 30, 0.6, &lost);
        ASSERT_GT(frame, 0);
        EXPECT_FALSE(scene.fullyVisible(frame)) << frame;
        EXPECT_NE(lost.status, Status::Found);
        // The first frame in which the ball shows again wholly below the bar.
        int below = frame;
        while (!scene.fullyVisible(below))
            ++below;
        EXPECT_EQ(trackUntilLost(scene, settings, 30, 0.3, nullptr, below), -1);
    }
}

TEST(ObjectTracker, StartNeedsTheBoxInThePictureAndSomethingToMatch)
{
    const BallScene scene = sceneFor(Case{Path::Falling, Backdrop::Grey, 640, 480, 50, 0, 0});
    const QImage frame = scene.render(0);
    ObjectTracker tracker;
    EXPECT_EQ(tracker.start(frame, QPointF(6.4, 200), 0), ObjectTracker::StartResult::OutsidePicture);
    EXPECT_EQ(tracker.start(frame, QPointF(300, 476), 0), ObjectTracker::StartResult::OutsidePicture);
    EXPECT_FALSE(tracker.started());
    EXPECT_FALSE(tracker.track(frame, 1).found());
    // A flat wall: nothing to match.
    QImage flat(640, 480, QImage::Format_Grayscale8);
    flat.fill(128);
    EXPECT_EQ(tracker.start(flat, QPointF(300, 200), 0), ObjectTracker::StartResult::NoContrast);
    // The box just fits at the corner.
    BallScene corner = scene;
    corner.start = QPointF(7, 7);
    EXPECT_EQ(tracker.start(corner.render(0), QPointF(7, 7), 0), ObjectTracker::StartResult::Started);
    EXPECT_EQ(tracker.templateImage().size(), QSize(15, 15));
}

// The demo presentation's fall, tracked on its own pictures (RGB, 384 × 288, drawn by QPainter)
// from the release on: the centres and g as the demo was made.
TEST(ObjectTracker, TracksTheDemoFall)
{
    TrackerSettings settings;  // the defaults: a 15 px box for the 14 px ball
    ObjectTracker tracker(settings);
    const int first = demo::kReleaseFrame;
    ASSERT_EQ(tracker.start(demo::renderFrame(first), demo::ballCentre(first), first),
              ObjectTracker::StartResult::Started);
    std::vector<double> t{demo::timeOf(first)}, y{demo::ballCentre(first).y()};
    double sum2 = 0;
    int n = first + 1;
    for (; n <= demo::lastFreeFallFrame(); ++n) {
        const TrackStep step = tracker.track(demo::renderFrame(n), n);
        ASSERT_TRUE(step.found()) << n;
        const QPointF e = step.centre - demo::ballCentre(n);
        sum2 += e.x() * e.x() + e.y() * e.y();
        t.push_back(demo::timeOf(n));
        y.push_back(step.centre.y());
    }
    const double rms = std::sqrt(sum2 / double(n - first - 1));
    const videogen::Parabola fit = videogen::fitParabola(t, y);
    const double g = 2 * fit.c / demo::kPixelsPerMetre;
    std::printf("  demo fall: %d frames, rms %.3f px, g = %.4f m/s²\n", n - first - 1, rms, g);
    EXPECT_LE(rms, 0.3);
    EXPECT_NEAR(g, demo::kG, 0.003 * demo::kG);
}
