#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <optional>

namespace kadro {

// Text of a switched-on option cell of the mark grid (six blanks, then OK). The memo column
// counts as on only with exactly this text.
inline const QString kOptionOnCell = QStringLiteral("      OK");

// The transition that follows a section once it has played: 100 = by hand, 0 = at once
// (without pause), 1..99 = after a pause of that many seconds.
struct TransitionCode {
    static constexpr quint32 ByHand = 100;
    static constexpr quint32 NoPause = 0;
    static constexpr quint32 MaxPauseSeconds = 99;

    static bool isPause(quint32 code) { return code >= 1 && code <= MaxPauseSeconds; }

    // Grid cell of a code: "   manuell", "ohne Pause" or " Pause (n)"; empty for any other code.
    static QString cellText(quint32 code);
    // The code written in one of the three cell forms; nullopt for any other text.
    static std::optional<quint32> fromCellText(const QString& cell);
    // The transition token of a presentation line for a cell: " M", " A0" or " A" followed by
    // the text between " Pause (" and ")"; empty for a cell of none of these forms.
    static QString fileToken(const QString& cell);
};

// One section of a presentation: start and stop frame (absolute frame numbers), the transition
// code and nine switches (1 = on, any other value = off). All fields are 32-bit.
struct Mark {
    enum Switch {
        StartStop,
        Einzelbild,
        Zeitlupe,
        Schieberegler,
        Frameanzeige,
        Zeitanzeige,
        Autostart,
        Auswertung,
        Memo,
        SwitchCount
    };

    quint32 firstFrame = 0;
    quint32 lastFrame = 0;
    quint32 transition = 0;
    std::array<quint32, SwitchCount> switches{};

    bool isOn(Switch s) const { return switches[s] == 1; }
    // Grid column of a switch (4..12).
    static int columnOf(Switch s) { return 4 + int(s); }

    bool operator==(const Mark&) const = default;
};

// The marks of a read presentation, numbered from 1 without gaps. It grows with the file, so
// every presentation that could be saved can be read again.
class MarkTable {
public:
    int count() const { return int(m_marks.size()); }
    bool isEmpty() const { return m_marks.isEmpty(); }
    void clear() { m_marks.clear(); }
    void append(const Mark& mark) { m_marks.append(mark); }

    // Mark by number 1..count(); any other number is a range error (KadroError
    // "Fehler bei Bereichsprüfung").
    const Mark& mark(int number) const;
    Mark& mark(int number);

    const QList<Mark>& marks() const { return m_marks; }
    bool operator==(const MarkTable&) const = default;

private:
    QList<Mark> m_marks;
};

// The message of a range error, shown by the general error box.
inline const QString kRangeErrorText = QStringLiteral("Fehler bei Bereichsprüfung");

// The 13 cell texts of the grid row of mark `number`: "Marke n", start, stop, transition, and
// "      OK" or empty for each switch that is exactly 1. A transition outside the three forms
// leaves its cell empty.
QStringList markRowCells(const Mark& mark, int number);

// The mark a grid row describes. An empty stop-frame cell gives lastFrame 0 (not yet set);
// option cells count as on when not empty; a transition cell of none of the three forms gives 0.
// A frame cell that is not a whole number throws ConvertError.
Mark markFromRowCells(const QStringList& cells);

// Integer in a frame cell ("'x' ist kein gültiger Integerwert" otherwise), 32-bit unsigned range.
qint64 cellInteger(const QString& text);

} // namespace kadro
