#pragma once

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;

namespace kadro {

// The measurement panel with its cover: the calibration panel, the live X/Y display, the
// measurement table with its pop-up menu, the button row and "Schließen"; and the menu item
// "D&atenaufnahme".
struct MeasureWidgets {
    QFrame* BerechnenAnzeigePanel = nullptr;
    QFrame* BerechnenAbdeckungsPanel = nullptr;
    QAction* MenuDatenaufnahme = nullptr;

    // Calibration.
    QFrame* KalibrierenPanel = nullptr;
    QLabel* Position1Label = nullptr;
    QLabel* XPosition1Label = nullptr;
    QLabel* YPosition1Label = nullptr;
    QLineEdit* XKoord1Label = nullptr;
    QLineEdit* YKoord1Label = nullptr;
    QLabel* Position2Label = nullptr;
    QLabel* XPosition2Label = nullptr;
    QLabel* YPosition2Label = nullptr;
    QLineEdit* XKoord2Label = nullptr;
    QLineEdit* YKoord2Label = nullptr;
    QLabel* AbstandLabel = nullptr;
    QLineEdit* XYAbstandEdit = nullptr;
    QLabel* mAbstandLabel = nullptr;
    QPushButton* KalibrierenButton = nullptr;
    QFrame* KalPanel = nullptr;
    QLabel* KalibrierungsLabel = nullptr;
    QLabel* KalibrierenMLabel = nullptr;

    // Live position of the pointer.
    QFrame* PositionXYPanel = nullptr;
    QLabel* XPositionLabel = nullptr;
    QLabel* XLabel = nullptr;
    QLabel* mXLabel = nullptr;
    QLabel* YPositionLabel = nullptr;
    QLabel* YLabel = nullptr;
    QLabel* mYLabel = nullptr;

    // The measured points.
    QTableWidget* MesswerteStringGrid = nullptr;
    QMenu* MesswertePopupMenu = nullptr;
    QAction* MesswertePopupMenuMessungLoeschen = nullptr;

    // The buttons after a calibration ("Diagramm an"/"aus" in it belong to the evaluation).
    QFrame* MesswerteButtonPanel = nullptr;
    QPushButton* MesswerteSpeichernButton = nullptr;
    QPushButton* KalibrierungNeuButton = nullptr;
    QPushButton* MesswerteNeuButton = nullptr;
    QPushButton* AuswertungSchliessenButton = nullptr;
    // "Verfolgen" / "Stopp": the automatic tracking of an object.
    QPushButton* VerfolgenButton = nullptr;
    // The window's hint line (the tracking asks for its click there).
    QLabel* HintLine = nullptr;
};

} // namespace kadro
