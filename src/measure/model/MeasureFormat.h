#pragma once
#include <QString>
#include <QtGlobal>

namespace kadro {

// Text of a coordinate in the measurement table. `pixels` is the pixel difference to the origin
// the value was computed from (a difference of 0 gives the fixed zero text, whatever the scale),
// `metres` the value itself:
//   0               → "0,000"
//   0,01 ≤ |v| < 10   → "0.000"     (e.g. -0,500)
//   10 ≤ |v| < 1000   → "0.00"      (e.g. 12,35)
//   otherwise       → "0.00E+00"  (e.g. 5,00E-03, 1,23E+03)
QString tableNumberText(qint64 pixels, double metres);

// Text of a coordinate in the live position display beside the picture. It has limits of its
// own, and its zero text is "0.000" with a point in every locale:
//   0                 → "0.000"
//   0,001 ≤ |v| < 1000  → "0.000"     (e.g. 0,005)
//   otherwise         → "0.00E+00"
QString liveNumberText(qint64 pixels, double metres);

// The decimal zero "0,000" / "0,00" with the user's decimal separator.
QString zeroText(int decimals);

} // namespace kadro
