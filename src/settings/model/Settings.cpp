#include "settings/model/Settings.h"

#include "common/Cp1252.h"
#include "common/TokenReader.h"

#include <QStringList>

namespace kadro {

QColor SettingsColour::colour(int index)
{
    switch (index) {
    case 0: return QColor(0xFF, 0xFF, 0xFF);
    case 1: return QColor(0x00, 0x00, 0x00);
    case 2: return QColor(0xFF, 0x00, 0x00);
    case 3: return QColor(0x00, 0xFF, 0x00);
    case 4: return QColor(0x00, 0x00, 0xFF);
    default: return QColor(0xFF, 0xFF, 0x00);
    }
}

QString SettingsColour::name(int index)
{
    static const char* names[] = {"weiß", "schwarz", "rot", "lime", "blau", "gelb"};
    return QString::fromUtf8(names[qBound(0, index, 5)]);
}

namespace {
// Time steps, pause and font size are kept as 16-bit unsigned numbers, stored back as text
// (so "0040" comes back as "40").
QString word(qint64 value)
{
    return QString::number(static_cast<quint16>(static_cast<quint64>(value) & 0xFFFF));
}

int colourIndex(qint64 value)
{
    // Above the last colour selects the last one; a negative index would select none, which
    // has no colour to draw with, so it selects the first.
    if (value > 5)
        return 5;
    if (value < 0)
        return 0;
    return static_cast<int>(value);
}
} // namespace

bool readSettingsText(const QByteArray& bytes, Settings& s)
{
    TokenReader r(bytes);
    try {
        r.nextLine();
        if (r.atEnd())
            return false;
        r.skipPast(':');
        r.skipPast(':');
        s.sound = r.readInt() == 1;
        r.skipPast(':');
        r.readChar();
        s.cursorArrow = r.readChar() == QLatin1Char('P');
        r.nextLine();

        r.skipPast(':');
        r.skipPast(':');
        s.dtNormal = word(r.readInt());
        r.skipPast(':');
        s.dtSlow = word(r.readInt());
        r.nextLine();

        r.skipPast(':');
        for (int i = 0; i < MarkOptionCount; ++i)
            s.options[i] = r.readInt() == 1;
        r.nextLine();

        r.skipPast(' ');
        const QChar t = r.readChar();
        if (t == QLatin1Char('M')) {
            s.transition = Transition::VonHand;
        } else if (t == QLatin1Char('A')) {
            const qint64 n = r.readInt();
            if (n == 0) {
                s.transition = Transition::OhnePause;
            } else if (n >= 1 && n <= 99) {
                s.transition = Transition::MitPause;
                s.pause = word(n);
            }
        }
        r.nextLine();

        r.skipPast(':');
        s.fontSize = word(r.readInt());
        r.skipPast(':');
        r.readChar();
        s.fontName = r.collectUntil('*');
        r.nextLine();

        if (r.readChar() == QLatin1Char('A')) {
            r.skipPast(':');
            s.axisColour = colourIndex(r.readInt());
            r.skipPast(':');
            r.readChar();
            s.pointColour = colourIndex(r.readInt());
            r.skipPast(':');
            r.readChar();
            s.trendColour = colourIndex(r.readInt());
            r.nextLine();
        }
    } catch (const ReadError&) {
        return false;
    }
    return true;
}

QByteArray writeSettingsText(const Settings& s)
{
    auto flag = [](bool on) { return on ? QStringLiteral(" 1") : QStringLiteral(" 0"); };
    QString options = QStringLiteral("Optionen:");
    for (bool on : s.options)
        options += flag(on);
    QString transition = QStringLiteral("Markenübergang:");
    switch (s.transition) {
    case Transition::VonHand: transition += QStringLiteral(" M"); break;
    case Transition::OhnePause: transition += QStringLiteral(" A0"); break;
    case Transition::MitPause: transition += QStringLiteral(" A") + s.pause; break;
    }
    const QStringList lines = {
        QStringLiteral("Einstellungen: Allgemein, Zeitschritt, Optionen, Markenübergang, Editorschrift, Diagrammformat"),
        QStringLiteral("Allgemein: Ton: %1  Cursor: %2").arg(s.sound ? "1" : "0", s.cursorArrow ? "P" : "K"),
        QStringLiteral("Zeitschritt: Normal: %1  Zeitlupe: %2").arg(s.dtNormal, s.dtSlow),
        options,
        transition,
        QStringLiteral("Schriftgröße: %1  Schriftart: %2*").arg(s.fontSize, s.fontName),
        QStringLiteral("Achsenfarbe: %1  Messpunktfarbe: %2  Trendfarbe: %3")
            .arg(s.axisColour).arg(s.pointColour).arg(s.trendColour),
    };
    return cp1252Lines(lines);
}

void readSettingsFile(const QString& path, Settings& settings)
{
    QByteArray bytes;
    if (!readFileBytes(path, &bytes))
        return;
    readSettingsText(bytes, settings);
}

bool writeSettingsFile(const QString& path, const Settings& settings)
{
    return writeFileSafely(path, writeSettingsText(settings));
}

} // namespace kadro
