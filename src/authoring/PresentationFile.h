#pragma once
#include <QString>
#include <functional>

namespace kadro {

class TVideoAbspielenFenster;

// The open command of both views: the question about unsaved marks, the open dialog, and
// opening a plain video or a presentation into the current view.
class PresentationFile {
public:
    explicit PresentationFile(TVideoAbspielenFenster& w);

    void OeffnenButtonClick();
    void vstDateiOeffnen();
    // Opens the chosen file (what the open dialog returned) into the current view.
    void openChosenFile(const QString& path);

    // Saving the authoring grid as a presentation; set by the mark table.
    std::function<void()> SpeichernButtonClick;
    // Reading a presentation and entering its first section.
    std::function<void(const QString&)> openPresentation;
    // Deleting the working memo files before a new file is opened.
    std::function<void()> MemDateienLoeschen;

    static const QString kOpenFilter;

private:
    TVideoAbspielenFenster& w;
};

} // namespace kadro
