#include "support/ScriptedPrompts.h"

namespace kadro {

Button ScriptedPrompts::message(BoxKind kind, const QString& text, const QList<Button>& buttons,
                                std::optional<QPoint> offset)
{
    shown.append({kind, boxTitle(kind), text, buttons, offset});
    if (!answers.isEmpty())
        return answers.takeFirst();
    return buttons.isEmpty() ? Button::Ok : buttons.first();
}

QString ScriptedPrompts::openFile(const FileDialogOptions& options)
{
    fileRequests.append({false, options});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedPrompts::saveFile(const FileDialogOptions& options)
{
    fileRequests.append({true, options});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

std::optional<QColor> ScriptedPrompts::chooseColor(const QColor& initial)
{
    colorRequests.append(initial);
    return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.takeFirst();
}

int ScriptedPrompts::runModal(QDialog* dialog)
{
    modalShown.append(dialog);
    if (modalHandler)
        return modalHandler(dialog);
    return 0; // rejected
}

} // namespace kadro
