#include "app/KadroApplication.h"

#include "common/ErrorReport.h"
#include "common/Prompts.h"

#include <QFont>
#include <QLocale>

namespace kadro {

KadroApplication::KadroApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Kadro"));
    setApplicationVersion(QStringLiteral("2.0"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
    // Numbers follow the user's locale. Where none is set (the bare "C" locale), the program
    // speaks German and uses the decimal comma, like its interface.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

bool KadroApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (Prompts* p = generalErrorPrompts())
            showGeneralError(*p, QString::fromUtf8(e.what()));
    } catch (...) {
        if (Prompts* p = generalErrorPrompts())
            showGeneralError(*p, QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}

} // namespace kadro
