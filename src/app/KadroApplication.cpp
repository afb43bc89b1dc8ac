#include "app/KadroApplication.h"

#include "common/ErrorReport.h"
#include "common/Prompts.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

// The resources are compiled into the program's static library, from which the linker keeps
// them only when they are asked for by name.
static void initKadroResources()
{
    Q_INIT_RESOURCE(kadro);
}

namespace kadro {

KadroApplication::KadroApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Kadro"));
    setApplicationVersion(QStringLiteral("2.0"));
    setDesktopFileName(kDesktopFileName);
    setWindowIcon(applicationIcon());
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
    // Numbers follow the user's locale. Where none is set (the bare "C" locale), the program
    // speaks German and uses the decimal comma, like its interface.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // Qt's own dialogs (file dialogs, colour dialog) speak German too.
    auto* qtTranslations = new QTranslator(this);
    if (qtTranslations->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qtTranslations);
}

QIcon applicationIcon()
{
    initKadroResources();
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/kadro-%1.png").arg(size), QSize(size, size));
    return icon;
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
