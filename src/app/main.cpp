#include "app/FAQFenster.h"
#include "app/Infofenster.h"
#include "app/KadroApplication.h"
#include "app/VideoAbspielenFenster.h"
#include "common/ErrorReport.h"
#include "app/QtPrompts.h"
#include "player/MarkenUebergangFenster.h"
#include "player/video/FfmsVideoDevice.h"
#include "settings/OptionenFenster.h"
#include "settings/TitelFenster.h"

int main(int argc, char** argv)
{
    kadro::KadroApplication app(argc, argv);
    kadro::QtPrompts prompts;
    kadro::setGeneralErrorPrompts(&prompts);

    // The six windows, created once in this order; the dialogs are only shown and hidden.
    kadro::TVideoAbspielenFenster window(prompts, std::make_unique<kadro::FfmsVideoDevice>());
    prompts.setParent(&window);
    kadro::TInfofenster info(&window);
    kadro::TOptionenFenster optionen(&window);
    kadro::TMarkenUebergangFenster uebergang(&window);
    kadro::TTitelFenster titel(&window);
    kadro::TFAQFenster faq;
    window.setDialogs(&info, &optionen, &uebergang, &titel, &faq);
    window.compose();

    window.show();
    return app.exec();
}
