#pragma once
#include <QColor>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace kadro {

// The application title, used as the caption of plain message boxes.
inline const QString kAppTitle = QStringLiteral("Kadro 2.0");

enum class BoxKind { Warning, Error, Information, Confirmation, Plain };

enum class Button { Ok, Ja, Nein, Abbrechen };

// Caption of a message box of a kind: "Warnung", "Fehler", "Informationen", "Bestätigung",
// or the application title for plain boxes.
QString boxTitle(BoxKind kind);
// "OK", "&Ja", "&Nein", "Abbrechen".
QString buttonCaption(Button button);

// Options of a file dialog. Filters are written as "Name|*.ext|Name2|*.a; *.b".
struct FileDialogOptions {
    QString title;
    QString filter;
    int filterIndex = 1;         // 1-based, preselected filter
    QString defaultSuffix;       // save dialogs
    QString directory;
    QString fileName;
    bool overwritePrompt = false;
};

// Every message box, file dialog, colour dialog and modal window of the program goes through
// this interface, so that tests can answer them and check what was shown.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Shows a modal message box; closing it without a button counts as Abbrechen.
    // A "\r" in the text is a line break. With `offset` the box's top-left corner lies that far
    // right of and below the main window's top-left corner; otherwise the box is centred on it.
    virtual Button message(BoxKind kind, const QString& text, const QList<Button>& buttons,
                           std::optional<QPoint> offset = std::nullopt) = 0;
    // Returns the chosen path, or an empty string when cancelled.
    virtual QString openFile(const FileDialogOptions& options) = 0;
    virtual QString saveFile(const FileDialogOptions& options) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    // Runs one of the program's own windows modally; returns its result code.
    virtual int runModal(QDialog* dialog) = 0;

    // Convenience for the usual boxes.
    void warning(const QString& text) { message(BoxKind::Warning, text, {Button::Ok}); }
    void error(const QString& text) { message(BoxKind::Error, text, {Button::Ok}); }
    // An error box placed at an offset from the main window's top-left corner.
    void errorAt(const QPoint& offset, const QString& text) { message(BoxKind::Error, text, {Button::Ok}, offset); }
    void information(const QString& text) { message(BoxKind::Information, text, {Button::Ok}); }
    void plain(const QString& text) { message(BoxKind::Plain, text, {Button::Ok}); }
    Button confirm(const QString& text)
    {
        return message(BoxKind::Confirmation, text, {Button::Ja, Button::Nein, Button::Abbrechen});
    }
};

} // namespace kadro
