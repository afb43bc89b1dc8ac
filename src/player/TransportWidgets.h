#pragma once

class QAction;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace kadro {

// The transport's controls: the buttons with their twin items of the main pop-up menu, the
// slider, the frame and time displays, the time-step labels and the transport's timers.
struct TransportWidgets {
    QFrame* SteuerungsPanel = nullptr;
    QPushButton* VideoStartButton = nullptr;
    QPushButton* VideoStopButton = nullptr;
    QPushButton* VideoBildzurueckButton = nullptr;
    QPushButton* VideoBildvorButton = nullptr;
    QPushButton* VideoZeitlupeButton = nullptr;
    QFrame* SchiebereglerPanel2 = nullptr;
    QSlider* VideoTrackBar = nullptr;

    QFrame* BildNrPanel = nullptr;
    QLabel* FrameAnzeige1Label = nullptr;
    QLabel* FrameAnzeige2Label = nullptr;
    QFrame* TimePanel = nullptr;
    QLabel* ZeitAnzeige1Label = nullptr;
    QLabel* ZeitAnzeige2Label = nullptr;
    QLabel* ZeitschrittNormalLabel = nullptr;
    QLabel* ZeitschrittZeitlupeLabel = nullptr;
    // Which time base the times are computed with ("Zeitbasis: 30 Bilder/s").
    QLabel* ZeitbasisLabel = nullptr;

    QAction* HauptFensterPopupMenuStart = nullptr;
    QAction* HauptFensterPopupMenuWeiter = nullptr;
    QAction* HauptFensterPopupMenuBildvor = nullptr;
    QAction* HauptFensterPopupMenuBildzurueck = nullptr;
    QAction* HauptFensterPopupMenuZeitlupe = nullptr;
    QAction* HauptFensterPopupMenuTon = nullptr;

    QTimer* Timer1 = nullptr; // silent running and slow motion: one step per tick
    QTimer* Timer2 = nullptr; // polls the device while it plays with sound
    QTimer* Timer4 = nullptr; // one-shot picture refresh after an open
    QTimer* Timer9 = nullptr; // one-shot: the start, "Bild vor" and slow-motion buttons usable
};

} // namespace kadro
