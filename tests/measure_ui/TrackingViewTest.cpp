// "Verfolgen" as a teacher uses it: a generated video of a falling ball (640 × 480, shown at
// 384 × 288) decoded by the real device, calibrated and clicked once with real mouse events; the
// program then finds the ball in every following frame on the video's own pixels.
#include "support/MeasuringFixture.h"

#include "BallScene.h"
#include "VideoGen.h"
#include "common/ProgramEvents.h"
#include "common/TimeBasePreferences.h"
#include "player/video/FfmsVideoDevice.h"
#include "settings/OptionenFenster.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

using namespace kadro;
using kadro::test::MeasuringFixture;

namespace {
constexpr int kFrames = 41;  // 0 .. 40: the ball falls from 0,1 to 0,9 of the height
constexpr double kFps = 50;
constexpr double kScale = 0.6; // display pixels per video pixel (384 / 640)
} // namespace

class TrackingView : public MeasuringFixture {
protected:
    std::unique_ptr<VideoDevice> makeDevice() override
    {
        auto real = std::make_unique<FfmsVideoDevice>();
        video = real.get();
        return real;
    }

    void SetUp() override
    {
        MeasuringFixture::SetUp();
        scene = videogen::BallScene::falling(640, 480, kFps, 8, 0.8);
    }

    // The ball's path, from frame `jumpFrame` on moved `jump` video pixels to the right (where the
    // tracker cannot expect it).
    QString ballVideo(const QString& name, int jumpFrame = kFrames, double jump = 0)
    {
        videogen::Spec spec;
        spec.width = 640;
        spec.height = 480;
        spec.fps = int(kFps);
        spec.frames = kFrames;
        videogen::BallScene jumped = scene;
        jumped.start.rx() += jump;
        spec.render = [this, jumped, jumpFrame](int n, int, int) {
            return (n < jumpFrame ? scene : jumped).render(n).convertToFormat(QImage::Format_RGB32);
        };
        QString error;
        const QString file = path(name);
        EXPECT_TRUE(videogen::generate(spec, file, &error)) << error.toStdString();
        return file;
    }
    // The video opened and calibrated: 100 display pixels are 1 m, the origin lower left.
    void openAndCalibrate(const QString& file)
    {
        ASSERT_TRUE(window->transport().openPlainVideo(file));
        ASSERT_EQ(ui().PaintBox1->size(), QSize(384, 288));
        ASSERT_EQ(device()->fullFrameSize(), QSize(640, 480));
        calibrate();
        ASSERT_FALSE(ui().MesswerteButtonPanel->isHidden());
        ASSERT_FALSE(ui().VerfolgenButton->isHidden());
    }
    VideoDevice* device() { return video; }
    // The ball's centre in frame `frame` on the display picture (client pixels, y down).
    static QPointF onDisplay(const videogen::BallScene& s, int frame)
    {
        const QPointF c = s.centreAt(frame);
        return {(c.x() + 0.5) * kScale - 0.5, (c.y() + 0.5) * kScale - 0.5};
    }
    // A click on the ball's centre in video frame `frame`, as near as whole display pixels get.
    // The tracker follows the point clicked: `offset` is where it lies from the centre.
    void clickBall(const videogen::BallScene& s, int frame)
    {
        const QPointF c = onDisplay(s, frame);
        const QPoint at(int(std::lround(c.x())), int(std::lround(c.y())));
        offset = QPointF(at) - c;
        clickPicture(at.x(), at.y());
    }
    // Where the followed point is in the table's metres (the display picture's y up from its
    // bottom row, 100 pixels a metre).
    double metresY(const videogen::BallScene& s, int frame) const
    {
        return (287 - (onDisplay(s, frame).y() + offset.y())) / 100;
    }
    double metresX(const videogen::BallScene& s, int frame) const
    {
        return (onDisplay(s, frame).x() + offset.x()) / 100;
    }
    int points() { return measure().series().pointCount(); }
    bool waitUntilOff(int ms = 60000)
    {
        return QTest::qWaitFor([this] { return measure().trackingState() != MeasureController::TrackingState::Running; },
                               ms);
    }

    videogen::BallScene scene;
    VideoDevice* video = nullptr;
    QPointF offset;
};

TEST_F(TrackingView, OneClickTracksTheBallToTheVideosEndAndTheFitGivesG)
{
    openAndCalibrate(ballVideo(QStringLiteral("fall.avi")));
    EXPECT_EQ(ui().VerfolgenButton->text(), QStringLiteral("Verfolgen")); // its hint: the hover-hint test

    QTest::mouseClick(ui().VerfolgenButton, Qt::LeftButton);
    EXPECT_EQ(ui().HinweisPanel->text(), QStringLiteral("  Klicken Sie auf die Mitte des Objekts, das verfolgt werden soll"));
    EXPECT_EQ(points(), 0);
    window->st.DataSaved = true;
    QElapsedTimer running;
    running.start();
    clickBall(scene, 0);
    EXPECT_GE(points(), 1); // the click itself is the first point
    EXPECT_EQ(ui().VerfolgenButton->text(), QStringLiteral("Stopp"));
    ASSERT_TRUE(waitUntilOff());
    // For the record: frames tracked per second in the window (decoding, matching, the table).
    RecordProperty("frames_per_second", std::to_string((kFrames - 1) * 1000.0 / std::max<qint64>(1, running.elapsed())));

    // Every frame to the video's end, at its frame; the table's format as for clicks.
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(ui().VerfolgenButton->text(), QStringLiteral("Verfolgen"));
    EXPECT_EQ(device()->position(), kFrames - 1);
    EXPECT_EQ(window->st.CurrentFrame, kFrames - 1);
    ASSERT_EQ(points(), kFrames);
    EXPECT_FALSE(window->st.DataSaved);
    double squares = 0;
    for (int f = 1; f < kFrames; ++f) {
        const int row = f + 1;
        ASSERT_EQ(cell(row, 4), QString::number(f));
        EXPECT_NEAR(parseDecimal(cell(row, 3)), 0.02, 1e-9);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9],[0-9]{3}$")).match(cell(row, 2)).hasMatch());
        const double dy = parseDecimal(cell(row, 2)) - metresY(scene, f);
        const double dx = parseDecimal(cell(row, 1)) - metresX(scene, f);
        EXPECT_LT(std::abs(dy), 0.002) << "frame " << f;
        squares += dx * dx + dy * dy;
    }
    // RMS in video pixels (a table cell holds 1 mm = 0,1 display pixels = 0,17 video pixels).
    const double rms = std::sqrt(squares / (kFrames - 1)) * 100 / kScale;
    RecordProperty("rms_video_pixels", std::to_string(rms));
    EXPECT_LT(rms, 0.3);

    // g of the generator in the calibration's metres: 1200 px/s² × 0,6 / 100.
    const double g = fittedG();
    RecordProperty("g", std::to_string(g));
    EXPECT_NEAR(g, 1200 * kScale / 100, 0.005 * 7.2);

    // Tracked points are points like clicked ones: the grid's pop-up deletes one, "Messwerte neu"
    // clears them all.
    deletePoint(5);
    EXPECT_EQ(ui().MesswertePopupMenuMessungLoeschen->text(), QStringLiteral("Messwert 5 löschen"));
    EXPECT_EQ(points(), kFrames - 1);
    EXPECT_EQ(cell(5, 4), QStringLiteral("5"));
    EXPECT_NEAR(parseDecimal(cell(5, 3)), 0.04, 1e-9);
    ui().MesswerteNeuButton->click();
    EXPECT_EQ(points(), 0);
}

TEST_F(TrackingView, StoppAndAClickOnThePictureEndItWithinOneFrame)
{
    openAndCalibrate(ballVideo(QStringLiteral("fall.avi")));
    for (const bool byPicture : {false, true}) {
        SCOPED_TRACE(byPicture ? "a click on the picture" : "Stopp");
        QTest::mouseClick(ui().VerfolgenButton, Qt::LeftButton);
        const int before = points();
        clickBall(scene, device()->position());
        ASSERT_TRUE(QTest::qWaitFor([&] { return points() >= before + 4; }, 30000));
        if (byPicture)
            clickPicture(5, 5);
        else
            QTest::mouseClick(ui().VerfolgenButton, Qt::LeftButton);
        const int atStop = points();
        const int frame = device()->position();
        EXPECT_EQ(measure().trackingState(), MeasureController::TrackingState::Off);
        EXPECT_EQ(ui().VerfolgenButton->text(), QStringLiteral("Verfolgen"));
        QTest::qWait(300);
        EXPECT_EQ(points(), atStop);              // nothing more recorded, and the stopping click neither
        EXPECT_LE(device()->position(), frame + 1);
        EXPECT_LT(device()->position(), kFrames - 1);
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(TrackingView, ALostObjectIsReportedAndAClickOnItGoesOn)
{
    // From frame 20 on the ball is 120 video pixels further right: far beyond the search area.
    openAndCalibrate(ballVideo(QStringLiteral("jump.avi"), 20, 120));
    QTest::mouseClick(ui().VerfolgenButton, Qt::LeftButton);
    clickBall(scene, 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !prompts.shown.isEmpty(); }, 60000));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Information);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Das Objekt wurde in Frame 20 nicht sicher wiedergefunden.\r"
                                                    "Klicken Sie es an, um mit der Verfolgung fortzufahren."));
    EXPECT_EQ(ui().FrameAnzeige2Label->text(), QStringLiteral("20"));
    EXPECT_EQ(points(), 20); // frames 0 .. 19
    EXPECT_EQ(measure().trackingState(), MeasureController::TrackingState::AwaitingClick);
    EXPECT_EQ(ui().HinweisPanel->text(), QStringLiteral("  Klicken Sie auf die Mitte des Objekts, das verfolgt werden soll"));
    QTest::qWait(200);
    EXPECT_EQ(device()->position(), 20); // it waits in that frame

    videogen::BallScene jumped = scene;
    jumped.start.rx() += 120;
    clickBall(jumped, 20);
    EXPECT_EQ(cell(21, 4), QStringLiteral("20"));
    ASSERT_TRUE(waitUntilOff());
    EXPECT_EQ(prompts.shown.size(), 1);
    ASSERT_EQ(points(), kFrames);
    for (int f = 21; f < kFrames; ++f) {
        EXPECT_NEAR(parseDecimal(cell(f + 1, 1)), metresX(jumped, f), 0.002) << "frame " << f;
        EXPECT_NEAR(parseDecimal(cell(f + 1, 2)), metresY(jumped, f), 0.002) << "frame " << f;
    }
}

// The object box and the search area are set in "Einstellungen" (tab "Allgemein", group
// "Verfolgung"), kept in the preferences, not in Optionen.opt, and the next tracking uses them.
TEST_F(TrackingView, TheBoxAndTheSearchAreaAreSetInTheSettings)
{
    openAndCalibrate(ballVideo(QStringLiteral("fall.avi")));
    inSettings([this] {
        EXPECT_EQ(optionen->ObjektGroesseSpinBox->value(), 15);
        EXPECT_EQ(optionen->SuchbereichSpinBox->value(), 45);
        // Typed as a user does; the search area can never be smaller than the box.
        optionen->ObjektGroesseSpinBox->selectAll();
        QTest::keyClicks(optionen->ObjektGroesseSpinBox, QStringLiteral("5"));
        optionen->SuchbereichSpinBox->selectAll();
        QTest::keyClicks(optionen->SuchbereichSpinBox, QStringLiteral("21"));
        optionen->OKBitBtn->click();
    });
    const QString ini = QString::fromLocal8Bit(qgetenv("KADRO_PREFERENCES"));
    QSettings store(ini, QSettings::IniFormat);
    EXPECT_EQ(store.value(QStringLiteral("Verfolgung/Objektgroesse")).toInt(), 5);
    EXPECT_EQ(store.value(QStringLiteral("Verfolgung/Suchbereich")).toInt(), 21);
    QFile options(path(QStringLiteral("Optionen.opt")));
    if (options.open(QIODevice::ReadOnly))
        EXPECT_FALSE(options.readAll().contains("21"));
    inSettings([this] {
        EXPECT_EQ(optionen->ObjektGroesseSpinBox->value(), 5);
        EXPECT_EQ(optionen->SuchbereichSpinBox->value(), 21);
        optionen->AbbrechenBitBtn->click();
    });

    // A 5-pixel box inside the 16-pixel ball holds one flat grey: nothing to follow, so the
    // tracking ends at the clicked point.
    QTest::mouseClick(ui().VerfolgenButton, Qt::LeftButton);
    clickBall(scene, 0);
    ASSERT_TRUE(waitUntilOff(10000));
    QTest::qWait(100);
    EXPECT_EQ(points(), 1);
    EXPECT_EQ(device()->position(), 0);

    // A box of 21 pixels follows it again.
    TimeBasePreferences(ini).setTrackingBoxSize(21);
    TimeBasePreferences(ini).setTrackingSearchSize(63);
    QTest::mouseClick(ui().VerfolgenButton, Qt::LeftButton);
    clickBall(scene, 0);
    ASSERT_TRUE(waitUntilOff());
    EXPECT_EQ(points(), 1 + kFrames);
}

// In a presentation the tracking ends with the section: its last frame is the last point, and
// the section's end is reached as by stepping there.
TEST_F(TrackingView, InAPresentationItEndsAtTheSectionsEnd)
{
    ballVideo(QStringLiteral("fall.avi"));
    presentation(QStringLiteral("fall.vst"), QStringLiteral("fall.avi"),
                 {QStringLiteral("#1 5 25 M 1 1 1 1 1 1 0 1 1"), QStringLiteral("#2 26 40 M 1 1 1 1 1 1 0 1 1")}, 20);
    QDir().mkpath(path(QStringLiteral("fall")));
    bool ended = false;
    QObject::connect(&window->events(), &ProgramEvents::sectionEndReached, [&] { ended = true; });
    prompts.fileAnswers = {path(QStringLiteral("fall.vst"))};
    ui().OeffnenButton->click();
    ASSERT_EQ(window->st.StartFrame, 5);
    ASSERT_EQ(window->st.StopFrame, 25);
    ASSERT_FALSE(window->st.IsPlaying);
    ASSERT_EQ(device()->position(), 5);
    prompts.shown.clear();

    ASSERT_FALSE(ui().KalibrierenPanel->isHidden());
    calibrateBetween({10, 20}, {110, 20});
    ended = false;

    QTest::mouseClick(ui().VerfolgenButton, Qt::LeftButton);
    clickBall(scene, 5);
    ASSERT_TRUE(waitUntilOff());
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_TRUE(ended);
    EXPECT_EQ(device()->position(), 25);
    EXPECT_EQ(window->st.CurrentFrame, 20);
    EXPECT_EQ(window->st.CurrentMark, 1);
    ASSERT_EQ(points(), 21);
    EXPECT_EQ(cell(21, 4), QStringLiteral("25"));
    for (int f = 6; f <= 25; ++f)
        EXPECT_NEAR(parseDecimal(cell(f - 4, 2)), metresY(scene, f), 0.002) << "frame " << f;
}
