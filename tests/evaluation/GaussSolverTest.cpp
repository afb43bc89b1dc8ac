#include "evaluation/model/GaussSolver.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace kadro;

TEST(SolveLinearSystem, SolvesExactSystems)
{
    // x + y = 3, x − y = 1
    TGaussSolved x;
    SolveLinearSystem({{1, 1, 3}, {1, -1, 1}}, 2, 3, x);
    ASSERT_EQ(x.size(), 2u);
    EXPECT_EQ(x[0], 2.0L);
    EXPECT_EQ(x[1], 1.0L);

    // A zero first pivot is exchanged with a row below: y = 2, 2x + y = 8, x + z = 4.
    SolveLinearSystem({{0, 1, 0, 2}, {2, 1, 0, 8}, {1, 0, 1, 4}}, 3, 4, x);
    ASSERT_EQ(x.size(), 3u);
    EXPECT_EQ(x[0], 3.0L);
    EXPECT_EQ(x[1], 2.0L);
    EXPECT_EQ(x[2], 1.0L);
}

TEST(SolveLinearSystem, TinyPivotIsUsedAsItIs)
{
    // With a row exchange x would come out near 1; without one the tiny pivot swamps it.
    TGaussSolved x;
    SolveLinearSystem({{1e-30L, 1, 1}, {1, 1, 2}}, 2, 3, x);
    EXPECT_EQ(x[1], 1.0L);
    EXPECT_EQ(x[0], 0.0L);
}

TEST(SolveLinearSystem, FirstColumnOfZerosIsInsolvableAndTheMatrixStays)
{
    const TGaussMatrix a = {{0, 1, 2, 3}, {0, 4, 5, 6}, {0, 7, 8, 10}};
    const TGaussMatrix copy = a;
    TGaussSolved x;
    try {
        SolveLinearSystem(a, 3, 4, x);
        FAIL() << "must be insolvable";
    } catch (const MathError& e) {
        EXPECT_STREQ(e.what(), "System insolvable");
    }
    EXPECT_EQ(a, copy);

    // Also after a row exchange the caller's matrix is untouched.
    const TGaussMatrix b = {{0, 1, 2}, {3, 4, 5}};
    const TGaussMatrix bCopy = b;
    SolveLinearSystem(b, 2, 3, x);
    EXPECT_EQ(b, bCopy);
}

TEST(SolveLinearSystem, ZeroLastPivotGivesNoFiniteSolution)
{
    TGaussSolved x;
    SolveLinearSystem({{1, 1, 1}, {2, 2, 3}}, 2, 3, x);
    EXPECT_FALSE(std::isfinite(x[1]));
    EXPECT_THROW(SolveLinearSystem({{1, 1, 1}}, 2, 3, x), KadroError);
}
