#pragma once
// Motion over time from the measured points: the time of each point from its frame, velocities
// by central differences, accelerations from a least-squares parabola over five neighbouring
// points, least-squares lines and parabolas over time with the standard uncertainties of their
// parameters, and the texts of the diagram window (its table, the fit's equation, the clipboard
// and CSV exports).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kadro {

class FrameClock;
class MeasurementSeries;

// The quantities the diagram window shows over t, in the order of its choice box.
enum class Quantity { X, Y, Vx, Vy, V, Ax, Ay };
inline constexpr int kQuantityCount = 7;

// "x", "y", "vx", "vy", "v", "ax", "ay".
QString quantityName(Quantity q);
// "m", "m/s", "m/s²".
QString quantityUnit(Quantity q);

// One measured point with what follows from its neighbours. A derivative that has no neighbours
// for its formula (the first and last point for v, the first two and last two for a), or whose
// neighbours lie on the same frame, is empty.
struct KinematicsRow {
    double t = 0;  // seconds since the first point
    double x = 0;  // metres, as the measurement table shows them
    double y = 0;
    QString xText; // the table's own texts of x and y
    QString yText;
    std::optional<double> vx, vy, v, ax, ay;

    std::optional<double> value(Quantity q) const;
};

// The points of the series (rows 1 to nextRow()−1) in their order. t from `clock` by each
// point's frame: t(i) = secondsAt(frame(i)) − secondsAt(frame(1)). A cell that is not a number
// throws ConvertError.
std::vector<KinematicsRow> kinematicsOf(const MeasurementSeries& series, const FrameClock& clock);

// v(i) = (q(i+1) − q(i−1)) / (t(i+1) − t(i−1)); empty for the first and last point and where
// both neighbours have the same time.
std::vector<std::optional<double>> centralDifference(const std::vector<double>& t, const std::vector<double>& q);
// a(i) = 2·c of the least-squares parabola q = a0 + b·(t − t(i)) + c·(t − t(i))² through the
// points i−2 .. i+2; empty for the first two and last two points and where the five points have
// fewer than three different times.
std::vector<std::optional<double>> fivePointAcceleration(const std::vector<double>& t,
                                                         const std::vector<double>& q);

// A least-squares polynomial q(t) = c0 + c1·t (+ c2·t²) over the time since the first point.
// Computed in double over centred and scaled times (so large or far-off times cost no
// precision); the parameters' standard uncertainties are √(σ² · (AᵀA)⁻¹ᵢᵢ) with
// σ² = SSE / (n − p). Points on the curve to the rounding of the arithmetic count as exact
// (σ = 0).
struct PolynomialFit {
    int degree = 1;
    std::vector<double> c;           // c0, c1 (, c2)
    std::vector<double> uncertainty; // of each c; empty when n = p (nothing left to judge by)
    int n = 0;
    double rms = 0;                  // √(SSE / n)

    double value(double t) const;
};
// nullopt when the points have fewer than degree + 1 different times. Degree 1 or 2.
std::optional<PolynomialFit> fitPolynomial(const std::vector<double>& t, const std::vector<double>& q, int degree);

// The rows of `rows` that have a value of `q`, as times and values.
void quantitySamples(const std::vector<KinematicsRow>& rows, Quantity q, std::vector<double>* t,
                     std::vector<double>* values);

// A value with its standard uncertainty: the uncertainty rounded to two significant digits and
// the value rounded to the same decimal place, with the user's decimal separator:
// (9.82637, 0.01234) → "9,826 ± 0,012"; (1234.5, 56.7) → "1235 ± 57"; (12345, 567) →
// "12350 ± 570". A negative value gets "−". A zero or non-finite uncertainty gives the value with
// four significant digits (at most four decimals) and "± 0".
QString valueWithUncertainty(double value, double uncertainty);
// The same value alone, rounded as above ("9,826").
QString valueRoundedTo(double value, double uncertainty);

// The lines the diagram window shows under the plot for a fit of `q`:
//   "y(t) = 1,063 + 0,001·t − 4,913·t²"
//   "y₀ = 1,063 ± 0,002 m   v₀ = 0,001 ± 0,010 m/s   …" (every parameter with its uncertainty)
//   "g = 9,826 ± 0,012 m/s²" (a parabola in y; a line in x or y gives "v = … ± … m/s", a line in
//   vy "g = …", in vx or v "a = …", a parabola in x "a = …"; other fits have no such line)
//   "n = 25 Punkte, RMS-Abweichung = 0,0021 m"
QStringList fitTexts(Quantity q, const PolynomialFit& fit);

// The table's header and cells, in the window's column order t, x, y, vx, vy, v, ax, ay.
QStringList kinematicsHeader();
// t with `timePattern` (the clock's interval pattern), x and y as the measurement table shows
// them, derivatives with "0.000"; empty cells stay empty.
QStringList kinematicsCells(const KinematicsRow& row, const QString& timePattern);
// The table for the clipboard: header and rows, tab-separated, lines ended by LF.
QString kinematicsClipboardText(const std::vector<KinematicsRow>& rows, const QString& timePattern);
// The table as a German spreadsheet reads a CSV file: UTF-8 with byte order mark,
// semicolon-separated, decimal comma, lines ended by CR LF.
QByteArray kinematicsCsvBytes(const std::vector<KinematicsRow>& rows, const QString& timePattern);

} // namespace kadro
