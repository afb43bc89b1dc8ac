#pragma once
// The routines of the main window that the subsystems call: leaving the start page, laying out a
// view afresh, pausing before a menu or dialog, closing, locking the ways out during a test run.

#include <QPoint>

namespace kadro {

// How the question about unsaved work before leaving it was answered.
enum class UnsavedWorkAnswer {
    NothingUnsaved,  // nothing was asked
    Saved,           // "Ja", and the work was written
    SaveFailed,      // "Ja", but the save was cancelled or failed: the work stays unsaved
    Discarded,       // "Nein": the work may be given up
    Cancelled,       // "Abbrechen" (or the box was closed)
};

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
    // The one question before the current view's unsaved work is given up (closing, "Öffnen",
    // going back to the start page): the presentation under construction in the authoring view,
    // the measured points in the player view. "Ja" saves through the view's own save command.
    // Every way out asks here, so none of them can forget the question.
    virtual UnsavedWorkAnswer askAboutUnsavedWork() = 0;
    // Whether the caller may go on and give the work up: nothing was unsaved, it was saved, or
    // the user said "Nein".
    static bool mayGoOn(UnsavedWorkAnswer a)
    {
        return a == UnsavedWorkAnswer::NothingUnsaved || a == UnsavedWorkAnswer::Saved
               || a == UnsavedWorkAnswer::Discarded;
    }
};

} // namespace kadro
