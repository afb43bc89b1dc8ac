// Times from the video itself, as a teacher meets them: a phone video of a falling ball is opened,
// stepped through, clicked frame by frame and fitted over time, with real mouse and key events.
// The ball falls with g = 9,81 m/s²; the scale is chosen so that it lies on whole pixels at every
// frame, so the fit gives g exactly when, and only when, the time of each frame is right.
#include "support/MeasuringFixture.h"
#include "support/RedBall.h"

#include "common/TimeBase.h"
#include "common/TimeBasePreferences.h"
#include "player/video/FfmsVideoDevice.h"
#include "player/view/PictureSurface.h"
#include "VideoGen.h"
#include "settings/OptionenFenster.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>

#include <cmath>

using namespace kadro;
using kadro::test::MeasuringFixture;
using kadro::test::readBytes;

namespace {
constexpr double kG = 9.81;
} // namespace

class TimeBaseView : public MeasuringFixture {
protected:
    QString label() const { return window->ui.ZeitbasisLabel->text(); }
    // The ball `pixelsDown(frame)` pixels below the top row, clicked at each of `frames`.
    void clickFall(const std::vector<int>& frames, const std::function<int(int)>& pixelsDown)
    {
        for (int f : frames) {
            stepTo(f);
            clickPicture(160, pixelsDown(f));
        }
    }
    void setFromVideo(bool on) { TimeBasePreferences(TimeBasePreferences::configuredPath()).setFromVideo(on); }
};

// A phone video at a fixed rate: the times shown, the time-step column and g follow the video.
struct RateCase {
    double rate;
    const char* rateShown;
    const char* timeOfFrame30;
    const char* oneFrame;
    int every;            // frames between two clicks
    const char* distance; // of 100 pixels, so that the ball falls (n / every)² pixels by frame n
};

class TimeBaseAtRate : public TimeBaseView, public ::testing::WithParamInterface<RateCase> {};

TEST_P(TimeBaseAtRate, TimesTheTableAndGFollowTheVideosRate)
{
    const RateCase k = GetParam();
    device->setTiming({k.rate, false, 0}, stampsAtRate(k.rate));
    ASSERT_TRUE(openVideo("handy.mp4", 99, {320, 240}));
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: %1 Bilder/s").arg(QLatin1String(k.rateShown)));
    EXPECT_TRUE(ui().ZeitbasisLabel->isVisibleTo(window.get()));
    EXPECT_TRUE(prompts.shown.isEmpty()) << "nothing to ask for a video of even frame rate";

    stepTo(30);
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QLatin1String(k.timeOfFrame30));
    window->transport().VideoBildzurueckButtonClick();
    window->transport().VideoBildzurueckButtonClick();
    EXPECT_EQ(ui().FrameAnzeige2Label->text(), QStringLiteral("28"));

    // Back to the start (the slider, as a user drags it) and measured.
    ui().VideoTrackBar->setValue(0);
    ASSERT_EQ(device->position(), 0);
    calibrate(QLatin1String(k.distance));
    // Sixteen points over a fall of about a second (5 to 7 metres): the table's millimetres
    // cannot spoil g.
    std::vector<int> frames;
    for (int j = 0; j <= 15; ++j)
        frames.push_back(j * k.every);
    clickFall(frames, [&k](int n) { return (n / k.every) * (n / k.every); });
    EXPECT_EQ(cell(2, 3), QLatin1String(k.oneFrame));
    EXPECT_EQ(cell(16, 4), QString::number(15 * k.every));
    EXPECT_NEAR(fittedG(), kG, kG * 0.001);
    // Straight down: the fit over time without an error box, and no curve over a single x.
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.value(0).text.toStdString();
    for (const OverlayItem& item : ui().PaintBox1->layerItems(EvaluationController::EvaluationLayer))
        EXPECT_NE(item.kind, OverlayItem::Kind::Line);
}

INSTANTIATE_TEST_SUITE_P(PhoneRates, TimeBaseAtRate,
                         ::testing::Values(
                             // g · every² / (2 · fps²) metres per pixel.
                             RateCase{25, "25", "1,200", "0,08000", 2, "3,1392"},
                             RateCase{30, "30", "1,000", "0,06667", 2, "2,18"},
                             RateCase{60, "60", "0,500", "0,06667", 4, "2,18"},
                             RateCase{30000.0 / 1001, "29,97", "1,001", "0,06673", 2, "2,184362180"}));

TEST_F(TimeBaseView, AVariableFrameRateIsToldOnceAndEachFrameKeepsItsOwnTime)
{
    // Frames 30 ms and 40 ms apart in turn, the first stamped at 0,5 s.
    std::vector<double> stamps{0.5};
    for (int n = 1; n < 100; ++n)
        stamps.push_back(stamps.back() + (n % 2 ? 0.03 : 0.04));
    device->setTiming({28.5, true, 0}, stamps);
    ASSERT_TRUE(openVideo("vfr.mp4", 99, {320, 240}));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Information);
    EXPECT_EQ(prompts.shown[0].text, kVariableRateNotice);
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: Zeitstempel der Bilder (variable Bildrate)"));
    stepTo(30);
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("1,050")); // 15 · 30 ms + 15 · 40 ms
    window->transport().VideoBildvorButtonClick();
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("1,080"));
    ui().VideoTrackBar->setValue(0);

    // Every second frame is 70 ms on: the ball falls j² pixels by frame 2j (0,0240345 m each).
    prompts.shown.clear();
    calibrate(QStringLiteral("2,40345"));
    std::vector<int> frames;
    for (int j = 0; j <= 14; ++j)
        frames.push_back(2 * j);
    clickFall(frames, [](int n) { return (n / 2) * (n / 2); });
    EXPECT_EQ(cell(2, 3), QStringLiteral("0,07000"));
    EXPECT_NEAR(fittedG(), kG, kG * 0.001);
    EXPECT_TRUE(prompts.shown.isEmpty());

    // Told once each time the video is opened.
    ASSERT_TRUE(openVideo("vfr.mp4", 99, {320, 240}));
    EXPECT_EQ(prompts.shown.size(), 1);
}

TEST_F(TimeBaseView, ASlowMotionRecordingIsMeasuredAtTheRateItWasFilmedAt)
{
    // Filmed at 240 frames per second, stored at 30: the phone wrote the capture rate.
    device->setTiming({30, false, 240}, stampsAtRate(30));
    prompts.answers = {Button::Ja};
    ASSERT_TRUE(openVideo("zeitlupe.mp4", 299, {320, 240}));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, captureRateQuestion(240, 30));
    EXPECT_EQ(prompts.shown[0].buttons, (QList<Button>{Button::Ja, Button::Nein}));
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: 240 Bilder/s (Aufnahme)"));
    stepTo(30);
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("0,125"));
    // Playing keeps the normal step: the slow motion stays slow.
    EXPECT_EQ(ui().ZeitschrittNormalLabel->text(), QStringLiteral("40"));
    ui().VideoTrackBar->setValue(0);

    // The ball falls (n / 16)² pixels by frame n, 9,81 · 16² / (2 · 240²) metres each.
    calibrate(QStringLiteral("2,18"));
    clickFall({0, 1}, [](int) { return 0; });
    EXPECT_EQ(cell(2, 3), QStringLiteral("0,00417"));
    ui().MesswerteNeuButton->click();
    std::vector<int> frames;
    for (int j = 0; j <= 15; ++j)
        frames.push_back(16 * j);
    clickFall(frames, [](int n) { return (n / 16) * (n / 16); });
    EXPECT_NEAR(fittedG(), kG, kG * 0.001);

    // The answer is remembered for this file.
    prompts.shown.clear();
    ASSERT_TRUE(openVideo("zeitlupe.mp4", 99, {320, 240}));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: 240 Bilder/s (Aufnahme)"));

    // Another recording, declined: its stored rate counts.
    device->setTiming({30, false, 120}, stampsAtRate(30));
    prompts.answers = {Button::Nein};
    ASSERT_TRUE(openVideo("anders.mp4", 99, {320, 240}));
    EXPECT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: 30 Bilder/s"));
}

TEST_F(TimeBaseView, TheUserEntersACaptureRateAndTurnsTheVideosTimeOffInTheSettings)
{
    device->setTiming({30, false, 0}, stampsAtRate(30));
    ASSERT_TRUE(openVideo("zeitlupe.mp4", 99, {320, 240}));
    stepTo(30);
    ASSERT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("1,000"));

    // A rate that is no number is refused and the dialog stays open.
    inSettings([this] {
        EXPECT_TRUE(optionen->ZeitAusVideoCheckBox->isChecked());
        EXPECT_TRUE(optionen->AufnahmeRateEdit->isEnabled());
        EXPECT_TRUE(optionen->AufnahmeRateEdit->text().isEmpty());
        optionen->AufnahmeRateEdit->setText(QStringLiteral("viel"));
        optionen->OKBitBtn->click();
        EXPECT_TRUE(optionen->isVisible());
        ASSERT_FALSE(prompts.shown.isEmpty());
        optionen->AufnahmeRateEdit->setText(QStringLiteral("240"));
        optionen->OKBitBtn->click();
    });
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: 240 Bilder/s (Aufnahme)"));
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("0,125"));
    EXPECT_EQ(ui().ZeitAnzeige1Label->text(), QStringLiteral("0,412")); // 99 frames: 0,4125 s

    // Off: the settings' time step again, for every video.
    inSettings([this] {
        EXPECT_EQ(optionen->AufnahmeRateEdit->text(), QStringLiteral("240"));
        optionen->ZeitAusVideoCheckBox->setChecked(false);
        optionen->OKBitBtn->click();
    });
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: 40 ms je Bild"));
    EXPECT_EQ(ui().ZeitAnzeige2Label->text(), QStringLiteral("1,200"));
    EXPECT_FALSE(TimeBasePreferences(TimeBasePreferences::configuredPath()).fromVideo());
}

TEST_F(TimeBaseView, TheAuthoringViewShowsTheTimesOfThePresentationsTimeSteps)
{
    // The teacher cuts the video into sections; played, the presentation counts its time steps.
    window->StartseiteAn();
    enterView(2);
    device->setTiming({30, false, 240}, stampsAtRate(30));
    ASSERT_TRUE(openVideo("handy.mp4", 99, {320, 240}));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_FALSE(ui().ZeitbasisLabel->isVisibleTo(window.get()));
    EXPECT_EQ(ui().ZeitAnzeige1Label->text(), QStringLiteral("3,960"));

    // Back in the player view the same video is measured in its own time.
    window->StartseiteAn();
    enterView(1);
    prompts.answers = {Button::Nein};
    ASSERT_TRUE(openVideo("handy.mp4", 99, {320, 240}));
    EXPECT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(ui().ZeitbasisLabel->isVisibleTo(window.get()));
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: 30 Bilder/s"));
    EXPECT_EQ(ui().ZeitAnzeige1Label->text(), QStringLiteral("3,300"));
}

TEST_F(TimeBaseView, WithTheVideosTimeOffEveryOutputIsAsWithTheTimeStep)
{
    // The same measurement of the same file: once from a video that tells no rate, once from a
    // 30 fps video with "Zeit aus dem Video" off.
    auto measureAndSave = [this](const QString& mes) {
        EXPECT_TRUE(openVideo("fall.avi", 99, {320, 240}));
        stepTo(30);
        const QString shown = ui().ZeitAnzeige2Label->text() + " " + ui().ZeitAnzeige1Label->text();
        ui().VideoTrackBar->setValue(0);
        calibrate(QStringLiteral("1"));
        clickFall({0, 3, 4, 9}, [](int n) { return 10 + n * n; });
        prompts.fileAnswers = {path(mes)};
        ui().MesswerteSpeichernButton->click();
        const QString equation = trendParabola();
        EXPECT_FALSE(equation.isEmpty());
        ui().AuswertungSchliessenButton->click();
        prompts.shown.clear();
        return shown + "|" + equation;
    };
    const QString plain = measureAndSave(QStringLiteral("a.mes"));
    // A measurement of its own: the player view laid out afresh (after "Schließen", "Datenaufnahme"
    // would go on with the same series).
    window->Programmpunkt1Einstellungen();
    setFromVideo(false);
    device->setTiming({30, false, 0}, stampsAtRate(30));
    const QString thirtyOff = measureAndSave(QStringLiteral("b.mes"));

    EXPECT_TRUE(plain.startsWith(QStringLiteral("1,200 3,960|"))) << plain.toStdString();
    EXPECT_EQ(thirtyOff, plain);
    const QByteArray a = readBytes(path("a.mes"));
    const QByteArray b = readBytes(path("b.mes"));
    EXPECT_TRUE(fromCp1252(a).contains(QStringLiteral("\t0,12\t3\t\r\n"))) << fromCp1252(a).toStdString();
    EXPECT_EQ(a, b);
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: 40 ms je Bild"));
}

// The same with real files: a ball filmed falling 1 m in front of the camera, decoded by the real
// device, found in each picture and clicked where it is, as a student does it.
class PhoneVideo : public TimeBaseView {
protected:
    std::unique_ptr<VideoDevice> makeDevice() override { return std::make_unique<FfmsVideoDevice>(); }

    static constexpr int kTop = 22;           // the ball's centre at rest, in pixels
    static constexpr double kPerMetre = 250;  // pixels per metre

    // A 384 × 288 H.264 video of the ball, released at frame 0 and filmed at `filmedRate` frames
    // per second (stored at the rate `spec` says).
    QString fallVideo(videogen::Spec spec, double filmedRate, const QString& name)
    {
        spec.width = 384;
        spec.height = 288;
        spec.render = [filmedRate](int n, int w, int h) {
            QImage image(w, h, QImage::Format_RGB32);
            image.fill(QColor(225, 232, 240));
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.fillRect(QRect(0, h - 8, w, 8), QColor(90, 90, 90)); // the floor
            const double t = n / filmedRate;
            const double y = std::min(kTop + kPerMetre * 0.5 * kG * t * t, kTop + kPerMetre);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(180, 20, 20));
            p.drawEllipse(QPointF(230, y), 7, 7);
            return image;
        };
        QString error;
        const QString file = path(name);
        EXPECT_TRUE(videogen::generate(spec, file, &error)) << error.toStdString();
        return file;
    }
    // The ball's centre in the picture shown.
    QPointF ball()
    {
        const std::optional<QPointF> at = kadro::test::redBallCentre(window->ui.BildschirmPanel->frame());
        EXPECT_TRUE(at) << "no ball in frame " << window->st.CurrentFrame;
        return at.value_or(QPointF());
    }
    // Calibrated on the fall itself (1 m from the ball at rest downwards), then the ball clicked
    // in the frames given.
    void measureFall(const std::vector<int>& frames)
    {
        ASSERT_EQ(ui().PaintBox1->size(), QSize(384, 288));
        ASSERT_EQ(window->ui.BildschirmPanel->frame().size(), QSize(384, 288));
        ui().MenuDatenaufnahme->trigger();
        calibrateBetween({100, kTop}, {100, kTop + int(kPerMetre)});
        for (int f : frames) {
            ui().VideoTrackBar->setValue(f);
            ASSERT_EQ(window->st.CurrentFrame, f);
            const QPointF at = ball();
            clickPicture(int(std::lround(at.x())), int(std::lround(at.y())));
        }
    }
};

TEST_F(PhoneVideo, ASixtyFramesVideoGivesGWithoutTouchingASetting)
{
    const QString file = fallVideo(videogen::h264Mp4AtRate(60, 1, 40), 60, QStringLiteral("Fall60.mp4"));
    ASSERT_TRUE(window->transport().openPlainVideo(file));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: 60 Bilder/s"));
    std::vector<int> frames;
    for (int f = 0; f <= 27; ++f) // the ball reaches the floor after 0,45 s
        frames.push_back(f);
    measureFall(frames);
    EXPECT_EQ(cell(2, 3), QStringLiteral("0,01667"));
    EXPECT_NEAR(fittedG(), kG, kG * 0.01);
}

TEST_F(PhoneVideo, ASlowMotionRecordingGivesGOnceItsRateIsConfirmed)
{
    const QString file = fallVideo(videogen::slowMotionMp4(240, 30, 112), 240, QStringLiteral("Zeitlupe.mp4"));
    prompts.answers = {Button::Ja};
    ASSERT_TRUE(window->transport().openPlainVideo(file));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, captureRateQuestion(240, 30));
    EXPECT_EQ(label(), QStringLiteral("Zeitbasis: 240 Bilder/s (Aufnahme)"));
    std::vector<int> frames;
    for (int f = 0; f <= 108; f += 4)
        frames.push_back(f);
    measureFall(frames);
    EXPECT_EQ(cell(2, 3), QStringLiteral("0,01667"));
    EXPECT_NEAR(fittedG(), kG, kG * 0.01);
}
