#include <QGuiApplication>
#include <QLocale>
#include <gtest/gtest.h>

// The model's test programs: a German locale (decimal comma), as the program's users have, and a
// QGuiApplication (fonts and text documents) without any widget.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
