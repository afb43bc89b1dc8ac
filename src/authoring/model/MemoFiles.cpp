#include "authoring/model/MemoFiles.h"

#include "common/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace kadro {

bool DateiKopieren(const QString& source, const QString& destination)
{
    QByteArray bytes;
    if (!readFileBytes(source, &bytes))
        return false;
    return writeFileSafely(destination, bytes);
}

QString presentationDirOf(const QString& presentationPath)
{
    return presentationPath.chopped(std::min<qsizetype>(4, presentationPath.size()));
}

QString MemoFolder::fileOf(int markNumber) const
{
    return m_path + QLatin1Char('/') + QString::number(markNumber) + QStringLiteral(".mem");
}

bool MemoFolder::exists(int markNumber) const
{
    return QFileInfo(fileOf(markNumber)).isFile();
}

void MemoFolder::remove(int markNumber) const
{
    QFile::remove(fileOf(markNumber));
}

void MemoFolder::rename(int from, int to) const
{
    // QFile::rename never replaces an existing target.
    QFile::rename(fileOf(from), fileOf(to));
}

void MemoFolder::removeAll() const
{
    static const QRegularExpression numbered(QStringLiteral("^[1-9][0-9]*\\.mem$"));
    const QDir dir(m_path);
    const QStringList names = dir.entryList({QStringLiteral("*.mem")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (numbered.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
}

bool MemoFolder::create() const
{
    return QDir().mkdir(m_path);
}

} // namespace kadro
