#pragma once
#include "common/Context.h"

#include <QString>

namespace kadro {

class MarkTableController;
class MemoEditor;
class SectionPlayback;
class Transport;

// The open command of both views: the question about unsaved marks, the open dialog, and
// opening a plain video or a presentation into the current view; and reading a presentation
// file (also for the start page's entries).
class PresentationFile {
public:
    // The subsystems an opened file reaches.
    struct Parts {
        Transport& transport;
        SectionPlayback& sections;
        MarkTableController& markTable;
        MemoEditor& memo;
    };
    PresentationFile(const Context& context, const Parts& parts);

    void OeffnenButtonClick();
    void vstDateiOeffnen();
    // Opens the chosen file (what the open dialog returned) into the current view.
    void openChosenFile(const QString& path);

    // Reads the presentation `path` into the marks, MarkCount, the time-step settings and the
    // video device's file name, and opens its video. Returns PresentationLoaded, which it sets:
    // false when the video was found nowhere (the warning has been shown) or could not be
    // opened. A malformed file throws for the general error report, leaving what was read before
    // the fault and PresentationLoaded false.
    bool vstDateiEinlesen(const QString& path);

private:
    void setUpCurrentView();

    Context c;
    Parts p;
};

} // namespace kadro
