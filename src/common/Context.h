#pragma once
// What a subsystem's controller gets to work with: the program-wide state, the video device, the
// prompts, the live settings, the marks of the read presentation, the program's events and the
// main window's routines. Nothing else of the main window reaches a controller; its widgets come
// separately, as the group the controller owns.

namespace kadro {

struct MainState;
class Prompts;
class VideoDevice;
class SettingsStore;
class MarkTable;
class ProgramEvents;
class ShellRoutines;

struct Context {
    MainState& st;
    Prompts& prompts;
    VideoDevice& device;
    SettingsStore& settings;
    MarkTable& marks;
    ProgramEvents& events;
    ShellRoutines& shell;
};

} // namespace kadro
