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
    void openPresentationEntry(const QString& storedPath);

    TVideoAbspielenFenster& w;
};

} // namespace kadro
