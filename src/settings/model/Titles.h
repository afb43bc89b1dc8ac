#pragma once
#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace kadro {

// The five start-page entries: a file (presentation or video) and the title shown for it.
struct TitlesTable {
    std::array<QString, 5> path;
    std::array<QString, 5> title;
    bool operator==(const TitlesTable&) const = default;
};

inline const QString kTitlesFileName = QStringLiteral("Titel.opt");

// Reads the titles file's text into `table`. Only the first colon of a line separates, so titles
// and paths may contain colons. At the first failure it stops silently; entries read before stay.
bool readTitlesText(const QByteArray& bytes, TitlesTable& table);
// The twelve lines of the titles file, Windows-1252 with CR LF.
QByteArray writeTitlesText(const TitlesTable& table);
// Writes the titles file; a failure (returns false) leaves the previous file as it was.
bool writeTitlesFile(const QString& path, const TitlesTable& table);

// The titles file holds each title and path on a line of its own in Windows-1252; a text with a
// character outside the code page or a line feed would not read back the same. The warning for
// a file chosen for an entry whose path cannot be stored; nothing when it can.
std::optional<QString> unwritableEntryPathWarning(const QString& path);
// The warning for a table with a title (or path) that cannot be stored; nothing when every cell
// can. Names the first such cell and its characters.
std::optional<QString> unwritableTitlesWarning(const TitlesTable& table);

} // namespace kadro
