#pragma once

class QAction;
class QCheckBox;
class QFrame;

namespace kadro {

class PictureSurface;
class OverlayBox;

// The picture of the main window: its frame, the border, the surface the video is shown on and
// the transparent drawing surface over it (which also takes the mouse).
struct PictureWidgets {
    QFrame* BildschirmRahmen = nullptr;
    QFrame* BildschirmUnterlagePanel = nullptr;
    PictureSurface* BildschirmPanel = nullptr;
    OverlayBox* PaintBox1 = nullptr;
    // The picture filling the screen (F11, also in the picture's pop-up menu after "&Ton").
    QAction* HauptFensterPopupMenuVollbild = nullptr;
    // The magnifier over the picture (in the measuring panel; the key L toggles it).
    QCheckBox* LupeCheckBox = nullptr;
};

} // namespace kadro
