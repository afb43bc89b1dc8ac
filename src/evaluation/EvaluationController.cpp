#include "evaluation/EvaluationController.h"

#include "common/ErrorReport.h"
#include "common/MainState.h"
#include "common/ProgramEvents.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace kadro {

EvaluationController::EvaluationController(const Context& context, const EvaluationWidgets& widgets,
                                           const PictureWidgets& picture)
    : c(context), ui(widgets), pic(picture)
{
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(c.prompts, fn); }; };
    connect(ui.Timer5, &QTimer::timeout, this, guard([this] { Timer5Timer(); }));
    // A picture drawn afresh wiped the diagram: it comes again a moment later.
    connect(&c.events, &ProgramEvents::pictureRefreshed, this, [this] {
        if (c.st.DiagramShown)
            ui.Timer5->start();
    });
}

void EvaluationController::setUpAuthoringView()
{
    ui.MenuDatenauswertung->menuAction()->setVisible(false);
    c.st.DiagramShown = false;
}

void EvaluationController::setUpPlayerView()
{
    ui.MenuKeine->setChecked(true);
    ui.MenuDatenauswertung->menuAction()->setVisible(true);
    ui.MenuDatenauswertung->setEnabled(false);
    ui.MenuDatenauswertung->menuAction()->setEnabled(false);
    ui.MenuTrendparabel->setEnabled(false);
}

void EvaluationController::resetForOpenedFile()
{
    ui.MenuKeine->setChecked(true);
    c.st.DiagramShown = false;
}

void EvaluationController::hideForPresentation()
{
    ui.MenuDatenauswertung->menuAction()->setVisible(false);
}

void EvaluationController::Timer5Timer()
{
    ui.Timer5->stop();
}

} // namespace kadro
