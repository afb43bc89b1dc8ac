#pragma once
#include "authoring/model/MemoFiles.h"

#include <QString>
#include <QTextCharFormat>
#include <functional>
#include <optional>

class QTextEdit;

namespace kadro {

// The memo editor as the memo rules use it. A memo file holds the editor's whole content with
// its formatting as RTF; a file an earlier version wrote (HTML) or plain text is shown as well and
// written as RTF the next time. Every file operation is silent.
class RichEditMemoAccess : public MemoEditorAccess {
public:
    explicit RichEditMemoAccess(QTextEdit* editor) : m_editor(editor) {}

    bool hasText() const override;
    // Writes the editor's content as RTF; a failed write leaves the file as it was.
    bool saveTo(const QString& path) override;
    // Shows the file; a file that cannot be read leaves the editor empty.
    void loadFrom(const QString& path) override;
    void clear() override;
    void setEnabled(bool enabled) override;

    // Shows the file; returns false and leaves the editor as it was when it cannot be read.
    bool load(const QString& path);

    // The format text typed into the emptied editor gets (the editor font of the settings).
    void setEmptyEditorFormat(const QTextCharFormat& format) { m_emptyFormat = format; }
    // True while the program itself replaces the editor's content (not the user's edit).
    bool replacing() const { return m_replacing > 0; }
    // Runs after each replacement of the content, once it is complete.
    void setAfterReplace(std::function<void()> hook) { m_afterReplace = std::move(hook); }

private:
    void replaced();

    QTextEdit* m_editor;
    std::optional<QTextCharFormat> m_emptyFormat;
    int m_replacing = 0;
    std::function<void()> m_afterReplace;
};

} // namespace kadro
