#pragma once

class QFrame;
class QPushButton;
class QTimer;

namespace kadro {

// Section playback's controls: "weiter" / "zurück" and the pause countdown's timer.
struct SectionWidgets {
    QFrame* MarkeWechselnPanel = nullptr;
    QPushButton* NaechsteMarkeButton = nullptr;
    QPushButton* MarkeZurueckButton = nullptr;
    QTimer* Timer3 = nullptr;
};

} // namespace kadro
