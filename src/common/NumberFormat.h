#pragma once
#include <QString>
#include <stdexcept>

namespace kadro {

// A text that is not a number where one is needed; the message is what the general error box
// shows, e.g. "'abc' ist kein gültiger Integerwert".
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The user's decimal separator (from the default locale).
QChar decimalSeparator();

// Pattern formats: "0.000", "0.00" (fixed decimals) and "0.00E+00", "0.000E+00" (mantissa
// digits, exponent with sign and at least two digits). Half away from zero on the decimal digits.
QString formatPattern(double value, const QString& pattern);

// Fixed format with precision P significant digits and D decimals; falls back to the general
// exponent form ("1,235E05") when the integer part needs more than P digits.
QString formatFixed(double value, int precision, int decimals);

// Shortest general form with up to 15 significant digits ("0,08", "1E-5", "1,5E-5").
QString formatGeneral(double value);

// Round to the nearest integer, ties to even.
double roundEven(double value);

// Whole number as typed by a user or stored as text: leading blanks, optional sign, digits,
// nothing after. Throws ConvertError otherwise (also outside 32 bits).
int parseInteger(const QString& text);
bool tryParseInteger(const QString& text, int* value);

// Decimal number typed with the user's decimal separator; blanks around it allowed, optional
// exponent, no thousands separators. Throws ConvertError otherwise.
double parseDecimal(const QString& text);
bool tryParseDecimal(const QString& text, double* value);

} // namespace kadro
