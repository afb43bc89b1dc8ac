#pragma once
#include <QApplication>

namespace kadro {

// The application object. An error that escapes an event handler ends that handler and is
// shown in the general error box; it never terminates the program.
class KadroApplication : public QApplication {
public:
    KadroApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace kadro
