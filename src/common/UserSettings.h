#pragma once
// The user settings as values: what the settings file holds and the settings dialog shows. The
// file's reading and writing are in settings/model/Settings.h.

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

} // namespace kadro
