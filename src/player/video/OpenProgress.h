#pragma once
// Progress of preparing a video for showing (indexing the file, checking how it may be seeked).
// For a large file this takes seconds; the user sees how far it is and can cancel it. The engine
// only reports; the program's dialog lives with the views (DialogOpenProgress).

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

} // namespace kadro
