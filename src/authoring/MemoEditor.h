#pragma once
#include "authoring/MemoWidgets.h"
#include "authoring/RichEditMemoAccess.h"
#include "common/Context.h"

#include <QColor>
#include <QObject>
#include <QString>

class QButtonGroup;

namespace kadro {

// The memo editor beside the picture: writable with its formatting tool bar in the authoring
// view, read-only under its cover in the player view, where a section with a memo shows its
// text. The tool bar follows the selection; its buttons, the font box and the size field act on
// the selection (or on the insertion point when nothing is selected).
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

    // The editor font of the settings (at a view set-up and when the settings dialog closes with
    // OK): the name goes into FontBox and is applied to the selection, the size goes into
    // FontSizeEdit, whose handler applies it. Text typed into an emptied editor gets this font.
    void applyEditorFont(const QString& family, const QString& sizeText);

    // Handlers.
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void AlignButtonClick(int tag);
    void TextFarbeButtonClick();
    void FontBoxClick(int index);
    void FontSizeEditChange();
    void RichEditSelectionChange();
    // Fills the font list with the installed fonts, keeping the name shown.
    void FontsAnzeigen();

    // The colour the colour chooser opens on.
    QColor colorDialogColor() const { return m_colorDialogColor; }

    // The size check's message and where it is placed, from the main window's top-left corner.
    static QString sizeMessage();
    static QPoint sizeMessageOffset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mergeFormat(const QTextCharFormat& format);
    void documentChanged();

    Context c;
    MemoWidgets ui;
    RichEditMemoAccess m_access;
    QButtonGroup* m_alignButtons = nullptr;
    QColor m_colorDialogColor = Qt::black;
    // Set while the size field shows the selection's own size: applying it again changes nothing.
    bool m_showingSelection = false;
    // Set while the program itself changes the editor (set-ups, sections' memos).
    int m_programChange = 0;
};

} // namespace kadro
