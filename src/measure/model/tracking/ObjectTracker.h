#pragma once
// Finds an object again in the following frames of a video: the user clicks its centre once, the
// tracker takes its look (a square template around the click) and then, frame by frame, predicts
// where it moves, matches the template by normalised correlation in a search window around the
// prediction and reports the centre with sub-pixel precision, or that it did not find the object
// with confidence.
//
// Positions are in the frame's own pixels: x to the right, y downward, (0, 0) the centre of the
// top-left pixel (so the pixel (i, j) covers i - 0.5 .. i + 0.5 and j - 0.5 .. j + 0.5). Frames are
// matched in grey: a QImage::Format_Grayscale8 frame is read in place; any other format has only
// the pixels it needs converted to grey (QImage's conversion).

#include <QImage>
#include <QPointF>
#include <QtGlobal>

#include <memory>

namespace kadro {

struct TrackerSettings {
    // Side of the object's box (the template) in picture pixels.
    int boxSize = 15;
    // Side of the square searched around the predicted centre; 0 takes 3 × boxSize. The object
    // is found when its centre lies within (searchSize - boxSize) / 2 of the prediction.
    int searchSize = 0;
    // The least peak score (normalised correlation, -1 .. 1) that counts as found.
    double threshold = 0.6;
    // Also not found: a score more than this below the mean of the last scores found.
    double maxDrop = 0.25;
    // How far the template moves toward each new match (0: never, 1: the latest match alone).
    double evolveRate = 0.2;
    // The share of the first look in the template matched, so the evolving part cannot drift
    // away from the object (1: the first look alone, 0: the evolved template alone).
    double anchorWeight = 0.5;
    // The search window until the motion is known (fewer than two points): searchSize × this.
    double firstSearchFactor = 3.0;

    int effectiveSearchSize() const;
};

// The outcome of one frame.
struct TrackStep {
    enum class Status {
        Found,           // the object's centre is `centre`
        Uncertain,       // the best match scores below the threshold (or lies at the search
                         // window's edge even after a second search around it)
        ScoreDropped,    // the best match scores far below the last scores
        OutsidePicture,  // not found, and the object is leaving the picture: the box around the
                         // prediction reaches beyond it, or the best match lies at its edge
    };
    Status status = Status::Uncertain;
    // Found: the object's centre. Otherwise the best match's centre, or the prediction when none
    // could be matched (OutsidePicture).
    QPointF centre;
    // Where the object was expected in this frame.
    QPointF predicted;
    // The best match's score (0 when none could be matched).
    double score = 0;

    bool found() const { return status == Status::Found; }
};

class ObjectTracker {
public:
    enum class StartResult {
        Started,
        OutsidePicture,  // the box around the centre does not lie wholly in the picture
        NoContrast,      // the box is (nearly) one flat grey: nothing to match
    };

    explicit ObjectTracker(const TrackerSettings& settings = {});
    ~ObjectTracker();
    ObjectTracker(ObjectTracker&&) noexcept;
    ObjectTracker& operator=(ObjectTracker&&) noexcept;

    // Takes the object's look around `centre` in `frame` (the frame numbered `frameNumber`) as
    // the first look and the first point of the path; whatever was tracked before is forgotten.
    StartResult start(const QImage& frame, QPointF centre, qint64 frameNumber);

    // Finds the object in `frame`, numbered `frameNumber` (after the frames given before; gaps
    // are allowed, e.g. after frames in which the object was not found). A found centre becomes
    // the newest point of the path and evolves the template; otherwise nothing changes.
    TrackStep track(const QImage& frame, qint64 frameNumber);

    bool started() const;
    const TrackerSettings& settings() const;
    // Where the object is expected in the frame `frameNumber`: the last three points followed
    // with constant acceleration, else the last two with constant velocity, else the last point.
    QPointF predict(qint64 frameNumber) const;
    // The template matched now (first look and evolved look blended), as a grey picture.
    QImage templateImage() const;

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace kadro
