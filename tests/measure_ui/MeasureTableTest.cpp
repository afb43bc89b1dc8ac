// The measurement table as the user reads it: its time-step column follows the time base, its
// texts show whole, and the calibration and the panel never leave the user without a way on.
#include "MeasureFixture.h"

#include "common/TimeBasePreferences.h"
#include "settings/OptionenFenster.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>

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
