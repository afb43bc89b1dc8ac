#pragma once

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
};

} // namespace kadro
