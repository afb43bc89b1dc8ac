#include "common/NumberFormat.h"

#include <gtest/gtest.h>

using namespace kadro;

namespace {
std::string s(const QString& q) { return q.toStdString(); }
} // namespace

// The test programs run in a German locale: decimal comma.
TEST(NumberFormat, PatternsRoundHalfAwayFromZeroOnDecimalDigits)
{
    EXPECT_EQ(s(formatPattern(0.01, "0.00E+00")), "1,00E-02");
    EXPECT_EQ(s(formatPattern(0.005, "0.00E+00")), "5,00E-03");
    EXPECT_EQ(s(formatPattern(-1234.5, "0.00E+00")), "-1,23E+03");
    EXPECT_EQ(s(formatPattern(12.345, "0.00")), "12,35");
    EXPECT_EQ(s(formatPattern(-0.5, "0.000")), "-0,500");
    EXPECT_EQ(s(formatPattern(0.125, "0.00")), "0,13");
    EXPECT_EQ(s(formatPattern(1.005, "0.00")), "1,00");
    EXPECT_EQ(s(formatPattern(-0.001, "0.00")), "0,00");
    EXPECT_EQ(s(formatPattern(0.0, "0.000")), "0,000");
    EXPECT_EQ(s(formatPattern(9.9996, "0.000")), "10,000");
    EXPECT_EQ(s(formatPattern(40 * (300 * 0.001), "0.000")), "12,000");
}

TEST(NumberFormat, ExponentPatterns)
{
    EXPECT_EQ(s(formatPattern(0.000123456, "0.00E+00")), "1,23E-04");
    EXPECT_EQ(s(formatPattern(0.0, "0.00E+00")), "0,00E+00");
    EXPECT_EQ(s(formatPattern(-9.996, "0.00E+00")), "-1,00E+01");
    EXPECT_EQ(s(formatPattern(1e100, "0.00E+00")), "1,00E+100");
    EXPECT_EQ(s(formatPattern(1.5e-7, "0.000E+00")), "1,500E-07");
    EXPECT_EQ(s(formatPattern(-0.00098765, "0.000E+00")), "-9,877E-04");
}

TEST(NumberFormat, FixedWithPrecisionAndDecimals)
{
    EXPECT_EQ(s(formatFixed(9.81234, 4, 3)), "9,812");
    EXPECT_EQ(s(formatFixed(123.456, 4, 3)), "123,500");
    EXPECT_EQ(s(formatFixed(0.0001, 4, 3)), "0,000");
    EXPECT_EQ(s(formatFixed(-0.004, 15, 2)), "0,00");
    EXPECT_EQ(s(formatFixed(123456.789, 4, 2)), "1,235E05");
    EXPECT_EQ(s(formatFixed(12345.678, 4, 0)), "1,235E4");
    EXPECT_EQ(s(formatFixed(-4.905, 4, 3)), "-4,905");
}

TEST(NumberFormat, ShortestGeneralForm)
{
    EXPECT_EQ(s(formatGeneral(0.08)), "0,08");
    EXPECT_EQ(s(formatGeneral(0.0001)), "0,0001");
    EXPECT_EQ(s(formatGeneral(1e-5)), "1E-5");
    EXPECT_EQ(s(formatGeneral(1.5e-5)), "1,5E-5");
    EXPECT_EQ(s(formatGeneral(1e15)), "1E15");
    EXPECT_EQ(s(formatGeneral(1234567890123456.0)), "1,23456789012346E15");
    EXPECT_EQ(s(formatGeneral(1.0 / 3.0)), "0,333333333333333");
    EXPECT_EQ(s(formatGeneral(0.1 + 0.2)), "0,3");
    EXPECT_EQ(s(formatGeneral(100)), "100");
    EXPECT_EQ(s(formatGeneral(-2.5)), "-2,5");
    EXPECT_EQ(s(formatGeneral(0)), "0");
}

TEST(NumberFormat, RoundingToIntegerGoesToEven)
{
    EXPECT_EQ(roundEven(0.5), 0);
    EXPECT_EQ(roundEven(1.5), 2);
    EXPECT_EQ(roundEven(2.5), 2);
    EXPECT_EQ(roundEven(-2.5), -2);
    EXPECT_EQ(roundEven(2.6), 3);
}

TEST(NumberFormat, WholeNumbersAsTyped)
{
    EXPECT_EQ(parseInteger("40"), 40);
    EXPECT_EQ(parseInteger("  -12"), -12);
    EXPECT_EQ(parseInteger("+7"), 7);
    for (const char* bad : {"12 ", "1.0", "", "-", "abc", "99999999999", "1,5"}) {
        int v = 0;
        EXPECT_FALSE(tryParseInteger(QString::fromLatin1(bad), &v)) << bad;
    }
    try {
        parseInteger("abc");
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' ist kein gültiger Integerwert");
    }
}

TEST(NumberFormat, DecimalNumbersWithTheUsersSeparator)
{
    EXPECT_DOUBLE_EQ(parseDecimal("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(parseDecimal(" -0,25 "), -0.25);
    EXPECT_DOUBLE_EQ(parseDecimal("2E3"), 2000);
    EXPECT_DOUBLE_EQ(parseDecimal("+3"), 3);
    EXPECT_DOUBLE_EQ(parseDecimal("1,5e-2"), 0.015);
    double v = 0;
    for (const char* bad : {"1.5", "1.000,5", "", "1,5x", "E3", "1,5E", "1,2,3"})
        EXPECT_FALSE(tryParseDecimal(QString::fromLatin1(bad), &v)) << bad;
}
