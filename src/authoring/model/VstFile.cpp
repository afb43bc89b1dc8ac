#include "authoring/model/VstFile.h"

#include "common/Cp1252.h"
#include "common/ErrorReport.h"
#include "common/TokenReader.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace kadro {

namespace {
constexpr int kMemoColumn = MarkGrid::MemoColumn;

bool isExistingFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

// A number read for a 32-bit unsigned field; anything outside is a range error.
quint32 fieldValue(qint64 value)
{
    if (value < 0 || value > qint64(std::numeric_limits<quint32>::max()))
        throw KadroError(kRangeErrorText);
    return quint32(value);
}

// A transition code outside 0..100 (only an edited file has one) is read as the nearest valid
// transition: above 100 "von Hand", below 0 "ohne Pause". Such a code would otherwise leave the
// mark without a transition, and the presentation saved from it could not be read again.
// "von Hand" is also the safe reading of a code above 100: the presentation waits for the viewer
// instead of moving on by itself, so nothing is skipped.
quint32 transitionValue(qint64 value)
{
    return quint32(std::clamp<qint64>(value, TransitionCode::NoPause, TransitionCode::ByHand));
}
} // namespace

bool openNeedsSaveQuestion(bool dataSaved, const MarkGrid& grid)
{
    return !dataSaved && grid.markCount() > 0;
}

FileDialogOptions presentationSaveDialogOptions()
{
    FileDialogOptions options;
    options.filter = QStringLiteral("Videosteuerung (*.vst)|*.vst");
    options.defaultSuffix = QStringLiteral("vst");
    options.overwritePrompt = true;
    return options;
}

FileDialogOptions presentationOpenDialogOptions()
{
    FileDialogOptions options;
    options.filter = QStringLiteral(
        "Alle Dateien|*|Media Player Dateien|*.avi; *.vst; *.wmx; *.wvx; *.mpg; *.mpeg; *.m1v; "
        "*.mp2; *.mpv2; *.mp2v; *.mpa|Avi-Video (*.avi)|*.avi|Videosteuerung (*.vst)|*.vst");
    options.filterIndex = 2;
    return options;
}

bool isPresentationPath(const QString& path)
{
    const QString name = storedFileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && name.mid(dot + 1) == QLatin1String("vst");
}

QString storedFileName(const QString& path)
{
    qsizetype cut = -1;
    for (const QChar separator : {QLatin1Char('\\'), QLatin1Char('/'), QLatin1Char(':')})
        cut = std::max(cut, path.lastIndexOf(separator));
    return path.mid(cut + 1);
}

QByteArray presentationFileBytes(const MarkGrid& grid, const PresentationSource& source)
{
    QStringList lines;
    lines << QStringLiteral("Videosteuerungsdatei zu Avi-File: *") + source.videoPath + QLatin1Char('*')
          << QStringLiteral("Zeitschritt(Normal): ") + source.normalTimeStep + QStringLiteral(" ms")
          << QStringLiteral("Zeitschritt(Zeitlupe): ") + source.slowTimeStep + QStringLiteral(" ms")
          << QStringLiteral("Marken: ") + QString::number(grid.rowCount())
          << QStringLiteral("Optionen: ") + QString::number(MarkGrid::ColumnCount - 3);
    for (int r = 0; r < grid.rowCount(); ++r) {
        QString line = QLatin1Char('#') + QString::number(r + 1) + QLatin1Char(' ') + grid.cell(r, 1) +
                       QLatin1Char(' ') + grid.cell(r, 2) + TransitionCode::fileToken(grid.cell(r, 3));
        for (int c = 4; c < MarkGrid::ColumnCount; ++c)
            line += grid.cell(r, c).isEmpty() ? QStringLiteral(" 0") : QStringLiteral(" 1");
        lines << line;
    }
    return cp1252Lines(lines);
}

std::optional<QString> unwritableVideoPathWarning(const QString& videoPath)
{
    QStringList found = cp1252Unencodable(videoPath);
    if (videoPath.contains(QLatin1Char('*')))
        found << QStringLiteral("*");
    if (found.isEmpty())
        return std::nullopt;
    return QStringLiteral("Der Pfad des Videos \"%1\" enthält Zeichen, die in einer Präsentationsdatei nicht "
                          "gespeichert werden können: %2\r"
                          "Die Präsentation wurde nicht gespeichert. Bitte geben Sie dem Video und seinen Ordnern "
                          "Namen ohne diese Zeichen.")
        .arg(QDir::toNativeSeparators(videoPath), describeCharacters(found));
}

void writePresentation(MarkGrid& grid, const PresentationSource& source, const QString& path,
                       const MemoFolder& workMemos)
{
    // A path written with "?" in place of a letter would never find its video again.
    if (const std::optional<QString> warning = unwritableVideoPathWarning(source.videoPath))
        throw KadroError(*warning);
    grid.forceAutostart();
    const MemoFolder presentationMemos(presentationDirOf(path));
    presentationMemos.create();
    if (!writeFileSafely(path, presentationFileBytes(grid, source)))
        throw KadroError(QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.").arg(path));
    // A memo that has a working file but does not reach the presentation's folder is a failed
    // save, not a presentation quietly without its text.
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (grid.cell(r, kMemoColumn) != kOptionOnCell || !workMemos.exists(r + 1))
            continue;
        const QString target = presentationMemos.fileOf(r + 1);
        if (!DateiKopieren(workMemos.fileOf(r + 1), target))
            throw KadroError(QStringLiteral("Die Präsentation wurde gespeichert, aber der Memotext von Marke %1 "
                                            "konnte nicht in die Datei \"%2\" geschrieben werden.")
                                 .arg(r + 1)
                                 .arg(QDir::toNativeSeparators(target)));
    }
}

QString noVideoToSaveText()
{
    return QStringLiteral("Es ist kein Video geöffnet. Die Präsentation kann erst gespeichert werden, wenn ihr Video "
                          "wieder geöffnet ist: Öffnen Sie das Video mit \"Öffnen\"; die Marken bleiben erhalten.");
}

SaveOutcome savePresentation(MarkGrid& grid, const PresentationSource& source, const MemoFolder& workMemos,
                             MemoEditorAccess& editor, Prompts& prompts, QString* savedPath)
{
    grid.flushMemo(workMemos, editor);
    if (const std::optional<QString> warning = grid.missingStopFrameWarning()) {
        prompts.warning(*warning);
        return SaveOutcome::MissingStopFrame;
    }
    if (const std::optional<QString> warning = unwritableVideoPathWarning(source.videoPath)) {
        prompts.warning(*warning);
        return SaveOutcome::UnwritableVideoPath;
    }
    // A presentation without its video could never be played.
    if (source.videoPath.isEmpty()) {
        prompts.warning(noVideoToSaveText());
        return SaveOutcome::NoVideo;
    }
    QString path = prompts.saveFile(presentationSaveDialogOptions());
    if (path.isEmpty())
        return SaveOutcome::Cancelled;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".vst");
    writePresentation(grid, source, path, workMemos);
    if (savedPath)
        *savedPath = path;
    return SaveOutcome::Saved;
}

QString findPresentationVideo(const QString& presentationPath, const QString& storedVideoPath)
{
    const QString name = storedFileName(storedVideoPath);
    if (!name.isEmpty()) {
        const QString beside = QFileInfo(presentationPath).absoluteDir().filePath(name);
        if (isExistingFile(beside))
            return beside;
    }
    if (isExistingFile(storedVideoPath))
        return storedVideoPath;
    return {};
}

QString missingVideoWarning(const QString& presentationPath)
{
    return QStringLiteral("Die mit der Präsentation \"") + storedFileName(presentationPath) +
           QStringLiteral("\" verknüpfte AVI-Datei konnte nicht gefunden werden!\r"
                          "Überprüfen sie den Pfad- und Dateinamen.");
}

void readPresentation(const QString& path, VstContents& out)
{
    out = VstContents();
    QByteArray bytes;
    if (!readFileBytes(path, &bytes))
        throw KadroError(QStringLiteral("Die Datei \"%1\" konnte nicht gelesen werden.").arg(path));
    readPresentationBytes(
        bytes, path, [&path](const QString& stored) { return findPresentationVideo(path, stored); }, out);
}

void readPresentationBytes(const QByteArray& bytes, const QString& path, const VideoFinder& findVideo,
                           VstContents& out)
{
    out = VstContents();
    TokenReader reader(bytes);

    reader.skipPast('*');
    out.storedVideoPath = reader.collectUntil('*');
    reader.nextLine();

    out.videoPath = findVideo(out.storedVideoPath);
    out.videoFound = !out.videoPath.isEmpty();
    if (!out.videoFound) {
        out.missingVideoWarningText = missingVideoWarning(path);
        return;
    }

    reader.skipPast(' ');
    out.normalTimeStep = quint16(reader.readInt());
    reader.nextLine();
    reader.skipPast(' ');
    out.slowTimeStep = quint16(reader.readInt());
    reader.nextLine();

    reader.skipPast(' ');
    const qint64 count = reader.readInt();
    if (count < 0 || count > std::numeric_limits<int>::max())
        throw KadroError(kRangeErrorText);
    out.markCount = int(count);
    reader.nextLine();
    reader.nextLine();  // "Optionen:" is not read

    // Marks are added as they are read, so a count larger than the file cannot make the table
    // grow beyond what the file holds.
    for (int i = 1; i <= count; ++i) {
        Mark mark;
        reader.skipPast(' ');
        mark.firstFrame = fieldValue(reader.readInt());
        mark.lastFrame = fieldValue(reader.readInt());
        reader.readChar();
        const QChar token = reader.readChar();
        if (token == QLatin1Char('M'))
            mark.transition = TransitionCode::ByHand;
        else if (token == QLatin1Char('A'))
            mark.transition = transitionValue(reader.readInt());
        for (int s = 0; s < Mark::SwitchCount; ++s)
            mark.switches[s] = fieldValue(reader.readInt());
        out.marks.append(mark);
        reader.nextLine();
    }
}

VstContents readPresentation(const QString& path)
{
    VstContents file;
    readPresentation(path, file);
    return file;
}

} // namespace kadro
