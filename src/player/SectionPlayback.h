#pragma once
#include <QString>
#include <functional>

namespace kadro {

class TVideoAbspielenFenster;

// Section-by-section playback of a presentation: entering a section with its controls, memo
// and autostart, and the transition after it (by hand, at once, or after a pause).
class SectionPlayback {
public:
    explicit SectionPlayback(TVideoAbspielenFenster& w);

    void VideoMarkeEinstellen();
    void MarkenUebergang();
    void Timer3Timer();
    void NaechsteMarkeButtonClick();
    void MarkeZurueckButtonClick();

    // Prepares the section buttons before the first section of a presentation.
    void prepareButtons();

    int PauseCountdown = 0;

    // Loads a memo file into the read-only memo editor; false if it cannot be read. Until the
    // memo editor can show rich text, memo sections keep the editor as it is.
    std::function<bool(const QString& path)> loadMemo;

    // File of the memo of section m of the open presentation.
    static QString memoFilePath(const QString& presentationPath, int m);

private:
    TVideoAbspielenFenster& w;
    bool m_pauseCancelled = false;
};

} // namespace kadro
