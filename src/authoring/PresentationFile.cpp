#include "authoring/PresentationFile.h"

#include "authoring/MarkTableController.h"
#include "authoring/MemoEditor.h"
#include "authoring/model/VstFile.h"
#include "common/MainState.h"
#include "common/ProgramEvents.h"
#include "common/Prompts.h"
#include "common/SettingsStore.h"
#include "common/ShellRoutines.h"
#include "player/SectionPlayback.h"
#include "player/Transport.h"
#include "player/video/VideoDevice.h"

#include <QDir>
#include <QPushButton>

namespace kadro {

PresentationFile::PresentationFile(const Context& context, const Parts& parts) : c(context), p(parts) {}

void PresentationFile::OeffnenButtonClick()
{
    // Unsaved marks or points are asked for first; "Ja" goes on only once they are written.
    if (ShellRoutines::mayGoOn(c.shell.askAboutUnsavedWork()))
        vstDateiOeffnen();
}

void PresentationFile::vstDateiOeffnen()
{
    FileDialogOptions options = presentationOpenDialogOptions();
    options.directory = QDir::currentPath();
    const QString path = c.prompts.openFile(options);
    if (path.isEmpty()) {
        if (c.st.IsPlaying)
            p.transport.VideoStopButtonClick();
        return;
    }
    openChosenFile(path);
}

void PresentationFile::setUpCurrentView()
{
    if (c.st.ActiveArea == 1)
        c.shell.Programmpunkt1Einstellungen();
    else
        c.shell.Programmpunkt2Einstellungen();
}

void PresentationFile::openChosenFile(const QString& path)
{
    auto& st = c.st;
    emit c.events.fileOpening();
    p.markTable.MemDateienLoeschen();
    st.PresentationPath = path;
    st.PresentationLoaded = false;
    c.marks.clear();
    if (st.ActiveArea == 2)
        p.markTable.resetGrid();

    if (isPresentationPath(path)) {
        st.PresentationMode = true;
        // The view starts empty, so nothing of a presentation shown before (hidden controls, a
        // "Startseite" caption at its last section) carries over into this one.
        setUpCurrentView();
        vstDateiEinlesen(path);
        if (!st.PresentationLoaded) {
            setUpCurrentView();
            return;
        }
        if (st.ActiveArea == 1) {
            emit c.events.presentationEntered();
            st.CurrentMark = 0;
            p.sections.VideoMarkeEinstellen();
        } else {
            MarkTableController& table = p.markTable;
            table.enableEditing();
            st.DataSaved = true;
            table.MarkenEinlesenStringGrid(st.MarkCount, path);
            st.StartFrame = 0;
            st.StopFrame = c.device.length();
            p.transport.OeffnenVariableEinstellungen();
            // The start of mark 1; a presentation without marks shows the video's first frame.
            table.showFrame(table.grid().markCount() > 0 ? cellInteger(table.grid().cell(0, 1)) : 0);
            p.memo.enableToolBar(true);
        }
        return;
    }

    st.PresentationMode = false;
    setUpCurrentView();
    p.markTable.enableMarkSetting();
    try {
        if (!p.transport.openPlainVideo(path))
            return;
        p.memo.enableToolBar(true);
        p.transport.enableButtonsSoon();
    } catch (const std::exception&) {
        // A failure in the opening sequence ends it silently; what the open reported stands.
    }
}

bool PresentationFile::vstDateiEinlesen(const QString& path)
{
    auto& st = c.st;
    c.marks.clear();
    VstContents contents;
    // What was read before a fault stays set: the video, the time steps, the count, the first marks.
    auto take = [&] {
        if (contents.videoFound)
            c.device.setFileName(contents.videoPath);
        if (contents.normalTimeStep || contents.slowTimeStep) {
            const Settings now = c.settings.current();
            c.settings.setTimeSteps(contents.normalTimeStep ? QString::number(*contents.normalTimeStep) : now.dtNormal,
                                    contents.slowTimeStep ? QString::number(*contents.slowTimeStep) : now.dtSlow);
        }
        if (contents.markCount)
            st.MarkCount = *contents.markCount;
        c.marks = contents.marks;
    };
    try {
        readPresentation(path, contents);
    } catch (...) {
        take();
        st.PresentationLoaded = false;
        throw;
    }
    take();
    st.PresentationLoaded = contents.videoFound;
    if (!contents.videoFound) {
        c.prompts.warning(contents.missingVideoWarningText);
    } else {
        p.sections.prepareButtons();
        emit c.events.presentationVideoFound();
        if (!p.transport.OeffnenStandardEinstellungen())
            st.PresentationLoaded = false;
    }
    p.markTable.enableTestRun();
    return st.PresentationLoaded;
}

} // namespace kadro
