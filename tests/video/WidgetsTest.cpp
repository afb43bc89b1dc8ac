// The picture surface, its overlay, and the byte-bounded frame cache.

#include "player/video/FrameCache.h"
#include "player/view/OverlayBox.h"
#include "player/view/PictureSurface.h"

#include "VideoGen.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>

namespace kadro::test {
namespace {

TEST(PictureSurface, ShowsWhiteWhenEmptyAndTheWholeFrameScaled)
{
    PictureSurface s;
    s.resize(384, 216);
    EXPECT_EQ(s.overlay()->geometry(), QRect(0, 0, 384, 216));
    QImage pic = s.renderedPicture();
    EXPECT_EQ(pic.size(), QSize(384, 216));
    EXPECT_EQ(pic.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(pic.pixel(383, 215), qRgb(255, 255, 255));

    const QImage frame = videogen::renderFrame(777, 1920, 1080);
    s.setFrame(frame);
    EXPECT_EQ(s.frame(), frame) << "the frame is kept as given";
    pic = s.renderedPicture();
    EXPECT_EQ(videogen::readFrameNumber(pic), 777);
    EXPECT_NE(pic.pixel(192, 200), qRgb(255, 255, 255));
    s.resize(200, 100);
    EXPECT_EQ(s.overlay()->geometry(), QRect(0, 0, 200, 100));
    EXPECT_EQ(videogen::readFrameNumber(s.renderedPicture()), 777);
    s.clearFrame();
    EXPECT_EQ(s.renderedPicture().pixel(100, 50), qRgb(255, 255, 255));
}

TEST(OverlayBox, KeepsItemsUntilThePictureIsRedrawn)
{
    PictureSurface s;
    s.resize(320, 240);
    OverlayBox* o = s.overlay();
    int cleared = 0;
    int repaints = 0;
    QObject::connect(o, &OverlayBox::cleared, [&] { ++cleared; });
    QObject::connect(o, &OverlayBox::repaintRequested, [&] { ++repaints; });

    o->addLine(QPoint(0, 0), QPoint(100, 100), QPen(Qt::red, 2));
    o->addText(QPoint(5, 5), QStringLiteral("s = 0,5 m"), QFont(), Qt::white);
    o->addMarker(QPoint(50, 60), 3, QPen(Qt::yellow), OverlayItem::MarkerShape::Square);
    ASSERT_EQ(o->items().size(), 3u);
    EXPECT_EQ(o->items()[1].kind, OverlayItem::Kind::Text);
    EXPECT_EQ(o->items()[1].text, QStringLiteral("s = 0,5 m"));
    EXPECT_EQ(o->items()[2].p1, QPoint(50, 60));

    // Drawing the overlay leaves the items in place; the grabbed widget shows the red line.
    const QImage grabbed = s.grab().toImage();
    EXPECT_EQ(o->items().size(), 3u);
    EXPECT_EQ(QColor(grabbed.pixel(50, 50)).red(), 255);

    s.setFrame(videogen::renderFrame(1, 320, 240));
    EXPECT_TRUE(o->items().empty());
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(repaints, 0);

    o->addLine(QPoint(0, 0), QPoint(10, 10), QPen(Qt::red));
    o->requestRepaint();
    EXPECT_TRUE(o->items().empty());
    EXPECT_EQ(cleared, 2);
    EXPECT_EQ(repaints, 1);
}

TEST(OverlayBox, ReportsMouseWithPositionAndButton)
{
    PictureSurface s;
    s.resize(320, 240);
    OverlayBox* o = s.overlay();
    std::vector<std::tuple<char, QPoint, int>> got;
    QObject::connect(o, &OverlayBox::mousePressed,
                     [&](const QPoint& p, Qt::MouseButton b) { got.emplace_back('p', p, int(b)); });
    QObject::connect(o, &OverlayBox::mouseMoved,
                     [&](const QPoint& p, Qt::MouseButtons b) { got.emplace_back('m', p, int(b)); });
    QObject::connect(o, &OverlayBox::mouseReleased,
                     [&](const QPoint& p, Qt::MouseButton b) { got.emplace_back('r', p, int(b)); });
    auto send = [&](QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(pos), QPointF(o->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(o, &e);
    };
    send(QEvent::MouseButtonPress, QPoint(12, 34), Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseMove, QPoint(13, 35), Qt::NoButton, Qt::NoButton);
    send(QEvent::MouseButtonRelease, QPoint(14, 36), Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], std::make_tuple('p', QPoint(12, 34), int(Qt::RightButton)));
    EXPECT_EQ(got[1], std::make_tuple('m', QPoint(13, 35), int(Qt::NoButton)));
    EXPECT_EQ(got[2], std::make_tuple('r', QPoint(14, 36), int(Qt::LeftButton)));
}

TEST(FrameCache, StaysWithinItsByteBoundDroppingTheLeastRecent)
{
    const QImage img = videogen::renderFrame(0, 64, 48); // 12288 bytes
    const std::size_t one = std::size_t(img.sizeInBytes());
    FrameCache c(3 * one);
    c.insert(1, img);
    c.insert(2, img);
    c.insert(3, img);
    EXPECT_EQ(c.count(), 3u);
    EXPECT_FALSE(c.find(1).isNull()); // 1 is now the most recent
    c.insert(4, img);
    EXPECT_EQ(c.count(), 3u);
    EXPECT_LE(c.bytes(), c.maxBytes());
    EXPECT_TRUE(c.contains(1));
    EXPECT_FALSE(c.contains(2));
    EXPECT_TRUE(c.find(2).isNull());
    c.insert(4, img); // replacing keeps the byte count right
    EXPECT_EQ(c.bytes(), 3 * one);
    c.setMaxBytes(one);
    EXPECT_EQ(c.count(), 1u);
    EXPECT_TRUE(c.contains(4));
    c.insert(9, videogen::renderFrame(0, 320, 240)); // larger than the whole bound: not kept
    EXPECT_FALSE(c.contains(9));
    EXPECT_LE(c.bytes(), c.maxBytes());
    c.clear();
    EXPECT_EQ(c.bytes(), 0u);
}

} // namespace
} // namespace kadro::test
