#pragma once
// Progress of preparing a video for showing (unpacking, indexing the file, checking how it may be
// seeked). For a large file this takes seconds; the user sees how far it is and can cancel it. The
// engine only reports; the program's dialog lives with the views (DialogOpenProgress).

#include <QtGlobal>

#include <functional>
#include <memory>

namespace kadro {

class OpenProgress {
public:
    virtual ~OpenProgress() = default;
    // Reports that `done` of `total` parts of the preparation are done. Called often (for every
    // packet read while indexing), so it should be cheap. Returns false when the user cancelled.
    virtual bool report(qint64 done, qint64 total) = 0;
};

// Makes the progress of one open (may return null: then nothing is reported).
using OpenProgressFactory = std::function<std::unique_ptr<OpenProgress>()>;

// The steps of the preparation, each mapped onto its share of the whole (0 .. kTotal) and passed
// on to an OpenProgress (which may be null). Once cancelled, it stays cancelled.
class ProgressPhases {
public:
    static constexpr qint64 kTotal = 1000;
    explicit ProgressPhases(OpenProgress* sink) : sink_(sink) {}

    // The following reports cover from .. to of the whole.
    void setPhase(qint64 from, qint64 to);
    // Reports `done` of `total` of the current phase; false once cancelled.
    bool report(qint64 done, qint64 total);
    // As report(), but throws VideoOpenCancelled once cancelled.
    void step(qint64 done, qint64 total);
    bool cancelled() const { return cancelled_; }

private:
    OpenProgress* sink_;
    qint64 from_ = 0;
    qint64 to_ = kTotal;
    bool cancelled_ = false;
};

} // namespace kadro
