#include "evaluation/model/Kinematics.h"

#include "common/FrameClock.h"
#include "common/NumberFormat.h"
#include "measure/model/MeasurementSeries.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kadro {

namespace {

const QString kMinus = QStringLiteral("\u2212");
const QString kPlusMinus = QStringLiteral(" \u00b1 ");

int distinctCount(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return int(std::unique(values.begin(), values.end()) - values.begin());
}

// The value written with `decimals` digits after the separator; a negative count rounds to tens,
// hundreds, ... and writes no separator. ASCII "-" for negative values (none when the value
// rounds to zero).
QString decimalsText(double value, int decimals)
{
    if (decimals >= 0)
        return formatPattern(value, decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(decimals, QLatin1Char('0')));
    const double unit = std::pow(10.0, -decimals);
    return formatPattern(std::round(value / unit) * unit, QStringLiteral("0"));
}

// The decimal place of the second significant digit of `value` once it is rounded there.
int decimalsForTwoDigits(double value)
{
    const double a = std::fabs(value);
    int decimals = 1 - int(std::floor(std::log10(a)));
    // 0.0996 becomes 0.10: the leading digit moved one place up.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(a * scale) / scale;
    if (rounded > 0)
        decimals = 1 - int(std::floor(std::log10(rounded) + 1e-12));
    return decimals;
}

int decimalsForSignificant(double value, int digits)
{
    if (value == 0 || !std::isfinite(value))
        return digits - 1;
    return std::max(0, digits - 1 - int(std::floor(std::log10(std::fabs(value)))));
}

bool usable(double uncertainty)
{
    return std::isfinite(uncertainty) && uncertainty > 0;
}

// ASCII form: the value rounded to match its uncertainty.
QString roundedText(double value, double uncertainty)
{
    if (!usable(uncertainty))
        return decimalsText(value, std::min(4, decimalsForSignificant(value, 4)));
    return decimalsText(value, decimalsForTwoDigits(uncertainty));
}

QString display(QString text)
{
    if (text.startsWith(QLatin1Char('-')))
        text.replace(0, 1, kMinus);
    return text;
}

QString significantText(double value, int digits)
{
    if (value == 0)
        return QStringLiteral("0");
    return display(decimalsText(value, decimalsForSignificant(value, digits)));
}

// Least squares with p = degree + 1 parameters over u in [−1, 1]: the normal matrix is well
// conditioned there and is inverted by Gauss–Jordan elimination with partial pivoting.
using Matrix = std::array<std::array<double, 3>, 3>;

bool invert(Matrix m, int p, Matrix* inverse)
{
    Matrix inv{};
    for (int i = 0; i < p; ++i)
        inv[i][i] = 1;
    for (int col = 0; col < p; ++col) {
        int pivot = col;
        for (int r = col + 1; r < p; ++r)
            if (std::fabs(m[r][col]) > std::fabs(m[pivot][col]))
                pivot = r;
        if (!(std::fabs(m[pivot][col]) > 1e-300))
            return false;
        std::swap(m[col], m[pivot]);
        std::swap(inv[col], inv[pivot]);
        const double d = m[col][col];
        for (int j = 0; j < p; ++j) {
            m[col][j] /= d;
            inv[col][j] /= d;
        }
        for (int r = 0; r < p; ++r) {
            if (r == col)
                continue;
            const double f = m[r][col];
            for (int j = 0; j < p; ++j) {
                m[r][j] -= f * m[col][j];
                inv[r][j] -= f * inv[col][j];
            }
        }
    }
    *inverse = inv;
    return true;
}

QString coefficientUnit(const QString& unit, int power)
{
    if (power == 0)
        return unit;
    // m → m/s, m/s²; m/s → m/s², m/s³; m/s² → m/s³, m/s⁴.
    int base = 0;
    if (unit == QLatin1String("m/s"))
        base = 1;
    else if (unit == QStringLiteral("m/s²"))
        base = 2;
    static const QString powers[] = {QString(), QString(), QStringLiteral("²"), QStringLiteral("³"),
                                     QStringLiteral("⁴")};
    return QStringLiteral("m/s") + powers[base + power];
}

} // namespace

QString quantityName(Quantity q)
{
    switch (q) {
    case Quantity::X: return QStringLiteral("x");
    case Quantity::Y: return QStringLiteral("y");
    case Quantity::Vx: return QStringLiteral("vx");
    case Quantity::Vy: return QStringLiteral("vy");
    case Quantity::V: return QStringLiteral("v");
    case Quantity::Ax: return QStringLiteral("ax");
    case Quantity::Ay: return QStringLiteral("ay");
    }
    return {};
}

QString quantityUnit(Quantity q)
{
    switch (q) {
    case Quantity::X:
    case Quantity::Y: return QStringLiteral("m");
    case Quantity::Vx:
    case Quantity::Vy:
    case Quantity::V: return QStringLiteral("m/s");
    case Quantity::Ax:
    case Quantity::Ay: return QStringLiteral("m/s²");
    }
    return {};
}

std::optional<double> KinematicsRow::value(Quantity q) const
{
    switch (q) {
    case Quantity::X: return x;
    case Quantity::Y: return y;
    case Quantity::Vx: return vx;
    case Quantity::Vy: return vy;
    case Quantity::V: return v;
    case Quantity::Ax: return ax;
    case Quantity::Ay: return ay;
    }
    return std::nullopt;
}

std::vector<std::optional<double>> centralDifference(const std::vector<double>& t, const std::vector<double>& q)
{
    const std::size_t n = std::min(t.size(), q.size());
    std::vector<std::optional<double>> out(n);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double dt = t[i + 1] - t[i - 1];
        if (dt != 0)
            out[i] = (q[i + 1] - q[i - 1]) / dt;
    }
    return out;
}

std::vector<std::optional<double>> fivePointAcceleration(const std::vector<double>& t,
                                                         const std::vector<double>& q)
{
    const std::size_t n = std::min(t.size(), q.size());
    std::vector<std::optional<double>> out(n);
    for (std::size_t i = 2; i + 2 < n; ++i) {
        std::vector<double> tt, qq;
        for (std::size_t j = i - 2; j <= i + 2; ++j) {
            tt.push_back(t[j] - t[i]);
            qq.push_back(q[j]);
        }
        if (const std::optional<PolynomialFit> fit = fitPolynomial(tt, qq, 2))
            out[i] = 2 * fit->c[2];
    }
    return out;
}

double PolynomialFit::value(double t) const
{
    double result = 0;
    for (int j = int(c.size()) - 1; j >= 0; --j)
        result = result * t + c[j];
    return result;
}

std::optional<PolynomialFit> fitPolynomial(const std::vector<double>& t, const std::vector<double>& q, int degree)
{
    const int p = degree + 1;
    const std::size_t n = std::min(t.size(), q.size());
    if (degree < 1 || degree > 2 || distinctCount(std::vector<double>(t.begin(), t.begin() + n)) < p)
        return std::nullopt;

    double mean = 0;
    for (std::size_t i = 0; i < n; ++i)
        mean += t[i];
    mean /= double(n);
    double spread = 0;
    for (std::size_t i = 0; i < n; ++i)
        spread = std::max(spread, std::fabs(t[i] - mean));

    Matrix normal{};
    std::array<double, 3> rhs{};
    for (std::size_t i = 0; i < n; ++i) {
        const double u = (t[i] - mean) / spread;
        const std::array<double, 3> powers{1.0, u, u * u};
        for (int j = 0; j < p; ++j) {
            rhs[j] += powers[j] * q[i];
            for (int k = 0; k < p; ++k)
                normal[j][k] += powers[j] * powers[k];
        }
    }
    Matrix inverse{};
    if (!invert(normal, p, &inverse))
        return std::nullopt;
    std::array<double, 3> beta{};
    for (int j = 0; j < p; ++j)
        for (int k = 0; k < p; ++k)
            beta[j] += inverse[j][k] * rhs[k];

    double sse = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double u = (t[i] - mean) / spread;
        double fitted = beta[0] + beta[1] * u;
        if (p == 3)
            fitted += beta[2] * u * u;
        sse += (q[i] - fitted) * (q[i] - fitted);
    }

    // Back from u = (t − mean) / spread to t: c = J·β, Cov(c) = J·Cov(β)·Jᵀ.
    const double m = mean;
    const double s = spread;
    Matrix jac{};
    if (p == 2) {
        jac[0] = {1, -m / s, 0};
        jac[1] = {0, 1 / s, 0};
    } else {
        jac[0] = {1, -m / s, m * m / (s * s)};
        jac[1] = {0, 1 / s, -2 * m / (s * s)};
        jac[2] = {0, 0, 1 / (s * s)};
    }

    PolynomialFit fit;
    fit.degree = degree;
    fit.n = int(n);
    fit.rms = std::sqrt(sse / double(n));
    for (int j = 0; j < p; ++j) {
        double cj = 0;
        for (int k = 0; k < p; ++k)
            cj += jac[j][k] * beta[k];
        fit.c.push_back(cj);
    }
    double largest = 0;
    for (std::size_t i = 0; i < n; ++i)
        largest = std::max(largest, std::fabs(q[i]));
    // Points exactly on the curve leave only the rounding of the arithmetic: no spread at all.
    if (fit.rms <= 1e-12 * largest) {
        sse = 0;
        fit.rms = 0;
    }
    if (int(n) > p) {
        const double variance = sse / double(int(n) - p);
        for (int j = 0; j < p; ++j) {
            double cov = 0;
            for (int k = 0; k < p; ++k)
                for (int l = 0; l < p; ++l)
                    cov += jac[j][k] * inverse[k][l] * jac[j][l];
            fit.uncertainty.push_back(std::sqrt(std::max(0.0, variance * cov)));
        }
    }
    for (double v : fit.c)
        if (!std::isfinite(v))
            return std::nullopt;
    return fit;
}

std::vector<KinematicsRow> kinematicsOf(const MeasurementSeries& series, const FrameClock& clock)
{
    std::vector<KinematicsRow> rows;
    double t0 = 0;
    for (int row = 1; row <= series.pointCount(); ++row) {
        KinematicsRow r;
        r.xText = series.cell(row, MeasurementSeries::XColumn);
        r.yText = series.cell(row, MeasurementSeries::YColumn);
        r.x = parseDecimal(r.xText);
        r.y = parseDecimal(r.yText);
        const double seconds = clock.secondsAt(parseInteger(series.cell(row, MeasurementSeries::FrameColumn)));
        if (row == 1)
            t0 = seconds;
        r.t = seconds - t0;
        rows.push_back(r);
    }
    std::vector<double> t, x, y;
    for (const KinematicsRow& r : rows) {
        t.push_back(r.t);
        x.push_back(r.x);
        y.push_back(r.y);
    }
    const auto vx = centralDifference(t, x);
    const auto vy = centralDifference(t, y);
    const auto ax = fivePointAcceleration(t, x);
    const auto ay = fivePointAcceleration(t, y);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].vx = vx[i];
        rows[i].vy = vy[i];
        if (vx[i] && vy[i])
            rows[i].v = std::hypot(*vx[i], *vy[i]);
        rows[i].ax = ax[i];
        rows[i].ay = ay[i];
    }
    return rows;
}

void quantitySamples(const std::vector<KinematicsRow>& rows, Quantity q, std::vector<double>* t,
                     std::vector<double>* values)
{
    t->clear();
    values->clear();
    for (const KinematicsRow& r : rows) {
        if (const std::optional<double> v = r.value(q)) {
            t->push_back(r.t);
            values->push_back(*v);
        }
    }
}

QString valueRoundedTo(double value, double uncertainty)
{
    return display(roundedText(value, uncertainty));
}

QString valueWithUncertainty(double value, double uncertainty)
{
    if (!usable(uncertainty))
        return valueRoundedTo(value, uncertainty) + kPlusMinus + QStringLiteral("0");
    return valueRoundedTo(value, uncertainty) + kPlusMinus
        + decimalsText(uncertainty, decimalsForTwoDigits(uncertainty));
}

QStringList fitTexts(Quantity q, const PolynomialFit& fit)
{
    const bool withUncertainty = !fit.uncertainty.empty();
    auto u = [&](int j) { return withUncertainty ? fit.uncertainty[j] : 0.0; };
    const QString unit = quantityUnit(q);

    // The equation, each coefficient rounded to match its uncertainty.
    QString equation = quantityName(q) + QStringLiteral("(t) = ") + display(roundedText(fit.c[0], u(0)));
    static const QString terms[] = {QString(), QStringLiteral("·t"), QStringLiteral("·t²")};
    for (int j = 1; j < int(fit.c.size()); ++j) {
        const QString text = roundedText(fit.c[j], u(j));
        if (text.startsWith(QLatin1Char('-')))
            equation += QStringLiteral(" ") + kMinus + QStringLiteral(" ") + text.mid(1);
        else
            equation += QStringLiteral(" + ") + text;
        equation += terms[j];
    }
    QStringList lines{equation};

    if (withUncertainty) {
        QStringList parameters;
        for (int j = 0; j < int(fit.c.size()); ++j)
            parameters << valueWithUncertainty(fit.c[j], u(j)) + QStringLiteral(" ") + coefficientUnit(unit, j);
        lines << QStringLiteral("Parameter: ") + parameters.join(QStringLiteral(";  "));
    } else {
        lines << QStringLiteral("Für die Unsicherheiten sind mehr als %1 Punkte nötig.").arg(fit.c.size());
    }

    // What the fit says of the motion.
    QString name;
    double value = 0;
    double uncertainty = 0;
    QString physicalUnit;
    const bool position = q == Quantity::X || q == Quantity::Y;
    const bool velocity = q == Quantity::Vx || q == Quantity::Vy || q == Quantity::V;
    if (position && fit.degree == 1) {
        name = QStringLiteral("v");
        value = fit.c[1];
        uncertainty = u(1);
        physicalUnit = QStringLiteral("m/s");
    } else if (position && fit.degree == 2) {
        // y counts upward: a fall has a negative c, and g = −2c.
        name = q == Quantity::Y ? QStringLiteral("g") : QStringLiteral("a");
        value = q == Quantity::Y ? -2 * fit.c[2] : 2 * fit.c[2];
        uncertainty = 2 * u(2);
        physicalUnit = QStringLiteral("m/s²");
    } else if (velocity && fit.degree == 1) {
        name = q == Quantity::Vy ? QStringLiteral("g") : QStringLiteral("a");
        value = q == Quantity::Vy ? -fit.c[1] : fit.c[1];
        uncertainty = u(1);
        physicalUnit = QStringLiteral("m/s²");
    }
    if (!name.isEmpty()) {
        const QString text = withUncertainty ? valueWithUncertainty(value, uncertainty) : valueRoundedTo(value, 0);
        lines << name + QStringLiteral(" = ") + text + QStringLiteral(" ") + physicalUnit;
    }
    lines << QStringLiteral("n = %1 Punkte, RMS-Abweichung = ").arg(fit.n) + significantText(fit.rms, 2)
            + QStringLiteral(" ") + unit;
    return lines;
}

QStringList kinematicsHeader()
{
    return {QStringLiteral("t [s]"),    QStringLiteral("x [m]"),    QStringLiteral("y [m]"),
            QStringLiteral("vx [m/s]"), QStringLiteral("vy [m/s]"), QStringLiteral("v [m/s]"),
            QStringLiteral("ax [m/s²]"), QStringLiteral("ay [m/s²]")};
}

QStringList kinematicsCells(const KinematicsRow& row, const QString& timePattern)
{
    const QString pattern = QStringLiteral("0.000");
    auto cell = [&](const std::optional<double>& v) { return v ? formatPattern(*v, pattern) : QString(); };
    return {formatPattern(row.t, timePattern), row.xText, row.yText, cell(row.vx), cell(row.vy), cell(row.v),
            cell(row.ax), cell(row.ay)};
}

QString kinematicsClipboardText(const std::vector<KinematicsRow>& rows, const QString& timePattern)
{
    QString text = kinematicsHeader().join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const KinematicsRow& r : rows)
        text += kinematicsCells(r, timePattern).join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

QByteArray kinematicsCsvBytes(const std::vector<KinematicsRow>& rows, const QString& timePattern)
{
    QString text = kinematicsHeader().join(QLatin1Char(';')) + QStringLiteral("\r\n");
    for (const KinematicsRow& r : rows)
        text += kinematicsCells(r, timePattern).join(QLatin1Char(';')) + QStringLiteral("\r\n");
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace kadro
