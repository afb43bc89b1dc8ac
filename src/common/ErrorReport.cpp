#include "common/ErrorReport.h"

#include "common/Prompts.h"

#include <exception>

namespace kadro {

namespace {
Prompts* g_prompts = nullptr;
// A report shown while another is open (a handler that fails again from a nested event loop)
// must not stack boxes endlessly.
int g_depth = 0;
} // namespace

void setGeneralErrorPrompts(Prompts* prompts)
{
    g_prompts = prompts;
}

Prompts* generalErrorPrompts()
{
    return g_prompts;
}

void showGeneralError(Prompts& prompts, const QString& message)
{
    if (g_depth > 2)
        return;
    ++g_depth;
    prompts.message(BoxKind::Plain, message, {Button::Ok});
    --g_depth;
}

bool runGuarded(Prompts& prompts, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const std::bad_alloc&) {
        showGeneralError(prompts, QStringLiteral("Zu wenig Arbeitsspeicher"));
    } catch (const std::exception& e) {
        showGeneralError(prompts, QString::fromUtf8(e.what()));
    } catch (...) {
        showGeneralError(prompts, QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}

} // namespace kadro
