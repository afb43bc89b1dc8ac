// kadro-bench: measures the video device against FFMS2 used directly (one GetFrame per request,
// delivering the same picture size), on a generated 1080p60 H.264 video with a 250-frame keyframe
// interval or on a file given on the command line.
//
//   kadro-bench                       generate (once) and measure the default video
//   kadro-bench --file phone.mp4      measure a file of your own
//   kadro-bench --long                opening a 5-minute 1080p30 phone-style video (generated once):
//                                     open_cold_long, open_first_picture_long and exact only
//
// Output: one line per metric
//   metric=<name> kadro_ms=<median> baseline_ms=<median> ratio=<kadro/baseline>
// (open_first_picture: from the open call to the first picture handed to the display; FFMS2
// directly: indexing and frame 0, as open_cold)
// (for peak_rss_mb the two values are megabytes; random_seek_miss compares the seeks the
// device's cache could not serve with the same seeks done directly), and last
//   exact=<frames right>/<frames checked>
// counting every frame the device showed. Details go to stderr.

#include "VideoGen.h"

#include "player/video/FfmsFrameSource.h"
#include "player/video/FfmsVideoDevice.h"
#include "player/video/FrameServer.h"
#include "player/video/OpenProgress.h"
#include "player/video/PtsDecoder.h"
#include "player/video/VideoDevice.h"
#include "player/video/VideoIndex.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <ffms.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace kadro;

namespace {

double msSince(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// Lets queued events run for `ms` (the device's decode thread works meanwhile): a user looking
// at the picture before the next click.
void think(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}

// ---- memory ------------------------------------------------------------------------------------

void resetPeakMemory()
{
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

double peakMemoryMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1.0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1.0;
}

// ---- FFMS2 used directly ---------------------------------------------------------------------------

struct FfmsErr {
    char text[1024] = {};
    FFMS_ErrorInfo info{FFMS_ERROR_SUCCESS, FFMS_ERROR_SUCCESS, int(sizeof text), text};
};

class Direct {
public:
    // Indexes the file (video and audio), or reads the index from `indexFile` when given.
    Direct(const QString& path, const QSize& pictureSize, const QString& indexFile = {})
        : file_(QFile::encodeName(path))
    {
        FfmsErr err;
        if (indexFile.isEmpty()) {
            FFMS_Indexer* ix = FFMS_CreateIndexer(file_.constData(), &err.info);
            if (!ix)
                throw std::runtime_error(err.text);
            FFMS_TrackTypeIndexSettings(ix, FFMS_TYPE_AUDIO, 1, 0);
            index_ = FFMS_DoIndexing2(ix, FFMS_IEH_STOP_TRACK, &err.info);
        } else {
            index_ = FFMS_ReadIndex(QFile::encodeName(indexFile).constData(), &err.info);
            if (index_ && FFMS_IndexBelongsToFile(index_, file_.constData(), &err.info) != 0) {
                FFMS_DestroyIndex(index_);
                index_ = nullptr;
            }
        }
        if (!index_)
            throw std::runtime_error(err.text);
        const int track = FFMS_GetFirstTrackOfType(index_, FFMS_TYPE_VIDEO, &err.info);
        source_ = FFMS_CreateVideoSource(file_.constData(), track, index_, 1, FFMS_SEEK_NORMAL, &err.info);
        if (!source_)
            throw std::runtime_error(err.text);
        const int formats[] = {FFMS_GetPixFmt("bgra"), -1};
        FFMS_SetOutputFormatV2(source_, formats, pictureSize.width(), pictureSize.height(),
                               FFMS_RESIZER_AREA, &err.info);
    }
    ~Direct()
    {
        if (source_)
            FFMS_DestroyVideoSource(source_);
        if (index_)
            FFMS_DestroyIndex(index_);
    }
    QImage get(int n)
    {
        FfmsErr err;
        // Frame numbers past FFMS2's pictures (AVI slots beyond the coded pictures, a start point
        // past a short video's end) ask for its last picture.
        const FFMS_VideoProperties* props = FFMS_GetVideoProperties(source_);
        if (props && props->NumFrames > 0)
            n = std::clamp(n, 0, props->NumFrames - 1);
        const FFMS_Frame* f = FFMS_GetFrame(source_, n, &err.info);
        if (!f)
            throw std::runtime_error(err.text);
        return QImage(f->Data[0], f->ScaledWidth, f->ScaledHeight, f->Linesize[0], QImage::Format_RGB32).copy();
    }
    bool writeIndex(const QString& indexFile)
    {
        FfmsErr err;
        return FFMS_WriteIndex(QFile::encodeName(indexFile).constData(), index_, &err.info) == 0;
    }

private:
    QByteArray file_;
    FFMS_Index* index_ = nullptr;
    FFMS_VideoSource* source_ = nullptr;
};

// ---- what every frame must show ------------------------------------------------------------------

// The truth per frame number: for generated videos the number in the picture's block pattern,
// otherwise the picture of a linear decode at the same size (compared by hash).
class Truth {
public:
    Truth(const QString& path, const QSize& size, bool generated) : generated_(generated)
    {
        FfmsFrameSource::Options opts;
        opts.seeking = FfmsFrameSource::Seeking::Linear;
        opts.useIndexCache = false;
        FfmsFrameSource src(path, opts);
        FrameServer server(src, size, std::size_t(64) << 20);
        for (int n = 0; n < src.frameCount(); ++n) {
            const QImage img = server.picture(src.codedIndex(n), FrameServer::Move::Forward);
            numbers_.push_back(videogen::readFrameNumber(img));
            hashes_.push_back(hash(img));
        }
    }
    bool matches(int frame, const QImage& shown) const
    {
        if (frame < 0 || frame >= int(hashes_.size()) || shown.isNull())
            return false;
        if (generated_)
            return numbers_[std::size_t(frame)] == frame && videogen::readFrameNumber(shown) == frame;
        return hash(shown) == hashes_[std::size_t(frame)];
    }
    int frames() const { return int(hashes_.size()); }

private:
    static std::size_t hash(const QImage& img)
    {
        std::size_t h = std::size_t(img.width()) * 131u + std::size_t(img.height());
        for (int y = 0; y < img.height(); ++y)
            h = qHashBits(img.constScanLine(y), std::size_t(img.width()) * 4u, h);
        return h;
    }
    bool generated_;
    std::vector<int> numbers_;
    std::vector<std::size_t> hashes_;
};

// Opens the device on a fresh index cache folder; returns the milliseconds to the first picture
// handed to the display and to the end of open().
std::pair<double, double> openCold(FfmsVideoDevice& dev, const QString& path, const QString& indexDir)
{
    dev.setProgressFactory([] { return nullptr; });
    dev.setIndexCacheDir(indexDir);
    dev.setFileName(path);
    double first = -1;
    QElapsedTimer t;
    const QMetaObject::Connection c = QObject::connect(&dev, &VideoDevice::pictureChanged, [&](const QImage& img) {
        if (first < 0 && !img.isNull())
            first = msSince(t);
    });
    t.start();
    dev.open(); dev.waitForPicture();
    const double all = msSince(t);
    QObject::disconnect(c);
    return {first < 0 ? all : first, all};
}

// The long video: cold opens of the device and of FFMS2 directly, and every frame shown after a
// few seeks and a second of playback checked by its number.
int measureLong(const QString& path, const std::function<QString()>& freshIndexDir)
{
    std::vector<double> cold, first, base;
    for (int i = 0; i < 3; ++i) {
        FfmsVideoDevice dev;
        const auto [f, all] = openCold(dev, path, freshIndexDir());
        first.push_back(f);
        cold.push_back(all);
        std::fprintf(stderr, "long: open %.0f ms (first picture %.0f ms), %s\n", all, f,
                     qPrintable(dev.source()->seekCheck().reason));
    }
    QSize size;
    long checked = 0, right = 0;
    {
        FfmsVideoDevice dev;
        openCold(dev, path, freshIndexDir());
        size = dev.pictureSize();
        QObject::connect(&dev, &VideoDevice::frameShown, [&](int frame) {
            ++checked;
            if (videogen::readFrameNumber(dev.currentImage()) == frame)
                ++right;
        });
        ++checked;
        if (videogen::readFrameNumber(dev.currentImage()) == 0)
            ++right;
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> any(0, dev.length());
        // A file decoded linearly (its seeking found wrong) goes back to its start for every
        // backward jump: its walk jumps forward only, or it would take hours.
        dev.waitForBackgroundWork(300000);
        std::vector<int> jumps;
        for (int i = 0; i < 20; ++i)
            jumps.push_back(any(rng));
        if (dev.source()->decodesLinearly())
            std::sort(jumps.begin(), jumps.end());
        std::fprintf(stderr, "long: %s\n", qPrintable(dev.source()->seekCheck().reason));
        for (int jump : jumps) {
            dev.seek(jump); dev.waitForPicture();
            dev.step(); dev.waitForPicture();
            dev.back(); dev.waitForPicture();
            dev.back(); dev.waitForPicture();
        }
        dev.seek(dev.length() / 2); dev.waitForPicture();
        dev.play();
        think(1000);
        dev.stop();
    }
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        Direct d(path, size);
        d.get(0);
        base.push_back(msSince(t));
    }
    std::printf("metric=open_cold_long kadro_ms=%.2f baseline_ms=%.2f ratio=%.3f\n", median(cold), median(base),
                median(cold) / median(base));
    std::printf("metric=open_first_picture_long kadro_ms=%.2f baseline_ms=%.2f ratio=%.3f\n", median(first),
                median(base), median(first) / median(base));
    std::printf("exact=%ld/%ld\n", right, checked);
    std::fflush(stdout);
    return right == checked ? 0 : 1;
}

struct Line {
    std::string name;
    double kadro = 0;
    double baseline = 0;
};

} // namespace

// The full-screen view: it shows the window's picture at once and the frame at the video's own
// resolution when that is decoded. Measured: from entering (a frame nothing has decoded at full
// size yet) until the full-resolution frame is there; single steps in full screen (the window's
// picture and then the full-resolution one) against steps in the window, from the same frames, in
// one run, interleaved; FFMS2 seeking and decoding the full-size frame directly as the baseline.
int measureFullScreen(const QString& path, const std::function<QString()>& freshIndexDir, bool settled)
{
    FfmsVideoDevice dev;
    openCold(dev, path, freshIndexDir());
    const QSize full = dev.fullFrameSize();
    auto sharpWithin = [&](int frame) {
        for (int i = 0; i < 20000; ++i) {
            const QImage image = dev.fullColourFrame(frame, 0);
            if (!image.isNull())
                return image;
            think(1);
        }
        return QImage();
    };
    std::vector<double> enter, stepWindow, stepShown, stepSharp, direct, directStep;
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> any(0, std::max(0, dev.length() - 40));
    long checked = 0, right = 0;
    Direct d(path, full);
    for (int round = 0; round < 6; ++round) {
        int from = 0;
        for (const bool large : {false, true}) {
            // Each its own stretch of frames, so neither finds the other's pictures in the cache.
            from = any(rng);
            dev.seek(from);
            dev.waitForPicture();
            if (settled)
                dev.waitForBackgroundWork(60000);
            if (large) {
                QElapsedTimer t;
                t.start();
                const QImage sharp = sharpWithin(from);
                enter.push_back(msSince(t));
                ++checked;
                if (videogen::readFrameNumber(sharp) == from)
                    ++right;
            }
            for (int i = 0; i < 30; ++i) {
                QElapsedTimer t;
                t.start();
                dev.step();
                dev.waitForPicture();
                if (!large) {
                    stepWindow.push_back(msSince(t));
                    continue;
                }
                stepShown.push_back(msSince(t));
                const QImage sharp = sharpWithin(dev.position());
                stepSharp.push_back(msSince(t));
                ++checked;
                if (videogen::readFrameNumber(sharp) == dev.position())
                    ++right;
            }
        }
        QElapsedTimer t;
        t.start();
        d.get(from);
        direct.push_back(msSince(t));
        for (int i = 1; i <= 30; ++i) {
            QElapsedTimer s;
            s.start();
            d.get(from + i);
            directStep.push_back(msSince(s));
        }
    }
    std::printf("picture: window %dx%d, full resolution %dx%d\n", dev.pictureSize().width(), dev.pictureSize().height(),
                full.width(), full.height());
    std::printf("metric=fullscreen_first_picture kadro_ms=0 (the window's picture, scaled)\n");
    std::printf("metric=fullscreen_sharp kadro_ms=%.2f max_ms=%.2f baseline_ms=%.2f ratio=%.3f\n", median(enter),
                *std::max_element(enter.begin(), enter.end()), median(direct), median(enter) / median(direct));
    std::printf("metric=step_fullscreen shown_ms=%.3f window_ms=%.3f ratio=%.3f\n", median(stepShown),
                median(stepWindow), median(stepShown) / std::max(1e-9, median(stepWindow)));
    std::printf("metric=step_fullscreen_sharp kadro_ms=%.3f baseline_ms=%.3f ratio=%.3f\n", median(stepSharp),
                median(directStep), median(stepSharp) / std::max(1e-9, median(directStep)));
    std::printf("metric=exact_fullscreen right=%ld checked=%ld\n", right, checked);
    return right == checked ? 0 : 1;
}

// The decoder that finds pictures by their time stamps against FFMS2 used directly: the same seeks
// (backward and far forward jumps, each to a picture in the middle of an interval) and steps,
// each decoder alone on the machine, pictures delivered at the same size.
int measureDecoders(const QString& path, const QSize& size)
{
    ProgressPhases progress(nullptr);
    VideoIndex::Options options;
    options.useCache = false;
    const VideoIndex index(path, options, progress);
    if (!PtsDecoder::suits(index.container(), index.pts())) {
        std::fprintf(stderr, "%s: no time stamp on every picture\n", qPrintable(path));
        return 2;
    }
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> any(0, index.codedCount() - 1);
    std::vector<int> targets;
    for (int i = 0; i < 30; ++i)
        targets.push_back(any(rng));
    PtsDecoder own(path, index.videoTrack(), std::make_shared<const std::vector<int64_t>>(index.pts()),
                   DecodeModel(index.codedCount(), index.keyframes(), false));
    own.setOutputSize(size);
    Direct direct(path, size);
    std::vector<double> ownSeek, directSeek, ownStep, directStep;
    for (int n : targets) {
        QElapsedTimer t;
        t.start();
        own.picture(n);
        ownSeek.push_back(msSince(t));
        t.start();
        direct.get(n);
        directSeek.push_back(msSince(t));
        for (int i = 1; i <= 5 && n + i < index.codedCount(); ++i) {
            t.start();
            own.picture(n + i);
            ownStep.push_back(msSince(t));
            t.start();
            direct.get(n + i);
            directStep.push_back(msSince(t));
        }
    }
    std::printf("metric=decoder_seek kadro_ms=%.2f baseline_ms=%.2f ratio=%.3f\n", median(ownSeek), median(directSeek),
                median(ownSeek) / median(directSeek));
    std::printf("metric=decoder_step kadro_ms=%.3f baseline_ms=%.3f ratio=%.3f\n", median(ownStep), median(directStep),
                median(ownStep) / median(directStep));
    return 0;
}

// Every kind of video a teacher brings, generated once into the video folder at 1080p30 for 20
// seconds, each measured by a run of this program on it (the same metrics as --file, FFMS2 used
// directly as the baseline in the same run); the lines of each run are prefixed with its kind.
int measureCodecs(const QString& videoDir, const QString& program)
{
    struct Kind {
        const char* name;
        videogen::Format format;
        int gop;
    };
    const Kind kinds[] = {{"hevc-mp4", videogen::Format::HevcMp4, 250},  {"xvid-avi", videogen::Format::XvidAvi, 250},
                          {"vp9-webm", videogen::Format::Vp9Webm, 240}, {"h264-mp4", videogen::Format::H264Mp4, 250},
                          {"mpeg2-ps", videogen::Format::Mpeg2Ps, 0},   {"mjpeg-avi", videogen::Format::MjpegAvi, 0}};
    int failures = 0;
    for (const Kind& kind : kinds) {
        videogen::Spec spec;
        spec.format = kind.format;
        spec.width = 1920;
        spec.height = 1080;
        spec.fps = 30;
        spec.frames = 600;
        spec.gop = kind.gop;
        QString error;
        const QString path = videogen::cachedVideo(spec, videoDir, &error);
        if (path.isEmpty()) {
            std::printf("codec=%s error=%s\n", kind.name, qPrintable(error));
            ++failures;
            continue;
        }
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        run.start(program, {QStringLiteral("--file"), path});
        if (!run.waitForFinished(-1) || run.exitStatus() != QProcess::NormalExit) {
            std::printf("codec=%s error=the run did not end normally\n", kind.name);
            ++failures;
            continue;
        }
        for (const QByteArray& line : run.readAllStandardOutput().split('\n'))
            if (!line.trimmed().isEmpty())
                std::printf("codec=%s %s\n", kind.name, line.constData());
        std::fflush(stdout);
        if (run.exitCode() != 0)
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}

int run(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kadro-bench"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures the video device against FFMS2 used directly."));
    parser.addHelpOption();
    QCommandLineOption fileOpt(QStringLiteral("file"), QStringLiteral("Video to measure (default: generated)."),
                               QStringLiteral("path"));
    QCommandLineOption framesOpt(QStringLiteral("frames"), QStringLiteral("Frames of the generated video."),
                                 QStringLiteral("n"), QStringLiteral("1000"));
    QCommandLineOption dirOpt(QStringLiteral("video-dir"), QStringLiteral("Folder for generated videos."),
                              QStringLiteral("dir"));
    QCommandLineOption cacheOpt(QStringLiteral("cache-mb"), QStringLiteral("Byte bound of the frame cache in MB."),
                                QStringLiteral("mb"), QStringLiteral("256"));
    QCommandLineOption seedOpt(QStringLiteral("seed"), QStringLiteral("Seed of the random positions."),
                               QStringLiteral("n"), QStringLiteral("7"));
    QCommandLineOption longOpt(QStringLiteral("long"),
                               QStringLiteral("Measure opening a generated 5-minute 1080p30 video (H.264 unless "
                                              "--long-codec says hevc)."));
    QCommandLineOption longCodecOpt(QStringLiteral("long-codec"), QStringLiteral("Codec of the --long video: h264 or hevc."),
                                    QStringLiteral("codec"), QStringLiteral("h264"));
    QCommandLineOption fullScreenOpt(QStringLiteral("fullscreen"),
                                     QStringLiteral("Measure the full-screen view's pictures at the video's resolution."));
    QCommandLineOption decodersOpt(QStringLiteral("decoders"),
                                   QStringLiteral("Measure the time-stamp decoder against FFMS2 on --file (384x216)."));
    QCommandLineOption codecsOpt(QStringLiteral("codecs"),
                                 QStringLiteral("Measure HEVC, Xvid, VP9, H.264, MPEG-2 and MJPEG files (1080p30, generated "
                                                "once into the video folder)."));
    parser.addOptions({fileOpt, framesOpt, dirOpt, cacheOpt, seedOpt, longOpt, longCodecOpt, fullScreenOpt, codecsOpt, decodersOpt});
    parser.process(app);

    if (parser.isSet(codecsOpt)) {
        QString dir = parser.value(dirOpt);
        if (dir.isEmpty())
            dir = QDir(QDir::tempPath()).filePath(QStringLiteral("kadro-bench-videos"));
        return measureCodecs(dir, QCoreApplication::applicationFilePath());
    }

    if (parser.isSet(decodersOpt))
        return measureDecoders(parser.value(fileOpt), QSize(384, 216));

    // ---- the video
    QString path = parser.value(fileOpt);
    const bool generated = path.isEmpty();
    const bool longVideo = parser.isSet(longOpt);
    if (generated) {
        videogen::Spec spec;
        spec.format = videogen::Format::H264Mp4;
        spec.width = 1920;
        spec.height = 1080;
        spec.fps = 60;
        spec.gop = 250;
        spec.frames = std::max(300, parser.value(framesOpt).toInt());
        spec.audio = true;
        if (longVideo) {
            // As a phone records: 30 fps, a keyframe every second, sound.
            spec.fps = 30;
            spec.gop = 30;
            spec.frames = 5 * 60 * 30;
            if (parser.value(longCodecOpt) == QLatin1String("hevc")) {
                // As an iPhone records: HEVC in MP4 (x265's default open GOPs).
                spec.format = videogen::Format::HevcMp4;
                spec.audio = false;
            } else if (parser.value(longCodecOpt) != QLatin1String("h264")) {
                std::fprintf(stderr, "--long-codec: h264 or hevc\n");
                return 2;
            }
        }
        QString dir = parser.value(dirOpt);
        if (dir.isEmpty())
            dir = QDir(QDir::tempPath()).filePath(QStringLiteral("kadro-bench-videos"));
        std::fprintf(stderr, "video: generating or reusing %s in %s\n", qPrintable(videogen::fileNameFor(spec)),
                     qPrintable(dir));
        QString error;
        path = videogen::cachedVideo(spec, dir, &error);
        if (path.isEmpty()) {
            std::fprintf(stderr, "cannot generate the video: %s\n", qPrintable(error));
            return 2;
        }
    }
    const std::size_t cacheBytes = std::size_t(std::max(1, parser.value(cacheOpt).toInt())) << 20;
    QTemporaryDir work;
    if (!work.isValid())
        return 2;
    int dirCount = 0;
    auto freshIndexDir = [&] { return work.filePath(QStringLiteral("index-%1").arg(dirCount++)); };

    if (longVideo)
        return measureLong(path, freshIndexDir);
    if (parser.isSet(fullScreenOpt)) {
        // Steps right after the jump (the cache still filling behind them), then after the fill.
        const int unsettled = measureFullScreen(path, freshIndexDir, false);
        std::printf("(the same after the cache's fill behind each jump has ended)\n");
        return std::max(unsettled, measureFullScreen(path, freshIndexDir, true));
    }

    // ---- facts of the file, the truth per frame
    QSize pictureSize;
    std::vector<int> keyframes; // frame numbers
    int length = 0;
    {
        FfmsVideoDevice probe;
        probe.setProgressFactory([] { return nullptr; });
        probe.setIndexCacheDir(freshIndexDir());
        probe.setFileName(path);
        try {
            probe.open(); probe.waitForPicture();
        } catch (const VideoDeviceError& e) {
            std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), e.what());
            return 2;
        }
        // The seek check behind the first picture decides how the file is decoded.
        probe.waitForBackgroundWork(300000);
        pictureSize = probe.pictureSize();
        length = probe.length();
        for (int k : probe.source()->keyframes())
            keyframes.push_back(probe.source()->frameOfCoded(k));
        std::fprintf(stderr, "video: %s, %d frames, %dx%d shown at %dx%d, %zu keyframes, %s\n", qPrintable(path),
                     length + 1, probe.source()->frameSize().width(), probe.source()->frameSize().height(),
                     pictureSize.width(), pictureSize.height(), keyframes.size(),
                     qPrintable(probe.source()->seekCheck().reason));
    }
    std::fprintf(stderr, "truth: decoding every frame linearly ...\n");
    const Truth truth(path, pictureSize, generated);
    // Intervals to step back through: keyframes with a whole interval before them.
    std::vector<int> backStarts;
    for (std::size_t i = 1; i < keyframes.size(); ++i)
        if (keyframes[i] + 40 <= length)
            backStarts.push_back(keyframes[i]);
    // At most six of them, spread over the file (intra-only videos have a keyframe per frame).
    if (backStarts.size() > 6) {
        std::vector<int> spread;
        for (std::size_t i = 0; i < 6; ++i)
            spread.push_back(backStarts[i * (backStarts.size() - 1) / 5]);
        backStarts = spread;
    }
    if (backStarts.empty())
        backStarts.push_back(std::min(length, 40));

    std::mt19937 rng(parser.value(seedOpt).toUInt());
    std::uniform_int_distribution<int> anyFrame(0, std::max(0, length - 31));
    std::vector<int> stepStarts, seekTargets;
    for (int i = 0; i < 6; ++i)
        stepStarts.push_back(anyFrame(rng));
    std::uniform_int_distribution<int> anyTarget(0, length);
    for (int i = 0; i < 40; ++i)
        seekTargets.push_back(anyTarget(rng));

    std::map<std::string, std::vector<double>> kadro, base;
    std::vector<std::size_t> missedSeeks; // random seeks the device's cache could not serve
    long checked = 0;
    long right = 0;
    std::string firstWrong;

    // ================================= the device
    // Every frame a device shows is checked against the truth.
    auto check = [&](const FfmsVideoDevice& dev, int frame) {
        ++checked;
        if (truth.matches(frame, dev.currentImage()) && frame == dev.position())
            ++right;
        else if (firstWrong.empty())
            firstWrong = "frame " + std::to_string(frame) + " shows " +
                         std::to_string(videogen::readFrameNumber(dev.currentImage()));
    };
    QString warmDir;
    resetPeakMemory();
    {
        // Open with a cold index (a new cache folder each time), then warm.
        // After each open the device is left until the seek check running behind the first
        // picture has ended, as a user looks at that picture; so the index cache keeps its verdict.
        auto timedOpen = [&](const QString& indexDir) {
            FfmsVideoDevice dev;
            dev.setCacheBytes(cacheBytes);
            const auto times = openCold(dev, path, indexDir);
            if (dev.source()->checkingSeeking()) {
                QElapsedTimer t;
                t.start();
                dev.waitForBackgroundWork(300000);
                std::fprintf(stderr, "seek check behind the first picture: ended %.0f ms after the open: %s\n",
                             msSince(t) + times.second, qPrintable(dev.source()->seekCheck().reason));
            }
            return times;
        };
        for (int i = 0; i < 3; ++i) {
            warmDir = freshIndexDir();
            const auto [first, all] = timedOpen(warmDir);
            kadro["open_cold"].push_back(all);
            kadro["open_first_picture"].push_back(first);
        }
        for (int i = 0; i < 5; ++i)
            kadro["open_warm"].push_back(timedOpen(warmDir).second);

        FfmsVideoDevice dev;
        dev.setProgressFactory([] { return nullptr; });
        dev.setIndexCacheDir(warmDir);
        dev.setCacheBytes(cacheBytes);
        dev.setFileName(path);
        QObject::connect(&dev, &VideoDevice::frameShown, [&](int frame) { check(dev, frame); });
        dev.open(); dev.waitForPicture();
        dev.setFrames(1);
        auto timed = [&](const std::function<void()>& op) {
            QElapsedTimer t;
            t.start();
            op();
            return msSince(t);
        };

        // Step forward: a look at the picture after a seek, then quick steps.
        for (int p : stepStarts) {
            dev.seek(p); dev.waitForPicture();
            think(200);
            for (int i = 0; i < 30; ++i)
                kadro["step_forward"].push_back(timed([&] { dev.step(); dev.waitForPicture(); }));
        }
        // Step back from 40 frames after a keyframe through it into the interval before. The first
        // step into that interval depends on what earlier work left in the cache, and so on the
        // timing of everything before; it is measured on devices of its own below.
        for (int k : backStarts) {
            dev.seek(k + 40); dev.waitForPicture();
            think(1000);
            for (int i = 0; i < 80 && dev.position() > 0; ++i) {
                const double ms = timed([&] { dev.back(); dev.waitForPicture(); });
                if (dev.position() != k - 1)
                    kadro["step_back"].push_back(ms);
            }
        }
        // Random seeks with a short look at each picture.
        for (std::size_t i = 0; i < seekTargets.size(); ++i) {
            const long long hits = dev.server()->stats().hits;
            const double ms = timed([&] { dev.seek(seekTargets[i]); dev.waitForPicture(); });
            kadro["random_seek"].push_back(ms);
            if (dev.server()->stats().hits == hits) {
                missedSeeks.push_back(i);
                kadro["random_seek_miss"].push_back(ms);
            }
            think(300);
        }
        // A held-down back key: 20 steps at 10 per second, lag of each behind its schedule.
        for (int k : {backStarts.back(), backStarts.front()}) {
            dev.seek(k + 10); dev.waitForPicture();
            think(1000);
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < 20; ++i) {
                const double due = 100.0 * i;
                while (msSince(clock) < due) {
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
                    QThread::usleep(500);
                }
                dev.back(); dev.waitForPicture();
                const double lag = msSince(clock) - due;
                kadro["held_back_lag"].push_back(lag);
                if (lag > 50)
                    std::fprintf(stderr, "held_back_lag: %.1f ms on the step to %d (held from %d)\n", lag,
                                 dev.position(), k + 10);
            }
        }
        // Playback for a second (every frame shown is checked), then a sweep that fills the cache
        // to its bound for the memory figure.
        dev.seek(length / 3); dev.waitForPicture();
        dev.play();
        think(1000);
        dev.stop();
        for (int i = 0; i < 8; ++i) {
            dev.seek(std::min(length, (length + 1) * i / 8 + 200)); dev.waitForPicture();
            dev.waitForBackgroundWork(20000);
        }
        const FrameServer::Stats st = dev.server()->stats();
        std::fprintf(stderr,
                     "device: cache %.1f MB of %.1f MB (bound %.1f MB less %.1f MB for the second decoder%s), "
                     "%lld requests, %lld hits, %lld decoded\n",
                     double(dev.server()->cacheBytes()) / 1048576.0, double(dev.server()->cacheBudget()) / 1048576.0,
                     double(dev.server()->cacheLimit()) / 1048576.0, double(st.backDecoderBytes) / 1048576.0,
                     st.backDecoderDropped ? ", dropped" : "", st.requests, st.hits, st.decoded);
    }
    const double kadroPeak = peakMemoryMb();
    // The first step back into an interval nothing has decoded yet: a newly opened device (warm
    // index) per interval, the same steps as above.
    for (int k : backStarts) {
        FfmsVideoDevice fresh;
        fresh.setProgressFactory([] { return nullptr; });
        fresh.setIndexCacheDir(warmDir);
        fresh.setCacheBytes(cacheBytes);
        fresh.setFileName(path);
        QObject::connect(&fresh, &VideoDevice::frameShown, [&](int frame) { check(fresh, frame); });
        fresh.open(); fresh.waitForPicture();
        fresh.setFrames(1);
        fresh.seek(k + 40); fresh.waitForPicture();
        think(1000);
        for (int i = 0; i < 40 && fresh.position() > k; ++i)
            fresh.back();
        fresh.waitForPicture();
        QElapsedTimer t;
        t.start();
        fresh.back(); fresh.waitForPicture();
        const double ms = msSince(t);
        if (fresh.position() == k - 1) {
            kadro["step_back_first"].push_back(ms);
            std::fprintf(stderr, "step_back_first: into the interval before %d: %.1f ms\n", k, ms);
        }
    }

    // ================================= FFMS2 directly
    resetPeakMemory();
    {
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer t;
            t.start();
            Direct d(path, pictureSize);
            d.get(0);
            base["open_cold"].push_back(msSince(t));
            base["open_first_picture"].push_back(msSince(t));
        }
        const QString indexFile = work.filePath(QStringLiteral("direct.ffindex"));
        Direct(path, pictureSize).writeIndex(indexFile);
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer t;
            t.start();
            Direct d(path, pictureSize, indexFile);
            d.get(0);
            base["open_warm"].push_back(msSince(t));
        }

        Direct d(path, pictureSize, indexFile);
        auto timedGet = [&](int n) {
            QElapsedTimer t;
            t.start();
            d.get(n);
            return msSince(t);
        };
        for (int p : stepStarts) {
            d.get(p);
            for (int i = 1; i <= 30; ++i)
                base["step_forward"].push_back(timedGet(std::min(length, p + i)));
        }
        for (int k : backStarts) {
            int pos = k + 40;
            d.get(pos);
            for (int i = 0; i < 80 && pos > 0; ++i) {
                --pos;
                const double ms = timedGet(pos);
                base[pos == k - 1 ? "step_back_first" : "step_back"].push_back(ms);
            }
        }
        for (std::size_t i = 0; i < seekTargets.size(); ++i) {
            const double ms = timedGet(seekTargets[i]);
            base["random_seek"].push_back(ms);
            if (std::find(missedSeeks.begin(), missedSeeks.end(), i) != missedSeeks.end())
                base["random_seek_miss"].push_back(ms);
        }
        for (int k : {backStarts.back(), backStarts.front()}) {
            int pos = k + 10;
            d.get(pos);
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < 20; ++i) {
                const double due = 100.0 * i;
                while (msSince(clock) < due)
                    QThread::usleep(500);
                pos = std::max(0, pos - 1);
                d.get(pos);
                base["held_back_lag"].push_back(msSince(clock) - due);
            }
        }
    }
    const double basePeak = peakMemoryMb();

    // ================================= report
    auto print = [](const std::string& name, double k, double b) {
        std::printf("metric=%s kadro_ms=%.2f baseline_ms=%.2f ratio=%.3f\n", name.c_str(), k, b, b > 0 ? k / b : 0.0);
    };
    for (const char* name : {"open_cold", "open_first_picture", "open_warm"})
        print(name, median(kadro[name]), median(base[name]));
    print("open_warm_vs_cold", median(kadro["open_warm"]), median(kadro["open_cold"]));
    for (const char* name : {"step_forward", "step_back", "step_back_first", "random_seek", "random_seek_miss", "held_back_lag"})
        print(name, median(kadro[name]), median(base[name]));
    {
        const auto& lag = kadro["held_back_lag"];
        const auto& baseLag = base["held_back_lag"];
        print("held_back_lag_max", lag.empty() ? 0 : *std::max_element(lag.begin(), lag.end()),
              baseLag.empty() ? 0 : *std::max_element(baseLag.begin(), baseLag.end()));
    }
    print("step_back_vs_forward", median(kadro["step_back"]), median(kadro["step_forward"]));
    print("peak_rss_mb", kadroPeak, basePeak);
    std::fprintf(stderr, "memory: bound for the device = cache %.0f MB + 150 MB = %.0f MB\n",
                 double(cacheBytes) / 1048576.0, double(cacheBytes) / 1048576.0 + 150.0);
    std::fprintf(stderr, "random seeks: %zu of %zu were cache misses\n", missedSeeks.size(), seekTargets.size());
    if (!firstWrong.empty())
        std::fprintf(stderr, "first wrong: %s\n", firstWrong.c_str());
    std::printf("exact=%ld/%ld\n", right, checked);
    std::fflush(stdout);
    return right == checked ? 0 : 1;
}

int main(int argc, char** argv)
{
    // A file the engine cannot take ends the measurement with its reason, never with an abort.
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kadro-bench: stopped: %s\n", e.what());
        return 3;
    }
}
