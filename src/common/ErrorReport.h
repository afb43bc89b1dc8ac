#pragma once
#include <QString>
#include <functional>
#include <stdexcept>

namespace kadro {

class Prompts;

// A failure the program reports through the general error box, e.g. a range error
// ("Fehler bei Bereichsprüfung").
class KadroError : public std::runtime_error {
public:
    explicit KadroError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The general error report: runs a handler; an error it does not catch ends the handler and
// its message is shown in a plain box titled with the application title. Nothing escapes, so
// the program never terminates because of a failed handler. Returns false if an error occurred.
bool runGuarded(Prompts& prompts, const std::function<void()>& handler);

// The prompts used by the general error report when an event reaches the application object
// with an error still unhandled.
void setGeneralErrorPrompts(Prompts* prompts);
Prompts* generalErrorPrompts();
void showGeneralError(Prompts& prompts, const QString& message);

} // namespace kadro
