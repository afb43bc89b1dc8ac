#pragma once
#include "authoring/model/MemoFiles.h"

#include <QString>

class QTextEdit;

namespace kadro {

// The memo editor of the authoring view as the memo rules use it. A memo file holds the
// editor's whole content with its formatting; it is written as the editor's HTML document in
// UTF-8, and a file that is not such a document is shown as plain text. Every file operation is
// silent.
class RichEditMemoAccess : public MemoEditorAccess {
public:
    explicit RichEditMemoAccess(QTextEdit* editor) : m_editor(editor) {}

    bool hasText() const override;
    void saveTo(const QString& path) override;
    void loadFrom(const QString& path) override;
    void clear() override;
    void setEnabled(bool enabled) override;

    // Loads a memo file; false (editor emptied) if it cannot be read.
    bool load(const QString& path);

private:
    QTextEdit* m_editor;
};

} // namespace kadro
