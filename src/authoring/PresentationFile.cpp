#include "authoring/PresentationFile.h"

#include "app/VideoAbspielenFenster.h"
#include "common/Prompts.h"
#include "player/Transport.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>

namespace kadro {

const QString PresentationFile::kOpenFilter = QStringLiteral(
    "Alle Dateien|*|Media Player Dateien|*.avi; *.vst; *.wmx; *.wvx; *.mpg; *.mpeg; *.m1v; *.mp2; *.mpv2; "
    "*.mp2v; *.mpa|Avi-Video (*.avi)|*.avi|Videosteuerung (*.vst)|*.vst");

PresentationFile::PresentationFile(TVideoAbspielenFenster& window) : w(window) {}

void PresentationFile::OeffnenButtonClick()
{
    const QTableWidgetItem* first = w.ui.StringGrid->item(0, 0);
    const bool gridHoldsMarks = first && !first->text().isEmpty();
    if (!w.st.DataSaved && gridHoldsMarks) {
        switch (w.prompts().confirm(QStringLiteral("Daten wurden geändert.\rÄnderungen speichern?"))) {
        case Button::Ja:
            if (SpeichernButtonClick)
                SpeichernButtonClick();
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
    FileDialogOptions options;
    options.filter = kOpenFilter;
    options.filterIndex = 2;
    options.directory = QDir::currentPath();
    const QString path = w.prompts().openFile(options);
    if (path.isEmpty()) {
        if (w.st.IsPlaying)
            w.transport().VideoStopButtonClick();
        return;
    }
    openChosenFile(path);
}

void PresentationFile::openChosenFile(const QString& path)
{
    auto& st = w.st;
    auto& ui = w.ui;
    ui.MenuAuswertungKeine->setChecked(true);
    st.DiagramShown = false;
    if (MemDateienLoeschen)
        MemDateienLoeschen();
    st.PresentationPath = path;
    st.PresentationLoaded = false;
    if (st.ActiveArea == 2)
        ui.StringGrid->clearContents();

    // The extension is the text after the last "." of the file name, compared exactly.
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1);
    if (ext == QLatin1String("vst") && openPresentation) {
        st.PresentationMode = true;
        openPresentation(path);
        return;
    }

    st.PresentationMode = false;
    if (st.ActiveArea == 1)
        w.Programmpunkt1Einstellungen();
    else
        w.Programmpunkt2Einstellungen();
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

} // namespace kadro
