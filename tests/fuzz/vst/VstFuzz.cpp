// The presentation reader on any bytes. The video search is stubbed: a stored path that is empty
// or starts with "?" leads nowhere, any other to a video. What must hold:
// - reading ends normally or with ReadError / KadroError, never anything else;
// - a video found nowhere stops the reading after the first line with the warning text;
// - a file that reads fully holds exactly the marks it announces, and the grid filled from them
//   (when there are any)
//   writes a file that reads back to the same marks (switches other than 1 read as off), the same
//   time steps and video path, and writes again to the same bytes;
// - the video path read can always be written again;
// - the real video search finds a video named like the stored path's file name beside the
//   presentation first, else the stored path when it names a file, else nothing.
#include "FuzzSupport.h"

#include "authoring/model/MarkGrid.h"
#include "authoring/model/MemoFiles.h"
#include "authoring/model/VstFile.h"
#include "common/ErrorReport.h"
#include "common/TokenReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace kadro;

namespace {

const QString kPresentation = QStringLiteral("/kurs/Fallversuch.vst");

QString stubVideo(const QString& stored)
{
    if (stored.isEmpty() || stored.startsWith(QLatin1Char('?')))
        return {};
    return QStringLiteral("/kurs/video.avi");
}

class NoEditor : public MemoEditorAccess {
public:
    bool hasText() const override { return false; }
    bool saveTo(const QString&) override { return true; }
    void loadFrom(const QString&) override {}
    void clear() override {}
    void setEnabled(bool) override {}
};

// What the grid keeps of a read mark: a switch is on only with the value 1.
MarkTable asGridKeepsIt(const MarkTable& table)
{
    MarkTable out;
    for (Mark m : table.marks()) {
        for (quint32& s : m.switches)
            s = s == 1 ? 1 : 0;
        out.append(m);
    }
    return out;
}

QString describe(const MarkTable& table)
{
    QString out;
    for (const Mark& m : table.marks()) {
        out += QStringLiteral("[%1 %2 %3 |").arg(m.firstFrame).arg(m.lastFrame).arg(m.transition);
        for (quint32 s : m.switches)
            out += QStringLiteral(" %1").arg(s);
        out += QStringLiteral("] ");
    }
    return out;
}

// Reads; false when the reading failed as a malformed file does.
bool read(const QByteArray& bytes, VstContents& out)
{
    try {
        readPresentationBytes(bytes, kPresentation, stubVideo, out);
        return true;
    } catch (const ReadError&) {
    } catch (const KadroError&) {
    }
    return false;
}

QByteArray writeBack(const VstContents& file, const QString& memoWork)
{
    static NoEditor editor;
    MarkGrid grid;
    grid.fillFromTable(file.marks, kPresentation, MemoFolder(memoWork), editor);
    FUZZ_CHECK(grid.toMarkTable() == asGridKeepsIt(file.marks), describe(grid.toMarkTable()));
    const PresentationSource source{file.storedVideoPath, QString::number(*file.normalTimeStep),
                                    QString::number(*file.slowTimeStep)};
    return presentationFileBytes(grid, source);
}

// The video search on the disk, with a folder holding the presentation and "video.avi".
void checkVideoSearch(const QString& stored)
{
    static QTemporaryDir folder;
    static const QString video = [] {
        QFile f(folder.filePath(QStringLiteral("video.avi")));
        f.open(QIODevice::WriteOnly);
        return QFileInfo(f).absoluteFilePath();
    }();
    const QString name = storedFileName(stored);
    FUZZ_CHECK(!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1Char(':')),
               fuzz::escaped(stored));
    const QString found = findPresentationVideo(folder.filePath(QStringLiteral("Fall.vst")), stored);
    if (name == QLatin1String("video.avi"))
        FUZZ_CHECK(QFileInfo(found).absoluteFilePath() == video, fuzz::escaped(stored) + QStringLiteral(" found ") + found);
    else
        FUZZ_CHECK(found.isEmpty() || (found == stored && QFileInfo(stored).isFile()),
                   fuzz::escaped(stored) + QStringLiteral(" found ") + found);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir memoWork;  // stays empty: the presentation folder has no memo files
    const QByteArray bytes = fuzz::bytesOf(data, size);

    VstContents first;
    const bool complete = read(bytes, first);
    checkVideoSearch(first.storedVideoPath);
    if (!first.videoFound) {
        FUZZ_CHECK(first.marks.isEmpty() && !first.normalTimeStep && !first.markCount, describe(first.marks));
        FUZZ_CHECK(!complete || first.missingVideoWarningText == missingVideoWarning(kPresentation),
                   first.missingVideoWarningText);
        return 0;
    }
    FUZZ_CHECK(first.videoPath == stubVideo(first.storedVideoPath), first.videoPath);
    FUZZ_CHECK(!first.markCount || first.marks.count() <= *first.markCount, describe(first.marks));
    // A presentation without marks is never written: saving refuses a grid without a stop frame.
    if (!complete || first.marks.isEmpty())
        return 0;

    FUZZ_CHECK(first.normalTimeStep && first.slowTimeStep && first.markCount, QString());
    FUZZ_CHECK(first.marks.count() == *first.markCount,
               QStringLiteral("%1 marks announced, %2 read").arg(*first.markCount).arg(first.marks.count()));
    for (const Mark& m : first.marks.marks())
        FUZZ_CHECK(m.transition <= TransitionCode::ByHand, describe(first.marks));
    FUZZ_CHECK(!unwritableVideoPathWarning(first.storedVideoPath), fuzz::escaped(first.storedVideoPath));

    const QByteArray written = writeBack(first, memoWork.path());
    VstContents second;
    FUZZ_CHECK(read(written, second), fuzz::escaped(written));
    FUZZ_CHECK(second.storedVideoPath == first.storedVideoPath,
               fuzz::escaped(first.storedVideoPath) + QStringLiteral(" became ") + fuzz::escaped(second.storedVideoPath));
    FUZZ_CHECK(second.normalTimeStep == first.normalTimeStep && second.slowTimeStep == first.slowTimeStep,
               fuzz::escaped(written));
    FUZZ_CHECK(second.marks == asGridKeepsIt(first.marks),
               describe(asGridKeepsIt(first.marks)) + QStringLiteral(" became ") + describe(second.marks));
    FUZZ_CHECK(writeBack(second, memoWork.path()) == written, fuzz::escaped(written));
    return 0;
}
