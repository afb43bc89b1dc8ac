#pragma once
#include "authoring/RichEditMemoAccess.h"
#include "authoring/model/MarkGrid.h"
#include "authoring/model/MemoFiles.h"

#include <QObject>
#include <QPoint>
#include <QString>

namespace kadro {

class TVideoAbspielenFenster;

// The mark table of the authoring view: the handlers of "Marke setzen", "Speichern", the grid's
// mouse-down and its pop-up menu. The marks live in a MarkGrid; the grid widget StringGrid is its
// view and is rewritten after every operation. When the window's view set-up empties the widget
// (a reset of the widget's model), the marks are dropped with it.
class MarkTableController : public QObject {
    Q_OBJECT
public:
    explicit MarkTableController(TVideoAbspielenFenster& w);

    MarkGrid& grid() { return m_grid; }
    const MarkGrid& grid() const { return m_grid; }
    RichEditMemoAccess& memoEditor() { return m_memo; }

    // The working memo folder "Mem" in the current working directory.
    static MemoFolder workMemos();

    // Handlers.
    void MarkeSetzenButtonClick();
    void StringGridMouseDown(GridMouseButton button, int x, int y);
    void PopupMenuMarkeLoeschenClick();
    void PopupMenuMarkeEinfuegenClick();
    void PopupMenuMarkeStartFrameClick();
    void PopupMenuMarkeStopFrameClick();
    void SpeichernButtonClick();

    // Deletes every numbered working memo file (before a file is opened).
    void MemDateienLoeschen();
    // Fills the grid with marks 1..count of the read presentation and fetches their memo files
    // from the presentation folder of `file` into the working folder.
    void MarkenEinlesenStringGrid(int count, const QString& file);
    // The grid with its single empty row.
    void resetGrid();

    // The settings a new mark copies, as the settings dialog's controls hold them now.
    MarkDefaults defaults() const;
    // The current absolute frame, from the frame display.
    quint32 currentFrame() const;

    // Writes the marks into the grid widget: rows, cells, width and column widths.
    void refresh();
    // Shows a frame: the slider is set to it and its change handling runs.
    void showFrame(qint64 frame);

    // Where the pop-up menu was opened last (screen coordinates).
    QPoint lastPopupPoint() const { return m_lastPopupPoint; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs an editing operation and shows its result, also when it fails half-way.
    template <typename F> void edit(F&& operation);
    void runTransitionDialog();
    void syncState();

    TVideoAbspielenFenster& w;
    MarkGrid m_grid;
    RichEditMemoAccess m_memo;
    QPoint m_lastPopupPoint;
    bool m_refreshing = false;
};

} // namespace kadro
