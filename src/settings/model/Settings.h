#pragma once
#include "common/UserSettings.h"

#include <QByteArray>
#include <QString>

namespace kadro {

// Reads the settings file's text into `settings`. It goes by colons, blanks and line ends,
// not by labels; at the first failure it stops silently, keeping every value read so far.
// Returns false if the reading stopped early.
bool readSettingsText(const QByteArray& bytes, Settings& settings);
// The seven lines of the settings file, Windows-1252 with CR LF.
QByteArray writeSettingsText(const Settings& settings);

// File name of the settings file, resolved against the working directory.
inline const QString kSettingsFileName = QStringLiteral("Optionen.opt");

// Whole-file helpers: a missing or unreadable file changes nothing; writing never reports and
// never truncates the previous file on failure.
void readSettingsFile(const QString& path, Settings& settings);
bool writeSettingsFile(const QString& path, const Settings& settings);

} // namespace kadro
