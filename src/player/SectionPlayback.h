#pragma once
#include "common/Context.h"
#include "player/SectionWidgets.h"

#include <QObject>
#include <QString>

namespace kadro {

class Transport;

// Section-by-section playback of a presentation: entering a section with its controls, memo
// and autostart, and the transition after it (by hand, at once, or after a pause).
class SectionPlayback : public QObject {
    Q_OBJECT
public:
    SectionPlayback(const Context& context, const SectionWidgets& widgets, Transport& transport);

    void VideoMarkeEinstellen();
    void MarkenUebergang();
    void Timer3Timer();
    void NaechsteMarkeButtonClick();
    void MarkeZurueckButtonClick();

    // Prepares the section buttons before the first section of a presentation.
    void prepareButtons();
    // The section playback's part of laying out the views afresh.
    void setUpAuthoringView();
    void setUpPlayerView();

    int PauseCountdown = 0;

    // File of the memo of section m of the open presentation.
    static QString memoFilePath(const QString& presentationPath, int m);

signals:
    // The section shows its memo: the editor's cover goes and the memo file is loaded into it.
    void memoWanted(const QString& path);
    // The section has no memo: the cover lies over the editor.
    void memoCovered();
    // Whether the section offers measuring and evaluation.
    void evaluationOffered(bool offered);

private:
    Context c;
    SectionWidgets ui;
    Transport& transport;
    // The "weiter" and "zurück" buttons for the section now shown.
    void showSectionButtons();

    bool m_pauseCancelled = false;
    // Counts the sections entered: entering a still section may run its transition and enter
    // the next section before the first entry is complete.
    int m_sectionsEntered = 0;
};

} // namespace kadro
