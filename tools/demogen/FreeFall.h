#pragma once
// The demo video: a ball released from rest falls 1 m under g = 9.81 m/s², filmed from the side
// in front of a 1 m scale bar. 50 frames per second (time step 20 ms), 384 × 288 pixels, so the
// picture fills the player's surface without scaling. The scale is 250 pixels per metre.

#include <QImage>
#include <QPointF>
#include <QString>

namespace kadro::demo {

constexpr int kWidth = 384;
constexpr int kHeight = 288;
constexpr int kFps = 50;
constexpr int kTimeStepMs = 20;
constexpr double kG = 9.81;
constexpr double kPixelsPerMetre = 250.0;
constexpr double kFallHeight = 1.0;  // metres
constexpr int kReleaseFrame = 25;    // the ball is let go at this frame (t = 0)
constexpr int kFrames = 80;
constexpr double kBallRadius = 7.0;  // pixels
constexpr double kBallX = 230.0;
constexpr double kTopY = 22.0;       // ball centre at rest; also the top of the scale bar

// Time since release of frame n (negative before the release).
double timeOf(int frame);
// Exact centre of the ball in frame n, in pixels (y grows downwards), resting on the floor
// once it has fallen the whole height.
QPointF ballCentre(int frame);
// Last frame in which the ball is still falling freely.
int lastFreeFallFrame();

QImage renderFrame(int frame, int width = kWidth, int height = kHeight);

constexpr int kSections = 4;

// Writes "FreierFall.avi", "FreierFall.vst" and the presentation folder "FreierFall" with one RTF
// memo file per section (1.mem .. 4.mem) into `dir` (created if needed). Returns false and sets
// *error on failure.
bool writeDemo(const QString& dir, QString* error = nullptr);

// Text of the demo's presentation file, naming the video by `videoPath`. Every section shows its
// memo.
QByteArray presentationText(const QString& videoPath);

// The memo file of a section (1..kSections): what to watch for and what to measure, as RTF.
QByteArray memoFileText(int section);

} // namespace kadro::demo
