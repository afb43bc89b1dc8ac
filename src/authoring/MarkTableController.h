#pragma once
#include "authoring/MarkTableWidgets.h"
#include "authoring/model/MarkGrid.h"
#include "authoring/model/MemoFiles.h"
#include "common/Context.h"
#include "player/MarkenUebergangFenster.h"

#include <QObject>
#include <QPoint>
#include <QString>

namespace kadro {

class MemoEditor;
class Transport;

// The mark table of the authoring view: the handlers of "Marke setzen", "Speichern", the grid's
// mouse-down and its pop-up menu. The marks live in a MarkGrid; the grid widget StringGrid is its
// view and is rewritten after every operation.
class MarkTableController : public QObject, private TransitionCellAccess {
    Q_OBJECT
public:
    MarkTableController(const Context& context, const MarkTableWidgets& widgets, Transport& transport,
                        MemoEditor& memo, TMarkenUebergangFenster* transitionDialog);

    MarkGrid& grid() { return m_grid; }
    const MarkGrid& grid() const { return m_grid; }
    MemoEditorAccess& memoEditor();

    // The mark table's part of laying out the views afresh: one empty row, buttons disabled.
    void setUpAuthoringView();
    // Memo texts live in the working folder until the presentation is saved: warns when they
    // could not be kept there (called once the authoring view is laid out).
    void checkWorkFolder();
    void setUpPlayerView();
    // "Marke setzen" is usable once a video is open; with a presentation also "Speichern".
    void enableMarkSetting();
    void enableEditing();
    // "Test" is usable after a presentation was read.
    void enableTestRun();

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
    // The grid as it was (taken before a test run), with its memo row's memo in the editor.
    void restoreGrid(const MarkGrid& saved);

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

signals:
    // "&Öffnen..." of the grid's pop-up menu: the open command.
    void openRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs an editing operation and shows its result, also when it fails half-way.
    template <typename F> void edit(F&& operation);
    void runTransitionDialog();
    void syncState();
    QString transitionCell() const override;
    void setTransitionCell(const QString& text) override;

    Context c;
    MarkTableWidgets ui;
    Transport& transport;
    MemoEditor& memo;
    TMarkenUebergangFenster* m_transitionDialog;
    MarkGrid m_grid;
    QPoint m_lastPopupPoint;
};

} // namespace kadro
