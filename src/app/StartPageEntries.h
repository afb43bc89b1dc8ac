#pragma once
#include <QString>
#include <functional>

namespace kadro {

class TVideoAbspielenFenster;

// The five quick-access entries of the start page: each opens a stored presentation or video
// straight into the player view.
class StartPageEntries {
public:
    explicit StartPageEntries(TVideoAbspielenFenster& w);

    // Entry n = 1..5.
    void vstLabelClick(int n);
    void DateivonStartseiteLaden(int n);

    // A file handed to the program on its command line (a double-clicked presentation or video),
    // opened into the player view like an entry holding that path, with the same checks and the
    // same warning. A presentation is recognised by ".vst" in any case, since the desktop hands
    // over "FALL.VST" as a presentation too; any other file is tried as a video.
    void openHandedFile(const QString& path);

    // Reads a presentation file (sets PresentationLoaded); provided by the presentation file.
    std::function<void(const QString& path)> vstDateiEinlesen;

    static QString warningText(const QString& storedPath);
    // The extension as the entries compare it: from the last "." to the end, if that "." lies in
    // the file name (after the last "\", "/" or ":"); empty otherwise.
    static QString entryExtension(const QString& path);
    // The file-name part of a stored path (after the last "\", "/" or ":").
    static QString fileNamePart(const QString& path);

private:
    // The stored path if that file exists, else the file of the same name in the working
    // directory if that exists, else empty.
    QString locate(const QString& storedPath) const;
    QString entryPath(int n) const;
    // Runs the opening of the file `p`; any error raised during it closes the video and gives
    // the entry's warning.
    void guarded(const QString& p, const std::function<void()>& open);
    void openPresentationEntry(const QString& storedPath);
    void openVideoEntry(const QString& storedPath);
    void warnInEmptyPlayer(const QString& storedPath);

    TVideoAbspielenFenster& w;
};

} // namespace kadro
