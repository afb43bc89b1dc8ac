#include "settings/model/Titles.h"

#include "common/Cp1252.h"
#include "common/TokenReader.h"

#include <QStringList>

namespace kadro {

bool readTitlesText(const QByteArray& bytes, TitlesTable& table)
{
    TokenReader r(bytes);
    try {
        r.nextLine();
        for (int i = 0; i < 5; ++i) {
            r.skipPast(':');
            table.title[i] = r.restOfLine();
            r.skipPast(':');
            table.path[i] = r.restOfLine();
        }
    } catch (const ReadError&) {
        return false;
    }
    return true;
}

QByteArray writeTitlesText(const TitlesTable& table)
{
    QStringList lines{QStringLiteral("Titel für die Startseite")};
    for (int i = 0; i < 5; ++i) {
        lines << QStringLiteral("Titel%1:").arg(i + 1) + table.title[i];
        lines << QStringLiteral("zu vst-Datei:") + table.path[i];
    }
    lines << QString();
    return cp1252Lines(lines);
}

} // namespace kadro
