#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

// Every test program runs with a German locale (decimal comma), as the program's users do,
// and with a QApplication so widgets, timers and dialogs can be created headless.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
