#include "measure/model/MeasureFormat.h"

#include "common/NumberFormat.h"

#include <cmath>

namespace kadro {

QString zeroText(int decimals)
{
    QString text = QStringLiteral("0");
    if (decimals > 0)
        text += decimalSeparator() + QString(decimals, QLatin1Char('0'));
    return text;
}

QString tableNumberText(qint64 pixels, double metres)
{
    // The zero text is written with the user's separator, so that the fits and the file can
    // read it back like every other cell.
    if (pixels == 0)
        return zeroText(3);
    const double a = std::fabs(metres);
    if (a >= 0.01 && a < 10)
        return formatPattern(metres, QStringLiteral("0.000"));
    if (a >= 10 && a < 1000)
        return formatPattern(metres, QStringLiteral("0.00"));
    return formatPattern(metres, QStringLiteral("0.00E+00"));
}

QString liveNumberText(qint64 pixels, double metres)
{
    if (pixels == 0)
        return QStringLiteral("0.000");
    const double a = std::fabs(metres);
    if (a >= 0.001 && a < 1000)
        return formatPattern(metres, QStringLiteral("0.000"));
    return formatPattern(metres, QStringLiteral("0.00E+00"));
}

} // namespace kadro
