#pragma once
#include <QString>
#include <cstdint>

namespace kadro {

// Program-wide state of the main window, shared by the shell and every subsystem's handlers.
// Frame numbers are 32-bit so long and high-speed videos work.
struct MainState {
    int32_t ActiveArea = 1;      // 1 = player view, 2 = authoring view
    bool DataSaved = true;       // nothing unsaved
    bool SoundOn = false;        // run through the device with sound; else silent frame steps
    bool IsPlaying = false;
    int32_t StartFrame = 0;      // absolute first frame of the loaded section
    int32_t StopFrame = 0;       // absolute last frame of the loaded section
    int32_t SectionLength = 0;   // StopFrame - StartFrame
    int32_t CurrentFrame = 0;    // position within the section
    bool PresentationMode = false;
    QString PresentationPath;
    bool PresentationLoaded = false;
    int32_t CurrentMark = 0;
    int32_t MarkCount = 0;
    QString StartDir;
    bool DiagramShown = false;
    bool TestRunning = false;
    int32_t MemoRow = 0;
    int32_t SelectedMarkRow = 0; // row of the mark grid last clicked
};

} // namespace kadro
