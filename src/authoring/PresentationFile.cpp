#include "authoring/PresentationFile.h"

#include "app/VideoAbspielenFenster.h"
#include "authoring/MarkTableController.h"
#include "authoring/model/VstFile.h"
#include "common/Prompts.h"
#include "player/SectionPlayback.h"
#include "player/Transport.h"
#include "player/video/VideoDevice.h"
#include "settings/OptionenFenster.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

namespace kadro {

const QString PresentationFile::kOpenFilter = QStringLiteral(
    "Alle Dateien|*|Media Player Dateien|*.avi; *.vst; *.wmx; *.wvx; *.mpg; *.mpeg; *.m1v; *.mp2; *.mpv2; "
    "*.mp2v; *.mpa|Avi-Video (*.avi)|*.avi|Videosteuerung (*.vst)|*.vst");

PresentationFile::PresentationFile(TVideoAbspielenFenster& window) : w(window) {}

void PresentationFile::OeffnenButtonClick()
{
    if (openNeedsSaveQuestion(w.st.DataSaved, w.markTable().grid())) {
        switch (w.prompts().confirm(kSaveChangesQuestion)) {
        case Button::Ja:
            w.markTable().SpeichernButtonClick();
            if (w.st.DataSaved)
                vstDateiOeffnen();
            break;
        case Button::Nein: vstDateiOeffnen(); break;
        default: break;
        }
        return;
    }
    vstDateiOeffnen();
}

void PresentationFile::vstDateiOeffnen()
{
    FileDialogOptions options = presentationOpenDialogOptions();
    options.directory = QDir::currentPath();
    const QString path = w.prompts().openFile(options);
    if (path.isEmpty()) {
        if (w.st.IsPlaying)
            w.transport().VideoStopButtonClick();
        return;
    }
    openChosenFile(path);
}

void PresentationFile::setUpCurrentView()
{
    if (w.st.ActiveArea == 1)
        w.Programmpunkt1Einstellungen();
    else
        w.Programmpunkt2Einstellungen();
}

void PresentationFile::openChosenFile(const QString& path)
{
    auto& st = w.st;
    auto& ui = w.ui;
    if (st.DiagramShown && w.transport().DiagrammButtonClick)
        w.transport().DiagrammButtonClick();
    ui.MenuAuswertungKeine->setChecked(true);
    st.DiagramShown = false;
    w.markTable().MemDateienLoeschen();
    st.PresentationPath = path;
    st.PresentationLoaded = false;
    w.marks.clear();
    if (st.ActiveArea == 2)
        w.markTable().resetGrid();

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
            ui.MenuDatenaufnahme->setVisible(false);
            ui.MenuDatenauswertung->menuAction()->setVisible(false);
            st.CurrentMark = 0;
            w.sectionPlayback().VideoMarkeEinstellen();
        } else {
            MarkTableController& table = w.markTable();
            ui.MarkeSetzenButton->setEnabled(true);
            ui.SpeichernButton->setEnabled(true);
            st.DataSaved = true;
            table.MarkenEinlesenStringGrid(st.MarkCount, path);
            st.StartFrame = 0;
            st.StopFrame = w.MediaPlayer1().length();
            w.transport().OeffnenVariableEinstellungen();
            table.showFrame(cellInteger(table.grid().cell(0, 1)));
            ui.ToolBar1->setEnabled(true);
        }
        return;
    }

    st.PresentationMode = false;
    setUpCurrentView();
    ui.MarkeSetzenButton->setEnabled(true);
    try {
        if (!w.transport().openPlainVideo(path))
            return;
        ui.ToolBar1->setEnabled(true);
        ui.Timer9->start();
    } catch (const std::exception&) {
        // A failure in the opening sequence ends it silently; what the open reported stands.
    }
}

bool PresentationFile::vstDateiEinlesen(const QString& path)
{
    auto& st = w.st;
    auto& ui = w.ui;
    w.marks.clear();
    VstContents contents;
    // What was read before a fault stays set: the video, the time steps, the count, the first marks.
    auto take = [&] {
        if (contents.videoFound)
            w.MediaPlayer1().setFileName(contents.videoPath);
        if (TOptionenFenster* o = w.OptionenFenster()) {
            if (contents.normalTimeStep)
                o->dtEdit1->setText(QString::number(*contents.normalTimeStep));
            if (contents.slowTimeStep)
                o->dtEdit2->setText(QString::number(*contents.slowTimeStep));
        }
        if (contents.markCount)
            st.MarkCount = *contents.markCount;
        w.marks = contents.marks;
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
        w.prompts().warning(contents.missingVideoWarningText);
    } else {
        w.sectionPlayback().prepareButtons();
        ui.MenuDatenaufnahme->setVisible(false);
        if (!w.transport().OeffnenStandardEinstellungen())
            st.PresentationLoaded = false;
    }
    ui.TestButton->setEnabled(true);
    return st.PresentationLoaded;
}

} // namespace kadro
