#pragma once
#include "authoring/TestRunWidgets.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

namespace kadro {

// The authoring view's mark table with its heading panels, buttons and pop-up menu, the
// time-step panel with "Test", and "Test Beenden" over the picture (the test run's part).
struct MarkTableWidgets : TestRunWidgets {
    QFrame* StringGridPanel = nullptr;
    QTableWidget* StringGrid = nullptr;
    // The heading panels above the grid's 13 columns (MarkePanel ... MemoPanel).
    QLabel* StringGridHeadingPanels[13] = {};
    QPushButton* MarkeSetzenButton = nullptr;
    QPushButton* SpeichernButton = nullptr;

    QMenu* MarkenBearbeitenPopupMenu = nullptr;
    QAction* PopupMenuMarkeSetzen = nullptr;
    QAction* PopupMenuMarkeLoeschen = nullptr;
    QAction* PopupMenuMarkeEinfuegen = nullptr;
    QAction* PopupMenuMarkeStartFrame = nullptr;
    QAction* PopupMenuMarkeStopFrame = nullptr;
    QAction* PopupMenuOeffnen = nullptr;
    QAction* PopupMenuSpeichern = nullptr;

    QFrame* VideoBearbeitenZeitschrittPanel = nullptr;
};

} // namespace kadro
