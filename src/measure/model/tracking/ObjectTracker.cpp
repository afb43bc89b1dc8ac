#include "measure/model/tracking/ObjectTracker.h"

#include <QRect>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <deque>
#include <numeric>

namespace kadro {

namespace {

// A template whose grey values spread less than this (standard deviation, 0..255) is taken for a
// flat patch: the correlation would match noise.
constexpr double kMinTemplateSpread = 3.0;
// The number of points the prediction uses and of scores the drop is measured against.
constexpr std::size_t kPathPoints = 3;
constexpr std::size_t kRecentScores = 5;

struct PathPoint {
    qint64 frame = 0;
    QPointF centre;
};

// The pixels of `r` (lying wholly inside `frame`) in grey, as floats 0..255.
cv::Mat greyRegion(const QImage& frame, const QRect& r)
{
    const cv::Rect roi(r.x(), r.y(), r.width(), r.height());
    cv::Mat out;
    switch (frame.format()) {
    case QImage::Format_Grayscale8: {
        const cv::Mat view(frame.height(), frame.width(), CV_8UC1, const_cast<uchar*>(frame.constBits()),
                           std::size_t(frame.bytesPerLine()));
        view(roi).convertTo(out, CV_32F);
        break;
    }
    case QImage::Format_Grayscale16: {
        const cv::Mat view(frame.height(), frame.width(), CV_16UC1, const_cast<uchar*>(frame.constBits()),
                           std::size_t(frame.bytesPerLine()));
        view(roi).convertTo(out, CV_32F, 1.0 / 257.0);
        break;
    }
    default: {
        const QImage grey = frame.copy(r).convertToFormat(QImage::Format_Grayscale8);
        const cv::Mat view(grey.height(), grey.width(), CV_8UC1, const_cast<uchar*>(grey.constBits()),
                           std::size_t(grey.bytesPerLine()));
        view.convertTo(out, CV_32F);
        break;
    }
    }
    return out;
}

// The offset of a maximum from the middle of three equally spaced scores, from the parabola
// through them (0 when they do not curve downward).
double parabolaPeak(double left, double middle, double right)
{
    const double curvature = left - 2.0 * middle + right;
    if (!(curvature < 0.0))
        return 0.0;
    return std::clamp(0.5 * (left - right) / curvature, -0.5, 0.5);
}

// The polynomial through the points (a parabola through three, a line through two) at frame t.
QPointF extrapolate(const std::deque<PathPoint>& points, double t)
{
    QPointF sum;
    for (std::size_t i = 0; i < points.size(); ++i) {
        double w = 1.0;
        for (std::size_t j = 0; j < points.size(); ++j) {
            if (j != i)
                w *= (t - double(points[j].frame)) / double(points[i].frame - points[j].frame);
        }
        sum += w * points[i].centre;
    }
    return sum;
}

} // namespace

int TrackerSettings::effectiveSearchSize() const
{
    return std::max(searchSize > 0 ? searchSize : 3 * boxSize, boxSize);
}

struct ObjectTracker::State {
    TrackerSettings settings;
    bool started = false;
    int box = 15;
    cv::Mat anchor;   // the first look (CV_32F, box × box)
    cv::Mat evolved;  // the look evolved toward the matches
    cv::Mat matched;  // anchorWeight × anchor + (1 - anchorWeight) × evolved: what is matched
    // The object's centre in the template's own pixel coordinates.
    QPointF centreInBox;
    std::deque<PathPoint> path;
    std::deque<double> scores;

    struct Match {
        bool matched = false;       // the window held the template at least once
        bool atPictureEdge = false; // the peak lies on a side where the window meets the picture's edge
        bool atWindowEdge = false;  // the peak lies on a side of the window inside the picture
        QPointF centre;
        double score = 0;
        cv::Mat window;             // the searched pixels, and the match's top-left corner in them
        cv::Point2d topLeftInWindow;
    };

    Match matchAround(const QImage& frame, QPointF centre, int side) const
    {
        Match m;
        // Top-left corners of the template within (side - box) / 2 of the one for `centre`.
        const int reach = std::max(0, (side - box) / 2);
        const int cx = int(std::lround(centre.x() - centreInBox.x()));
        const int cy = int(std::lround(centre.y() - centreInBox.y()));
        const QRect wanted(cx - reach, cy - reach, 2 * reach + box, 2 * reach + box);
        const QRect window = wanted.intersected(frame.rect());
        if (window.width() < box || window.height() < box) {
            m.centre = centre;
            m.atPictureEdge = true;
            return m;
        }
        m.window = greyRegion(frame, window);
        cv::Mat scores;
        cv::matchTemplate(m.window, matched, scores, cv::TM_CCOEFF_NORMED);
        double best = 0;
        cv::Point peak;
        cv::minMaxLoc(scores, nullptr, &best, nullptr, &peak);
        m.matched = true;
        m.score = std::isfinite(best) ? best : 0.0;

        // A peak on the border of the scores is no proven maximum: the object may lie beyond.
        const bool left = peak.x == 0, right = peak.x == scores.cols - 1;
        const bool top = peak.y == 0, bottom = peak.y == scores.rows - 1;
        const QRect picture = frame.rect();
        m.atPictureEdge = (left && window.left() == picture.left()) || (right && window.right() == picture.right())
                          || (top && window.top() == picture.top())
                          || (bottom && window.bottom() == picture.bottom());
        m.atWindowEdge = !m.atPictureEdge && (left || right || top || bottom);

        double dx = 0, dy = 0;
        if (!left && !right)
            dx = parabolaPeak(scores.at<float>(peak.y, peak.x - 1), scores.at<float>(peak.y, peak.x),
                              scores.at<float>(peak.y, peak.x + 1));
        if (!top && !bottom)
            dy = parabolaPeak(scores.at<float>(peak.y - 1, peak.x), scores.at<float>(peak.y, peak.x),
                              scores.at<float>(peak.y + 1, peak.x));
        m.topLeftInWindow = cv::Point2d(peak.x + dx, peak.y + dy);
        m.centre = QPointF(window.x() + peak.x + dx, window.y() + peak.y + dy) + centreInBox;
        return m;
    }

    void blend()
    {
        const double w = std::clamp(settings.anchorWeight, 0.0, 1.0);
        cv::addWeighted(anchor, w, evolved, 1.0 - w, 0.0, matched);
    }

    void accept(const Match& m, qint64 frameNumber)
    {
        const double rate = std::clamp(settings.evolveRate, 0.0, 1.0);
        if (rate > 0) {
            // The match at its sub-pixel place, so the object sits where it sits in the template.
            const double half = (box - 1) / 2.0;
            cv::Mat patch;
            cv::getRectSubPix(m.window, cv::Size(box, box),
                              cv::Point2f(float(m.topLeftInWindow.x + half), float(m.topLeftInWindow.y + half)),
                              patch, CV_32F);
            cv::addWeighted(evolved, 1.0 - rate, patch, rate, 0.0, evolved);
            blend();
        }
        // The path runs forward in time: a frame tracked again replaces what followed it.
        while (!path.empty() && path.back().frame >= frameNumber)
            path.pop_back();
        path.push_back({frameNumber, m.centre});
        while (path.size() > kPathPoints)
            path.pop_front();
        scores.push_back(m.score);
        while (scores.size() > kRecentScores)
            scores.pop_front();
    }
};

ObjectTracker::ObjectTracker(const TrackerSettings& settings)
    : d(std::make_unique<State>())
{
    d->settings = settings;
    d->settings.boxSize = std::max(3, settings.boxSize);
}

ObjectTracker::~ObjectTracker() = default;
ObjectTracker::ObjectTracker(ObjectTracker&&) noexcept = default;
ObjectTracker& ObjectTracker::operator=(ObjectTracker&&) noexcept = default;

bool ObjectTracker::started() const
{
    return d->started;
}

const TrackerSettings& ObjectTracker::settings() const
{
    return d->settings;
}

ObjectTracker::StartResult ObjectTracker::start(const QImage& frame, QPointF centre, qint64 frameNumber)
{
    State& s = *d;
    s.started = false;
    s.path.clear();
    s.scores.clear();
    s.box = s.settings.boxSize;
    const double half = (s.box - 1) / 2.0;
    const int left = int(std::lround(centre.x() - half));
    const int top = int(std::lround(centre.y() - half));
    const QRect boxRect(left, top, s.box, s.box);
    if (!frame.rect().contains(boxRect))
        return StartResult::OutsidePicture;
    cv::Mat look = greyRegion(frame, boxRect);
    cv::Scalar mean, spread;
    cv::meanStdDev(look, mean, spread);
    if (spread[0] < kMinTemplateSpread)
        return StartResult::NoContrast;
    s.anchor = look;
    s.evolved = look.clone();
    s.blend();
    s.centreInBox = centre - QPointF(left, top);
    s.path.push_back({frameNumber, centre});
    s.started = true;
    return StartResult::Started;
}

QPointF ObjectTracker::predict(qint64 frameNumber) const
{
    if (d->path.empty())
        return {};
    return extrapolate(d->path, double(frameNumber));
}

TrackStep ObjectTracker::track(const QImage& frame, qint64 frameNumber)
{
    State& s = *d;
    TrackStep step;
    if (!s.started) {
        step.status = TrackStep::Status::Uncertain;
        return step;
    }
    step.predicted = predict(frameNumber);
    int side = s.settings.effectiveSearchSize();
    if (s.path.size() < 2)
        side = int(std::lround(side * std::max(1.0, s.settings.firstSearchFactor)));
    State::Match m = s.matchAround(frame, step.predicted, side);
    if (m.atWindowEdge) {
        // Faster than predicted: look again around the best place found.
        State::Match again = s.matchAround(frame, m.centre, side);
        if (again.matched && again.score >= m.score)
            m = std::move(again);
    }
    step.centre = m.centre;
    step.score = m.score;
    // Where the object was expected, its box would reach beyond the picture.
    const QPointF corner = step.predicted - s.centreInBox;
    const QRect expectedBox(int(std::lround(corner.x())), int(std::lround(corner.y())), s.box, s.box);
    const bool expectedOutside = !frame.rect().contains(expectedBox);
    const double recent = s.scores.empty()
                              ? 1.0
                              : std::accumulate(s.scores.begin(), s.scores.end(), 0.0) / double(s.scores.size());
    if (m.atPictureEdge)
        step.status = TrackStep::Status::OutsidePicture;
    else if (m.atWindowEdge || m.score < s.settings.threshold)
        step.status = TrackStep::Status::Uncertain;
    else if (m.score < recent - s.settings.maxDrop)
        step.status = TrackStep::Status::ScoreDropped;
    else
        step.status = TrackStep::Status::Found;
    if (!step.found()) {
        if (expectedOutside)
            step.status = TrackStep::Status::OutsidePicture;
        return step;
    }
    s.accept(m, frameNumber);
    return step;
}

QImage ObjectTracker::templateImage() const
{
    if (!d->started)
        return {};
    const int box = d->box;
    QImage out(box, box, QImage::Format_Grayscale8);
    for (int y = 0; y < box; ++y) {
        uchar* row = out.scanLine(y);
        for (int x = 0; x < box; ++x)
            row[x] = uchar(std::clamp(std::lround(d->matched.at<float>(y, x)), 0L, 255L));
    }
    return out;
}

} // namespace kadro
