#include "measure/MeasureController.h"

#include "common/ProgramEvents.h"

#include <QAction>
#include <QFrame>

namespace kadro {

MeasureController::MeasureController(const Context& context, const MeasureWidgets& widgets,
                                     const PictureWidgets& picture)
    : c(context), ui(widgets), pic(picture)
{
    // An opened video makes measuring possible.
    connect(&c.events, &ProgramEvents::videoOpened, this, [this] { ui.MenuDatenaufnahme->setEnabled(true); });
}

void MeasureController::setUpAuthoringView()
{
    ui.BerechnenAbdeckungsPanel->hide();
    ui.BerechnenAnzeigePanel->hide();
    ui.MenuDatenaufnahme->setVisible(false);
}

void MeasureController::setUpPlayerView()
{
    ui.MenuDatenaufnahme->setVisible(true);
    ui.MenuDatenaufnahme->setEnabled(false);
    ui.BerechnenAbdeckungsPanel->move(0, 0);
    ui.BerechnenAbdeckungsPanel->show();
    ui.BerechnenAnzeigePanel->move(400, 305);
    ui.BerechnenAnzeigePanel->show();
}

void MeasureController::offerEvaluation(bool offered)
{
    if (offered) {
        ui.BerechnenAbdeckungsPanel->hide();
        ui.MenuDatenaufnahme->setEnabled(false);
    } else {
        ui.BerechnenAbdeckungsPanel->show();
        ui.MenuDatenaufnahme->setEnabled(true);
    }
}

void MeasureController::resetForOpenedFile() {}

void MeasureController::hideForPresentation()
{
    ui.MenuDatenaufnahme->setVisible(false);
}

void MeasureController::hideDataAcquisitionMenu()
{
    ui.MenuDatenaufnahme->setVisible(false);
}

} // namespace kadro
