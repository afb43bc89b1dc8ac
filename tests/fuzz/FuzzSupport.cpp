#include "FuzzSupport.h"

#include <QGuiApplication>
#include <QLocale>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>

namespace kadro::fuzz {

void fail(const char* condition, const char* file, int line, const QString& detail)
{
    std::fprintf(stderr, "\n%s:%d: check failed: %s\n%s\n", file, line, condition, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

QString escaped(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != QLatin1Char('\\'))
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

QString escaped(const QByteArray& bytes)
{
    QString out;
    for (const char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        if (c >= 0x20 && c < 0x7F && c != '\\')
            out += QLatin1Char(char(c));
        else
            out += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
    }
    return out;
}

QString carriedText(const QTextDocument& document)
{
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            out += QLatin1Char('\n');
        const QString text = block.text();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            const char16_t u = c.unicode();
            if ((u < 0x20 && u != '\t') || u == 0x7F || u == 0x2029 || u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1)
                continue;
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += c;
                out += text.at(++i);
                continue;
            }
            out += c.isSurrogate() ? QChar(0xFFFD) : c;
        }
    }
    return out;
}

} // namespace kadro::fuzz

// The readers run as in the program: with a QGuiApplication (fonts, text documents) on Qt's
// offscreen platform and the German locale's decimal comma.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    Q_UNUSED(app);
    return 0;
}
