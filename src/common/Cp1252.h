#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kadro {

// Windows-1252 is the code page of every text file the program reads and writes.
// Characters outside it are written as '?'.
QByteArray toCp1252(const QString& text);
QString fromCp1252(const QByteArray& bytes);
QChar cp1252Char(unsigned char byte);

// The characters of `text` that Windows-1252 has no byte for (they would be written as '?'),
// each once, in the order of their first appearance. A character outside the basic plane (a
// surrogate pair) counts as one character.
QStringList cp1252Unencodable(const QString& text);

// Names characters for a message: "Ł" (U+0141), "ź" (U+017A). A character that cannot be seen
// (a control character, a blank, a combining mark alone) is named by its code only.
QString describeCharacters(const QStringList& characters);

// Reads a whole file; returns false if it cannot be opened or read.
bool readFileBytes(const QString& path, QByteArray* out);

// Writes beside the target and replaces it only when everything was written and has reached
// the disk, so a failed save (a folder that cannot be written, a full disk midway) never
// destroys the previous file. Returns false on any failure.
bool writeFileSafely(const QString& path, const QByteArray& bytes);

// Joins lines with CR LF (also after the last line) and encodes them in Windows-1252.
QByteArray cp1252Lines(const QStringList& lines);

} // namespace kadro
