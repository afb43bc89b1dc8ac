#pragma once
#include "common/ErrorReport.h"

#include <vector>

namespace kadro {

// One matrix row or the solution vector, in extended precision (80-bit long double here).
using TGaussSolved = std::vector<long double>;
// n rows of m = n + 1 values: the coefficients, then the right-hand side.
using TGaussMatrix = std::vector<TGaussSolved>;

// The solver's failure, shown by the general error box with its message "System insolvable".
class MathError : public KadroError {
public:
    using KadroError::KadroError;
};

inline const QString kSystemInsolvableText = QStringLiteral("System insolvable");

// x to the power n by n multiplications, each rounded to double; 1.0 for n ≤ 0.
double Potenz(int n, double x);

// Solves the n × m system `a` (m = n + 1) by Gauss elimination on a private copy; the caller's
// matrix stays unchanged. A pivot is exchanged only when it is exactly zero, for the row below
// with the largest absolute value in its column (a later row only wins when strictly larger);
// when every value below is zero too it throws MathError("System insolvable"). The last pivot is
// not tested: a zero there gives values that are not finite, which the caller must check.
// A matrix smaller than n × m is a range error (KadroError).
void SolveLinearSystem(const TGaussMatrix& a, int n, int m, TGaussSolved& x);

} // namespace kadro
