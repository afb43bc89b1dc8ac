#pragma once
#include "common/Context.h"
#include "measure/MeasureWidgets.h"
#include "player/PictureWidgets.h"

#include <QObject>

namespace kadro {

// Measuring in the player view: the measurement panel under its cover and the menu item
// "D&atenaufnahme".
class MeasureController : public QObject {
    Q_OBJECT
public:
    MeasureController(const Context& context, const MeasureWidgets& widgets, const PictureWidgets& picture);

    // The measuring part of laying out the views afresh.
    void setUpAuthoringView();
    void setUpPlayerView();

    // A section offers measuring (the panel is uncovered) or not.
    void offerEvaluation(bool offered);
    // Opening a file: the panel's "Schließen" no longer holds.
    void resetForOpenedFile();
    // A presentation in the player view: no measuring menu.
    void hideForPresentation();
    void hideDataAcquisitionMenu();

private:
    Context c;
    MeasureWidgets ui;
    PictureWidgets pic;
};

} // namespace kadro
