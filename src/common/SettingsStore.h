#pragma once
// The user settings as the program uses them. The settings dialog's controls are the one store:
// every read goes to them at the moment of use, so a value changed in the dialog, by a
// presentation or by the "&Ton" item is what the next use sees.

#include "common/NumberFormat.h"
#include "common/UserSettings.h"

namespace kadro {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Every value as the controls hold it now.
    virtual Settings current() const = 0;
    // Reads Optionen.opt into the controls again (silently; a missing file changes nothing).
    virtual void reload() = 0;
    // A presentation brings its own time steps (decimal texts).
    virtual void setTimeSteps(const QString& normal, const QString& slow) = 0;
    // The sound switch ("&Ton" switches the settings' check box with it).
    virtual void setSound(bool on) = 0;

    // The time steps in ms, read as whole numbers; a text that is not one throws ConvertError.
    int normalStep() const { return parseInteger(current().dtNormal); }
    int slowStep() const { return parseInteger(current().dtSlow); }
};

} // namespace kadro
