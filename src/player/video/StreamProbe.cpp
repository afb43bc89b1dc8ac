#include "player/video/StreamProbe.h"

#include "player/video/FfmsSupport.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cmath>
#include <cstdlib>
#include <memory>

namespace kadro {

namespace {

struct InputDeleter {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
using InputPtr = std::unique_ptr<AVFormatContext, InputDeleter>;

double rateOf(AVRational r) { return r.num > 0 && r.den > 0 ? av_q2d(r) : 0.0; }

// Android names the rate of a recording here (a slow-motion recording at 240 fps is stored to
// play at 30 fps); the demuxer puts the MP4's "mdta" keys into the format's metadata.
constexpr const char* kCaptureRateKeys[] = {"com.android.capture.fps"};

} // namespace

double StreamProbe::rateFromText(const char* text)
{
    if (!text)
        return 0.0;
    // strtod follows the C locale, which the program never changes: "240.000000" reads as 240.
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text)
        return 0.0;
    while (*end == ' ')
        ++end;
    return *end == '\0' && std::isfinite(v) && v > 0.0 && v < 100000.0 ? v : 0.0;
}

StreamFacts StreamProbe::facts(const QString& path, int track)
{
    ffmsInit();
    StreamFacts f;
    AVFormatContext* raw = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (avformat_open_input(&raw, name.constData(), nullptr, nullptr) < 0)
        return f;
    const InputPtr in(raw);
    if (track < 0 || track >= int(in->nb_streams))
        return f;
    const AVStream* st = in->streams[track];
    if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
        return f;
    f.readable = true;
    f.container = QString::fromUtf8(in->iformat->name);
    f.codec = QString::fromUtf8(avcodec_get_name(st->codecpar->codec_id));
    f.statedRate = rateOf(st->avg_frame_rate);
    if (f.statedRate <= 0)
        f.statedRate = rateOf(st->r_frame_rate);
    for (const char* key : kCaptureRateKeys) {
        for (const AVDictionary* dict : {static_cast<const AVDictionary*>(in->metadata),
                                         static_cast<const AVDictionary*>(st->metadata)}) {
            if (const AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0)) {
                f.captureRate = rateFromText(e->value);
                if (f.captureRate > 0)
                    return f;
            }
        }
    }
    return f;
}

} // namespace kadro
