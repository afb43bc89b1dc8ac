#pragma once
#include "authoring/MemoWidgets.h"
#include "authoring/RichEditMemoAccess.h"
#include "common/Context.h"

#include <QObject>
#include <QString>

namespace kadro {

// The memo editor beside the picture: writable in the authoring view, read-only under its cover
// in the player view, where a section with a memo shows its text.
class MemoEditor : public QObject {
    Q_OBJECT
public:
    MemoEditor(const Context& context, const MemoWidgets& widgets);

    // The editor as the memo rules of the mark table use it.
    RichEditMemoAccess& access() { return m_access; }

    // The memo editor's part of laying out the views afresh.
    void setUpAuthoringView();
    void setUpPlayerView();

    // A section with a memo: the cover goes and the memo file is shown; a file that cannot be
    // read leaves the editor's text as it was.
    void showSectionMemo(const QString& path);
    // A section without memo: the cover lies over the editor.
    void coverMemo();
    // The tool bar is usable once a video or presentation is open for authoring.
    void enableToolBar(bool enabled);
    // The settings' editor font (name, size in points as text) for the text at the caret.
    void applyEditorFont(const QString& family, const QString& sizeText);

private:
    Context c;
    MemoWidgets ui;
    RichEditMemoAccess m_access;
};

} // namespace kadro
