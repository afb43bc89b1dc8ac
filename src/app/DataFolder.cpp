#include "app/DataFolder.h"

#include "common/Cp1252.h"
#include "settings/model/Titles.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kadro::datafolder {

namespace {

QString fromEnvironment(const char* name)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QString() : QDir(value).absolutePath();
}

// A name taken in the folder: a file, a folder, or a link (even one that leads nowhere), none
// of which a copy may replace.
bool taken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool sameFolder(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// The demo as start-page entry 1. The path is stored whole where the titles file can hold it;
// a folder name outside its code page is left out, and the path relative to the data folder
// (the working directory) is stored instead, which finds the same file.
void writeTitles(const QString& folder)
{
    const QString demo = QDir(folder).absoluteFilePath(kDemoPresentation);
    TitlesTable table;
    table.path[0] = unwritableEntryPathWarning(demo) ? kDemoPresentation : demo;
    table.title[0] = kDemoTitle;
    writeFileSafely(QDir(folder).filePath(kTitlesFileName), writeTitlesText(table));
}

} // namespace

QString userFolder()
{
    const QString overridden = fromEnvironment(kDataDirVariable);
    if (!overridden.isEmpty())
        return overridden;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .absoluteFilePath(QStringLiteral("kadro"));
}

QString shippedFolder(const QString& applicationDir)
{
    const QString overridden = fromEnvironment(kShareDirVariable);
    if (!overridden.isEmpty())
        return overridden;
    const QString beside = QDir::cleanPath(QDir(applicationDir).absoluteFilePath(QStringLiteral("../share/kadro")));
    if (QFileInfo(beside).isDir())
        return beside;
    // The user's own data location holds the data folder, not the shipped data.
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& base : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        if (QDir::cleanPath(base) == QDir::cleanPath(own))
            continue;
        const QString candidate = QDir(base).absoluteFilePath(QStringLiteral("kadro"));
        if (QFileInfo(candidate).isDir())
            return candidate;
    }
    return QString();
}

SeedResult seed(const QString& folder, const QString& shipped)
{
    SeedResult result;
    QDir().mkpath(folder);
    result.usable = QFileInfo(folder).isDir();
    if (!result.usable)
        return result;

    if (!shipped.isEmpty() && QFileInfo(shipped).isDir() && !sameFolder(folder, shipped)) {
        const QDir from(shipped);
        const QDir to(folder);
        // The list is taken first, so a data folder inside the shipped one cannot feed itself.
        QStringList files;
        QDirIterator it(shipped, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << from.relativeFilePath(it.next());
        files.sort();
        for (const QString& name : files) {
            const QString target = to.filePath(name);
            if (taken(target))
                continue;
            if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(from.filePath(name), target))
                continue;
            // The user's copy is the user's: writable, whatever the installed file's rights.
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                                              | QFile::ReadGroup | QFile::ReadOther);
            result.copied << name;
        }
    }

    if (!taken(QDir(folder).filePath(kTitlesFileName)) && QFileInfo(QDir(folder).filePath(kDemoPresentation)).isFile()) {
        writeTitles(folder);
        result.titlesWritten = QFileInfo(QDir(folder).filePath(kTitlesFileName)).isFile();
    }
    return result;
}

bool enter()
{
    const QString folder = userFolder();
    if (!seed(folder, shippedFolder(QCoreApplication::applicationDirPath())).usable)
        return false;
    return QDir::setCurrent(folder);
}

} // namespace kadro::datafolder
