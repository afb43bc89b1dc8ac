#include "app/KadroApplication.h"

#include "common/ErrorReport.h"
#include "common/Prompts.h"

#include <QFont>

namespace kadro {

KadroApplication::KadroApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Kadro"));
    setApplicationVersion(QStringLiteral("2.0"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
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
