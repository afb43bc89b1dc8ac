#include "video/Corpus.h"

#include "player/video/FfmsFrameSource.h"
#include "player/video/FrameServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

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

QString realClip(const QString& name)
{
    return QDir(qEnvironmentVariable("KADRO_TEST_DATA")).filePath(QStringLiteral("real/") + name);
}

std::vector<QImage> ffmpegPictures(const QString& path, const QSize& size)
{
    std::vector<QImage> out;
    AVFormatContext* input = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (avformat_open_input(&input, name.constData(), nullptr, nullptr) < 0)
        return out;
    const int stream = avformat_find_stream_info(input, nullptr) >= 0
                           ? av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)
                           : -1;
    const AVCodec* codec = stream >= 0 ? avcodec_find_decoder(input->streams[stream]->codecpar->codec_id) : nullptr;
    AVCodecContext* decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (decoder && avcodec_parameters_to_context(decoder, input->streams[stream]->codecpar) >= 0) {
        decoder->thread_count = 1;
        if (avcodec_open2(decoder, codec, nullptr) >= 0) {
            AVPacket* packet = av_packet_alloc();
            AVFrame* frame = av_frame_alloc();
            SwsContext* scale = nullptr;
            for (bool end = false; !end;) {
                if (av_read_frame(input, packet) < 0) {
                    end = true;
                    avcodec_send_packet(decoder, nullptr);
                } else if (packet->stream_index == stream) {
                    avcodec_send_packet(decoder, packet);
                }
                av_packet_unref(packet);
                while (avcodec_receive_frame(decoder, frame) == 0) {
                    scale = sws_getCachedContext(scale, frame->width, frame->height, AVPixelFormat(frame->format),
                                                 size.width(), size.height(), AV_PIX_FMT_BGRA, SWS_AREA, nullptr,
                                                 nullptr, nullptr);
                    QImage picture(size, QImage::Format_RGB32);
                    uint8_t* planes[1] = {picture.bits()};
                    const int lines[1] = {int(picture.bytesPerLine())};
                    sws_scale(scale, frame->data, frame->linesize, 0, frame->height, planes, lines);
                    out.push_back(picture);
                    av_frame_unref(frame);
                }
            }
            sws_freeContext(scale);
            av_frame_free(&frame);
            av_packet_free(&packet);
        }
    }
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
    return out;
}

double pictureDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 255;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum += std::abs(qGreen(p[col]) - qGreen(q[col]));
    }
    return sum / (double(x.width()) * x.height());
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
