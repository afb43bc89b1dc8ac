#pragma once

class QAction;
class QFrame;
class QMenu;

namespace kadro {

// The measurement panel with its cover, the menu item "D&atenaufnahme" and the pop-up menu of
// the measurement table.
struct MeasureWidgets {
    QFrame* BerechnenAnzeigePanel = nullptr;
    QFrame* BerechnenAbdeckungsPanel = nullptr;
    QAction* MenuDatenaufnahme = nullptr;
    QMenu* MesswertePopupMenu = nullptr;
    QAction* MesswertePopupMenuMessungLoeschen = nullptr;
};

} // namespace kadro
