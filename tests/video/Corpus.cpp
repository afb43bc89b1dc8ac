#include "video/Corpus.h"

#include "player/video/FfmsFrameSource.h"
#include "player/video/FrameServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <stdexcept>

namespace kadro::test {

using videogen::Format;
using videogen::Spec;

namespace {

// Every test run starts with an empty index cache of its own (unless one is given), so no entry
// from an earlier run or from the user's program decides what a test sees.
struct IndexCacheForTests {
    IndexCacheForTests()
    {
        if (qEnvironmentVariableIsEmpty("KADRO_INDEX_CACHE_DIR") && dir.isValid())
            qputenv("KADRO_INDEX_CACHE_DIR", QFile::encodeName(dir.path()));
    }
    QTemporaryDir dir;
};
const IndexCacheForTests indexCacheForTests;

Spec make(Format f, int frames, int gop = 0, bool audio = false, int w = 320, int h = 240)
{
    Spec s;
    s.format = f;
    s.frames = frames;
    s.gop = gop;
    s.audio = audio;
    s.width = w;
    s.height = h;
    return s;
}

Spec withBFrames(Spec s, int bFrames)
{
    s.bFrames = bFrames;
    return s;
}
} // namespace

const std::vector<CorpusVideo>& corpus()
{
    static const std::vector<CorpusVideo> videos = {
        {"MjpegAvi", make(Format::MjpegAvi, 120, 0, true)},
        {"MsVideo1Avi", make(Format::MsVideo1Avi, 80)},
        {"RawAvi", make(Format::RawAvi, 40)},
        {"DroppedSlotsAvi", make(Format::DroppedSlotsAvi, 120)},
        {"XvidAvi", make(Format::XvidAvi, 150, 50)},
        {"H264Mp4", make(Format::H264Mp4, 250, 100, true)},
        {"H264OpenGopMkv", make(Format::H264OpenGopMkv, 150, 50)},
        {"HevcMp4", make(Format::HevcMp4, 150, 50)},
        {"Vp9Webm", make(Format::Vp9Webm, 150, 50)},
        {"Mpeg2Ps", make(Format::Mpeg2Ps, 150, 15)},
        {"H264Mp4_1080p", make(Format::H264Mp4, 60, 25, true, 1920, 1080)},
        // DivX-style packed B-frames: one B-frame between references (the classic pattern), and
        // two at the size of the classroom file that showed the fault.
        {"PackedBAvi", make(Format::PackedBAvi, 150, 50)},
        {"PackedB2Avi_720x528", withBFrames(make(Format::PackedBAvi, 270, 50, false, 720, 528), 2)},
    };
    return videos;
}

const CorpusVideo& corpusVideo(const std::string& name)
{
    for (const auto& v : corpus())
        if (v.name == name)
            return v;
    throw std::logic_error("no corpus video " + name);
}

QString videoPath(const Spec& spec)
{
    QString dir = qEnvironmentVariable("KADRO_TEST_VIDEO_DIR");
    if (dir.isEmpty())
        dir = QDir(QDir::tempPath()).filePath(QStringLiteral("kadro-test-videos"));
    QString error;
    const QString path = videogen::cachedVideo(spec, dir, &error);
    if (path.isEmpty())
        ADD_FAILURE() << "cannot generate " << videogen::fileNameFor(spec).toStdString() << ": "
                      << error.toStdString();
    return path;
}

std::vector<int> referenceNumbers(const QString& path)
{
    FfmsFrameSource::Options opts;
    opts.seeking = FfmsFrameSource::Seeking::Linear;
    FfmsFrameSource src(path, opts);
    FrameServer server(src, src.frameSize(), std::size_t(64) << 20);
    std::vector<int> out;
    out.reserve(std::size_t(src.frameCount()));
    for (int n = 0; n < src.frameCount(); ++n)
        out.push_back(videogen::readFrameNumber(server.picture(src.codedIndex(n), FrameServer::Move::Forward)));
    return out;
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return done();
}

} // namespace kadro::test
