#include "measure/model/MeasurementFile.h"

#include "common/Cp1252.h"
#include "common/ErrorReport.h"
#include "common/NumberFormat.h"
#include "measure/model/MeasurementSeries.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace kadro {

namespace {

// The input/output error number for a file that could not be written.
int ioErrorNumber(const QString& path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists() || !folder.isDir())
        return 3;   // path not found
    if (file.isDir() || (file.exists() && !file.isWritable()) || !folder.isWritable())
        return 5;   // access denied
    return 101;     // disk write error
}

} // namespace

FileDialogOptions measurementSaveDialogOptions()
{
    FileDialogOptions options;
    options.filter = QStringLiteral("Messwerte (*.mes)|*.mes");
    options.filterIndex = 1;
    options.defaultSuffix = QStringLiteral("mes");
    options.overwritePrompt = true;
    return options;
}

QByteArray measurementFileBytes(const QString& videoPath, double scale, const MeasurementSeries& series)
{
    QStringList lines;
    lines << QStringLiteral("Messwerte zu Avi-File: ") + videoPath;
    lines << formatPattern(scale, QStringLiteral("0.000E+00"));
    lines << QStringLiteral("Nr.\tX-Koordinate\tY-Koordinate\tdt/[s]\tFramenummer");
    for (int row = 1; row < series.rowCount(); ++row) {
        QString line;
        for (const QString& text : series.rowCells(row))
            line += text + QLatin1Char('\t');
        lines << line;
    }
    return cp1252Lines(lines);
}

void writeMeasurementFile(const QString& path, const QString& videoPath, double scale,
                          const MeasurementSeries& series)
{
    if (!writeFileSafely(path, measurementFileBytes(videoPath, scale, series)))
        throw KadroError(QStringLiteral("E/A-Fehler %1").arg(ioErrorNumber(path)));
}

bool saveMeasurements(Prompts& prompts, const QString& videoPath, double scale,
                      const MeasurementSeries& series)
{
    const QString path = prompts.saveFile(measurementSaveDialogOptions());
    if (path.isEmpty())
        return false;
    writeMeasurementFile(path, videoPath, scale, series);
    return true;
}

} // namespace kadro
