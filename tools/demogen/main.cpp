// Writes the demo presentation (video and presentation file) into the folder given.
#include "FreeFall.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kadro-demogen <folder>\n");
        return 2;
    }
    QString error;
    if (!kadro::demo::writeDemo(QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "kadro-demogen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
