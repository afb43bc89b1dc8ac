#pragma once
#include "common/Prompts.h"

#include <QStringList>
#include <functional>

namespace kadro {

// A scripted stand-in for tests: records what was shown and answers from queues.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        BoxKind kind;
        QString title;
        QString text;
        QList<Button> buttons;
        std::optional<QPoint> offset; // from the main window's top-left corner, if placed
    };
    struct FileRequest {
        bool save;
        FileDialogOptions options;
    };

    QList<Shown> shown;
    QList<FileRequest> fileRequests;
    QList<QDialog*> modalShown;
    QList<QColor> colorRequests;        // the colour each colour dialog opened on

    QList<Button> answers;              // default when empty: the first button
    QStringList fileAnswers;            // default when empty: "" (cancelled)
    QList<std::optional<QColor>> colorAnswers;
    // Called with each modal window; drives it and returns its result (default: rejected).
    std::function<int(QDialog*)> modalHandler;

    Button message(BoxKind kind, const QString& text, const QList<Button>& buttons,
                   std::optional<QPoint> offset = std::nullopt) override;
    QString openFile(const FileDialogOptions& options) override;
    QString saveFile(const FileDialogOptions& options) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    int runModal(QDialog* dialog) override;
};

} // namespace kadro
