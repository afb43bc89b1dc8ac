#pragma once
#include <QString>
#include <QStringList>

namespace kadro {

// Kadro works in a per-user data folder: the bare names "Optionen.opt", "Titel.opt", "faq.txt",
// "Mem" and "Test~" resolve there, whatever directory the program was started in. On the first
// start the folder is seeded from the data the program ships (the question-and-answer text and
// the demo presentation) and start-page entry 1 is set to the demo. Nothing the user already has
// is ever overwritten.
namespace datafolder {

// The demo presentation inside the shipped data and the data folder, and its start-page title.
inline const QString kDemoPresentation = QStringLiteral("Demo/FreierFall.vst");
inline const QString kDemoTitle = QStringLiteral("Freier Fall (Demo)");

// Environment variables that point the program elsewhere (for tests and for trying a build
// without touching the user's own folder): the data folder itself, and the shipped data.
inline const char* const kDataDirVariable = "KADRO_DATA_DIR";
inline const char* const kShareDirVariable = "KADRO_SHARE_DIR";

// The user's data folder: $KADRO_DATA_DIR if set, otherwise "kadro" in the user's data location
// ($XDG_DATA_HOME, i.e. ~/.local/share/kadro).
QString userFolder();

// The folder of the data the program ships, for a program whose executable lies in
// `applicationDir`: $KADRO_SHARE_DIR if set; otherwise "../share/kadro" beside the executable
// (an installed program in <prefix>/bin, and the build tree, whose program lies in
// <build>/src and its data in <build>/share/kadro); otherwise the first "kadro" folder of the
// system's data folders ($XDG_DATA_DIRS). Empty when there is none.
QString shippedFolder(const QString& applicationDir);

struct SeedResult {
    bool usable = false;     // the folder exists and is a folder
    QStringList copied;      // the files copied, relative to the folder ("faq.txt", "Demo/...")
    bool titlesWritten = false;
};

// Creates `folder` if needed and copies every file of `shipped` (if not empty) that the folder
// does not have yet, subfolders included. If the folder has no "Titel.opt" and holds the demo
// presentation, writes one whose first entry is the demo. A file that cannot be copied is
// skipped silently; the program runs without it.
SeedResult seed(const QString& folder, const QString& shipped);

// Finds and seeds the user's data folder and makes it the working directory. Returns false, and
// leaves the working directory as it was, when the folder cannot be created.
bool enter();

} // namespace datafolder
} // namespace kadro
