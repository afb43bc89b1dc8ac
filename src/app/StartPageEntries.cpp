#include "app/StartPageEntries.h"

#include "app/StartPage.h"
#include "app/VideoAbspielenFenster.h"
#include "common/ErrorReport.h"
#include "common/Prompts.h"
#include "player/SectionPlayback.h"
#include "player/Transport.h"
#include "player/video/VideoDevice.h"
#include "settings/TitelFenster.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

namespace kadro {

StartPageEntries::StartPageEntries(TVideoAbspielenFenster& window) : w(window)
{
    for (int i = 0; i < 5; ++i) {
        QObject::connect(w.ui.StartseitePanel->vstLabel[i], &LinkLabel::clicked, &w, [this, i] {
            // An empty title gives an empty label, which cannot be clicked.
            if (w.ui.StartseitePanel->vstLabel[i]->text().isEmpty())
                return;
            runGuarded(w.prompts(), [this, i] { vstLabelClick(i + 1); });
        });
    }
}

QString StartPageEntries::warningText(const QString& storedPath)
{
    return QStringLiteral("Datei \"") + storedPath
           + QStringLiteral("\" konnte nicht geladen werden\rÜberprüfen Sie den Pfad-, oder Dateinamen");
}

namespace {
qsizetype lastSeparator(const QString& path)
{
    return std::max({path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')),
                     path.lastIndexOf(QLatin1Char(':'))});
}
} // namespace

QString StartPageEntries::entryExtension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < lastSeparator(path))
        return QString();
    return path.mid(dot);
}

QString StartPageEntries::fileNamePart(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString StartPageEntries::locate(const QString& storedPath) const
{
    if (!storedPath.isEmpty() && QFileInfo(storedPath).isFile())
        return storedPath;
    const QString name = fileNamePart(storedPath);
    if (name.isEmpty())
        return QString();
    const QString local = QDir(w.st.StartDir).filePath(name);
    return QFileInfo(local).isFile() ? local : QString();
}

QString StartPageEntries::entryPath(int n) const
{
    return w.TitelFenster() ? w.TitelFenster()->path(n) : QString();
}

void StartPageEntries::guarded(const QString& p, const std::function<void()>& open)
{
    try {
        open();
    } catch (const std::exception&) {
        w.MediaPlayer1().setFileName(QString());
        w.prompts().warning(warningText(p));
    }
}

void StartPageEntries::warnInEmptyPlayer(const QString& p)
{
    w.st.ActiveArea = 1;
    w.StartseiteAus();
    w.prompts().warning(warningText(p));
}

void StartPageEntries::vstLabelClick(int n)
{
    const QString p = entryPath(n);
    const QString e = entryExtension(p);
    guarded(p, [&] {
        if (e == QLatin1String(".vst"))
            openPresentationEntry(p);
        else if (e == QLatin1String(".avi"))
            openVideoEntry(p);
        else
            warnInEmptyPlayer(p);
    });
}

void StartPageEntries::openHandedFile(const QString& path)
{
    guarded(path, [&] {
        if (entryExtension(path).compare(QLatin1String(".vst"), Qt::CaseInsensitive) == 0)
            openPresentationEntry(path);
        else
            openVideoEntry(path);
    });
}

void StartPageEntries::openPresentationEntry(const QString& p)
{
    auto& st = w.st;
    st.ActiveArea = 1;
    w.StartseiteAus();
    st.PresentationMode = true;
    st.StartDir = QDir::currentPath();
    const QString found = locate(p);
    if (found.isEmpty()) {
        st.PresentationMode = false;
        w.prompts().warning(warningText(p));
        return;
    }
    if (vstDateiEinlesen)
        vstDateiEinlesen(found);
    if (st.PresentationLoaded) {
        st.PresentationPath = found;
        st.CurrentMark = 0;
        w.sectionPlayback().prepareButtons();
        w.sectionPlayback().VideoMarkeEinstellen();
    }
}

void StartPageEntries::DateivonStartseiteLaden(int n)
{
    openVideoEntry(entryPath(n));
}

void StartPageEntries::openVideoEntry(const QString& p)
{
    auto& st = w.st;
    st.ActiveArea = 1;
    w.StartseiteAus();
    st.PresentationMode = false;
    w.Programmpunkt1Einstellungen();
    st.StartDir = QDir::currentPath();
    const QString found = locate(p);
    if (found.isEmpty()) {
        w.prompts().warning(warningText(p));
        return;
    }
    if (!w.transport().openPlainVideo(found))
        return;
    // A video opened from the start page offers no "Öffnen" button; the menus still open files.
    w.ui.OeffnenButton->hide();
}

} // namespace kadro
