#include "MeasureTestSupport.h"

#include "common/NumberFormat.h"
#include "measure/model/MeasureTexts.h"
#include "support/ScriptedPrompts.h"

using namespace kadro;
using Action = PictureClickResult::Action;

namespace {

// Two calibration clicks as the user makes them on a loaded video.
Calibration clickedTwice(PictureCoordinates p1, PictureCoordinates p2)
{
    Calibration c;
    c.resetForPlayerView();
    c.pictureClick(p1, true);
    c.pictureClick(p2, true);
    return c;
}

CalibrationFields fields(const QString& x1, const QString& y1, const QString& x2, const QString& y2,
                         const QString& distance)
{
    return {x1, y1, x2, y2, distance};
}

} // namespace

TEST(Calibration, ClicksAlternatePositionOneAndTwo)
{
    Calibration c;
    c.resetForPlayerView();
    // Without a video nothing is taken.
    EXPECT_EQ(c.pictureClick({5, 5}, false).action, Action::None);
    EXPECT_TRUE(c.ExpectFirstPosition);

    PictureClickResult r = c.pictureClick({10, 20}, true);
    EXPECT_EQ(r.action, Action::Position1);
    EXPECT_EQ(r.xText, "10");
    EXPECT_EQ(r.yText, "20");
    EXPECT_FALSE(c.ExpectFirstPosition);
    EXPECT_TRUE(c.SecondPositionPending);

    r = c.pictureClick({110, 20}, true);
    EXPECT_EQ(r.action, Action::Position2);
    EXPECT_EQ(r.xText, "110");
    EXPECT_TRUE(c.ExpectFirstPosition);
    EXPECT_FALSE(c.SecondPositionPending);

    // A third click starts over with Position 1; "Kalibrieren" waits for Position 2 again.
    EXPECT_EQ(c.pictureClick({7, 8}, true).action, Action::Position1);
    ScriptedPrompts prompts;
    EXPECT_EQ(c.kalibrieren(fields("7", "8", "110", "20", "1"), prompts), KalibrierenOutcome::NotReady);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Information);
    EXPECT_EQ(prompts.shown[0].text, kClickPositionsFirstText);
    EXPECT_FALSE(c.Calibrated);
}

TEST(Calibration, TwoClicksAndOneMetreGiveOneCentimetrePerPixel)
{
    Calibration c = clickedTwice({10, 20}, {110, 20});
    const ScaleResult r = c.computeScale(fields("10", "20", "110", "20", "1"));
    EXPECT_EQ(r.outcome, ScaleResult::Outcome::Computed);
    EXPECT_EQ(r.scaleText, "1,00E-02");
    EXPECT_DOUBLE_EQ(c.Scale, 0.01);
    // Typed coordinates are the ones used.
    c.computeScale(fields("10", "20", "10", "70", "1"));
    EXPECT_DOUBLE_EQ(c.Scale, 0.02);
}

TEST(Calibration, PositionsClickedInFractionsKeepThemWhileTheirFieldsShowTheClicks)
{
    // Clicked on a larger view: 21,4 and 271,8 show as 21 and 272; the scale counts 250,4 pixels.
    Calibration c;
    c.startAcquisition();
    c.setClickFraction(40.0, 21.4);
    const PictureClickResult first = c.pictureClick({40, 21}, true);
    c.setClickFraction(40.0, 271.8);
    const PictureClickResult second = c.pictureClick({40, 272}, true);
    ASSERT_EQ(first.yText, "21");
    ASSERT_EQ(second.yText, "272");
    c.computeScale(fields("40", "21", "40", "272", "1"));
    EXPECT_DOUBLE_EQ(c.Scale, 1.0 / 250.4);
    // A typed coordinate is taken as typed, in whole pixels.
    c.computeScale(fields("40", "21", "40", "273", "1"));
    EXPECT_DOUBLE_EQ(c.Scale, 1.0 / 252);
    // A fraction is for its own click only: clicks without one are whole pixels.
    c.startAcquisition();
    c.pictureClick({40, 21}, true);
    c.pictureClick({40, 272}, true);
    c.computeScale(fields("40", "21", "40", "272", "1"));
    EXPECT_DOUBLE_EQ(c.Scale, 1.0 / 251);
}

TEST(Calibration, TextsThatAreNoNumbersFailAndChangeNothing)
{
    Calibration c = clickedTwice({10, 20}, {110, 20});
    c.Scale = 0.5;
    try {
        c.computeScale(fields("10", "20", "110", "20", ""));
        FAIL() << "an empty distance must fail";
    } catch (const ConvertError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), "'' ist kein gültiger Gleitkommawert");
    }
    EXPECT_THROW(c.computeScale(fields("10", "20", "110", "20", "1.5")), ConvertError);
    EXPECT_THROW(c.computeScale(fields("10 ", "20", "110", "20", "1")), ConvertError);
    EXPECT_DOUBLE_EQ(c.Scale, 0.5);
    EXPECT_TRUE(c.ExpectFirstPosition);
    EXPECT_FALSE(c.SecondPositionPending);
}

TEST(Calibration, CoincidingPositionsAndDistancesOfZeroOrBelowAreRefused)
{
    struct Case {
        CalibrationFields f;
        QString warning;
    };
    const Case cases[] = {
        {fields("10", "20", "10", "20", "1"), kIdenticalPositionsText},
        {fields("10", "20", "110", "20", "0"), kDistanceNotPositiveText},
        {fields("10", "20", "110", "20", "0,0"), kDistanceNotPositiveText},
        {fields("10", "20", "110", "20", "-1"), kDistanceNotPositiveText},
    };
    for (const Case& k : cases) {
        Calibration c = clickedTwice({10, 20}, {110, 20});
        c.Scale = 0.5;
        ScriptedPrompts prompts;
        EXPECT_EQ(c.kalibrieren(k.f, prompts), KalibrierenOutcome::Refused) << k.f.distance.toStdString();
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].kind, BoxKind::Warning);
        EXPECT_EQ(prompts.shown[0].text, k.warning);
        EXPECT_DOUBLE_EQ(c.Scale, 0.5);
        EXPECT_FALSE(c.Calibrated);
    }
}

TEST(Calibration, LargeTypedCoordinatesDoNotOverflow)
{
    // 40000² + 30000² is beyond 32 bits.
    Calibration c = clickedTwice({0, 0}, {1, 1});
    c.computeScale(fields("0", "0", "40000", "30000", "5"));
    EXPECT_DOUBLE_EQ(c.Scale, 1e-4);
    c.computeScale(fields("-2147483648", "0", "2147483647", "0", "4294967295"));
    EXPECT_DOUBLE_EQ(c.Scale, 1.0);
}

TEST(Calibration, AcceptingAndAnsweringNeinTakesTheLowerLeftCorner)
{
    Calibration c = clickedTwice({10, 20}, {110, 20});
    ScriptedPrompts prompts;
    prompts.answers = {Button::Ja, Button::Nein, Button::Ok};
    QStringList log;
    KalibrierenHooks hooks;
    hooks.showScale = [&](const QString& text) { log << QString("scale %1 after %2").arg(text).arg(prompts.shown.size()); };
    hooks.accepted = [&] { log << QString("accepted after %1").arg(prompts.shown.size()); };

    EXPECT_EQ(c.kalibrieren(fields("10", "20", "110", "20", "1"), prompts, hooks), KalibrierenOutcome::OriginLowerLeft);
    EXPECT_EQ(log, QStringList({"scale 1,00E-02 after 0", "accepted after 1"}));
    ASSERT_EQ(prompts.shown.size(), 3);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Confirmation);
    EXPECT_EQ(prompts.shown[0].text, "Kalibrierung wurde durchgeführt.\rKalibrierung übernehmen?");
    EXPECT_EQ(prompts.shown[0].buttons, QList<Button>({Button::Ja, Button::Abbrechen}));
    EXPECT_EQ(prompts.shown[1].kind, BoxKind::Information);
    EXPECT_EQ(prompts.shown[1].text, kOriginQuestionText);
    EXPECT_EQ(prompts.shown[1].buttons, QList<Button>({Button::Ja, Button::Nein}));
    EXPECT_EQ(prompts.shown[2].text, "Sie können mit der Datenaufnahme beginnen!");

    EXPECT_TRUE(c.Calibrated && c.OriginSet);
    // A click on the lower-left pixel now measures (0, 0).
    const PictureClickResult r = c.pictureClick({0, 0}, true);
    EXPECT_EQ(r.action, Action::MeasuredPoint);
    EXPECT_EQ(c.metresX(r.at.px), 0.0);
    EXPECT_EQ(c.metresY(r.at.py), 0.0);
    EXPECT_DOUBLE_EQ(c.metresY(207), 2.07);
}

TEST(Calibration, AbbrechenKeepsOnlyTheNewScale)
{
    Calibration c = clickedTwice({10, 20}, {110, 20});
    ScriptedPrompts prompts;
    prompts.answers = {Button::Abbrechen};
    bool accepted = false;
    EXPECT_EQ(c.kalibrieren(fields("10", "20", "110", "20", "2"), prompts, {{}, [&] { accepted = true; }}),
              KalibrierenOutcome::Cancelled);
    EXPECT_DOUBLE_EQ(c.Scale, 0.02);
    EXPECT_FALSE(accepted);
    EXPECT_FALSE(c.Calibrated);
    EXPECT_EQ(prompts.shown.size(), 1);
}

TEST(Calibration, OriginClickAfterJaUnlessThePanelWasClosed)
{
    Calibration c = clickedTwice({10, 20}, {110, 20});
    ScriptedPrompts prompts;
    prompts.answers = {Button::Ja, Button::Ja};
    EXPECT_EQ(c.kalibrieren(fields("10", "20", "110", "20", "1"), prompts), KalibrierenOutcome::AwaitingOrigin);
    EXPECT_FALSE(c.OriginSet);

    // "Schließen": the origin click is ignored, with or without a video, until "Datenaufnahme"
    // opens the panel again (or a file is opened).
    c.closeEvaluation();
    EXPECT_EQ(c.pictureClick({50, 60}, true).action, Action::None);
    EXPECT_FALSE(c.OriginSet);
    EXPECT_FALSE(c.startAcquisition().information.has_value());
    EXPECT_FALSE(c.EvaluationClosed);
    c.closeEvaluation();
    c.fileOpened();
    const PictureClickResult r = c.pictureClick({50, 60}, false);
    EXPECT_EQ(r.action, Action::Origin);
    EXPECT_EQ(r.information, kStartMeasuringText);
    EXPECT_EQ(c.OriginX, 50);
    EXPECT_EQ(c.OriginY, 60);
    // Measured points need the video.
    EXPECT_EQ(c.pictureClick({51, 60}, false).action, Action::None);
    EXPECT_EQ(c.pictureClick({51, 60}, true).action, Action::MeasuredPoint);
}

TEST(Calibration, DatenaufnahmeAndRenewalResetTheClickState)
{
    Calibration c;
    c.resetForPlayerView();
    c.pictureClick({1, 1}, true);
    DatenaufnahmeResult r = c.startAcquisition();
    EXPECT_EQ(r.information, kNoCalibrationText);
    EXPECT_FALSE(r.unitLabelsVisible);
    EXPECT_TRUE(c.ExpectFirstPosition);
    EXPECT_TRUE(c.SecondPositionPending);  // untouched: "Kalibrieren" still waits

    // Measuring goes on with the same origin after "Schließen" and "Datenaufnahme".
    c = test::measuring(0.01, 30, 40);
    c.closeEvaluation();
    r = c.startAcquisition();
    EXPECT_TRUE(r.unitLabelsVisible);
    EXPECT_TRUE(c.OriginSet);
    EXPECT_EQ(c.pictureClick({31, 40}, true).action, Action::MeasuredPoint);

    c = test::measuring(0.01, 30, 40);
    c.renew();
    EXPECT_FALSE(c.Calibrated || c.OriginSet);
    EXPECT_TRUE(c.SecondPositionPending);  // "Kalibrieren" waits for two new clicks
    EXPECT_EQ(c.OriginX, 0);
    EXPECT_EQ(c.OriginY, 0);
    EXPECT_DOUBLE_EQ(c.Scale, 0.01);

}

TEST(Calibration, LiveDisplayHasLimitsAndAZeroTextOfItsOwn)
{
    Calibration c = test::measuring(0.005, 100, 50);
    auto live = c.liveTexts({100, 50});
    EXPECT_EQ(live.x, "0.000");
    EXPECT_EQ(live.y, "0.000");
    live = c.liveTexts({101, 49});
    EXPECT_EQ(live.x, "0,005");
    EXPECT_EQ(live.y, "-0,005");
    EXPECT_EQ(c.liveTexts({300100, 50}).x, "1,50E+03");
    c.Scale = 0.0005;
    EXPECT_EQ(c.liveTexts({101, 50}).x, "5,00E-04");
    // Not calibrated: the pixel differences as whole numbers.
    c.Calibrated = false;
    c.OriginX = c.OriginY = 0;
    live = c.liveTexts({-5, 12});
    EXPECT_EQ(live.x, "-5");
    EXPECT_EQ(live.y, "12");
}
