// The measurement table as the user reads it: its time-step column follows the time base, its
// texts show whole, and the calibration and the panel never leave the user without a way on.
#include "MeasureFixture.h"

#include "common/TimeBasePreferences.h"
#include "settings/OptionenFenster.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <functional>
#include <vector>

using namespace kadro;
using kadro::test::MeasureFixture;

namespace {
std::vector<double> evenStamps(double rate, int frames = 100)
{
    std::vector<double> out;
    for (int n = 0; n < frames; ++n)
        out.push_back(n / rate);
    return out;
}
} // namespace

class MeasureTable : public MeasureFixture {
protected:
    MeasureTable() { openOnSetUp = false; }

    // The settings dialog, as the user opens it and confirms it with OK after `inside`.
    void settings(const std::function<void()>& inside)
    {
        prompts.modalHandler = [this, inside](QDialog* d) {
            d->show();
            inside();
            QTest::mouseClick(optionen->OKBitBtn, Qt::LeftButton);
            return d->result();
        };
        window->MenuEinstellungenClick();
        prompts.modalHandler = nullptr;
    }
    QStringList column(int c, int rows) const
    {
        QStringList out;
        for (int r = 1; r <= rows; ++r)
            out << cell(r, c);
        return out;
    }
    // The data lines' time-step fields of a saved .mes file.
    QStringList savedIntervals(const QString& name)
    {
        prompts.fileAnswers = {path(name)};
        clickButton(ui().MesswerteSpeichernButton);
        QByteArray bytes;
        EXPECT_TRUE(readFileBytes(path(name), &bytes));
        QStringList lines = fromCp1252(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QStringList out;
        for (int i = 3; i < lines.size(); ++i)
            out << lines[i].split(QLatin1Char('\t')).value(3);
        return out;
    }
    void clickAtFrames(const std::vector<int>& frames)
    {
        for (int f : frames) {
            stepFrames(f - device->position());
            clickPicture(100 + f, 100);
        }
    }
};

TEST_F(MeasureTable, TimeStepColumnFollowsTheCaptureRateEnteredAfterMeasuring)
{
    // A slow-motion recording stored at 30 fps whose file does not name its rate.
    device->setTiming({30, false, 0}, evenStamps(30));
    ASSERT_TRUE(openVideo("zeitlupe.mp4", 99, {320, 240}));
    calibrate();
    clickAtFrames({0, 1, 3});
    ASSERT_EQ(column(3, 3), (QStringList{"", "0,03333", "0,06667"}));
    save("zeitlupe.mes");

    // Filmed at 240 fps: the table, the file and the fit count 240 frames a second.
    settings([this] { optionen->AufnahmeRateEdit->setText(QStringLiteral("240")); });
    EXPECT_EQ(column(3, 3), (QStringList{"", "0,00417", "0,00833"}));
    EXPECT_FALSE(window->st.DataSaved); // the file written before disagrees now
    EXPECT_EQ(savedIntervals("zeitlupe.mes"), (QStringList{"", "0,00417", "0,00833"}));

    // A point recorded now counts the same way.
    clickAtFrames({4});
    EXPECT_EQ(cell(4, 3), QStringLiteral("0,00417"));
}

TEST_F(MeasureTable, TimeStepColumnFollowsTheSettingsTimeStep)
{
    TimeBasePreferences(TimeBasePreferences::configuredPath()).setFromVideo(false);
    ASSERT_TRUE(openVideo("fall.avi", 99, {320, 240}));
    calibrate();
    clickAtFrames({0, 1, 3});
    ASSERT_EQ(column(3, 3), (QStringList{"", "0,04", "0,08"}));
    save("fall.mes");

    // Settings opened and closed without a change: nothing to save.
    settings([] {});
    EXPECT_TRUE(window->st.DataSaved);

    settings([this] { optionen->dtEdit1->setText(QStringLiteral("20")); });
    EXPECT_EQ(column(3, 3), (QStringList{"", "0,02", "0,04"}));
    EXPECT_EQ(savedIntervals("fall.mes"), (QStringList{"", "0,02", "0,04"}));
}

TEST_F(MeasureTable, EveryTextShowsWholeAndTheTitlesStayWhileThePointsScroll)
{
    // The video's own time base gives five decimals: "0,03333".
    device->setTiming({30, false, 0}, evenStamps(30));
    ASSERT_TRUE(openVideo("handy.mp4", 99, {320, 240}));
    calibrate();
    std::vector<int> frames;
    for (int f = 0; f < 14; ++f)
        frames.push_back(f);
    clickAtFrames(frames);
    ASSERT_EQ(cell(14, 4), QStringLiteral("13"));
    ASSERT_EQ(cell(2, 3), QStringLiteral("0,03333"));

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTableWidget* grid = ui().MesswerteStringGrid;
    QHeaderView* header = grid->horizontalHeader();
    ASSERT_TRUE(header->isVisibleTo(grid));
    QStringList titles;
    for (int c = 0; c < 5; ++c)
        titles << grid->horizontalHeaderItem(c)->text();
    EXPECT_EQ(titles, (QStringList{"Nr.", "X [m]", "Y [m]", "dt [s]", "Frame"}));

    // Each column lies inside the visible part of the grid and is wide enough for its texts.
    const QFontMetrics metrics(grid->font());
    const int margin = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisibleTo(grid));
    for (int c = 0; c < 5; ++c) {
        EXPECT_LE(grid->columnViewportPosition(c) + grid->columnWidth(c), grid->viewport()->width()) << c;
        EXPECT_LE(QFontMetrics(header->font()).horizontalAdvance(titles[c]), header->sectionSize(c)) << c;
        for (int r = 1; r <= 14; ++r)
            EXPECT_LE(metrics.horizontalAdvance(cell(r, c)) + margin, grid->columnWidth(c)) << r << " " << c;
    }
    // The grid stays in its panel, right of the pointer's position fields.
    EXPECT_GT(grid->x(), ui().PositionXYPanel->geometry().right());
    EXPECT_LE(grid->geometry().right(), ui().BerechnenAnzeigePanel->width());

    // The wheel scrolls the points to the last one; the titles stay at the top.
    const int headerTop = header->geometry().top();
    const QPoint inside = grid->viewport()->rect().center();
    for (int i = 0; i < 10; ++i) {
        QWheelEvent wheel(inside, grid->viewport()->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &wheel);
    }
    EXPECT_GT(grid->rowAt(0), 1);
    EXPECT_EQ(grid->rowAt(grid->viewport()->height() - 1), 14);
    EXPECT_TRUE(header->isVisibleTo(grid));
    EXPECT_EQ(header->geometry().top(), headerTop);
    EXPECT_LT(header->geometry().bottom(), grid->viewport()->geometry().top());

    // A right press on the last point still names it in the pop-up menu.
    const QRect last = grid->visualItemRect(grid->item(14, 1));
    QTest::mousePress(grid->viewport(), Qt::RightButton, {}, last.center());
    QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, last.center());
    EXPECT_EQ(ui().MesswertePopupMenuMessungLoeschen->text(), QStringLiteral("Messwert 14 löschen"));
    ui().MesswertePopupMenu->hide();
}
