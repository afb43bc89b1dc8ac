// The test-video generator: the frame pattern reads back after scaling and lossy compression,
// unreadable pictures are recognised, and bad specs fail with a reason.

#include "VideoGen.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

namespace kadro::test {
namespace {

using namespace videogen;

QImage jpegRoundTrip(const QImage& img, int quality)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPG", quality);
    QImage out;
    out.loadFromData(bytes, "JPG");
    return out;
}

TEST(FramePattern, ReadsBackAtEveryScaleAndAfterLossyCompression)
{
    for (int n : {0, 1, 2, 7, 99, 100, 1023, 4096, 65535, 65536, 70001, maxFrameNumber}) {
        for (QSize size : {QSize(320, 240), QSize(1920, 1080), QSize(64, 48)}) {
            const QImage img = renderFrame(n, size.width(), size.height());
            ASSERT_EQ(readFrameNumber(img), n) << size.width() << "x" << size.height();
            const QImage small = img.scaled(160, 160 * size.height() / size.width(), Qt::IgnoreAspectRatio,
                                            Qt::SmoothTransformation);
            EXPECT_EQ(readFrameNumber(small), n) << "scaled from " << size.width();
            EXPECT_EQ(readFrameNumber(jpegRoundTrip(img, 20)), n) << "jpeg";
            EXPECT_EQ(readFrameNumber(img.convertToFormat(QImage::Format_RGB888)), n) << "format";
        }
    }
}

TEST(FramePattern, NeighbouringNumbersDifferAndNonPatternsAreRejected)
{
    EXPECT_NE(renderFrame(41, 320, 240), renderFrame(42, 320, 240));
    QImage white(320, 240, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(readFrameNumber(white), -1);
    QImage grey(320, 240, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    EXPECT_EQ(readFrameNumber(grey), -1);
    EXPECT_EQ(readFrameNumber(QImage()), -1);
    // A flipped bit breaks the parity.
    QImage broken = renderFrame(1000, 320, 240);
    const int x0 = 19 * 320 / 20 + 4; // parity block
    for (int y = 20; y < 60; ++y)
        for (int x = x0; x < x0 + 8; ++x)
            broken.setPixel(x, y, broken.pixel(x, y) == qRgb(255, 255, 255) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    EXPECT_EQ(readFrameNumber(broken), -1);
    // The same picture upside down is not read as a number.
    EXPECT_EQ(readFrameNumber(renderFrame(1000, 320, 240).mirrored(false, true)), -1);
}

TEST(Generator, NamesDroppedSlotsAndRejectsBadSpecs)
{
    for (Format f : allFormats())
        EXPECT_EQ(formatFromName(formatName(f)), f);
    EXPECT_FALSE(formatFromName(QStringLiteral("quicktime")).has_value());

    Spec s;
    s.format = Format::DroppedSlotsAvi;
    s.frames = 50;
    s.dropped = {0, 3, 3, 7, 8, 60};
    EXPECT_EQ(droppedSlots(s), (std::vector<int>{3, 7, 8})); // slot 0 and slots past the end ignored
    EXPECT_EQ(expectedNumber(s, 8), 6);
    EXPECT_EQ(expectedNumber(s, 9), 9);
    s.format = Format::MjpegAvi;
    EXPECT_TRUE(droppedSlots(s).empty());
    EXPECT_EQ(expectedNumber(s, 8), 8);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString error;
    Spec bad;
    bad.width = 321;
    EXPECT_FALSE(generate(bad, dir.filePath(QStringLiteral("a.avi")), &error));
    EXPECT_FALSE(error.isEmpty());
    Spec noAudio;
    noAudio.format = Format::Vp9Webm;
    noAudio.audio = true;
    error.clear();
    EXPECT_FALSE(generate(noAudio, dir.filePath(QStringLiteral("b.webm")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("b.webm"))));
}

TEST(Generator, CachedVideoIsWrittenOnceAndNamedBySpec)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Spec s;
    s.frames = 5;
    QString error;
    const QString path = cachedVideo(s, dir.path(), &error);
    ASSERT_FALSE(path.isEmpty()) << error.toStdString();
    const QDateTime written = QFileInfo(path).lastModified();
    EXPECT_EQ(cachedVideo(s, dir.path(), &error), path);
    EXPECT_EQ(QFileInfo(path).lastModified(), written);
    Spec other = s;
    other.frames = 6;
    EXPECT_NE(fileNameFor(other), fileNameFor(s));
    other = s;
    other.audio = true;
    EXPECT_NE(fileNameFor(other), fileNameFor(s));
}


TEST(Generator, PackedBFramesAreNamedByTheirBFramesAndHaveNoSound)
{
    Spec one;
    one.format = Format::PackedBAvi;
    EXPECT_EQ(effectiveBFrames(one), 1);
    Spec two = one;
    two.bFrames = 2;
    EXPECT_EQ(effectiveBFrames(two), 2);
    EXPECT_NE(fileNameFor(one), fileNameFor(two));
    EXPECT_TRUE(fileNameFor(two).endsWith(QStringLiteral("_b2.avi")));
    Spec mjpeg;
    mjpeg.bFrames = 2; // only packed files have a B-frame setting
    EXPECT_EQ(effectiveBFrames(mjpeg), 0);
    EXPECT_EQ(fileNameFor(mjpeg), fileNameFor(Spec{}));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Spec withSound = one;
    withSound.audio = true;
    QString error;
    EXPECT_FALSE(generate(withSound, dir.filePath(QStringLiteral("p.avi")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("p.avi"))));
}

TEST(Generator, TimingVideosAreNamedByTheirTimingAndOfferedWhereTheContainerCanHoldIt)
{
    const Spec plain = h264Mp4AtRate(30);
    const QStringList names = {fileNameFor(plain), fileNameFor(h264Mp4AtRate(30000, 1001)),
                               fileNameFor(variableRateMp4()), fileNameFor(slowMotionMp4(240, 30)),
                               fileNameFor(slowMotionMp4(120, 30))};
    for (int i = 0; i < names.size(); ++i)
        for (int j = i + 1; j < names.size(); ++j)
            EXPECT_NE(names[i], names[j]);
    EXPECT_DOUBLE_EQ(frameSeconds(h264Mp4AtRate(30000, 1001), 30), 1.001);
    EXPECT_DOUBLE_EQ(frameSeconds(variableRateMp4(), 3), 11.0 / 120.0);
    EXPECT_DOUBLE_EQ(frameSeconds(slowMotionMp4(240, 30), 3), 0.1); // stored rate, not recorded

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString error;
    Spec avi;
    avi.variableRate = true;
    EXPECT_FALSE(generate(avi, dir.filePath(QStringLiteral("v.avi")), &error));
    EXPECT_FALSE(error.isEmpty());
    Spec mkv;
    mkv.format = Format::H264OpenGopMkv;
    mkv.captureFps = 240;
    error.clear();
    EXPECT_FALSE(generate(mkv, dir.filePath(QStringLiteral("c.mkv")), &error));
    EXPECT_FALSE(error.isEmpty());
    Spec tooFast = h264Mp4AtRate(500);
    error.clear();
    EXPECT_FALSE(generate(tooFast, dir.filePath(QStringLiteral("f.mp4")), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace kadro::test
