// kadro-videogen: writes a test video whose frames show their own numbers.
//
//   kadro-videogen --format h264-mp4 --size 1920x1080 --frames 250 --fps 60 --gop 250 --audio out.mp4
//   kadro-videogen --format h264-mp4 --fps 30000/1001 out.mp4     (29.97 fps)
//   kadro-videogen --format h264-mp4 --fps 30 --vfr out.mp4        (frame durations alternate)
//   kadro-videogen --format h264-mp4 --fps 30 --capture-fps 240 out.mp4   (phone slow motion)
//   kadro-videogen --list
//   kadro-videogen --read picture.png      (prints the number read from a picture, -1 if none)

#include "VideoGen.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

extern "C" {
#include <libavutil/log.h>
}

using namespace kadro::videogen;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    QCoreApplication::setApplicationName(QStringLiteral("kadro-videogen"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a short video in which every frame shows its own number."));
    parser.addHelpOption();
    QCommandLineOption formatOpt(QStringLiteral("format"), QStringLiteral("Video format (see --list)."),
                                 QStringLiteral("name"), QStringLiteral("mjpeg-avi"));
    QCommandLineOption sizeOpt(QStringLiteral("size"), QStringLiteral("Picture size WxH."),
                               QStringLiteral("WxH"), QStringLiteral("320x240"));
    QCommandLineOption framesOpt(QStringLiteral("frames"), QStringLiteral("Number of frames (slots)."),
                                 QStringLiteral("n"), QStringLiteral("100"));
    QCommandLineOption fpsOpt(QStringLiteral("fps"), QStringLiteral("Frames per second (n or num/den)."),
                              QStringLiteral("n"), QStringLiteral("25"));
    QCommandLineOption gopOpt(QStringLiteral("gop"), QStringLiteral("Keyframe interval (0 = default)."),
                              QStringLiteral("n"), QStringLiteral("0"));
    QCommandLineOption audioOpt(QStringLiteral("audio"), QStringLiteral("Add a tone track."));
    QCommandLineOption dropOpt(QStringLiteral("drop"),
                               QStringLiteral("dropped-avi: comma-separated empty slots."),
                               QStringLiteral("list"));
    QCommandLineOption vfrOpt(QStringLiteral("vfr"), QStringLiteral("MP4/MKV: alternate the frame durations by 25 %."));
    QCommandLineOption captureOpt(QStringLiteral("capture-fps"),
                                  QStringLiteral("MP4: name this recording rate in the metadata."),
                                  QStringLiteral("fps"), QStringLiteral("0"));
    QCommandLineOption listOpt(QStringLiteral("list"), QStringLiteral("List the formats."));
    QCommandLineOption readOpt(QStringLiteral("read"),
                               QStringLiteral("Print the frame number shown by a picture file."),
                               QStringLiteral("image"));
    parser.addOptions({formatOpt, sizeOpt, framesOpt, fpsOpt, gopOpt, audioOpt, dropOpt, vfrOpt, captureOpt, listOpt, readOpt});
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("Output file."));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (parser.isSet(listOpt)) {
        for (Format f : allFormats())
            out << formatName(f) << ' ' << extension(f) << '\n';
        return 0;
    }
    if (parser.isSet(readOpt)) {
        QImage img(parser.value(readOpt));
        if (img.isNull()) {
            err << "cannot read " << parser.value(readOpt) << '\n';
            return 2;
        }
        out << readFrameNumber(img) << '\n';
        return 0;
    }

    const auto format = formatFromName(parser.value(formatOpt));
    if (!format) {
        err << "unknown format " << parser.value(formatOpt) << " (see --list)\n";
        return 2;
    }
    const QStringList size = parser.value(sizeOpt).split(QLatin1Char('x'));
    bool okW = false, okH = false, okF = false, okR = false, okG = false;
    Spec spec;
    spec.format = *format;
    if (size.size() == 2) {
        spec.width = size[0].toInt(&okW);
        spec.height = size[1].toInt(&okH);
    }
    spec.frames = parser.value(framesOpt).toInt(&okF);
    const QStringList rate = parser.value(fpsOpt).split(QLatin1Char('/'));
    spec.fps = rate[0].toInt(&okR);
    if (okR && rate.size() == 2)
        spec.fpsDen = rate[1].toInt(&okR);
    else if (rate.size() > 2)
        okR = false;
    spec.variableRate = parser.isSet(vfrOpt);
    bool okC = false;
    spec.captureFps = parser.value(captureOpt).toDouble(&okC);
    okR = okR && okC;
    spec.gop = parser.value(gopOpt).toInt(&okG);
    spec.audio = parser.isSet(audioOpt);
    if (parser.isSet(dropOpt)) {
        for (const QString& s : parser.value(dropOpt).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            spec.dropped.push_back(s.toInt(&ok));
            if (!ok) {
                err << "bad --drop list\n";
                return 2;
            }
        }
    }
    if (!okW || !okH || !okF || !okR || !okG || parser.positionalArguments().size() != 1) {
        parser.showHelp(2);
    }
    QString error;
    if (!generate(spec, parser.positionalArguments().first(), &error)) {
        err << "kadro-videogen: " << error << '\n';
        return 1;
    }
    return 0;
}
