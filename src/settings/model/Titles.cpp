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

bool writeTitlesFile(const QString& path, const TitlesTable& table)
{
    return writeFileSafely(path, writeTitlesText(table));
}

namespace {
// The characters of a cell that the titles file cannot carry. A line feed would end the line;
// a carriage return is carried (only one right before the line end is taken for part of it, and
// the writer puts one there itself), so a title read from a file can always be written again.
QStringList unwritableCharacters(const QString& text)
{
    QStringList found = cp1252Unencodable(text);
    if (text.contains(QLatin1Char('\n')))
        found << QStringLiteral("\n");
    return found;
}

const QString kCannotBeStored =
    QStringLiteral("enthält Zeichen, die in der Titelliste nicht gespeichert werden können:");
} // namespace

std::optional<QString> unwritableEntryPathWarning(const QString& path)
{
    const QStringList found = unwritableCharacters(path);
    if (found.isEmpty())
        return std::nullopt;
    return QStringLiteral("Der Pfad \"%1\" %2 %3\rDie Datei wurde nicht hinzugefügt. Bitte geben Sie der Datei "
                          "und ihren Ordnern Namen ohne diese Zeichen.")
        .arg(path, kCannotBeStored, describeCharacters(found));
}

std::optional<QString> unwritableTitlesWarning(const TitlesTable& table)
{
    for (int i = 0; i < 5; ++i) {
        if (const QStringList found = unwritableCharacters(table.title[i]); !found.isEmpty())
            return QStringLiteral("Der Titel \"%1\" %2 %3\rDie Titel wurden nicht gespeichert. Bitte ändern Sie den "
                                  "Titel.")
                .arg(table.title[i], kCannotBeStored, describeCharacters(found));
        if (const QStringList found = unwritableCharacters(table.path[i]); !found.isEmpty())
            return QStringLiteral("Der Pfad \"%1\" %2 %3\rDie Titel wurden nicht gespeichert.")
                .arg(table.path[i], kCannotBeStored, describeCharacters(found));
    }
    return std::nullopt;
}

} // namespace kadro
