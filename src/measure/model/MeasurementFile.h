#pragma once
#include "common/Prompts.h"

#include <QByteArray>
#include <QString>

namespace kadro {

class MeasurementSeries;

// The save dialog of the measurement file: "Messwerte (*.mes)|*.mes", suffix "mes" added to a
// name typed without one, and a question before an existing file is overwritten.
FileDialogOptions measurementSaveDialogOptions();

// The bytes of a measurement file (Windows-1252, CR LF after every line):
//   Messwerte zu Avi-File: <video path>
//   <scale as "0.000E+00">
//   Nr.<TAB>X-Koordinate<TAB>Y-Koordinate<TAB>dt/[s]<TAB>Framenummer
// and one line per grid row from row 1 on, each of the five cell texts followed by a tab.
QByteArray measurementFileBytes(const QString& videoPath, double scale, const MeasurementSeries& series);

// Writes the file so that a failure never leaves a truncated or half-replaced file behind; a
// failure throws KadroError with the input/output error text ("E/A-Fehler 3" when the folder
// does not exist, "E/A-Fehler 5" when access is denied, "E/A-Fehler 101" otherwise).
void writeMeasurementFile(const QString& path, const QString& videoPath, double scale,
                          const MeasurementSeries& series);

// "Speichern" of the measuring panel: asks for the file with the save dialog and writes it.
// Returns false when the dialog was cancelled (nothing written); a failed write throws as
// writeMeasurementFile does. After true the measurements count as saved.
bool saveMeasurements(Prompts& prompts, const QString& videoPath, double scale,
                      const MeasurementSeries& series);

} // namespace kadro
