// Damaged videos through the real device: a file either opens and every frame it shows is the
// right one (frames it cannot decode are reported once and passed over), or opening ends in the
// device error with an empty view. Never a crash, a hang or a frame under the wrong number.

#include "player/video/FfmsVideoDevice.h"
#include "player/video/VideoIndex.h"
#include "video/Corpus.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace kadro::test {
namespace {

using videogen::Damage;
using videogen::Format;
using videogen::Spec;

Spec source(Format format)
{
    Spec s;
    s.format = format;
    s.frames = 60;
    s.gop = 20;
    return s;
}

enum class Outcome { Refused, Opens, Either };

struct DamageCase {
    std::string name;
    Format format;
    Damage damage;
    Outcome outcome;
};

std::ostream& operator<<(std::ostream& os, const DamageCase& c) { return os << c.name; }

class DamagedVideo : public ::testing::TestWithParam<DamageCase> {};

// Shows every frame by seeking to it and by stepping through the file; returns how many frames
// were shown. A frame shown must carry its own number; a picture too damaged to read counts as
// unreadable (-1), never as another number.
int walk(FfmsVideoDevice& dev, const Spec& spec, bool damagedPictures)
{
    int shown = 0;
    for (int n = 0; n <= dev.length(); ++n) {
        dev.seek(n);
        EXPECT_TRUE(dev.waitForPicture());
        if (dev.position() != n)
            continue;
        ++shown;
        const int read = videogen::readFrameNumber(dev.currentImage());
        if (!(read == videogen::expectedNumber(spec, n) || (damagedPictures && read == -1)))
            ADD_FAILURE() << "frame " << n << " shows " << read;
    }
    dev.seek(0);
    EXPECT_TRUE(dev.waitForPicture());
    int last = dev.position();
    for (int i = 0; i <= dev.length() && dev.position() < dev.length(); ++i) {
        dev.step();
        EXPECT_TRUE(dev.waitForPicture());
        if (dev.position() == last)
            break; // nothing decodable ahead
        EXPECT_GT(dev.position(), last);
        last = dev.position();
        const int read = videogen::readFrameNumber(dev.currentImage());
        if (!(read == videogen::expectedNumber(spec, last) || (damagedPictures && read == -1)))
            ADD_FAILURE() << "step to frame " << last << " shows " << read;
    }
    return shown;
}

TEST_P(DamagedVideo, OpensWithRightFramesOrEndsInTheDeviceError)
{
    const DamageCase& c = GetParam();
    const Spec spec = source(c.format);
    const QString original = videoPath(spec);
    ASSERT_FALSE(original.isEmpty());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ext = c.damage == Damage::TextAsAvi ? QStringLiteral(".avi") : videogen::extension(c.format);
    const QString path = dir.filePath(QStringLiteral("damaged") + ext);
    QString error;
    ASSERT_TRUE(videogen::writeDamaged(original, c.damage, path, &error)) << error.toStdString();

    FfmsVideoDevice dev;
    dev.setIndexCacheDir(dir.filePath(QStringLiteral("cache")));
    QSignalSpy failures(&dev, &VideoDevice::decodingFailed);
    dev.setFileName(path);
    QElapsedTimer t;
    t.start();
    bool opened = false;
    try {
        dev.open();
        opened = true;
    } catch (const VideoOpenCancelled&) {
        FAIL() << "nobody cancelled";
    } catch (const VideoDeviceError& e) {
        EXPECT_STRNE(e.what(), "");
    }
    EXPECT_LT(t.elapsed(), 30000) << "opening took too long";
    if (c.outcome == Outcome::Refused) {
        EXPECT_FALSE(opened);
    } else if (c.outcome == Outcome::Opens) {
        EXPECT_TRUE(opened);
    }
    if (!opened) {
        EXPECT_FALSE(dev.isOpen());
        EXPECT_TRUE(dev.picture().isNull());
        EXPECT_EQ(dev.length(), 0);
        return;
    }
    EXPECT_EQ(videogen::readFrameNumber(dev.currentImage()), 0);
    const int shown = walk(dev, spec, c.damage == Damage::FlippedBytes);
    EXPECT_GT(shown, 0);
    std::cout << "[          ] " << c.name << ": " << dev.length() + 1 << " frames, " << shown << " shown, "
              << failures.count() << " failure messages\n";
    // Told once per opened file, however many frames failed.
    EXPECT_LE(failures.count(), 1);
    if (shown < dev.length() + 1) {
        EXPECT_EQ(failures.count(), 1) << "frames were left out without a word";
    }
    EXPECT_LT(t.elapsed(), 120000) << "walking the file took too long";
}

// Playing across damaged pictures: they are passed over, told once, and play ends at its end
// point with every frame on the way shown under its own number.
TEST(DamagedVideoPlayback, PassesOverUndecodableFramesAndTellsOnce)
{
    const Spec spec = source(Format::MjpegAvi);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("damaged.avi"));
    ASSERT_TRUE(videogen::writeDamaged(videoPath(spec), Damage::FlippedBytes, path));

    FfmsVideoDevice dev;
    dev.setSoundEnabled(false);
    dev.setIndexCacheDir(dir.filePath(QStringLiteral("cache")));
    QSignalSpy failures(&dev, &VideoDevice::decodingFailed);
    QSignalSpy finished(&dev, &VideoDevice::playFinished);
    std::vector<int> shown;
    QObject::connect(&dev, &VideoDevice::frameShown, [&](int frame) {
        shown.push_back(frame);
        const int read = videogen::readFrameNumber(dev.currentImage());
        if (read != frame && read != -1)
            ADD_FAILURE() << "frame " << frame << " shows " << read;
    });
    dev.setFileName(path);
    ASSERT_NO_THROW(dev.open());
    dev.play();
    ASSERT_TRUE(waitUntil([&] { return !dev.isPlaying(); }, 20000));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(dev.position(), dev.length());
    EXPECT_EQ(failures.count(), 1);
    ASSERT_FALSE(shown.empty());
    EXPECT_LT(int(shown.size()), spec.frames) << "undecodable frames were shown";
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));

    // A new open of the file tells again.
    ASSERT_NO_THROW(dev.open());
    for (int i = 0; i < spec.frames; ++i) {
        dev.step();
        EXPECT_TRUE(dev.waitForPicture());
    }
    EXPECT_EQ(failures.count(), 2);
}

TEST(IndexingBound, StopsReadingInCirclesOrWithoutEnd)
{
    // Reading on through a file is never stopped.
    IndexingBound onward(1000);
    for (qint64 at = 0; at < 1000; ++at)
        ASSERT_TRUE(onward.report(at));
    EXPECT_FALSE(onward.exceeded());

    // Packets that come without the reading getting any further: stopped after a long run.
    IndexingBound stalled(1 << 30);
    ASSERT_TRUE(stalled.report(5000));
    qint64 reports = 0;
    while (stalled.report(4000) && reports < 10 * IndexingBound::kStallReports)
        ++reports;
    EXPECT_TRUE(stalled.exceeded());
    EXPECT_EQ(reports, IndexingBound::kStallReports);
    EXPECT_FALSE(stalled.report(6000)); // stays stopped

    // Reading in circles that each get a little further: more reports than bytes in the file.
    IndexingBound circles(1000);
    qint64 n = 0;
    while (circles.report(n % 1000 + n / 1000) && n < 10 * (1000 + IndexingBound::kSpareReports))
        ++n;
    EXPECT_TRUE(circles.exceeded());
    EXPECT_EQ(n, 1000 + IndexingBound::kSpareReports);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedVideo,
    ::testing::Values(DamageCase{"AviHeaderOnly", Format::MjpegAvi, Damage::HeaderOnly, Outcome::Refused},
                      DamageCase{"AviCutInIndex", Format::MjpegAvi, Damage::CutInIndex, Outcome::Opens},
                      DamageCase{"AviCutInData", Format::MjpegAvi, Damage::CutInData, Outcome::Opens},
                      DamageCase{"AviFlippedBytes", Format::MjpegAvi, Damage::FlippedBytes, Outcome::Either},
                      DamageCase{"Empty", Format::MjpegAvi, Damage::Empty, Outcome::Refused},
                      DamageCase{"TextAsAvi", Format::MjpegAvi, Damage::TextAsAvi, Outcome::Refused},
                      DamageCase{"AviIndexPastEnd", Format::MjpegAvi, Damage::IndexPastEnd, Outcome::Either},
                      DamageCase{"Mp4HeaderOnly", Format::H264Mp4, Damage::HeaderOnly, Outcome::Refused},
                      DamageCase{"Mp4CutInIndex", Format::H264Mp4, Damage::CutInIndex, Outcome::Refused},
                      DamageCase{"Mp4CutInData", Format::H264Mp4, Damage::CutInData, Outcome::Either},
                      DamageCase{"Mp4FlippedBytes", Format::H264Mp4, Damage::FlippedBytes, Outcome::Either}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

} // namespace
} // namespace kadro::test
