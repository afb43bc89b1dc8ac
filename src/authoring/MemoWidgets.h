#pragma once

class QFrame;
class QTextEdit;
class QToolBar;

namespace kadro {

// The memo editor beside the picture with its tool bar and the panel that covers it.
struct MemoWidgets {
    QFrame* RichEditPanel = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QTextEdit* RichEdit = nullptr;
    QFrame* RichEditAbdeckungsPanel = nullptr;
};

} // namespace kadro
