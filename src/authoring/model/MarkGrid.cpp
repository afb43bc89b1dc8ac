#include "authoring/model/MarkGrid.h"

#include "common/ErrorReport.h"
#include "common/Prompts.h"

#include <QDir>
#include <QFileInfo>

namespace kadro {

namespace {
constexpr int kStartColumn = 1;
constexpr int kStopColumn = 2;
constexpr int kTransitionColumn = 3;
constexpr int kFirstOptionColumn = 4;
constexpr int kLastOptionColumn = 11;
constexpr int kAutostartColumn = 10;

QStringList emptyRow()
{
    QStringList row;
    for (int c = 0; c < MarkGrid::ColumnCount; ++c)
        row << QString();
    return row;
}

QString markLabel(int number)
{
    return QStringLiteral("Marke ") + QString::number(number);
}
} // namespace

int MarkGrid::columnWidth(int column)
{
    return column == kTransitionColumn ? TransitionColumnWidth : DefaultColumnWidth;
}

QString MarkGrid::headingCaption(int column)
{
    static const char* const captions[ColumnCount] = {
        "Marke",       "Start Frame",    "Stop Frame", "Marken- übergang", "Start Pause",
        "Einzelbild",  "Zeitlupe",       "Schiebe- regler", "Frame- anzeige", "Zeit- anzeige",
        "Autostart",   "Auswer- tung",   "Memo"};
    if (column < 0 || column >= ColumnCount)
        return {};
    return QString::fromUtf8(captions[column]);
}

int MarkGrid::widthForRows(int rows)
{
    return rows >= WideFromRows ? WideWidth : NarrowWidth;
}

QStringList MarkGrid::popupMenuFormCaptions()
{
    return {QStringLiteral("neue Marke setzen"),
            QStringLiteral("Marke X löschen"),
            QStringLiteral("neue Marke X einfügen"),
            QStringLiteral("Marke X Start - Frame setzen"),
            QStringLiteral("Marke X Stop - Frame setzen"),
            QStringLiteral("-"),
            QStringLiteral("&Öffnen..."),
            QStringLiteral("&Speichern...")};
}

PopupMenuCaptions MarkGrid::popupMenuCaptions(int row)
{
    const QString number = QString::number(row + 1);
    return {QStringLiteral("Marke ") + number + QStringLiteral(" löschen"),
            QStringLiteral("neue Marke vor Marke ") + number + QStringLiteral(" einfügen"),
            QStringLiteral("Marke ") + number + QStringLiteral(" Start-Frame setzen"),
            QStringLiteral("Marke ") + number + QStringLiteral(" Stop-Frame setzen")};
}

QPoint MarkGrid::popupMenuPoint(QPoint mainWindowTopLeft, int x, int y)
{
    return {mainWindowTopLeft.x() + x + 20, mainWindowTopLeft.y() + y + 328};
}

QString MarkGrid::stopFrameBeforeStartText()
{
    return QStringLiteral("Stop-Frame darf nicht kleiner sein, als Start-Frame !");
}

MarkGrid::MarkGrid()
{
    reset();
}

int MarkGrid::markCount() const
{
    return cell(0, 0).isEmpty() ? 0 : rowCount();
}

QString MarkGrid::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= ColumnCount)
        return {};
    return m_rows.at(row).at(column);
}

QStringList MarkGrid::rowCells(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return emptyRow();
    return m_rows.at(row);
}

void MarkGrid::setCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= ColumnCount)
        throw KadroError(kRangeErrorText);
    m_rows[row][column] = text;
}

std::optional<QPoint> MarkGrid::cellAt(int x, int y, int topRow) const
{
    if (x < 0 || y < 0)
        return std::nullopt;
    int column = 0;
    int left = 0;
    while (column < ColumnCount && x >= left + columnWidth(column) + 1) {
        left += columnWidth(column) + 1;
        ++column;
    }
    if (column >= ColumnCount)
        return std::nullopt;
    const int row = topRow + y / (RowHeight + 1);
    if (row >= rowCount())
        return std::nullopt;
    return QPoint(column, row);
}

void MarkGrid::reset()
{
    m_rows = {emptyRow()};
    m_width = NarrowWidth;
    m_memoRow = 0;
}

void MarkGrid::requireMark(int row) const
{
    if (row < 0 || row >= markCount())
        throw KadroError(kRangeErrorText);
}

void MarkGrid::applyDefaults(int row, const MarkDefaults& defaults)
{
    requireMark(row);
    QStringList& cells = m_rows[row];
    switch (defaults.transition) {
    case MarkDefaults::Transition::ByHand:
        cells[kTransitionColumn] = TransitionCode::cellText(TransitionCode::ByHand);
        break;
    case MarkDefaults::Transition::NoPause:
        cells[kTransitionColumn] = TransitionCode::cellText(TransitionCode::NoPause);
        break;
    case MarkDefaults::Transition::WithPause:
        cells[kTransitionColumn] = QStringLiteral(" Pause (") + defaults.pauseText + QLatin1Char(')');
        break;
    }
    for (int i = 0; i < int(defaults.options.size()); ++i)
        if (defaults.options[i])
            cells[kFirstOptionColumn + i] = kOptionOnCell;
}

void MarkGrid::appendMark(quint32 currentFrame, quint32 videoLength, const MarkDefaults& defaults)
{
    const int r = markCount();
    if (r > 0)
        m_rows.append(emptyRow());
    applyWidthRule();
    m_rows[r][0] = markLabel(r + 1);
    m_rows[r][kStartColumn] = QString::number(currentFrame);
    if (r > 0 && cell(r - 1, kStopColumn).isEmpty()) {
        const qint64 previousStart = cellInteger(cell(r - 1, kStartColumn));
        const qint64 start = cellInteger(cell(r, kStartColumn));
        m_rows[r - 1][kStopColumn] =
            previousStart < start ? QString::number(start - 1) : QString::number(videoLength);
    }
    applyDefaults(r, defaults);
}

void MarkGrid::insertMark(int row, quint32 currentFrame, quint32 videoLength, const MarkDefaults& defaults,
                          const MemoFolder& workMemos, MemoEditorAccess& editor)
{
    requireMark(row);
    // The memo being edited goes into its file before the files are renumbered, so no typed
    // text is lost.
    flushMemo(workMemos, editor);

    m_rows.append(emptyRow());
    const int m = rowCount();
    for (int j = m; j >= row + 2; --j) {
        m_rows[j - 1] = m_rows[j - 2];
        m_rows[j - 1][0] = markLabel(j);
        // From the bottom up, so no rename meets an existing target.
        workMemos.rename(j - 1, j);
    }
    m_rows[row] = emptyRow();
    m_rows[row][0] = markLabel(row + 1);
    m_rows[row][kStartColumn] = QString::number(currentFrame);
    const qint64 start = cellInteger(cell(row, kStartColumn));
    const qint64 next = cellInteger(cell(row + 1, kStartColumn));
    m_rows[row][kStopColumn] = start < next ? QString::number(next - 1) : QString::number(videoLength);

    showLastRowMemo(workMemos, editor);
    applyWidthRule();
    applyDefaults(row, defaults);
}

void MarkGrid::deleteMark(int row, const MemoFolder& workMemos, MemoEditorAccess& editor)
{
    requireMark(row);
    // Keep the text being edited for another mark: it moves with that mark's file.
    if (m_memoRow != row)
        flushMemo(workMemos, editor);

    workMemos.remove(row + 1);
    for (int k = row; k <= rowCount() - 2; ++k) {
        m_rows[k] = m_rows[k + 1];
        m_rows[k][0] = markLabel(k + 1);
        workMemos.rename(k + 2, k + 1);
    }
    if (rowCount() > 1)
        m_rows.removeLast();
    else
        m_rows[0] = emptyRow();

    if (markCount() > 0) {
        showLastRowMemo(workMemos, editor);
    } else {
        // No mark is left whose memo the editor could show.
        m_memoRow = 0;
        editor.setEnabled(false);
        editor.clear();
    }
    applyWidthRule();
}

void MarkGrid::showLastRowMemo(const MemoFolder& workMemos, MemoEditorAccess& editor)
{
    m_memoRow = rowCount() - 1;
    if (memoOn(m_memoRow)) {
        editor.loadFrom(workMemos.fileOf(m_memoRow + 1));
    } else {
        editor.setEnabled(false);
        editor.clear();
    }
}

void MarkGrid::setStartFrame(int row, quint32 currentFrame)
{
    requireMark(row);
    const QString frame = QString::number(currentFrame);
    const QString stop = cell(row, kStopColumn);
    if (!stop.isEmpty() && cellInteger(stop) < qint64(currentFrame))
        m_rows[row][kStopColumn] = frame;
    m_rows[row][kStartColumn] = frame;
}

bool MarkGrid::setStopFrame(int row, quint32 currentFrame, Prompts& prompts)
{
    requireMark(row);
    if (cellInteger(cell(row, kStartColumn)) <= qint64(currentFrame)) {
        m_rows[row][kStopColumn] = QString::number(currentFrame);
        return true;
    }
    prompts.warning(stopFrameBeforeStartText());
    return false;
}

void MarkGrid::toggleOption(int row, int column)
{
    requireMark(row);
    if (column < kFirstOptionColumn || column > kLastOptionColumn)
        throw KadroError(kRangeErrorText);
    QString& text = m_rows[row][column];
    text = text.isEmpty() ? kOptionOnCell : QString();
}

void MarkGrid::setTransition(int row, quint32 code)
{
    requireMark(row);
    m_rows[row][kTransitionColumn] = TransitionCode::cellText(code);
}

GridClickResult MarkGrid::click(int row, int column, GridMouseButton button, const MemoFolder& workMemos,
                                MemoEditorAccess& editor)
{
    GridClickResult result;
    if (cell(row, 0).isEmpty() || column < 0 || column >= ColumnCount)
        return result;
    result.onMark = true;
    m_selectedRow = row;

    if (button == GridMouseButton::Right) {
        result.popupMenu = popupMenuCaptions(row);
        return result;
    }

    if (column <= kLastOptionColumn)
        showMemo(row, workMemos, editor);
    if (column == 0) {
        result.showFrame = cellInteger(cell(row, kStartColumn));
    } else if (column == kStartColumn || column == kStopColumn) {
        if (!cell(row, column).isEmpty())
            result.showFrame = cellInteger(cell(row, column));
    } else if (column == kTransitionColumn) {
        result.openTransitionDialog = true;
    } else if (column <= kLastOptionColumn) {
        result.dataChanged = true;
        toggleOption(row, column);
    } else {
        result.dataChanged = true;
        toggleMemo(row, workMemos, editor);
    }
    return result;
}

void MarkGrid::showMemo(int row, const MemoFolder& workMemos, MemoEditorAccess& editor)
{
    // Every save comes before anything changes: a memo that cannot be written stays in the
    // editor, and its row stays the memo row.
    if (!memoOn(row)) {
        if (m_memoRow != row && memoOn(m_memoRow))
            saveMemo(m_memoRow, workMemos, editor);
        editor.setEnabled(false);
        editor.clear();
    } else {
        // The row showing now is saved first (also when it stays), then reloaded.
        if (m_memoRow == row || memoOn(m_memoRow))
            saveMemo(m_memoRow, workMemos, editor);
        editor.setEnabled(true);
        editor.loadFrom(workMemos.fileOf(row + 1));
    }
    m_memoRow = row;
}

void MarkGrid::toggleMemo(int row, const MemoFolder& workMemos, MemoEditorAccess& editor)
{
    requireMark(row);
    if (!cell(row, MemoColumn).isEmpty()) {
        if (m_memoRow == row)
            saveMemo(row, workMemos, editor);  // the text survives switching off
        else if (memoOn(m_memoRow) || editor.hasText())
            saveMemo(m_memoRow, workMemos, editor);  // an emptied memo is written empty
        m_rows[row][MemoColumn].clear();
        editor.setEnabled(false);
        editor.clear();
    } else {
        if (m_memoRow != row && memoOn(m_memoRow))
            saveMemo(m_memoRow, workMemos, editor);
        m_rows[row][MemoColumn] = kOptionOnCell;
        editor.setEnabled(true);
        editor.loadFrom(workMemos.fileOf(row + 1));
    }
    m_memoRow = row;
}

void MarkGrid::flushMemo(const MemoFolder& workMemos, MemoEditorAccess& editor) const
{
    if (memoOn(m_memoRow))
        saveMemo(m_memoRow, workMemos, editor);
}

void MarkGrid::saveMemo(int row, const MemoFolder& workMemos, MemoEditorAccess& editor)
{
    const QString file = workMemos.fileOf(row + 1);
    if (!editor.saveTo(file))
        throw KadroError(memoNotWrittenMessage(row + 1, file));
}

QString workFolderNotWritableMessage(const QString& folder)
{
    return QStringLiteral("Im Ordner \"%1\" können keine Memotexte gespeichert werden.\r"
                          "Memotexte dieser Präsentation gehen verloren, solange der Ordner nicht beschrieben "
                          "werden kann.")
        .arg(QDir::toNativeSeparators(folder));
}

QString memoNotWrittenMessage(int markNumber, const QString& file)
{
    return QStringLiteral("Der Memotext von Marke %1 konnte nicht in die Datei \"%2\" geschrieben werden.\r"
                          "Der Text bleibt im Editor. Bitte sorgen Sie dafür, dass der Ordner \"%3\" "
                          "beschrieben werden kann.")
        .arg(markNumber)
        .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(QFileInfo(file).absolutePath()));
}

std::optional<QString> MarkGrid::missingStopFrameWarning() const
{
    if (!cell(rowCount() - 1, kStopColumn).isEmpty())
        return std::nullopt;
    return QStringLiteral("Stop-Frame von Marke ") + QString::number(rowCount()) +
           QStringLiteral(" ist noch nicht gesetzt !");
}

QList<int> MarkGrid::forceAutostart()
{
    QList<int> changed;
    for (int r = 0; r < rowCount(); ++r) {
        QStringList& cells = m_rows[r];
        if (cells[kStartColumn] == cells[kStopColumn])
            continue;  // a still picture needs no start
        bool canStart = false;
        for (int c = kFirstOptionColumn; c <= 7; ++c)
            canStart = canStart || !cells[c].isEmpty();
        if (!canStart && cells[kAutostartColumn] != kOptionOnCell) {
            cells[kAutostartColumn] = kOptionOnCell;
            changed << r;
        }
    }
    return changed;
}

void MarkGrid::fillFromTable(const MarkTable& table, const QString& presentationPath,
                             const MemoFolder& workMemos, MemoEditorAccess& editor)
{
    const MemoFolder presentationMemos(presentationDirOf(presentationPath));
    m_rows.clear();
    for (int i = 1; i <= table.count(); ++i) {
        const Mark& mark = table.mark(i);
        QStringList cells = markRowCells(mark, i);
        if (mark.isOn(Mark::Memo))
            DateiKopieren(presentationMemos.fileOf(i), workMemos.fileOf(i));
        m_rows.append(cells);
    }
    if (m_rows.isEmpty())
        m_rows.append(emptyRow());
    applyWidthRule();

    // The editor now shows mark 1's memo, so row 0 is the memo row.
    m_memoRow = 0;
    if (memoOn(0)) {
        editor.setEnabled(true);
        editor.loadFrom(workMemos.fileOf(1));
    } else {
        editor.setEnabled(false);
        editor.clear();
    }
}

void MarkGrid::restore(const MarkGrid& saved, const MemoFolder& workMemos, MemoEditorAccess& editor)
{
    *this = saved;
    // As after reading a presentation, mark 1's memo is shown (every memo is in its file).
    m_memoRow = 0;
    if (memoOn(m_memoRow)) {
        editor.setEnabled(true);
        editor.loadFrom(workMemos.fileOf(m_memoRow + 1));
    } else {
        editor.setEnabled(false);
        editor.clear();
    }
}

MarkTable MarkGrid::toMarkTable() const
{
    MarkTable table;
    for (int r = 0; r < markCount(); ++r)
        table.append(markFromRowCells(m_rows.at(r)));
    return table;
}

} // namespace kadro
