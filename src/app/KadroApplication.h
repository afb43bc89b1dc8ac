#pragma once
#include <QApplication>
#include <QIcon>

namespace kadro {

// The name of the program's desktop entry (without ".desktop"), so that a desktop finds the
// entry, and with it the icon and name, for the program's windows.
inline const QString kDesktopFileName = QStringLiteral("de.physik_mit_video.Kadro");

// The program's icon at the sizes it is drawn in (16 to 256 pixels), from the resources.
QIcon applicationIcon();

// The application object. An error that escapes an event handler ends that handler and is
// shown in the general error box; it never terminates the program.
class KadroApplication : public QApplication {
public:
    KadroApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace kadro
