#pragma once
#include "measure/model/Calibration.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

namespace kadro {

class FrameClock;

// What a change of the series asks of the caller, to be applied in the order of the fields.
// An unset optional leaves that control as it is.
struct SeriesUpdate {
    bool checkKeine = false;                    // check "Keine" in "Datenauswertung"
    bool diagramOff = false;                    // run the handler of "Diagramm aus"
    bool diagramOffIfShown = false;             // the same, only while the diagram is shown
    std::optional<bool> diagramButtonEnabled;   // "Diagramm an"
    std::optional<bool> evaluationMenuEnabled;  // the menu "Datenauswertung"
    std::optional<bool> trendParabolaEnabled;   // its item "Trendparabel"
    bool refreshDiagram = false;                // refreshdiagramm
    bool refreshTrend = false;                  // refreshTrend
    bool refreshPicture = false;                // redraw the current frame (wipes the overlay)
    bool changed = false;                       // the points changed: they are unsaved work

    bool operator==(const SeriesUpdate&) const = default;
};

// The measured points as the measurement grid shows them: rows of five cell texts, row 0 the
// header ("Nr.", "  X [m]", "  Y [m]", " dt [s]", "Frame"), row r point r with its number, x and
// y in metres in the table format, the seconds since the previous point ("0.00", empty for the
// first point) and the frame. The texts are the only store of the points: every reader converts
// them back. With n points the grid has n + 1 rows and nextRow() is n + 1; an empty series has
// one empty row and nextRow() 1.
class MeasurementSeries {
public:
    static constexpr int ColumnCount = 5;
    static constexpr int NumberColumn = 0;
    static constexpr int XColumn = 1;
    static constexpr int YColumn = 2;
    static constexpr int DtColumn = 3;
    static constexpr int FrameColumn = 4;
    static constexpr int RowHeight = 19;
    static constexpr int NarrowWidth = 170;  // up to 8 points
    static constexpr int NarrowLeft = 202;
    static constexpr int WideWidth = 187;    // from the 9th point: room for the scroll bar
    static constexpr int WideLeft = 198;

    static QString headerText(int column);
    // Caption of the grid's pop-up item for a right-clicked row: "Messwert 3 löschen".
    static QString deleteItemCaption(int row);
    // Where the grid's pop-up menu opens for a right click at (x, y) inside the grid.
    static QPoint deleteMenuPoint(QPoint windowTopLeft, int x, int y)
    {
        return windowTopLeft + QPoint(x + 550, y + 330);
    }

    // The grid as the player view sets it up: header and one empty row.
    MeasurementSeries() { reset(); }
    void reset();

    int rowCount() const { return int(m_rows.size()); }
    int nextRow() const { return m_nextRow; }
    int pointCount() const { return m_nextRow - 1; }
    // Cell text; empty outside the grid.
    QString cell(int row, int column) const;
    QStringList rowCells(int row) const;
    int width() const { return m_width; }
    int left() const { return m_left; }

    // The row chosen by the last right click on a point row.
    int selectedRow() const { return m_selectedRow; }
    // A right button press on a row of the grid: rows from 1 on are selected and get the pop-up
    // item's caption; the header row does nothing.
    std::optional<QString> rightClick(int row);

    // Number of rows 1..nextRow()−1 whose frame differs from the row above (the header counts as
    // a different frame, so the first point always counts).
    int frameChangeCount() const;

    // Records a point clicked at `at` on frame `frame` into row nextRow(): x and y from the
    // calibration, the time since the previous point from `clock`. A time that cannot be had
    // (ConvertError from the clock) records nothing.
    SeriesUpdate record(const Calibration& calibration, PictureCoordinates at, qint64 frame,
                        const FrameClock& clock);
    // The same for a point found between pixels (px, py in picture coordinates, y up).
    SeriesUpdate record(const Calibration& calibration, double px, double py, qint64 frame,
                        const FrameClock& clock);
    // `MesswertLoeschen`: deletes point `row` (1..rowCount()−1) and renumbers the rest; the next point's time step
    // then spans the deleted one. Any other row is a range error (KadroError).
    SeriesUpdate deletePoint(int row);
    // "Messwerte neu": the empty series.
    SeriesUpdate clear();
    // The time base changed (the time step, the video's own time, a capture rate): every
    // time-step cell is written again from the frames, as recording writes it, so the table, the
    // measurement file and the fit over time count the same time. The first point has no previous
    // one and gets an empty cell. A time that cannot be had (ConvertError) changes nothing.
    SeriesUpdate refreshIntervals(const FrameClock& clock);

private:
    // The time-step cell of a point on `frame` after one on `previousFrame`.
    static QString intervalText(const QString& previousFrame, const QString& frame, const FrameClock& clock);
    void setCell(int row, int column, const QString& text);
    void narrow();

    QList<QStringList> m_rows;
    int m_nextRow = 1;
    int m_width = NarrowWidth;
    int m_left = NarrowLeft;
    int m_selectedRow = 0;
};

} // namespace kadro
