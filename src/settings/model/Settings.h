#pragma once
#include <QByteArray>
#include <QColor>
#include <QString>
#include <array>

namespace kadro {

// The six diagram colours by index: weiß, schwarz, rot, lime, blau, gelb.
struct SettingsColour {
    static constexpr int Count = 6;
    static QColor colour(int index);
    static QString name(int index);
};

enum class Transition { VonHand, OhnePause, MitPause };

// Order of the default mark options as stored on the "Optionen:" line.
enum MarkOption {
    OptStartPause = 0,
    OptEinzelbild,
    OptZeitlupe,
    OptSchieberegler,
    OptFrameanzeige,
    OptZeitanzeige,
    OptAutostart,
    OptAuswertung,
    MarkOptionCount
};

// The user settings. Numbers the user types stay text, exactly as typed, until they are used.
struct Settings {
    bool sound = false;
    bool cursorArrow = true; // "Pfeil"; false = "Kreuz"
    QString dtNormal = QStringLiteral("40");
    QString dtSlow = QStringLiteral("200");
    std::array<bool, MarkOptionCount> options{};
    Transition transition = Transition::VonHand;
    QString pause = QStringLiteral("10");
    QString fontName;
    QString fontSize = QStringLiteral("10");
    int axisColour = 0;
    int pointColour = 0;
    int trendColour = 0;

    bool operator==(const Settings&) const = default;
};

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
