#include "measure/model/MeasurementSeries.h"

#include "common/ErrorReport.h"
#include "common/NumberFormat.h"
#include "common/FrameClock.h"
#include "measure/model/MeasureFormat.h"

namespace kadro {

namespace {
const QString kRangeError = QStringLiteral("Fehler bei Bereichsprüfung");

QStringList emptyRow()
{
    return QStringList(MeasurementSeries::ColumnCount, QString());
}
} // namespace

QString MeasurementSeries::headerText(int column)
{
    switch (column) {
    case NumberColumn: return QStringLiteral("Nr.");
    case XColumn: return QStringLiteral("  X [m]");
    case YColumn: return QStringLiteral("  Y [m]");
    case DtColumn: return QStringLiteral(" dt [s]");
    case FrameColumn: return QStringLiteral("Frame");
    default: return {};
    }
}

QString MeasurementSeries::deleteItemCaption(int row)
{
    return QStringLiteral("Messwert %1 löschen").arg(row);
}

void MeasurementSeries::reset()
{
    QStringList header;
    for (int c = 0; c < ColumnCount; ++c)
        header << headerText(c);
    m_rows = {header, emptyRow()};
    m_nextRow = 1;
    narrow();
}

QString MeasurementSeries::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return {};
    return m_rows.at(row).at(column);
}

QStringList MeasurementSeries::rowCells(int row) const
{
    if (row < 0 || row >= rowCount())
        return emptyRow();
    return m_rows.at(row);
}

void MeasurementSeries::setCell(int row, int column, const QString& text)
{
    m_rows[row][column] = text;
}

void MeasurementSeries::narrow()
{
    m_width = NarrowWidth;
    m_left = NarrowLeft;
}

std::optional<QString> MeasurementSeries::rightClick(int row)
{
    if (row < 1)
        return std::nullopt;
    m_selectedRow = row;
    return deleteItemCaption(row);
}

int MeasurementSeries::frameChangeCount() const
{
    int changes = 0;
    for (int i = 1; i <= m_nextRow - 1 && i < rowCount(); ++i) {
        if (cell(i, FrameColumn) != cell(i - 1, FrameColumn))
            ++changes;
    }
    return changes;
}

QString MeasurementSeries::intervalText(const QString& previousFrame, const QString& frame, const FrameClock& clock)
{
    const int previous = parseInteger(previousFrame);
    const int current = parseInteger(frame);
    return formatPattern(clock.secondsBetween(previous, current), clock.intervalPattern());
}

SeriesUpdate MeasurementSeries::record(const Calibration& calibration, PictureCoordinates at, qint64 frame,
                                       const FrameClock& clock)
{
    return record(calibration, double(at.px), double(at.py), frame, clock);
}

SeriesUpdate MeasurementSeries::record(const Calibration& calibration, double px, double py, qint64 frame,
                                       const FrameClock& clock)
{
    const int r = m_nextRow;
    // Every text is made before the first is written, so a failing time step leaves the grid as
    // it was (the grid would not show a half-written row anyway).
    const double dx = px - double(calibration.OriginX);
    const double dy = py - double(calibration.OriginY);
    // Only the origin itself has the zero text.
    const QString xText = tableNumberText(dx == 0 ? 0 : 1, dx * calibration.Scale);
    const QString yText = tableNumberText(dy == 0 ? 0 : 1, dy * calibration.Scale);
    const QString frameText = QString::number(frame);
    QString dtText;
    if (r > 1)
        dtText = intervalText(cell(r - 1, FrameColumn), frameText, clock);

    if (r > 8) {
        m_width = WideWidth;
        m_left = WideLeft;
    }
    while (rowCount() <= r)
        m_rows.append(emptyRow());
    setCell(r, NumberColumn, QString::number(r));
    setCell(r, XColumn, xText);
    setCell(r, YColumn, yText);
    setCell(r, FrameColumn, frameText);
    if (r > 1)
        setCell(r, DtColumn, dtText);
    m_nextRow = r + 1;
    while (rowCount() > m_nextRow)
        m_rows.removeLast();

    SeriesUpdate update;
    update.diagramButtonEnabled = true;
    if (!cell(2, YColumn).isEmpty())
        update.evaluationMenuEnabled = true;
    if (!cell(3, YColumn).isEmpty() && frameChangeCount() >= 3)
        update.trendParabolaEnabled = true;
    update.refreshDiagram = true;
    update.refreshTrend = true;
    update.changed = true;
    return update;
}

SeriesUpdate MeasurementSeries::deletePoint(int r)
{
    if (r < 1 || r >= rowCount())
        throw KadroError(kRangeError);
    const int pointsBefore = m_nextRow - 1;
    SeriesUpdate update;
    update.changed = true;

    const QString following = cell(r + 1, DtColumn);
    const QString own = cell(r, DtColumn);
    if (!following.isEmpty() && !own.isEmpty())
        setCell(r + 1, DtColumn, formatGeneral(parseDecimal(following) + parseDecimal(own)));
    if (cell(r + 1, DtColumn) == QStringLiteral("0"))
        setCell(r + 1, DtColumn, zeroText(2));

    for (int i = r; i <= rowCount() - 2; ++i) {
        m_rows[i] = m_rows[i + 1];
        setCell(i, NumberColumn, QString::number(i));
    }
    if (rowCount() > 2) {
        m_rows.removeLast();
    } else {
        m_rows[1] = emptyRow();
        update.diagramButtonEnabled = false;
        update.diagramOff = true;
    }
    m_nextRow = cell(1, NumberColumn).isEmpty() ? rowCount() - 1 : rowCount();
    if (m_nextRow < 10)
        narrow();

    update.refreshDiagram = true;
    if (pointsBefore < 4) {
        update.trendParabolaEnabled = false;
        update.checkKeine = true;
    }
    if (pointsBefore < 3) {
        update.evaluationMenuEnabled = false;
        update.checkKeine = true;
    } else {
        update.refreshTrend = true;
    }
    return update;
}

SeriesUpdate MeasurementSeries::clear()
{
    SeriesUpdate update;
    update.changed = pointCount() > 0;
    const QStringList header = m_rows.first();
    m_rows = {header, emptyRow()};
    m_nextRow = 1;
    narrow();

    update.checkKeine = true;
    update.diagramOffIfShown = true;
    update.diagramButtonEnabled = false;
    update.evaluationMenuEnabled = false;
    update.trendParabolaEnabled = false;
    update.refreshPicture = true;
    return update;
}

SeriesUpdate MeasurementSeries::refreshIntervals(const FrameClock& clock)
{
    // Every text is made before the first is written: a failing clock leaves the table as it was.
    QStringList texts;
    for (int r = 1; r < m_nextRow; ++r)
        texts << (r == 1 ? QString() : intervalText(cell(r - 1, FrameColumn), cell(r, FrameColumn), clock));
    SeriesUpdate update;
    for (int r = 1; r < m_nextRow; ++r) {
        if (cell(r, DtColumn) != texts.at(r - 1)) {
            setCell(r, DtColumn, texts.at(r - 1));
            update.changed = true;
        }
    }
    // The fit over time asks the clock too: it is drawn again with the new times.
    if (pointCount() > 0)
        update.refreshTrend = true;
    return update;
}

} // namespace kadro
