// Opening again from the index cache, what makes a cached index stale, and cancelling the
// preparation of a file (the progress dialog's "Abbrechen").

#include "video/Corpus.h"
#include "support/TestFiles.h"

#include "player/video/FfmsFrameSource.h"
#include "player/video/FfmsVideoDevice.h"
#include "player/video/IndexCache.h"
#include "player/view/DialogOpenProgress.h"
#include "player/view/PictureSurface.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

namespace kadro::test {
namespace {

// A copy of a corpus video in a folder of its own (so the test may change it), with an index
// cache folder beside it.
class Workspace {
public:
    Workspace() { EXPECT_TRUE(dir_.isValid()); }
    QString copy(const std::string& corpusName, const QString& name)
    {
        const QString target = dir_.filePath(name);
        QFile::remove(target);
        EXPECT_TRUE(QFile::copy(videoPath(corpusVideo(corpusName).spec), target));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }
    QString cacheDir() const { return dir_.filePath(QStringLiteral("index")); }
    void openIn(FfmsVideoDevice& dev, const QString& path) const
    {
        dev.setIndexCacheDir(cacheDir());
        dev.setProgressFactory([] { return nullptr; });
        dev.setFileName(path);
        dev.open();
    }

private:
    QTemporaryDir dir_;
};

int shownNumber(const FfmsVideoDevice& dev) { return videogen::readFrameNumber(dev.currentImage()); }

// The second open takes the index and the seek check's verdict from the cache and behaves the
// same: for a file seeked normally, one seeked by time stamps and one the check sent to linear
// decoding.
TEST(IndexCache, SecondOpenTakesIndexAndVerdictFromTheCache)
{
    for (const std::string name : {"H264Mp4", "HevcMp4", "Mpeg2Ps"}) {
        SCOPED_TRACE(name);
        Workspace ws;
        const QString suffix = QFileInfo(videoPath(corpusVideo(name).spec)).suffix();
        const QString path = ws.copy(name, QStringLiteral("film.") + suffix);
        FfmsVideoDevice dev;
        ws.openIn(dev, path);
        EXPECT_FALSE(dev.source()->indexFromCache());
        EXPECT_FALSE(dev.source()->verdictFromCache());
        // The H.264 file is settled by its structure; the others are checked behind their first
        // picture, and the verdict is kept once the check has ended.
        EXPECT_EQ(dev.source()->checkingSeeking(), name != "H264Mp4");
        ASSERT_TRUE(dev.waitForBackgroundWork(60000));
        EXPECT_FALSE(dev.source()->checkingSeeking());
        const int length = dev.length();
        const bool linear = dev.source()->decodesLinearly();
        const QString reason = dev.source()->seekCheck().reason;
        const QSize size = dev.source()->frameSize();
        // HEVC's open GOPs make FFMS2's seeking land wrong: its pictures are found by time stamps.
        // The program stream's seeking is wrong too, and it has no time stamp on every picture.
        EXPECT_EQ(linear, name == "Mpeg2Ps") << reason.toStdString();
        EXPECT_EQ(dev.source()->seeksByTimeStamps(), name == "HevcMp4") << reason.toStdString();
        dev.close();

        ws.openIn(dev, path);
        EXPECT_TRUE(dev.source()->indexFromCache());
        EXPECT_TRUE(dev.source()->verdictFromCache());
        EXPECT_EQ(dev.length(), length);
        EXPECT_EQ(dev.source()->decodesLinearly(), linear);
        EXPECT_EQ(dev.source()->seeksByTimeStamps(), name == "HevcMp4");
        EXPECT_EQ(dev.source()->seekCheck().reason, reason);
        EXPECT_EQ(dev.source()->frameSize(), size);
        EXPECT_TRUE(dev.source()->hasAudio() == corpusVideo(name).spec.audio);
        EXPECT_EQ(shownNumber(dev), 0);
        for (int f : {length, 101, 99, 100, 37, 36, 120}) {
            dev.seek(f);
            EXPECT_TRUE(dev.waitForPicture());
            EXPECT_EQ(shownNumber(dev), f);
        }
        dev.back();
        EXPECT_TRUE(dev.waitForPicture());
        EXPECT_EQ(shownNumber(dev), 119);
    }
}

// Files whose seeking is checked by decoding open with their first picture at once and are
// decoded linearly while the check runs behind it; every frame asked for then and after the
// verdict is the right one, the verdict and the frame numbers are those of a check made before
// the first picture, and the next open takes the verdict from the cache.
TEST(BackgroundSeekCheck, FramesAreExactWhileTheCheckRunsAndAfterItsVerdict)
{
    for (const std::string name : {"HevcMp4", "Vp9Webm", "XvidAvi", "Mpeg2Ps", "DroppedSlotsAvi", "PackedBAvi"}) {
        SCOPED_TRACE(name);
        Workspace ws;
        const QString original = videoPath(corpusVideo(name).spec);
        const QString path = ws.copy(name, QStringLiteral("film.") + QFileInfo(original).suffix());
        const std::vector<int> ref = referenceNumbers(path);
        FfmsFrameSource::Options before;
        before.useIndexCache = false;
        const FfmsFrameSource checked(path, before);

        FfmsVideoDevice dev;
        ws.openIn(dev, path);
        ASSERT_TRUE(dev.source()->checkingSeeking());
        EXPECT_TRUE(dev.source()->decodesLinearly());
        EXPECT_EQ(shownNumber(dev), ref[0]);
        const int length = dev.length();
        ASSERT_EQ(length, checked.frameCount() - 1);
        ASSERT_EQ(length, int(ref.size()) - 1);
        EXPECT_EQ(dev.source()->slotNumbering(), checked.slotNumbering());
        // Frame numbers of an AVI depend on its B-frames: known at once, from the packets.
        if (checked.containerName() == QLatin1String("avi")) {
            EXPECT_EQ(dev.source()->sawBFrames(), checked.sawBFrames());
        }

        // Backward jumps across keyframes, steps back over them, and a jump forward.
        const std::vector<int> keys = checked.keyframes();
        const int key = checked.frameOfCoded(keys.size() > 1 ? keys[1] : length / 2);
        auto walk = [&](const std::string& when) {
            for (int f : {length, key + 1, key, key - 1, 1, length / 2, key + 3}) {
                dev.seek(f);
                ASSERT_TRUE(dev.waitForPicture());
                ASSERT_EQ(dev.position(), f);
                EXPECT_EQ(shownNumber(dev), ref[std::size_t(f)]) << when << ": frame " << f;
            }
            for (int i = 0; i < 5; ++i) {
                dev.back();
                ASSERT_TRUE(dev.waitForPicture());
                EXPECT_EQ(shownNumber(dev), ref[std::size_t(dev.position())]) << when << ": back to " << dev.position();
            }
        };
        // No events are processed here, so the verdict cannot be taken in the meantime.
        walk("while checking");
        EXPECT_TRUE(dev.source()->checkingSeeking());
        EXPECT_TRUE(dev.source()->decodesLinearly());

        ASSERT_TRUE(dev.waitForBackgroundWork(60000));
        EXPECT_FALSE(dev.source()->checkingSeeking());
        EXPECT_EQ(dev.source()->decodesLinearly(), checked.decodesLinearly()) << checked.seekCheck().reason.toStdString();
        EXPECT_EQ(dev.source()->seeksByTimeStamps(), checked.seeksByTimeStamps());
        EXPECT_EQ(dev.source()->seekCheck().reason, checked.seekCheck().reason);
        EXPECT_EQ(dev.source()->sawBFrames(), checked.sawBFrames());
        walk("after the verdict");
        dev.close();

        ws.openIn(dev, path);
        EXPECT_TRUE(dev.source()->verdictFromCache());
        EXPECT_FALSE(dev.source()->checkingSeeking());
        EXPECT_EQ(dev.source()->decodesLinearly(), checked.decodesLinearly());
        EXPECT_EQ(dev.length(), length);
        walk("opened again");
    }
}

// A file closed while its seeking is checked: the check stops, nothing is kept of it, and the
// next open checks again.
TEST(BackgroundSeekCheck, ClosingStopsTheCheckAndKeepsNoVerdict)
{
    Workspace ws;
    const QString path = ws.copy("HevcMp4", QStringLiteral("film.mp4"));
    FfmsVideoDevice dev;
    ws.openIn(dev, path);
    ASSERT_TRUE(dev.source()->checkingSeeking());
    dev.close();
    ws.openIn(dev, path);
    EXPECT_TRUE(dev.source()->indexFromCache());
    EXPECT_FALSE(dev.source()->verdictFromCache());
    EXPECT_TRUE(dev.source()->checkingSeeking());
    ASSERT_TRUE(dev.waitForBackgroundWork(60000));
    EXPECT_TRUE(dev.source()->seeksByTimeStamps()) << "open GOPs make FFMS2's seeking land wrong";
    dev.close();
    ws.openIn(dev, path);
    EXPECT_TRUE(dev.source()->verdictFromCache());
}

// A file replaced by another one, or changed in place keeping its size and time (within the
// parts FFMS2 hashes: all of a file up to 2 MiB), is indexed again; so is a file whose cache
// entry cannot be read.
TEST(IndexCache, ChangedFilesAndUnreadableEntriesAreIndexedAgain)
{
    Workspace ws;
    FfmsVideoDevice dev;

    // Replaced: another video under the same name.
    const QString path = ws.copy("MjpegAvi", QStringLiteral("film.avi"));
    ws.openIn(dev, path);
    ASSERT_EQ(dev.length(), 119);
    dev.close();
    ws.copy("MsVideo1Avi", QStringLiteral("film.avi")); // 80 frames
    ws.openIn(dev, path);
    EXPECT_FALSE(dev.source()->indexFromCache());
    EXPECT_EQ(dev.length(), 79);
    dev.seek(79);
    EXPECT_TRUE(dev.waitForPicture());
    EXPECT_EQ(shownNumber(dev), 79);
    dev.close();
    ws.openIn(dev, path);
    EXPECT_TRUE(dev.source()->indexFromCache()) << "the new index was not stored";
    dev.close();

    // Changed in place: one byte of picture data, size and modification time kept.
    const QString raw = ws.copy("DroppedSlotsAvi", QStringLiteral("mjpeg.avi"));
    ASSERT_LT(QFileInfo(raw).size(), 2 << 20);
    ws.openIn(dev, raw);
    dev.close();
    const QDateTime modified = QFileInfo(raw).lastModified();
    {
        QFile f(raw);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const qint64 middle = f.size() / 2;
        f.seek(middle);
        char c = 0;
        ASSERT_TRUE(f.getChar(&c));
        f.seek(middle);
        f.putChar(char(c ^ 0x5a));
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    ASSERT_EQ(QFileInfo(raw).lastModified(), modified);
    ws.openIn(dev, raw);
    EXPECT_FALSE(dev.source()->indexFromCache()) << "a changed file was taken for the cached one";
    dev.close();

    // Unreadable entry: garbage, then a truncated copy of a good entry.
    const QString entry = IndexCache(ws.cacheDir()).entryPath(path);
    ASSERT_TRUE(QFile::exists(entry));
    const QByteArray good = readBytes(entry);
    for (const QByteArray& bad : {QByteArray(3000, '\x17'), good.left(good.size() / 2)}) {
        writeText(entry, bad);
        ASSERT_NO_THROW(ws.openIn(dev, path));
        EXPECT_FALSE(dev.source()->indexFromCache());
        EXPECT_EQ(dev.length(), 79);
        dev.seek(40);
        EXPECT_TRUE(dev.waitForPicture());
        EXPECT_EQ(shownNumber(dev), 40);
        dev.close();
    }
    ws.openIn(dev, path);
    EXPECT_TRUE(dev.source()->indexFromCache()) << "the unreadable entry was not replaced";
}

// A progress report that cancels at its n-th report (counting from 1), or when the preparation
// has passed `cancelAbove` (of 1000).
class ScriptedProgress : public OpenProgress {
public:
    struct Log {
        int reports = 0;
        qint64 lastDone = -1;
        qint64 total = 0;
        bool decreased = false;
    };
    ScriptedProgress(Log& log, int cancelAt, qint64 cancelAbove)
        : log_(log), cancelAt_(cancelAt), cancelAbove_(cancelAbove)
    {
    }
    bool report(qint64 done, qint64 total) override
    {
        ++log_.reports;
        log_.decreased = log_.decreased || done < log_.lastDone;
        log_.lastDone = done;
        log_.total = total;
        return log_.reports != cancelAt_ && done <= cancelAbove_;
    }

private:
    Log& log_;
    int cancelAt_;
    qint64 cancelAbove_;
};

// Cancelling while the file is indexed, or while its seeking is checked, leaves the device as a
// failed open does: closed, empty picture, no cache entry; the next open works.
TEST(OpenCancel, CancellingLeavesNoHalfOpenState)
{
    Workspace ws;
    const QString good = ws.copy("MjpegAvi", QStringLiteral("gut.avi"));
    // A file whose seeking is checked by decoding (an H.264 MP4 is settled by its structure).
    const QString path = ws.copy("Vp9Webm", QStringLiteral("film.webm"));
    const QString entry = IndexCache(ws.cacheDir()).entryPath(path);
    PictureSurface surface;
    surface.resize(320, 240);
    FfmsVideoDevice dev;
    surface.attachTo(dev);

    struct Case {
        const char* what;
        int cancelAt;
        qint64 cancelAbove;
    };
    for (const Case c : {Case{"while indexing", 3, 1000}, Case{"while checking", 0, 600}}) {
        SCOPED_TRACE(c.what);
        ws.openIn(dev, good);
        dev.seek(12);
        EXPECT_TRUE(dev.waitForPicture());
        ASSERT_TRUE(surface.hasFrame());

        ScriptedProgress::Log log;
        dev.setProgressFactory([&] { return std::make_unique<ScriptedProgress>(log, c.cancelAt, c.cancelAbove); });
        dev.setFileName(path);
        EXPECT_THROW(dev.open(), VideoOpenCancelled);
        EXPECT_GE(log.reports, 3);
        if (c.cancelAt == 0) {
            EXPECT_GT(log.lastDone, 600) << "cancelled before the check";
        } else {
            EXPECT_LT(log.lastDone, 500) << "cancelled after indexing";
        }
        EXPECT_FALSE(dev.isOpen());
        EXPECT_EQ(dev.length(), 0);
        EXPECT_EQ(dev.position(), 0);
        EXPECT_EQ(dev.server(), nullptr);
        EXPECT_EQ(dev.source(), nullptr);
        EXPECT_TRUE(dev.currentImage().isNull());
        EXPECT_FALSE(surface.hasFrame());
        EXPECT_EQ(surface.renderedPicture().pixel(20, 20), qRgb(255, 255, 255));
        EXPECT_FALSE(QFile::exists(entry)) << "a cancelled preparation was stored";
        dev.seek(5);
        EXPECT_TRUE(dev.waitForPicture()); // harmless on a closed device
        dev.step();
        EXPECT_TRUE(dev.waitForPicture());
        EXPECT_FALSE(surface.hasFrame());
    }

    // Not cancelled: the reports run forward to the end, and the device opens.
    ScriptedProgress::Log log;
    dev.setProgressFactory([&] { return std::make_unique<ScriptedProgress>(log, -1, 1000); });
    ASSERT_NO_THROW(dev.open());
    EXPECT_FALSE(log.decreased);
    EXPECT_EQ(log.lastDone, log.total);
    EXPECT_TRUE(dev.isOpen());
    dev.seek(140);
    EXPECT_TRUE(dev.waitForPicture());
    EXPECT_EQ(shownNumber(dev), 140);
    EXPECT_TRUE(QFile::exists(entry));
}

// The dialog of the program: nothing while preparing is quick, then "Video wird vorbereitet ..."
// with "Abbrechen", whose click cancels.
TEST(OpenCancel, ProgressDialogAppearsLateAndCancels)
{
    QWidget window;
    DialogOpenProgress progress(&window, 150);
    EXPECT_TRUE(progress.report(10, 1000));
    EXPECT_EQ(progress.dialog(), nullptr);
    QThread::msleep(200);
    EXPECT_TRUE(progress.report(400, 1000));
    QProgressDialog* dialog = progress.dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->labelText(), QStringLiteral("Video wird vorbereitet ..."));
    QPushButton* button = dialog->findChild<QPushButton*>();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(dialog->value(), 400);
    button->click();
    QThread::msleep(40);
    EXPECT_FALSE(progress.report(500, 1000));
    EXPECT_FALSE(progress.report(600, 1000)) << "a cancel is not taken back";
}

} // namespace
} // namespace kadro::test
