#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/FAQFenster.h"
#include "app/Infofenster.h"
#include "app/KadroApplication.h"
#include "app/VideoAbspielenFenster.h"
#include "common/ErrorReport.h"
#include "app/QtPrompts.h"
#include "app/StartPageEntries.h"
#include "player/MarkenUebergangFenster.h"
#include "player/video/FfmsVideoDevice.h"
#include "player/view/DialogOpenProgress.h"
#include "settings/OptionenFenster.h"
#include "settings/TitelFenster.h"

#include <QDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    kadro::KadroApplication app(argc, argv);
    // Taken before the working directory changes, so that a relative path means what it meant
    // where the program was started.
    const QString handed = kadro::handedFile(app.arguments(), QDir::currentPath());
    if (!kadro::datafolder::enter())
        std::fprintf(stderr, "Kadro: Der Datenordner %s kann nicht angelegt werden.\n",
                     qPrintable(kadro::datafolder::userFolder()));
    kadro::QtPrompts prompts;
    kadro::setGeneralErrorPrompts(&prompts);

    // The six windows, created once in this order; the dialogs are only shown and hidden.
    auto device = std::make_unique<kadro::FfmsVideoDevice>();
    kadro::FfmsVideoDevice* dev = device.get();
    kadro::TVideoAbspielenFenster window(prompts, std::move(device));
    prompts.setParent(&window);
    // Preparing a large video shows its progress with "Abbrechen" over the main window.
    dev->setProgressFactory([&window] { return std::make_unique<kadro::DialogOpenProgress>(&window); });
    kadro::TInfofenster info(&window);
    kadro::TOptionenFenster optionen(&window);
    kadro::TMarkenUebergangFenster uebergang(&window);
    kadro::TTitelFenster titel(&window);
    kadro::TFAQFenster faq;
    window.setDialogs(&info, &optionen, &uebergang, &titel, &faq);
    window.compose();

    window.show();
    // A file handed over opens once the start page is up, as its entry on the page would.
    if (!handed.isEmpty())
        QTimer::singleShot(0, &window, [&] {
            kadro::runGuarded(prompts, [&] { window.startPageEntries().openHandedFile(handed); });
        });
    // Ends every event loop, also that of a message box the handed file brought up; quit()
    // would ask the windows to close instead.
    if (qEnvironmentVariableIsSet(kadro::kExitAfterStartVariable))
        QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    return app.exec();
}
