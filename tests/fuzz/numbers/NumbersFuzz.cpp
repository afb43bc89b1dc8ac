// The number parsers on any text (the input as UTF-8), in the German locale, and the number
// formats on the values they read and on the input's first eight bytes taken as a double.
// What must hold:
// - a whole number is accepted exactly when it is blanks, an optional sign and digits within
//   32 bits, with that value; a refused one names the text in its message;
// - a decimal number is accepted exactly when, blanks around it aside, it is an optional sign,
//   digits with at most one decimal comma and an optional exponent, with the value that text
//   has; a point is never a decimal separator here;
// - every format of a value reads back as a decimal number near the value (as near as the
//   format's digits allow), the general form to itself; no zero is written with a "-".
#include "FuzzSupport.h"

#include "common/NumberFormat.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <cstring>
#include <optional>

using namespace kadro;

namespace {

std::optional<double> readDecimal(const QString& text)
{
    double v = 0;
    if (!tryParseDecimal(text, &v))
        return std::nullopt;
    return v;
}

void checkInteger(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^ *([+-]?[0-9]+)\\z"));
    const QRegularExpressionMatch m = shape.match(text);
    bool inRange = false;
    const qlonglong expected = m.hasMatch() ? QLocale::c().toLongLong(m.captured(1).remove(QLatin1Char('+')), &inRange) : 0;
    inRange = inRange && expected >= INT32_MIN && expected <= INT32_MAX;
    int value = 0;
    const bool accepted = tryParseInteger(text, &value);
    FUZZ_CHECK(accepted == inRange, fuzz::escaped(text));
    if (accepted) {
        FUZZ_CHECK(value == expected, fuzz::escaped(text) + QStringLiteral(" read as %1").arg(value));
        FUZZ_CHECK(parseInteger(QString::number(value)) == value, QString::number(value));
    } else {
        try {
            parseInteger(text);
            FUZZ_CHECK(false, fuzz::escaped(text));
        } catch (const ConvertError& e) {
            // The message is a C string: it ends at a NUL character of the text.
            QString expected = QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text);
            if (const qsizetype nul = expected.indexOf(QChar(0)); nul >= 0)
                expected.truncate(nul);
            FUZZ_CHECK(QString::fromUtf8(e.what()) == expected, fuzz::escaped(QString::fromUtf8(e.what())));
        }
    }
}

std::optional<double> checkDecimal(const QString& text)
{
    static const QRegularExpression shape(
        QStringLiteral("^[+-]?([0-9]+(,[0-9]*)?|,[0-9]+)([eE][+-]?[0-9]+)?\\z"));
    const QString trimmed = text.trimmed();
    const bool wellFormed = shape.match(trimmed).hasMatch();
    const std::optional<double> value = readDecimal(text);
    FUZZ_CHECK(!value || wellFormed, fuzz::escaped(text));
    FUZZ_CHECK(!value || !text.contains(QLatin1Char('.')), fuzz::escaped(text));
    if (wellFormed) {
        bool ok = false;
        QString c = trimmed;
        c.replace(QLatin1Char(','), QLatin1Char('.'));
        if (c.startsWith(QLatin1Char('.')) || c.startsWith(QStringLiteral("+.")) || c.startsWith(QStringLiteral("-.")))
            c.insert(c.indexOf(QLatin1Char('.')), QLatin1Char('0'));
        const double expected = QLocale::c().toDouble(c, &ok);
        // Where Qt reads the text as a normal finite number, so must the program, to the same value.
        if (ok && std::isfinite(expected) && (expected == 0 || std::fpclassify(expected) == FP_NORMAL)) {
            FUZZ_CHECK(value && *value == expected,
                       fuzz::escaped(text) + QStringLiteral(" expected %1").arg(expected, 0, 'g', 17));
        }
    }
    if (value) {
        FUZZ_CHECK(std::isfinite(*value), fuzz::escaped(text));
        try {
            FUZZ_CHECK(parseDecimal(text) == *value, fuzz::escaped(text));
        } catch (const ConvertError&) {
            FUZZ_CHECK(false, fuzz::escaped(text));
        }
    }
    return value;
}

// A formatted value reads back within `tolerance` of it.
void checkReadsBack(double v, const QString& formatted, double tolerance, const char* format)
{
    const std::optional<double> back = readDecimal(formatted);
    const auto detail = [&] {
        return QStringLiteral("%1 as %2 gave %3").arg(v, 0, 'g', 17).arg(QLatin1String(format), formatted);
    };
    FUZZ_CHECK(back, detail());
    FUZZ_CHECK(std::fabs(*back - v) <= tolerance, detail() + QStringLiteral(", read back as %1").arg(*back, 0, 'g', 17));
    if (*back == 0)
        FUZZ_CHECK(!formatted.startsWith(QLatin1Char('-')), detail());
}

void checkFormats(double v)
{
    if (!std::isfinite(v))
        return;
    const double a = std::fabs(v);
    // Beyond these the decimal forms reach the ends of the double range.
    const bool moderate = a == 0 || (a >= 1e-290 && a <= 1e290);

    checkReadsBack(v, formatPattern(v, QStringLiteral("0.000")), 0.0005 + a * 2.3e-16, "0.000");
    checkReadsBack(v, formatPattern(v, QStringLiteral("0.00")), 0.005 + a * 2.3e-16, "0.00");
    if (moderate) {
        const QString general = formatGeneral(v);
        // Half a unit of the last digit shown, and half a unit of the last bit when read back.
        checkReadsBack(v, general, a * (5e-15 + 2.3e-16), "general");
        FUZZ_CHECK(formatGeneral(*readDecimal(general)) == general, general);

        checkReadsBack(v, formatPattern(v, QStringLiteral("0.00E+00")), a * (5e-3 + 2.3e-16), "0.00E+00");
        checkReadsBack(v, formatPattern(v, QStringLiteral("0.000E+00")), a * (5e-4 + 2.3e-16), "0.000E+00");
        for (const auto& [precision, decimals] : {std::pair{4, 3}, std::pair{4, 2}, std::pair{4, 0}, std::pair{15, 2}}) {
            const double tolerance = a * (5 * std::pow(10.0, -precision) + 2.3e-16) + 0.5 * std::pow(10.0, -decimals);
            checkReadsBack(v, formatFixed(v, precision, decimals), tolerance, "fixed");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    checkInteger(text);
    if (const std::optional<double> value = checkDecimal(text))
        checkFormats(*value);
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkFormats(raw);
    }
    return 0;
}
