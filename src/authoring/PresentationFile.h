#pragma once
#include <QString>

namespace kadro {

class TVideoAbspielenFenster;

// The open command of both views: the question about unsaved marks, the open dialog, and
// opening a plain video or a presentation into the current view; and reading a presentation
// file into the window (also for the start page's entries).
class PresentationFile {
public:
    explicit PresentationFile(TVideoAbspielenFenster& w);

    void OeffnenButtonClick();
    void vstDateiOeffnen();
    // Opens the chosen file (what the open dialog returned) into the current view.
    void openChosenFile(const QString& path);

    // Reads the presentation `path` into the window's marks, MarkCount, the time-step settings
    // and the video device's file name, and opens its video. Returns PresentationLoaded, which
    // it sets: false when the video was found nowhere (the warning has been shown) or could not
    // be opened. A malformed file throws for the general error report, leaving what was read
    // before the fault and PresentationLoaded false.
    bool vstDateiEinlesen(const QString& path);

    static const QString kOpenFilter;

private:
    void setUpCurrentView();

    TVideoAbspielenFenster& w;
};

} // namespace kadro
