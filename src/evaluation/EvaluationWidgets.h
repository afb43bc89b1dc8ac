#pragma once

class QAction;
class QMenu;
class QPushButton;
class QTimer;

namespace kadro {

class TDiagrammeFenster;

// The menu "Datenaus&wertung" with its radio items and "Diagramme..." (the diagram window), "Diagramm an" / "Diagramm aus" (in the
// measurement panel's button row) and the drawing timers.
struct EvaluationWidgets {
    QPushButton* DiagrammButton = nullptr;
    QPushButton* DiagrammButton2 = nullptr;
    QMenu* MenuDatenauswertung = nullptr;
    QAction* MenuKeine = nullptr;
    QAction* MenuPunkteverbinden = nullptr;
    QAction* MenuTrendgerade = nullptr;
    QAction* MenuTrendparabel = nullptr;
    QAction* MenuDiagramme = nullptr;           // "Diagramme...", after a separator
    TDiagrammeFenster* DiagrammeFenster = nullptr; // the window "Kadro - Diagramme"
    QTimer* Timer5 = nullptr; // one-shot diagram redraw after a repaint
    QTimer* Timer6 = nullptr; // connect the points
    QTimer* Timer7 = nullptr; // trend line and its text
    QTimer* Timer8 = nullptr; // trend parabola and the time fit's text
};

} // namespace kadro
