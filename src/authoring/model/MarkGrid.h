#pragma once
#include "authoring/model/Mark.h"
#include "authoring/model/MemoFiles.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace kadro {

// The error of a memo text that could not be written into its file (mark number, file path).
QString memoNotWrittenMessage(int markNumber, const QString& file);
// The warning when the working folder of the memo texts cannot be written.
QString workFolderNotWritableMessage(const QString& folder);

class Prompts;

// The settings a new mark copies at the moment it is set: the default transition (with the
// pause field's text) and the eight default options of columns 4..11.
struct MarkDefaults {
    enum class Transition { ByHand, NoPause, WithPause };
    Transition transition = Transition::ByHand;
    QString pauseText;               // used with WithPause, copied as typed
    std::array<bool, 8> options{};   // StartStop, Einzelbild, Zeitlupe, Schieberegler,
                                     // Frameanzeige, Zeitanzeige, Autostart, Auswertung
};

enum class GridMouseButton { Left, Right };

// Captions of the four row items of the mark grid's pop-up menu.
struct PopupMenuCaptions {
    QString markeLoeschen;     // "Marke 3 löschen"
    QString markeEinfuegen;    // "neue Marke vor Marke 3 einfügen"
    QString startFrameSetzen;  // "Marke 3 Start-Frame setzen"
    QString stopFrameSetzen;   // "Marke 3 Stop-Frame setzen"
};

// What a mouse-down on a grid cell asks of the caller, after the model has done its part
// (selected row, option cell, memo switching and the memo editor).
struct GridClickResult {
    bool onMark = false;                   // false: the row holds no mark; nothing happened
    std::optional<qint64> showFrame;       // set the slider to this frame and run its change handling
    bool openTransitionDialog = false;     // pause the video, then show the transition dialog
                                           // for selectedRow() modally
    bool dataChanged = false;              // DataSaved := false
    std::optional<PopupMenuCaptions> popupMenu;  // right click: open the pop-up menu with these
};

// The authoring grid of marks: rows of 13 cell texts, row r holding mark r + 1. It always has at
// least one row; with no marks that row is empty. While a presentation is authored these texts
// are the only store of the marks. Holds the row whose memo is in the memo editor and the row
// selected by the last click on a mark.
//
// Editing operations on a row require a row that holds a mark; any other row is a range error
// (KadroError). They do not touch DataSaved: each of them counts as a change for the caller.
class MarkGrid {
public:
    static constexpr int ColumnCount = 13;
    static constexpr int MemoColumn = 12;
    static constexpr int RowHeight = 20;
    static constexpr int DefaultColumnWidth = 50;
    static constexpr int TransitionColumnWidth = 65;
    static constexpr int NarrowWidth = 679;   // up to four rows
    static constexpr int WideWidth = 697;     // five rows and more: room for the scroll bar
    static constexpr int WideFromRows = 5;

    static int columnWidth(int column);
    // Caption of the heading panel above a column ("Marke", "Start Frame", "Marken- übergang", ...).
    static QString headingCaption(int column);
    static int widthForRows(int rows);

    // Captions of the pop-up menu items as the menu is built, and for a right-clicked row.
    static QStringList popupMenuFormCaptions();
    static PopupMenuCaptions popupMenuCaptions(int row);
    // Screen point of the pop-up menu for a right click at (x, y) inside the grid.
    static QPoint popupMenuPoint(QPoint mainWindowTopLeft, int x, int y);

    MarkGrid();

    int rowCount() const { return int(m_rows.size()); }
    // Number of marks: the rows that hold one (0 with the single empty row).
    int markCount() const;
    // Cell text; empty outside the grid.
    QString cell(int row, int column) const;
    QStringList rowCells(int row) const;
    // Sets a cell of an existing row (the transition dialog rewrites column 3 this way).
    void setCell(int row, int column, const QString& text);
    int width() const { return m_width; }

    int memoRow() const { return m_memoRow; }
    int selectedRow() const { return m_selectedRow; }
    void setSelectedRow(int row) { m_selectedRow = row; }

    // Column and row of the cell at (x, y) inside the grid, with 1-pixel grid lines belonging
    // to the cell before them; topRow is the first visible row. nullopt right of the last column
    // or below the last row.
    std::optional<QPoint> cellAt(int x, int y, int topRow = 0) const;

    // The empty grid of a freshly set-up view: one empty row, narrow, memo row 0.
    void reset();

    // "Marke setzen": appends a mark at the current frame. If the previous mark has no stop
    // frame yet, it ends just before the new mark, or at the video's length when the new mark
    // lies at or before its start. The new mark's stop frame stays empty.
    void appendMark(quint32 currentFrame, quint32 videoLength, const MarkDefaults& defaults);
    // Writes the default transition and the options that are on into a row; options that are off
    // leave their cells as they are; the memo column is never touched.
    void applyDefaults(int row, const MarkDefaults& defaults);
    // Inserts a new mark at the current frame before the mark in `row`; the marks after it are
    // renumbered with their working memo files. Afterwards the memo editor shows the last mark's
    // memo (or is disabled and empty).
    void insertMark(int row, quint32 currentFrame, quint32 videoLength, const MarkDefaults& defaults,
                    const MemoFolder& workMemos, MemoEditorAccess& editor);
    // Deletes the mark in `row` with its working memo file; the marks after it move up with
    // theirs. Deleting the only mark leaves the empty row.
    void deleteMark(int row, const MemoFolder& workMemos, MemoEditorAccess& editor);
    // Start frame := the current frame; if the mark's stop frame lies before it, the section
    // becomes the single frame.
    void setStartFrame(int row, quint32 currentFrame);
    // Stop frame := the current frame, unless it lies before the start frame: then the warning
    // stopFrameBeforeStartText() is shown and nothing changes. Returns whether it was set.
    bool setStopFrame(int row, quint32 currentFrame, Prompts& prompts);
    // Switches an option cell (columns 4..11): a non-empty cell is emptied, an empty one set on.
    void toggleOption(int row, int column);
    // Writes a transition code into column 3 in its cell form.
    void setTransition(int row, quint32 code);

    // A mouse-down on a cell (StringGridMouseDown). Left: columns 0..11 show the mark's memo;
    // 0..2 show a frame; 3 asks for the transition dialog; 4..11 switch the option; 12 switches
    // the memo. Right: the pop-up menu for the row. A row without a mark does nothing at all.
    GridClickResult click(int row, int column, GridMouseButton button, const MemoFolder& workMemos,
                          MemoEditorAccess& editor);

    // The memo rules (MemoAnzeigen, MemoUmschalten): make `row` the memo row, saving the editor
    // into the working file of the row it showed and loading the new one; switch a row's memo.
    void showMemo(int row, const MemoFolder& workMemos, MemoEditorAccess& editor);
    void toggleMemo(int row, const MemoFolder& workMemos, MemoEditorAccess& editor);
    // Saves the editor into the memo row's working file if that row's memo is on (before saving
    // the presentation and before a test run).
    // A memo that cannot be written ends the operation with a KadroError before anything else
    // changed: the text stays in the editor and its row stays the memo row.
    void flushMemo(const MemoFolder& workMemos, MemoEditorAccess& editor) const;

    // The warning for a last row without stop frame, which refuses saving and the test run:
    // "Stop-Frame von Marke N ist noch nicht gesetzt !"; nullopt when the stop frame is set.
    std::optional<QString> missingStopFrameWarning() const;
    // Switches Autostart on for every section that could not start otherwise (no Start/Pause,
    // single-frame, slow-motion or slider option) unless it is a still picture (start text equal
    // to stop text). Returns the rows changed.
    QList<int> forceAutostart();

    // Fills the grid from a read presentation (MarkenEinlesenStringGrid): one row per mark; the
    // memo files of marks with memo are copied from the presentation folder into the working
    // folder. The memo row becomes row 0 and the editor shows mark 1's memo (or is disabled and
    // empty).
    void fillFromTable(const MarkTable& table, const QString& presentationPath, const MemoFolder& workMemos,
                       MemoEditorAccess& editor);
    // Takes the rows of `saved` back (the end of a test run) and shows mark 1's memo from its
    // working file (or disables and empties the editor); the memo row becomes row 0.
    void restore(const MarkGrid& saved, const MemoFolder& workMemos, MemoEditorAccess& editor);
    // The marks the rows describe (see markFromRowCells).
    MarkTable toMarkTable() const;

    static QString stopFrameBeforeStartText();

private:
    // Saves the editor into row's working memo file; a KadroError when that fails.
    static void saveMemo(int row, const MemoFolder& workMemos, MemoEditorAccess& editor);
    void requireMark(int row) const;
    void applyWidthRule() { m_width = widthForRows(rowCount()); }
    bool memoOn(int row) const { return cell(row, MemoColumn) == kOptionOnCell; }
    void showLastRowMemo(const MemoFolder& workMemos, MemoEditorAccess& editor);

    QList<QStringList> m_rows;
    int m_width = NarrowWidth;
    int m_memoRow = 0;
    int m_selectedRow = 0;
};

} // namespace kadro
