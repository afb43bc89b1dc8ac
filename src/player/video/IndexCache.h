#pragma once
// The FFMS2 index of a video (video and audio tracks) kept on disk, together with what the frame
// source learned about the file by decoding it (picture size, pixel aspect, the verdict of the seek
// check), so that opening the same file again needs neither indexing nor the seek check.
//
// One entry per file path, in a per-user cache folder. An entry is used only while the file has
// the size and modification time it had when the entry was written and FFMS2 confirms the index
// belongs to the file (size plus hashes of its first and last MiB); otherwise, and whenever an
// entry cannot be read, it counts as missing and the file is indexed again. (A change in the
// middle of a file larger than 2 MiB that keeps both its size and its modification time goes
// unnoticed: hashing whole videos would make the second open as slow as the first.)

#include "player/video/FfmsSupport.h"
#include "player/video/SeekCheck.h"

#include <QSize>
#include <QString>

#include <optional>

namespace kadro {

class IndexCache {
public:
    using Verdict = SeekVerdict;
    struct Entry {
        FfmsIndexPtr index;
        QString container;
        std::optional<Verdict> verdict;
    };

    // `dir` empty: the folder named by KADRO_INDEX_CACHE_DIR, else "video-index" in the user's
    // cache location.
    explicit IndexCache(const QString& dir = {});

    static QString defaultDir();
    QString dir() const { return dir_; }
    // The file an entry for `videoPath` is stored in.
    QString entryPath(const QString& videoPath) const;

    // The entry of the file, or nothing (no entry, unreadable entry, or the file changed since).
    std::optional<Entry> load(const QString& videoPath) const;
    // Writes the entry of the file (replacing any older one); false if it could not be written.
    bool store(const QString& videoPath, FFMS_Index* index, const QString& container,
               const std::optional<Verdict>& verdict) const;

    // Most entries kept; older ones are removed when a new one is written.
    static constexpr int kMaxEntries = 300;

private:
    void prune() const;

    QString dir_;
};

} // namespace kadro
