#pragma once
// The routines of the main window that the subsystems call: leaving the start page, laying out a
// view afresh, pausing before a menu or dialog, closing, locking the ways out during a test run.

#include <QPoint>

namespace kadro {

class ShellRoutines {
public:
    virtual ~ShellRoutines() = default;

    // Leaves the start page into the view of ActiveArea (laid out afresh).
    virtual void StartseiteAus() = 0;
    // Lays out the player view (1) or the authoring view (2) with nothing loaded.
    virtual void Programmpunkt1Einstellungen() = 0;
    virtual void Programmpunkt2Einstellungen() = 0;
    // Pauses a running video before a menu or dialog, remembering that it ran.
    virtual void MenuDateiClick() = 0;
    // Asks the main window to close; the closing logic decides what happens.
    virtual void closeMainWindow() = 0;
    // Top-left corner of the main window on the screen (pop-up menus open relative to it).
    virtual QPoint mainWindowPos() const = 0;
    // While a test run plays, nothing of the main window opens another file or leaves the
    // program: "Öffnen", the menu items "&Datei" and "&Beenden" and the pop-up items
    // "&Öffnen..." and "&Beenden..." are locked (disabled, or hidden in the second pop-up menu).
    // Laying out a view afresh unlocks them.
    virtual void lockForTestRun(bool locked) = 0;
};

} // namespace kadro
