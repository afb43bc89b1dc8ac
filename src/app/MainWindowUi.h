#pragma once
#include <QString>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QSlider;
class QTableWidget;
class QTextEdit;
class QTimer;
class QToolBar;
class QWidget;

namespace kadro {

class PictureSurface;
class OverlayBox;
class StartPage;

// The main window's components at their design geometry (client pixels). Widgets only; the
// behaviour lives in the window and the subsystems' handler classes.
struct MainWindowUi {
    QWidget* client = nullptr;

    StartPage* StartseitePanel = nullptr;

    QFrame* BildschirmRahmen = nullptr;
    QFrame* BildschirmUnterlagePanel = nullptr;
    PictureSurface* BildschirmPanel = nullptr;
    OverlayBox* PaintBox1 = nullptr;
    QPushButton* TestBeendenPanel = nullptr;

    QFrame* SteuerungsPanel = nullptr;
    QPushButton* VideoStartButton = nullptr;
    QPushButton* VideoStopButton = nullptr;
    QPushButton* VideoBildzurueckButton = nullptr;
    QPushButton* VideoBildvorButton = nullptr;
    QPushButton* VideoZeitlupeButton = nullptr;
    QFrame* SchiebereglerPanel2 = nullptr;
    QSlider* VideoTrackBar = nullptr;
    QFrame* MarkeWechselnPanel = nullptr;
    QPushButton* NaechsteMarkeButton = nullptr;
    QPushButton* MarkeZurueckButton = nullptr;

    QFrame* BildNrPanel = nullptr;
    QLabel* FrameAnzeige1Label = nullptr;
    QLabel* FrameAnzeige2Label = nullptr;
    QFrame* TimePanel = nullptr;
    QLabel* ZeitAnzeige1Label = nullptr;
    QLabel* ZeitAnzeige2Label = nullptr;

    QFrame* VideoBearbeitenZeitschrittPanel = nullptr;
    QLabel* ZeitschrittNormalLabel = nullptr;
    QLabel* ZeitschrittZeitlupeLabel = nullptr;
    QPushButton* TestButton = nullptr;

    QFrame* RichEditPanel = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QTextEdit* RichEdit = nullptr;
    QFrame* RichEditAbdeckungsPanel = nullptr;

    QFrame* StringGridPanel = nullptr;
    QTableWidget* StringGrid = nullptr;
    // The heading panels above the grid's 13 columns (MarkePanel ... MemoPanel).
    QLabel* StringGridHeadingPanels[13] = {};
    QPushButton* MarkeSetzenButton = nullptr;
    QPushButton* SpeichernButton = nullptr;

    QFrame* BerechnenAnzeigePanel = nullptr;
    QFrame* BerechnenAbdeckungsPanel = nullptr;

    QPushButton* OeffnenButton = nullptr;
    QLabel* HinweisPanel = nullptr;

    // Main menu.
    QMenu* MenuDatei = nullptr;
    QAction* MenuOpen = nullptr;
    QAction* MenuBeenden2 = nullptr;
    QAction* MenuInfo = nullptr;
    QAction* MenuEinstellungen = nullptr;
    QAction* MenuTitel = nullptr;
    QAction* MenuDatenaufnahme = nullptr;
    QMenu* MenuDatenauswertung = nullptr;
    QAction* MenuAuswertungKeine = nullptr;
    QAction* MenuPunkteVerbinden = nullptr;
    QAction* MenuTrendgerade = nullptr;
    QAction* MenuTrendparabel = nullptr;
    QAction* MenuBeenden = nullptr;

    // Pop-up menus.
    QMenu* HauptFensterPopupMenu = nullptr;
    QAction* HauptFensterPopupMenuOeffnen = nullptr;
    QAction* HauptFensterPopupMenuBeenden = nullptr;
    QAction* HauptFensterPopupMenuStart = nullptr;
    QAction* HauptFensterPopupMenuWeiter = nullptr;
    QAction* HauptFensterPopupMenuBildvor = nullptr;
    QAction* HauptFensterPopupMenuBildzurueck = nullptr;
    QAction* HauptFensterPopupMenuZeitlupe = nullptr;
    QAction* HauptFensterPopupMenuTon = nullptr;
    QMenu* HauptFensterPopupMenu2 = nullptr;
    QAction* HauptFensterPopupMenu2Oeffnen = nullptr;
    QAction* HauptFensterPopupMenu2Beenden = nullptr;
    QMenu* StartseitePopupMenu = nullptr;
    QAction* StartseitePopupMenuBeenden = nullptr;
    QMenu* MarkenBearbeitenPopupMenu = nullptr;
    QAction* PopupMenuMarkeSetzen = nullptr;
    QAction* PopupMenuMarkeLoeschen = nullptr;
    QAction* PopupMenuMarkeEinfuegen = nullptr;
    QAction* PopupMenuMarkeStartFrame = nullptr;
    QAction* PopupMenuMarkeStopFrame = nullptr;
    QAction* PopupMenuOeffnen = nullptr;
    QAction* PopupMenuSpeichern = nullptr;
    QMenu* MesswertePopupMenu = nullptr;
    QAction* MesswertePopupMenuMessungLoeschen = nullptr;

    // Timers (intervals in ms as designed; some are set at use).
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* Timer4 = nullptr;
    QTimer* Timer5 = nullptr;
    QTimer* Timer6 = nullptr;
    QTimer* Timer7 = nullptr;
    QTimer* Timer8 = nullptr;
    QTimer* Timer9 = nullptr;

    // Builds every component into `client` and the menus into `menuBar`; `owner` owns the
    // pop-up menus and timers.
    void build(QWidget* owner, QWidget* client, QMenuBar* menuBar);
};

} // namespace kadro
