#pragma once
#include "authoring/model/Mark.h"
#include "authoring/model/MarkGrid.h"
#include "authoring/model/MemoFiles.h"
#include "common/Prompts.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace kadro {

// The question of the open command when the authoring grid holds unsaved marks
// (confirmation box with Ja, Nein, Abbrechen).
inline const QString kSaveChangesQuestion = QStringLiteral("Daten wurden geändert.\rÄnderungen speichern?");

// The open command asks kSaveChangesQuestion only when the grid holds marks that are not saved.
bool openNeedsSaveQuestion(bool dataSaved, const MarkGrid& grid);

// The save dialog of presentations ("Videosteuerung (*.vst)|*.vst", suffix "vst", asks before
// overwriting) and the open dialog for videos and presentations ("Media Player Dateien"
// preselected).
FileDialogOptions presentationSaveDialogOptions();
FileDialogOptions presentationOpenDialogOptions();

// A file is opened as a presentation when the text after the last "." of its name is exactly
// "vst" (case matters: "X.VST" is opened as a video).
bool isPresentationPath(const QString& path);

// The file name part of a path as stored in a presentation, written on any system: the text
// after the last "\", "/" or ":" ("C:\Kurs\Fallversuch.avi" → "Fallversuch.avi").
QString storedFileName(const QString& path);

// What a presentation file says besides its marks: the video path as the video was opened and
// the two time steps as the time-step panel shows them.
struct PresentationSource {
    QString videoPath;
    QString normalTimeStep;  // ms, e.g. "40"
    QString slowTimeStep;    // ms, e.g. "200"
};

// The bytes of a presentation file for the grid: five header lines and one line per row, in
// Windows-1252 with CR LF. The grid is taken as it is (see writePresentation for the forced
// autostart).
QByteArray presentationFileBytes(const MarkGrid& grid, const PresentationSource& source);

// The warning when the video's path cannot be written into a presentation file so that it reads
// back the same: the file is Windows-1252, and "*" encloses the path. Nothing when it can.
std::optional<QString> unwritableVideoPathWarning(const QString& videoPath);

// Writes the grid as the presentation `path` (the chosen file, or "Test~.vst" of a test run):
// switches Autostart on where a section could not start otherwise (visible in the grid), creates
// the presentation folder (path without its last four characters; an existing folder is fine),
// writes the file and copies the working memo files of the marks whose memo is on into the
// folder (a failed copy is ignored). A file that cannot be written, or a video path that would
// not read back (unwritableVideoPathWarning), throws KadroError and leaves an existing file as it
// was; nothing is copied then.
void writePresentation(MarkGrid& grid, const PresentationSource& source, const QString& path,
                       const MemoFolder& workMemos);

enum class SaveOutcome {
    Saved,               // written: DataSaved := true
    MissingStopFrame,    // the warning was shown; nothing written
    UnwritableVideoPath, // the video's path cannot be stored: the warning was shown; nothing written
    NoVideo,             // no video is open (it went missing): the warning was shown; nothing written
    Cancelled            // the save dialog was cancelled; nothing written
};

// The warning when a presentation is to be saved while no video is open.
QString noVideoToSaveText();

// The "Speichern" command: saves the memo being edited into its working file, refuses a last mark
// without stop frame with the warning "Stop-Frame von Marke N ist noch nicht gesetzt !" and a
// video whose path the file cannot hold (unwritableVideoPathWarning), asks for the file in the
// save dialog and writes it (writePresentation). A name without extension gets
// ".vst". Write failures throw KadroError (for the general error report).
SaveOutcome savePresentation(MarkGrid& grid, const PresentationSource& source, const MemoFolder& workMemos,
                             MemoEditorAccess& editor, Prompts& prompts, QString* savedPath = nullptr);

// Where the video of a presentation is: the file named like the stored path's file name beside
// the presentation first (so a presentation moved with its video still finds it), then the
// stored path itself. Empty if neither exists.
QString findPresentationVideo(const QString& presentationPath, const QString& storedVideoPath);

// The warning shown when the video of a presentation is found nowhere.
QString missingVideoWarning(const QString& presentationPath);

// What reading a presentation file gives.
struct VstContents {
    QString storedVideoPath;                 // line 1, as stored
    QString videoPath;                       // the video found; empty if none
    bool videoFound = false;                 // PresentationLoaded as far as reading goes
    QString missingVideoWarningText;         // set when the video was not found
    std::optional<quint16> normalTimeStep;   // ms, reduced to 16 bits
    std::optional<quint16> slowTimeStep;
    std::optional<int> markCount;            // MarkCount as stated in line 4
    MarkTable marks;                         // every mark read, numbered from 1
};

// Reads a presentation file by characters and integers (vstDateiEinlesen). When the video is
// found nowhere, reading stops after line 1 with videoFound false and the warning text set (the
// caller shows it). A transition code outside 0..100 is read as the nearest valid one (above
// 100 by hand, below 0 without pause). `out` is reset first and filled as far as reading gets;
// a file that cannot be opened or is malformed (a letter where a number belongs, too few lines,
// a number outside its field) throws ReadError or KadroError, leaving in `out` what was read
// before the fault.
void readPresentation(const QString& path, VstContents& out);
VstContents readPresentation(const QString& path);

// Where the video named in a presentation is (its stored path given); empty when nowhere.
using VideoFinder = std::function<QString(const QString& storedVideoPath)>;

// The same reading for the bytes of the presentation file `presentationPath`, asking `findVideo`
// for the video instead of looking beside the file (readPresentation asks findPresentationVideo).
void readPresentationBytes(const QByteArray& bytes, const QString& presentationPath, const VideoFinder& findVideo,
                           VstContents& out);

} // namespace kadro
