#include "common/Prompts.h"

namespace kadro {

QString boxTitle(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Warning: return QStringLiteral("Warnung");
    case BoxKind::Error: return QStringLiteral("Fehler");
    case BoxKind::Information: return QStringLiteral("Informationen");
    case BoxKind::Confirmation: return QStringLiteral("Bestätigung");
    case BoxKind::Plain: return kAppTitle;
    }
    return kAppTitle;
}

QString buttonCaption(Button button)
{
    switch (button) {
    case Button::Ok: return QStringLiteral("OK");
    case Button::Ja: return QStringLiteral("&Ja");
    case Button::Nein: return QStringLiteral("&Nein");
    case Button::Abbrechen: return QStringLiteral("Abbrechen");
    }
    return {};
}

} // namespace kadro
