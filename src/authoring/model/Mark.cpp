#include "authoring/model/Mark.h"

#include "common/ErrorReport.h"
#include "common/NumberFormat.h"

#include <limits>

namespace kadro {

namespace {
const QString kByHandCell = QStringLiteral("   manuell");
const QString kNoPauseCell = QStringLiteral("ohne Pause");
const QString kPausePrefix = QStringLiteral(" Pause (");

constexpr int kMarkColumns = 13;

// The text between " Pause (" and the cell's last character.
QString pauseSecondsText(const QString& cell)
{
    return cell.mid(kPausePrefix.size(), std::max<qsizetype>(0, cell.size() - kPausePrefix.size() - 1));
}
} // namespace

QString TransitionCode::cellText(quint32 code)
{
    if (code == ByHand)
        return kByHandCell;
    if (code == NoPause)
        return kNoPauseCell;
    if (isPause(code))
        return kPausePrefix + QString::number(code) + QLatin1Char(')');
    return {};
}

std::optional<quint32> TransitionCode::fromCellText(const QString& cell)
{
    if (cell == kByHandCell)
        return ByHand;
    if (cell == kNoPauseCell)
        return NoPause;
    if (cell.startsWith(kPausePrefix) && cell.endsWith(QLatin1Char(')'))) {
        bool ok = false;
        const quint32 seconds = pauseSecondsText(cell).toUInt(&ok);
        if (ok)
            return seconds;
    }
    return std::nullopt;
}

QString TransitionCode::fileToken(const QString& cell)
{
    if (cell == kByHandCell)
        return QStringLiteral(" M");
    if (cell == kNoPauseCell)
        return QStringLiteral(" A0");
    // The pause form is recognised by its second character, as the cell can only hold the three
    // forms the program writes; the seconds are copied as the cell shows them.
    if (cell.size() >= 2 && cell.at(1) == QLatin1Char('P'))
        return QStringLiteral(" A") + pauseSecondsText(cell);
    return {};
}

const Mark& MarkTable::mark(int number) const
{
    if (number < 1 || number > m_marks.size())
        throw KadroError(kRangeErrorText);
    return m_marks.at(number - 1);
}

Mark& MarkTable::mark(int number)
{
    if (number < 1 || number > m_marks.size())
        throw KadroError(kRangeErrorText);
    return m_marks[number - 1];
}

QStringList markRowCells(const Mark& mark, int number)
{
    QStringList cells;
    cells.reserve(kMarkColumns);
    cells << QStringLiteral("Marke ") + QString::number(number) << QString::number(mark.firstFrame)
          << QString::number(mark.lastFrame) << TransitionCode::cellText(mark.transition);
    for (int s = 0; s < Mark::SwitchCount; ++s)
        cells << (mark.switches[s] == 1 ? kOptionOnCell : QString());
    return cells;
}

qint64 cellInteger(const QString& text)
{
    // Leading blanks, an optional sign and digits, nothing after: the rule for whole numbers.
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    const qsizetype signAt = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    bool valid = i < text.size();
    for (qsizetype k = i; k < text.size() && valid; ++k)
        valid = text.at(k) >= QLatin1Char('0') && text.at(k) <= QLatin1Char('9');
    bool ok = false;
    const qint64 value = valid ? text.mid(signAt).toLongLong(&ok) : 0;
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<quint32>::max())
        throw ConvertError(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text).toStdString());
    return value;
}

Mark markFromRowCells(const QStringList& cells)
{
    const auto cell = [&](int column) { return column < cells.size() ? cells.at(column) : QString(); };
    Mark mark;
    mark.firstFrame = quint32(cellInteger(cell(1)));
    mark.lastFrame = cell(2).isEmpty() ? 0 : quint32(cellInteger(cell(2)));
    mark.transition = TransitionCode::fromCellText(cell(3)).value_or(TransitionCode::NoPause);
    for (int s = 0; s < Mark::SwitchCount; ++s)
        mark.switches[s] = cell(Mark::columnOf(Mark::Switch(s))).isEmpty() ? 0 : 1;
    return mark;
}

} // namespace kadro
