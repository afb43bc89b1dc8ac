// The picture filling the screen and the magnifier, used with real keys and mouse events: the
// keys call what the buttons do, the bar offers what the window offers, a click on the large
// picture is measured at the place it shows (in fractions of the window's pixels), and the
// magnifier shows the video's own pixels under the pointer.
#include "MeasureFixture.h"

#include "common/NumberFormat.h"
#include "evaluation/EvaluationController.h"
#include "player/BigPicture.h"
#include "player/FullScreenView.h"
#include "player/view/Magnifier.h"
#include "player/view/PictureSurface.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSlider>
#include <QTextBrowser>
#include <QTextEdit>

#include <cmath>

using namespace kadro;
using kadro::test::MeasureFixture;

namespace {
// A frame whose every pixel tells where it is: red = x, green = y (of a 640 × 480 frame, in
// steps of two so they stay apart), blue = the frame number.
QImage telltaleFrame(int frame)
{
    QImage image(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(x / 3 % 256, y / 2 % 256, frame % 256);
    }
    return image;
}
} // namespace

class FullScreen : public MeasureFixture {
protected:
    void SetUp() override
    {
        MeasureFixture::SetUp();
        // The window's first show brings the start page, as at the program's start: the view
        // is entered and the video opened after it, as the user does.
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        enterView(1);
        ASSERT_TRUE(openVideo("fall.avi", 99, {320, 240}));
    }
    FullScreenView& view() { return window->bigPicture().fullScreen(); }
    void key(QWidget* target, Qt::Key k) { QTest::keyClick(target, k); }
    void enter()
    {
        // F11 is the window's shortcut: it works while the window is the active one.
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), Qt::Key_F11);
        ASSERT_TRUE(view().active());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view()));
    }
    // The point of the view that shows the window picture's point p (fractions of its pixels),
    // to the nearest screen pixel.
    // The pointer moved over the full-screen view (a real move event, as the window system gives).
    void moveOverView(const QPoint& at) { moveOver(&view(), at); }
    static void moveOver(QWidget* widget, const QPoint& at)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
    double fittedG()
    {
        ui().MenuTrendparabel->trigger();
        for (int i = 0; i < 200 && (ui().Timer5->isActive() || ui().Timer6->isActive() || ui().Timer7->isActive() ||
                                    ui().Timer8->isActive());
             ++i)
            QTest::qWait(10);
        QCoreApplication::processEvents();
        const QString equation = window->evaluation().equationText();
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^ y\\(x\\) = (-?[0-9]+,[0-9]+)x²")).match(equation);
        EXPECT_TRUE(m.hasMatch()) << equation.toStdString();
        return m.hasMatch() ? -2 * parseDecimal(m.captured(1)) : 0.0;
    }
    QPoint viewPointOf(const QPointF& p)
    {
        const QRect r = view().pictureRect();
        const double s = double(r.width()) / ui().PaintBox1->width();
        return QPoint(int(std::lround(r.x() + (p.x() + 0.5) * s - 0.5)),
                      int(std::lround(r.y() + (p.y() + 0.5) * s - 0.5)));
    }
};

TEST_F(FullScreen, KeysDoWhatTheButtonsDoAndTheBarOffersWhatTheWindowOffers)
{
    device->setFullFrames(QSize(640, 480), telltaleFrame);
    enter();
    const QSize screen = window->screen()->geometry().size();
    EXPECT_EQ(view().geometry().size(), screen);
    // The frame at the video's own resolution comes from its own decoder.
    ASSERT_TRUE(QTest::qWaitFor([this] { return view().sharpFrame() == device->position(); }, 2000));
    EXPECT_EQ(view().sharpPicture().size(), QSize(640, 480));
    // The picture keeps its aspect and fills the screen's height or width.
    const QRect r = view().pictureRect();
    EXPECT_NEAR(double(r.width()) / r.height(), double(ui().PaintBox1->width()) / ui().PaintBox1->height(), 0.01);
    EXPECT_TRUE(r.width() == screen.width() || r.height() == screen.height());

    // The bar: a twin for each control the window offers now, and none for the others.
    QWidget* bar = view().bar();
    ASSERT_TRUE(bar->isVisible());
    for (QPushButton* original : {ui().VideoStartButton, ui().VideoStopButton, ui().VideoBildvorButton,
                                  ui().NaechsteMarkeButton}) {
        QPushButton* twin = view().twinOf(original);
        ASSERT_NE(twin, nullptr);
        EXPECT_EQ(twin->isVisible(), original->isVisibleTo(window.get())) << original->objectName().toStdString();
        EXPECT_EQ(twin->isEnabled(), original->isEnabled());
        EXPECT_EQ(twin->text(), original->text());
    }
    EXPECT_FALSE(view().twinOf(ui().NaechsteMarkeButton)->isVisible()); // no sections here

    // → and ← step as "Bild vor" and "Bild zurück".
    ASSERT_TRUE(QTest::qWaitFor([this] { return ui().VideoBildvorButton->isEnabled(); }, 3000));
    view().sync();
    const int at = device->position();
    key(&view(), Qt::Key_Right);
    key(&view(), Qt::Key_Right);
    EXPECT_EQ(device->position(), at + 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view().sharpFrame() == at + 2; }, 2000));
    EXPECT_EQ(QColor(view().sharpPicture().pixel(0, 0)).blue(), at + 2);
    key(&view(), Qt::Key_Left);
    EXPECT_EQ(device->position(), at + 1);
    // A twin clicked with the mouse clicks the window's control.
    QTest::mouseClick(view().twinOf(ui().VideoBildvorButton), Qt::LeftButton);
    EXPECT_EQ(device->position(), at + 2);

    // A control the window stops offering leaves the bar at once.
    ui().VideoZeitlupeButton->hide();
    view().sync();
    EXPECT_FALSE(view().twinOf(ui().VideoZeitlupeButton)->isVisible());
    ui().VideoZeitlupeButton->show();

    // Space: "Start", then "Pause", then "Weiter", as the buttons read.
    key(&view(), Qt::Key_Space);
    ASSERT_TRUE(ui().VideoStopButton->isEnabled()); // running: "Pause" is offered
    EXPECT_EQ(ui().VideoStopButton->text(), QStringLiteral("Pause"));
    EXPECT_EQ(view().twinOf(ui().VideoStopButton)->text(), QStringLiteral("Pause"));
    key(&view(), Qt::Key_Space);
    ASSERT_EQ(ui().VideoStopButton->text(), QStringLiteral("Weiter"));
    EXPECT_EQ(view().twinOf(ui().VideoStopButton)->text(), QStringLiteral("Weiter"));
    const int paused = device->position();
    key(&view(), Qt::Key_Space);
    EXPECT_EQ(ui().VideoStopButton->text(), QStringLiteral("Pause"));
    key(&view(), Qt::Key_Space);
    EXPECT_GE(device->position(), paused);

    // The bar hides 3 s after the last mouse move and comes back with the next one.
    QTest::qWait(FullScreenView::kBarHideMs + 200);
    EXPECT_FALSE(bar->isVisible());
    moveOverView(r.center());
    EXPECT_TRUE(bar->isVisible());

    // Esc leaves, F11 enters and leaves again; the window's layout is as before.
    const QRect pictureInWindow = ui().BildschirmPanel->geometry();
    const QSize windowSize = window->size();
    key(&view(), Qt::Key_Escape);
    EXPECT_FALSE(view().active());
    enter();
    key(&view(), Qt::Key_F11);
    EXPECT_FALSE(view().active());
    EXPECT_EQ(ui().BildschirmPanel->geometry(), pictureInWindow);
    EXPECT_EQ(window->size(), windowSize);

    // When the start page comes (a presentation's last transition), full screen ends with it.
    enter();
    window->StartseiteAn();
    view().sync();
    EXPECT_FALSE(view().active());
}

TEST_F(FullScreen, PointsClickedOnTheLargePictureKeepFractionsAndGiveG)
{
    // A ball falling in the window picture's pixels from (150, 30) with 400 px/s² at 25 frames
    // per second; 100 px are 1 m, so g is 4 m/s².
    calibrate();
    ASSERT_TRUE(QTest::qWaitFor([this] { return ui().VideoBildvorButton->isEnabled(); }, 3000));
    enter();
    const double scale = 0.01;
    const int origin = ui().PaintBox1->height() - 1; // the lower left corner
    double worst = 0;
    for (int n = 0; n < 20; ++n) {
        const double t = n / 25.0;
        const QPointF centre(150.3, 30.2 + 0.5 * 400 * t * t);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, viewPointOf(centre));
        // The table has the place the click showed, to a fraction of a window pixel.
        const double y = parseDecimal(cell(n + 1, 2));
        const double x = parseDecimal(cell(n + 1, 1));
        worst = std::max({worst, std::abs(y - (origin - centre.y()) * scale), std::abs(x - centre.x() * scale)});
        key(&view(), Qt::Key_Right);
    }
    RecordProperty("worst_error_px", std::to_string(worst / scale));
    // Half a screen pixel at most, plus the table's millimetre (a whole window pixel is 1 cm).
    const double halfScreenPixel = 0.5 * ui().PaintBox1->width() / view().pictureRect().width();
    EXPECT_LE(worst, (halfScreenPixel + 0.051) * scale);
    EXPECT_LT(halfScreenPixel, 0.3);

    const double g = fittedG();
    RecordProperty("g", std::to_string(g));
    EXPECT_NEAR(g, 4.0, 0.003 * 4.0);
}

TEST_F(FullScreen, TheMagnifierShowsTheVideosOwnPixelsUnderThePointer)
{
    device->setFullFrames(QSize(640, 480), telltaleFrame);
    // The check box is offered with the measuring panel; L toggles it there, not under the cover.
    QTest::keyClick(window.get(), Qt::Key_L);
    EXPECT_FALSE(ui().LupeCheckBox->isChecked());
    ui().MenuDatenaufnahme->trigger();
    prompts.shown.clear();
    ui().PaintBox1->setFocus();
    QTest::keyClick(ui().PaintBox1, Qt::Key_L);
    ASSERT_TRUE(ui().LupeCheckBox->isChecked());

    // In the window: the pointer over the picture, the magnifier centred on it.
    Magnifier& inWindow = window->bigPicture().windowMagnifier();
    const QPoint over(101, 77);
    moveOver(ui().PaintBox1, over);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !inWindow.source().isNull(); }, 2000));
    moveOver(ui().PaintBox1, over);
    ASSERT_TRUE(inWindow.isVisible());
    EXPECT_EQ(inWindow.geometry().topLeft() + QPoint(Magnifier::kDiameter / 2, Magnifier::kDiameter / 2), ui().PaintBox1->mapTo(ui().client, over));
    const QSize shown = ui().PaintBox1->size();
    const QPoint expected(int((over.x() + 0.5) * 640 / shown.width()), int((over.y() + 0.5) * 480 / shown.height()));
    EXPECT_EQ(inWindow.pixelUnderCross(), expected);
    // What it draws at its centre is that pixel of the frame.
    const QPointF u = inWindow.videoPoint();
    const QPoint drawn(int(std::floor(Magnifier::kDiameter / 2.0 + (std::floor(u.x()) + 0.5 - u.x()) * Magnifier::kZoom)),
                       int(std::floor(Magnifier::kDiameter / 2.0 + (std::floor(u.y()) + 0.5 - u.y()) * Magnifier::kZoom)));
    const QImage picture = inWindow.grab().toImage();
    EXPECT_EQ(QColor(picture.pixel(drawn)).rgb(), telltaleFrame(device->position()).pixel(expected));

    // Switched off with L, it is gone.
    QTest::keyClick(ui().PaintBox1, Qt::Key_L);
    EXPECT_FALSE(ui().LupeCheckBox->isChecked());
    EXPECT_FALSE(inWindow.isVisible());

    // In full screen L switches it on again, and it follows the pointer there.
    enter();
    key(&view(), Qt::Key_L);
    ASSERT_TRUE(ui().LupeCheckBox->isChecked());
    const QPoint onScreen = view().pictureRect().center() + QPoint(13, -7);
    moveOverView(onScreen);
    Magnifier* big = view().magnifier();
    ASSERT_TRUE(big->isVisible());
    EXPECT_EQ(big->geometry().topLeft() + QPoint(Magnifier::kDiameter / 2, Magnifier::kDiameter / 2), onScreen);
    const QRect r = view().pictureRect();
    EXPECT_EQ(big->pixelUnderCross(), QPoint(int((onScreen.x() - r.x() + 0.5) * 640 / r.width()),
                                             int((onScreen.y() - r.y() + 0.5) * 480 / r.height())));
    key(&view(), Qt::Key_Escape);
}
