#pragma once
#include <QString>
#include <QStringList>

namespace kadro {

class StartPageEntries;

// The file handed to the program on its command line, as a desktop hands over a double-clicked
// presentation or video: the first argument after the program's name that is not an option
// (the program has none; arguments starting with "-" are passed over, and so are empty ones).
// A relative path is taken relative to `startDir`, the directory the program was started in,
// and made absolute, since the program then works in its data folder; a "file:" address is
// turned into its local path. A path with blanks arrives as one argument and stays whole. Empty
// when there is no such argument. Further files are ignored: the window shows one at a time.
QString handedFile(const QStringList& arguments, const QString& startDir);

// Set in the environment, the program ends right after its start (and after opening a handed
// file): for checking an installation without a screen.
inline const char* const kExitAfterStartVariable = "KADRO_EXIT_AFTER_START";

} // namespace kadro
