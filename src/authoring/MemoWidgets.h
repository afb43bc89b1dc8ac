#pragma once

class QComboBox;
class QFrame;
class QLineEdit;
class QSpinBox;
class QTextEdit;
class QToolBar;
class QToolButton;

namespace kadro {

// The memo editor beside the picture with its tool bar and the panel that covers it.
struct MemoWidgets {
    QFrame* RichEditPanel = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QTextEdit* RichEdit = nullptr;
    QFrame* RichEditAbdeckungsPanel = nullptr;

    // The tool bar, left to right: the style buttons, the alignment buttons (one of three is
    // down; their tags are the alignment codes 0 left, 2 centre, 1 right), the colour button,
    // the font box and the size field with its up-down control.
    QToolButton* BoldButton = nullptr;
    QToolButton* ItalicButton = nullptr;
    QToolButton* UnderlineButton = nullptr;
    QToolButton* LeftAlignButton = nullptr;
    QToolButton* CenterAlignButton = nullptr;
    QToolButton* RightAlignButton = nullptr;
    QToolButton* TextFarbeButton = nullptr;
    QComboBox* FontBox = nullptr;
    QLineEdit* FontSizeEdit = nullptr;
    QSpinBox* FontSizeUpDown = nullptr;
};

} // namespace kadro
