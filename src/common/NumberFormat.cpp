#include "common/NumberFormat.h"

#include <QLocale>
#include <cmath>
#include <charconv>
#include <string>

namespace kadro {

namespace {

// value = 0 or d0.d1d2... × 10^exp, with 18 significant digits.
struct Decimal {
    bool negative = false;
    bool zero = true;
    std::string digits; // always 18 digits when not zero
    int exp = 0;
};

Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0.0 || !std::isfinite(value))
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
    std::string s(buf, res.ptr);
    const auto e = s.find('e');
    d.digits = s.substr(0, 1) + s.substr(2, e - 2);
    d.exp = std::stoi(s.substr(e + 1));
    d.zero = false;
    return d;
}

// Keeps the first `keep` digits, rounding half up on the next one. Returns the kept digits
// (possibly one longer after a carry, e.g. "999" → "1000") or "" when nothing survives.
std::string roundDigits(const std::string& digits, int keep, bool* carried)
{
    *carried = false;
    if (keep < 0)
        return {};
    std::string kept = digits.substr(0, std::min<std::size_t>(keep, digits.size()));
    while (static_cast<int>(kept.size()) < keep)
        kept.push_back('0');
    const char next = keep < static_cast<int>(digits.size()) ? digits[keep] : '0';
    if (next >= '5') {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[i] == '9') {
            kept[i] = '0';
            --i;
        }
        if (i >= 0) {
            kept[i]++;
        } else {
            kept.insert(kept.begin(), '1');
            *carried = true;
        }
    }
    return kept;
}

bool allZero(const std::string& s)
{
    return s.find_first_not_of('0') == std::string::npos;
}

// Fixed notation with exactly `decimals` decimals, rounding at that position (and, when
// `maxSignificant` > 0, also at that many significant digits, whichever comes first).
QString fixedDecimals(const Decimal& d, int decimals, int maxSignificant = 0)
{
    std::string intDigits; // the value × 10^decimals as an integer digit string
    if (!d.zero) {
        int keep = d.exp + 1 + decimals;
        if (maxSignificant > 0)
            keep = std::min(keep, maxSignificant);
        bool carried = false;
        std::string kept = roundDigits(d.digits, keep, &carried);
        // Scale back to the integer of value × 10^decimals.
        const int totalLength = d.exp + 1 + decimals + (carried ? 1 : 0);
        if (!kept.empty()) {
            intDigits = kept;
            while (static_cast<int>(intDigits.size()) < totalLength)
                intDigits.push_back('0');
        }
    }
    if (intDigits.empty() || allZero(intDigits))
        intDigits = "0";
    while (static_cast<int>(intDigits.size()) < decimals + 1)
        intDigits.insert(intDigits.begin(), '0');
    const bool negative = d.negative && !allZero(intDigits);
    QString out = negative ? QStringLiteral("-") : QString();
    const std::size_t split = intDigits.size() - decimals;
    out += QString::fromStdString(intDigits.substr(0, split));
    if (decimals > 0) {
        out += decimalSeparator();
        out += QString::fromStdString(intDigits.substr(split));
    }
    return out;
}

// Mantissa rounded to `significant` digits; exponent adjusted for a carry.
void roundSignificant(const Decimal& d, int significant, std::string* mantissa, int* exp)
{
    bool carried = false;
    *mantissa = roundDigits(d.digits, significant, &carried);
    *exp = d.exp;
    if (carried) {
        mantissa->pop_back();
        ++*exp;
    }
}

QString exponentText(int exp, bool plusSign, int minDigits)
{
    QString digits = QString::number(std::abs(exp));
    while (digits.size() < minDigits)
        digits.prepend(QLatin1Char('0'));
    if (exp < 0)
        return QStringLiteral("-") + digits;
    return (plusSign ? QStringLiteral("+") : QString()) + digits;
}

} // namespace

QChar decimalSeparator()
{
    const QString dp = QLocale().decimalPoint();
    return dp.isEmpty() ? QLatin1Char('.') : dp.at(0);
}

QString formatPattern(double value, const QString& pattern)
{
    const Decimal d = toDecimal(value);
    const qsizetype ePos = pattern.indexOf(QLatin1Char('E'));
    if (ePos < 0) {
        const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
        const int decimals = dot < 0 ? 0 : static_cast<int>(pattern.size() - dot - 1);
        return fixedDecimals(d, decimals);
    }
    const QString mantissaPattern = pattern.left(ePos);
    const int significant = static_cast<int>(mantissaPattern.count(QLatin1Char('0')) + mantissaPattern.count(QLatin1Char('#')));
    const qsizetype dot = mantissaPattern.indexOf(QLatin1Char('.'));
    const int decimals = dot < 0 ? 0 : static_cast<int>(mantissaPattern.size() - dot - 1);
    const int expDigits = static_cast<int>(pattern.mid(ePos + 2).count(QLatin1Char('0')));
    std::string mantissa;
    int exp = 0;
    if (d.zero) {
        mantissa = std::string(significant, '0');
    } else {
        roundSignificant(d, significant, &mantissa, &exp);
    }
    QString out = (d.negative && !d.zero) ? QStringLiteral("-") : QString();
    out += QChar(mantissa[0]);
    if (decimals > 0) {
        out += decimalSeparator();
        out += QString::fromStdString(mantissa.substr(1));
    }
    out += QStringLiteral("E") + exponentText(exp, pattern.at(ePos + 1) == QLatin1Char('+'), expDigits);
    return out;
}

QString formatFixed(double value, int precision, int decimals)
{
    const Decimal d = toDecimal(value);
    if (d.zero)
        return fixedDecimals(d, decimals);
    std::string mantissa;
    int exp = 0;
    roundSignificant(d, precision, &mantissa, &exp);
    if (exp + 1 <= precision)
        return fixedDecimals(d, decimals, precision);
    // Integer part too long: general exponent form.
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    QString out = d.negative ? QStringLiteral("-") : QString();
    out += QChar(mantissa[0]);
    if (mantissa.size() > 1) {
        out += decimalSeparator();
        out += QString::fromStdString(mantissa.substr(1));
    }
    out += QStringLiteral("E") + exponentText(exp, false, decimals > 4 ? 0 : decimals);
    return out;
}

QString formatGeneral(double value)
{
    const Decimal d = toDecimal(value);
    if (d.zero)
        return QStringLiteral("0");
    std::string mantissa;
    int exp = 0;
    roundSignificant(d, 15, &mantissa, &exp);
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    QString out = d.negative ? QStringLiteral("-") : QString();
    if (exp >= 15 || exp < -4) {
        out += QChar(mantissa[0]);
        if (mantissa.size() > 1) {
            out += decimalSeparator();
            out += QString::fromStdString(mantissa.substr(1));
        }
        out += QStringLiteral("E") + exponentText(exp, false, 0);
        return out;
    }
    std::string intPart;
    std::string fracPart;
    if (exp < 0) {
        intPart = "0";
        fracPart = std::string(-exp - 1, '0') + mantissa;
    } else {
        const std::size_t intLen = static_cast<std::size_t>(exp) + 1;
        if (mantissa.size() <= intLen) {
            intPart = mantissa + std::string(intLen - mantissa.size(), '0');
        } else {
            intPart = mantissa.substr(0, intLen);
            fracPart = mantissa.substr(intLen);
        }
    }
    out += QString::fromStdString(intPart);
    if (!fracPart.empty()) {
        out += decimalSeparator();
        out += QString::fromStdString(fracPart);
    }
    return out;
}

double roundEven(double value)
{
    return std::nearbyint(value);
}

bool tryParseInteger(const QString& text, int* value)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i >= text.size())
        return false;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > qint64(1) << 32)
            return false;
    }
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    *value = static_cast<int>(v);
    return true;
}

int parseInteger(const QString& text)
{
    int v = 0;
    if (!tryParseInteger(text, &v))
        throw ConvertError(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text).toStdString());
    return v;
}

bool tryParseDecimal(const QString& text, double* value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QChar sep = decimalSeparator();
    std::string ascii;
    qsizetype i = 0;
    if (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-'))
        ascii.push_back(static_cast<char>(t.at(i++).unicode()));
    bool digits = false;
    bool seenSep = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            ascii.push_back(static_cast<char>(c.unicode()));
            digits = true;
        } else if (c == sep && !seenSep) {
            ascii.push_back('.');
            seenSep = true;
        } else {
            break;
        }
    }
    if (!digits)
        return false;
    if (i < t.size()) {
        if (t.at(i) != QLatin1Char('E') && t.at(i) != QLatin1Char('e'))
            return false;
        ascii.push_back('e');
        ++i;
        if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
            ascii.push_back(static_cast<char>(t.at(i++).unicode()));
        bool expDigits = false;
        for (; i < t.size(); ++i) {
            const QChar c = t.at(i);
            if (!(c.isDigit() && c.unicode() < 128))
                return false;
            ascii.push_back(static_cast<char>(c.unicode()));
            expDigits = true;
        }
        if (!expDigits)
            return false;
    }
    if (!ascii.empty() && ascii[0] == '+')
        ascii.erase(0, 1);
    double v = 0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size() || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

double parseDecimal(const QString& text)
{
    double v = 0;
    if (!tryParseDecimal(text, &v))
        throw ConvertError(QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(text).toStdString());
    return v;
}

} // namespace kadro
