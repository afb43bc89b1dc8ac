// The settings reader on any bytes. What must hold:
// - every value read keeps its reduction: time steps and font size are the decimal text of an
//   unsigned 16-bit number, the pause that of 1..99, the colours are indices 0..5, the font name
//   has no "*";
// - the settings read write a file that reads back, completely, to the same settings (also into
//   the initial settings, but for the pause, which the file carries only with "mit Pause"), and
//   that file is written again to the same bytes.
#include "FuzzSupport.h"

#include "settings/model/Settings.h"

using namespace kadro;

namespace {

bool isWordText(const QString& text, uint low, uint high)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    return ok && QString::number(value) == text && value >= low && value <= high;
}

QString describe(const Settings& s)
{
    QString out = QStringLiteral("Ton %1 Pfeil %2 dt %3/%4 Optionen").arg(s.sound).arg(s.cursorArrow).arg(s.dtNormal, s.dtSlow);
    for (bool on : s.options)
        out += on ? QStringLiteral(" 1") : QStringLiteral(" 0");
    out += QStringLiteral(" Übergang %1 Pause %2 Schrift %3 '%4' Farben %5 %6 %7")
               .arg(int(s.transition))
               .arg(s.pause, s.fontSize, fuzz::escaped(s.fontName))
               .arg(s.axisColour)
               .arg(s.pointColour)
               .arg(s.trendColour);
    return out;
}

void checkReductions(const Settings& s)
{
    FUZZ_CHECK(isWordText(s.dtNormal, 0, 65535) && isWordText(s.dtSlow, 0, 65535), describe(s));
    FUZZ_CHECK(isWordText(s.fontSize, 0, 65535), describe(s));
    FUZZ_CHECK(isWordText(s.pause, 1, 99), describe(s));
    for (int colour : {s.axisColour, s.pointColour, s.trendColour})
        FUZZ_CHECK(colour >= 0 && colour < SettingsColour::Count, describe(s));
    FUZZ_CHECK(!s.fontName.contains(QLatin1Char('*')), describe(s));
    FUZZ_CHECK(s.transition == Transition::VonHand || s.transition == Transition::OhnePause ||
                   s.transition == Transition::MitPause,
               describe(s));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Settings read;
    readSettingsText(fuzz::bytesOf(data, size), read);
    checkReductions(read);

    const QByteArray written = writeSettingsText(read);
    Settings again = read;
    FUZZ_CHECK(readSettingsText(written, again), fuzz::escaped(written));
    FUZZ_CHECK(again == read, describe(read) + QStringLiteral("\nbecame ") + describe(again));

    Settings fresh;
    FUZZ_CHECK(readSettingsText(written, fresh), fuzz::escaped(written));
    if (read.transition != Transition::MitPause)
        fresh.pause = read.pause;
    FUZZ_CHECK(fresh == read, describe(read) + QStringLiteral("\nbecame ") + describe(fresh));
    FUZZ_CHECK(writeSettingsText(again) == written, fuzz::escaped(written));
    return 0;
}
