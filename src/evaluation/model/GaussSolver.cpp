#include "evaluation/model/GaussSolver.h"

#include <cmath>
#include <utility>

namespace kadro {

double Potenz(int n, double x)
{
    double r = 1.0;
    for (int i = 0; i < n; ++i)
        r = r * x;
    return r;
}

void SolveLinearSystem(const TGaussMatrix& a, int n, int m, TGaussSolved& x)
{
    if (n < 0 || m < n + 1 || int(a.size()) < n)
        throw KadroError(QStringLiteral("Fehler bei Bereichsprüfung"));
    for (int i = 0; i < n; ++i) {
        if (int(a[i].size()) < m)
            throw KadroError(QStringLiteral("Fehler bei Bereichsprüfung"));
    }

    TGaussMatrix A = a;
    for (int k = 0; k <= n - 2; ++k) {
        if (A[k][k] == 0.0L) {
            int best = -1;
            long double bestValue = 0.0L;
            for (int r = k + 1; r < n; ++r) {
                const long double v = std::fabs(A[r][k]);
                if (v > bestValue) {
                    bestValue = v;
                    best = r;
                }
            }
            if (best < 0)
                throw MathError(kSystemInsolvableText);
            std::swap(A[k], A[best]);
        }
        for (int i = k + 1; i < n; ++i) {
            const long double f = A[i][k] / A[k][k];
            for (int j = k; j < m; ++j)
                A[i][j] = A[i][j] - f * A[k][j];
        }
    }

    x.assign(n, 0.0L);
    for (int k = n - 1; k >= 0; --k) {
        long double s = 0.0L;
        for (int j = k + 1; j < n; ++j)
            s = s + x[j] * A[k][j] / A[k][k];
        x[k] = A[k][m - 1] / A[k][k] - s;
    }
}

} // namespace kadro
