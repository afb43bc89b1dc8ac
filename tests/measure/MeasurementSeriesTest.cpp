#include "MeasureTestSupport.h"

#include "common/ErrorReport.h"
#include "common/NumberFormat.h"
#include "measure/model/MeasureFormat.h"

using namespace kadro;
using namespace kadro::test;

namespace {
const QString E;  // an empty cell
}

TEST(MeasureFormat, TableAndLiveLimits)
{
    struct Case {
        double v;
        const char* table;
        const char* live;
    };
    const Case cases[] = {
        {12.3456, "12,35", "12,346"},   {-0.5, "-0,500", "-0,500"},     {1234, "1,23E+03", "1,23E+03"},
        {0.005, "5,00E-03", "0,005"},   {0.01, "0,010", "0,010"},       {9.9994, "9,999", "9,999"},
        {10, "10,00", "10,000"},        {999.99, "999,99", "999,990"},  {1000, "1,00E+03", "1,00E+03"},
        {0.001, "1,00E-03", "0,001"},   {0.0009, "9,00E-04", "9,00E-04"}, {-0.00999, "-9,99E-03", "-0,010"},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(tableNumberText(1, k.v), k.table) << k.v;
        EXPECT_EQ(liveNumberText(1, k.v), k.live) << k.v;
    }
    // A pixel difference of 0 is zero whatever the scale made of it.
    EXPECT_EQ(tableNumberText(0, 0.0), "0,000");
    EXPECT_EQ(liveNumberText(0, 0.0), "0.000");
}

TEST(MeasurementSeries, EmptyGridAsThePlayerViewSetsItUp)
{
    const MeasurementSeries s;
    EXPECT_EQ(s.rowCells(0), QStringList({"Nr.", "  X [m]", "  Y [m]", " dt [s]", "Frame"}));
    EXPECT_EQ(s.rowCells(1), QStringList(5, E));
    EXPECT_EQ(s.rowCount(), 2);
    EXPECT_EQ(s.nextRow(), 1);
    EXPECT_EQ(s.width(), 170);
    EXPECT_EQ(s.left(), 202);
}

TEST(MeasurementSeries, RecordsMetresFramesAndTimeSteps)
{
    // Scale 0,005 with the origin at (100, 50).
    const Calibration c = measuring(0.005, 100, 50);
    const MeasurementSeries s = seriesOf(c, {{100, 50, 12}, {101, 50, 14}, {99, 48, 14}});
    EXPECT_EQ(s.rowCells(1), QStringList({"1", "0,000", "0,000", E, "12"}));
    EXPECT_EQ(s.rowCells(2), QStringList({"2", "5,00E-03", "0,000", "0,08", "14"}));
    // The same frame twice: no time passed.
    EXPECT_EQ(s.rowCells(3), QStringList({"3", "-5,00E-03", "-0,010", "0,00", "14"}));
    EXPECT_EQ(s.rowCount(), 4);
    EXPECT_EQ(s.nextRow(), 4);
}

TEST(MeasurementSeries, RecordingEnablesTheDiagramAndTheEvaluations)
{
    const Calibration c = measuring(0.01);
    const TimeStepClock clock("40");
    MeasurementSeries s;
    SeriesUpdate u = s.record(c, {1, 1}, 10, clock);
    SeriesUpdate first;
    first.diagramButtonEnabled = true;
    first.refreshDiagram = first.refreshTrend = true;
    first.changed = true;
    EXPECT_EQ(u, first);
    u = s.record(c, {2, 2}, 10, clock);
    EXPECT_EQ(u.evaluationMenuEnabled, true);
    EXPECT_FALSE(u.trendParabolaEnabled.has_value());

    // Frames 10, 10, 11: two frame changes, no parabola; 10, 11, 10: three.
    u = s.record(c, {3, 3}, 11, clock);
    EXPECT_EQ(s.frameChangeCount(), 2);
    EXPECT_FALSE(u.trendParabolaEnabled.has_value());
    const MeasurementSeries back = seriesOf(c, {{1, 1, 10}, {2, 2, 11}});
    MeasurementSeries again = back;
    EXPECT_EQ(again.record(c, {3, 3}, 10, clock).trendParabolaEnabled, true);
}

TEST(MeasurementSeries, TimeStepThatIsNoWholeNumberRecordsNothing)
{
    const Calibration c = measuring(0.01);
    MeasurementSeries s = seriesOf(c, {{1, 1, 10}}, "40,5");  // the first point needs no time
    const MeasurementSeries before = s;
    EXPECT_THROW(s.record(c, {2, 2}, 11, TimeStepClock("40,5")), ConvertError);
    EXPECT_EQ(s.rowCount(), before.rowCount());
    EXPECT_EQ(s.nextRow(), 2);
    EXPECT_EQ(s.rowCells(1), before.rowCells(1));
}

TEST(MeasurementSeries, NinthPointWidensTheGridAndDeletingNarrowsIt)
{
    const Calibration c = measuring(0.01);
    MeasurementSeries s = seriesOf(c, {{1, 1, 1}, {2, 1, 2}, {3, 1, 3}, {4, 1, 4}, {5, 1, 5}, {6, 1, 6}, {7, 1, 7},
                                       {8, 1, 8}});
    EXPECT_EQ(s.width(), 170);
    s.record(c, {9, 1}, 9, TimeStepClock("40"));
    EXPECT_EQ(s.width(), 187);
    EXPECT_EQ(s.left(), 198);
    s.deletePoint(4);
    EXPECT_EQ(s.width(), 170);
    EXPECT_EQ(s.left(), 202);
    EXPECT_EQ(s.nextRow(), 9);
}

TEST(MeasurementSeries, DeletingAPointPassesItsTimeStepOn)
{
    const Calibration c = measuring(0.01);
    MeasurementSeries s = seriesOf(c, {{1, 1, 10}, {2, 2, 12}, {3, 3, 15}, {4, 4, 16}});
    const SeriesUpdate u = s.deletePoint(2);
    EXPECT_EQ(s.rowCells(1), QStringList({"1", "0,010", "0,010", E, "10"}));
    EXPECT_EQ(s.rowCells(2), QStringList({"2", "0,030", "0,030", "0,2", "15"}));  // 0,08 + 0,12
    EXPECT_EQ(s.rowCells(3), QStringList({"3", "0,040", "0,040", "0,04", "16"}));
    EXPECT_EQ(s.rowCount(), 4);
    EXPECT_EQ(s.nextRow(), 4);
    SeriesUpdate expected;
    expected.refreshDiagram = expected.refreshTrend = true;
    expected.changed = true;
    EXPECT_EQ(u, expected);

    // Deleting point 1: the new point 1 keeps the time step it had as point 2.
    s.deletePoint(1);
    EXPECT_EQ(s.rowCells(1), QStringList({"1", "0,030", "0,030", "0,2", "15"}));
    // Deleting the last point changes no time step.
    s.deletePoint(2);
    EXPECT_EQ(s.rowCells(1), QStringList({"1", "0,030", "0,030", "0,2", "15"}));
    EXPECT_EQ(s.rowCount(), 2);
    EXPECT_EQ(s.nextRow(), 2);
}

TEST(MeasurementSeries, ZeroSumOfTimeStepsReadsWithDecimals)
{
    const Calibration c = measuring(0.01);
    MeasurementSeries s = seriesOf(c, {{1, 1, 10}, {2, 2, 10}, {3, 3, 10}});
    s.deletePoint(2);
    EXPECT_EQ(s.cell(2, MeasurementSeries::DtColumn), "0,00");
}

TEST(MeasurementSeries, DeletingWithdrawsTheEvaluations)
{
    const Calibration c = measuring(0.01);
    MeasurementSeries three = seriesOf(c, {{1, 1, 10}, {2, 2, 11}, {3, 3, 12}});
    SeriesUpdate u = three.deletePoint(3);
    EXPECT_EQ(u.trendParabolaEnabled, false);
    EXPECT_TRUE(u.checkKeine && u.refreshTrend);
    EXPECT_FALSE(u.evaluationMenuEnabled.has_value());

    MeasurementSeries two = seriesOf(c, {{1, 1, 10}, {2, 2, 11}});
    u = two.deletePoint(1);
    EXPECT_EQ(u.evaluationMenuEnabled, false);
    EXPECT_TRUE(u.checkKeine);
    EXPECT_FALSE(u.refreshTrend || u.diagramOff);

    // The only point: the empty series, and the diagram goes off.
    u = two.deletePoint(1);
    EXPECT_EQ(two.rowCells(1), QStringList(5, E));
    EXPECT_EQ(two.rowCount(), 2);
    EXPECT_EQ(two.nextRow(), 1);
    EXPECT_EQ(u.diagramButtonEnabled, false);
    EXPECT_TRUE(u.diagramOff && u.refreshDiagram);

    EXPECT_THROW(two.deletePoint(2), KadroError);
    EXPECT_THROW(two.deletePoint(0), KadroError);
}

TEST(MeasurementSeries, MesswerteNeuEmptiesTheSeries)
{
    const Calibration c = measuring(0.01);
    MeasurementSeries s = seriesOf(c, {{1, 1, 1}, {2, 1, 2}, {3, 1, 3}, {4, 1, 4}, {5, 1, 5}, {6, 1, 6}, {7, 1, 7},
                                       {8, 1, 8}, {9, 1, 9}});
    const SeriesUpdate u = s.clear();
    EXPECT_EQ(s.rowCount(), 2);
    EXPECT_EQ(s.nextRow(), 1);
    EXPECT_EQ(s.rowCells(1), QStringList(5, E));
    EXPECT_EQ(s.rowCells(0), MeasurementSeries().rowCells(0));
    EXPECT_EQ(s.width(), 170);
    SeriesUpdate expected;
    expected.checkKeine = expected.diagramOffIfShown = expected.refreshPicture = true;
    expected.diagramButtonEnabled = expected.evaluationMenuEnabled = expected.trendParabolaEnabled = false;
    expected.changed = true;
    EXPECT_EQ(u, expected);
    // Clearing the empty series changes nothing that could be lost.
    EXPECT_FALSE(s.clear().changed);
    // The next point is point 1 again, without a time step.
    s.record(c, {1, 1}, 20, TimeStepClock("40"));
    EXPECT_EQ(s.rowCells(1), QStringList({"1", "0,010", "0,010", E, "20"}));
}

TEST(MeasurementSeries, RightClickSelectsPointRows)
{
    MeasurementSeries s;
    EXPECT_FALSE(s.rightClick(0).has_value());
    EXPECT_EQ(s.rightClick(3), "Messwert 3 löschen");
    EXPECT_EQ(s.selectedRow(), 3);
}

TEST(FrameClock, TimeStepTextReadAtUse)
{
    const TimeStepClock clock("40");
    EXPECT_DOUBLE_EQ(clock.secondsBetween(12, 14), 0.08);
    EXPECT_DOUBLE_EQ(clock.secondsAt(25), 1.0);
    // The fit reads the step as a decimal number, the table as a whole number.
    EXPECT_DOUBLE_EQ(TimeStepClock("12,5").secondsAt(8), 0.1);
    EXPECT_THROW(TimeStepClock("12,5").secondsBetween(1, 2), ConvertError);
    EXPECT_THROW(TimeStepClock("abc").secondsAt(1), ConvertError);
}
