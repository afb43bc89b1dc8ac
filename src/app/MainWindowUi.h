#pragma once
#include "authoring/MarkTableWidgets.h"
#include "authoring/MemoWidgets.h"
#include "evaluation/EvaluationWidgets.h"
#include "measure/MeasureWidgets.h"
#include "player/PictureWidgets.h"
#include "player/SectionWidgets.h"
#include "player/TransportWidgets.h"

#include <QString>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QWidget;

namespace kadro {

class StartPage;

// The main window's components at their design geometry (client pixels). Each subsystem's
// controller gets its own group of them; the rest (start page, hint line, the open button, the
// main menu and the main pop-up menus) belongs to the shell. Widgets only; the behaviour lives
// in the window and the subsystems' controllers.
struct MainWindowUi : PictureWidgets,
                      TransportWidgets,
                      SectionWidgets,
                      MarkTableWidgets,
                      MemoWidgets,
                      MeasureWidgets,
                      EvaluationWidgets {
    QWidget* client = nullptr;

    StartPage* StartseitePanel = nullptr;
    QPushButton* OeffnenButton = nullptr;
    QLabel* HinweisPanel = nullptr;

    // Main menu.
    QMenu* MenuDatei = nullptr;
    QAction* MenuOpen = nullptr;
    QAction* MenuBeenden2 = nullptr;
    QAction* MenuInfo = nullptr;
    QAction* MenuEinstellungen = nullptr;
    QAction* MenuTitel = nullptr;
    QAction* MenuBeenden = nullptr;

    // Pop-up menus (the transport's items of the first belong to the transport).
    QMenu* HauptFensterPopupMenu = nullptr;
    QAction* HauptFensterPopupMenuOeffnen = nullptr;
    QAction* HauptFensterPopupMenuBeenden = nullptr;
    QMenu* HauptFensterPopupMenu2 = nullptr;
    QAction* HauptFensterPopupMenu2Oeffnen = nullptr;
    QAction* HauptFensterPopupMenu2Beenden = nullptr;
    QMenu* StartseitePopupMenu = nullptr;
    QAction* StartseitePopupMenuBeenden = nullptr;

    // Builds every component into `client` and the menus into `menuBar`; `owner` owns the
    // pop-up menus and timers.
    void build(QWidget* owner, QWidget* client, QMenuBar* menuBar);

private:
    void buildMeasurePanel(QWidget* owner, QWidget* client);
};

} // namespace kadro
