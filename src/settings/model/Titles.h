#pragma once
#include <QByteArray>
#include <QString>
#include <array>

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

} // namespace kadro
