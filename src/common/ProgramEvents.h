#pragma once
// What happens in one subsystem that others act on. Any number of listeners may connect; the
// program's connections are all direct, so a signal's listeners have run when emit returns.

#include <QObject>

namespace kadro {

class ProgramEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // The player showed another frame (absolute frame number); displays and slider are updated.
    void frameShown(int frame);
    // The loaded section was played or stepped to its last frame and has stopped there; the
    // presentation's transition comes next.
    void sectionEndReached();
    // The video started running (either way of running) or stopped.
    void playingChanged(bool playing);
    // A view was laid out afresh with nothing loaded: 1 player view, 2 authoring view.
    void viewSetUp(int area);
    // A video was opened into the player (the device holds it).
    void videoOpened();
    // The picture was drawn afresh, which wiped everything drawn over it.
    void pictureRefreshed();
    // The diagram over the picture, if it is shown, is to be drawn anew (after a frame change).
    void diagramRedrawRequested();
    // The picture is to be repainted and a shown diagram drawn on it again.
    void refreshDiagramRequested();
    // The chosen evaluation (connected points, trend line, trend parabola) is to be drawn again.
    void refreshTrendRequested();
    // The measured points changed: a point recorded or deleted, the series cleared or set up afresh.
    void measurementsChanged();
    // The time base was decided anew (another video, view or setting): the times of the frames
    // may have changed.
    void timeBaseChanged();
    // A file is being opened by the open command: measuring and evaluation start afresh.
    void fileOpening();
    // The player view shows a presentation: no measuring, no evaluation.
    void presentationEntered();
    // A presentation's video was found and is being opened: no "Datenaufnahme" for it.
    void presentationVideoFound();
};

} // namespace kadro
