#include "BallScene.h"
#include "FreeFall.h"
#include "authoring/model/MemoFiles.h"
#include "authoring/model/MemoFormat.h"
#include "authoring/model/VstFile.h"
#include "common/Cp1252.h"
#include "common/Rtf.h"
#include "player/SectionPlayback.h"
#include "player/video/FfmsVideoDevice.h"
#include "player/view/PictureSurface.h"
#include "support/RedBall.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <array>
#include <cmath>
#include <gtest/gtest.h>

using namespace kadro;
using kadro::test::readBytes;

TEST(DemoPresentation, TheBallInTheDecodedVideoFallsWithG)
{
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(demo::writeDemo(dir.path(), &error)) << error.toStdString();

    FfmsVideoDevice device;
    PictureSurface surface;
    surface.resize(demo::kWidth, demo::kHeight);
    surface.attachTo(device);
    device.setFileName(dir.filePath("FreierFall.avi"));
    device.open();
    EXPECT_EQ(device.length(), demo::kFrames - 1);
    EXPECT_EQ(device.displayRect().size(), QSize(demo::kWidth, demo::kHeight));

    std::vector<double> times, ys;
    for (int n = demo::kReleaseFrame; n <= demo::lastFreeFallFrame(); ++n) {
        device.seek(n);
        EXPECT_TRUE(device.waitForPicture());
        const std::optional<QPointF> ball = kadro::test::redBallCentre(surface.frame());
        ASSERT_TRUE(ball) << n;
        const double y = ball->y();
        EXPECT_NEAR(ball->x(), demo::kBallX, 1.0);
        // Every frame shows the ball where free fall puts it, to the pixel.
        EXPECT_NEAR(y, demo::ballCentre(n).y(), 1.0) << n;
        times.push_back(demo::timeOf(n));
        ys.push_back(y);
    }
    ASSERT_GE(times.size(), 20u);
    const double g = 2 * videogen::fitParabola(times, ys).c / demo::kPixelsPerMetre;
    EXPECT_NEAR(g, 9.81, 0.0981);
}

TEST(DemoPresentation, ItsPresentationFileReadsAsFourSectionsWithAllTransitions)
{
    QTemporaryDir dir;
    ASSERT_TRUE(demo::writeDemo(dir.path()));
    const VstContents vst = readPresentation(dir.filePath("FreierFall.vst"));
    EXPECT_TRUE(vst.videoFound);
    ASSERT_EQ(vst.marks.count(), 4);
    EXPECT_EQ(vst.normalTimeStep, quint16(20));
    EXPECT_EQ(vst.marks.mark(1).transition, TransitionCode::ByHand);
    EXPECT_EQ(vst.marks.mark(2).transition, 3u);
    EXPECT_EQ(vst.marks.mark(3).transition, TransitionCode::NoPause);
    EXPECT_EQ(vst.marks.mark(3).firstFrame, vst.marks.mark(3).lastFrame); // the landing, a still picture
    EXPECT_EQ(vst.marks.mark(2).firstFrame, quint32(demo::kReleaseFrame));
    EXPECT_TRUE(vst.marks.mark(2).isOn(Mark::Auswertung));
    EXPECT_EQ(vst.marks.mark(4).lastFrame, quint32(demo::kFrames - 1));
    for (int m = 1; m <= 4; ++m)
        EXPECT_TRUE(vst.marks.mark(m).isOn(Mark::Memo)) << m;
}

TEST(DemoPresentation, EverySectionHasAFormattedMemoInRtf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(demo::writeDemo(dir.path()));
    const QFont editorFont(QStringLiteral("Arial"));
    QStringList titles;
    for (int m = 1; m <= demo::kSections; ++m) {
        const QString file = SectionPlayback::memoFilePath(dir.filePath("FreierFall.vst"), m);
        QByteArray bytes = readBytes(file);
        EXPECT_TRUE(bytes.startsWith("{\\rtf1\\ansi\\ansicpg1252")) << m;
        EXPECT_EQ(bytes, demo::memoFileText(m));
        QTextDocument doc;
        ASSERT_TRUE(readMemoFile(file, &doc));
        // A centred bold title, then what to watch for or measure.
        const QTextBlock title = doc.firstBlock();
        titles << title.text();
        EXPECT_EQ(memoAlignOf(title.blockFormat().alignment()), MemoAlignCentre) << m;
        QTextCursor inTitle(title);
        inTitle.setPosition(title.position() + 1);
        EXPECT_TRUE(formatBold(inTitle.charFormat(), editorFont)) << m;
        EXPECT_GE(doc.blockCount(), 2) << m;
        EXPECT_GT(doc.toPlainText().size(), 40) << m;
        // Read and written again, the memo is the same file: the program's own form.
        EXPECT_EQ(writeRtf(doc), bytes) << m;
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Freier Fall: der Ball in Ruhe"), QStringLiteral("Der Fall"),
                                   QStringLiteral("Der Aufprall"), QStringLiteral("Auswertung")}));
}
