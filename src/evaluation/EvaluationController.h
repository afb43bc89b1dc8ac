#pragma once
#include "common/Context.h"
#include "evaluation/EvaluationWidgets.h"
#include "player/PictureWidgets.h"

#include <QObject>

namespace kadro {

// The evaluation drawn over the picture: the menu "Datenaus&wertung" and its timers.
class EvaluationController : public QObject {
    Q_OBJECT
public:
    EvaluationController(const Context& context, const EvaluationWidgets& widgets, const PictureWidgets& picture);

    // The evaluation's part of laying out the views afresh.
    void setUpAuthoringView();
    void setUpPlayerView();

    // Opening a file: the diagram goes and the evaluation returns to "Keine".
    void resetForOpenedFile();
    // A presentation in the player view: no evaluation menu.
    void hideForPresentation();

    void Timer5Timer();

private:
    Context c;
    EvaluationWidgets ui;
    PictureWidgets pic;
};

} // namespace kadro
