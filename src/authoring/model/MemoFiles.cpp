#include "authoring/model/MemoFiles.h"

#include "common/Cp1252.h"
#include "common/Rtf.h"

#include <QDir>
#include <QTemporaryFile>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>

namespace kadro {

bool DateiKopieren(const QString& source, const QString& destination)
{
    QByteArray bytes;
    if (!readFileBytes(source, &bytes))
        return false;
    return writeFileSafely(destination, bytes);
}

bool readMemoFile(const QString& path, QTextDocument* document)
{
    QByteArray bytes;
    if (!document || !readFileBytes(path, &bytes))
        return false;
    readMemoBytes(bytes, document);
    return true;
}

void readMemoBytes(const QByteArray& bytes, QTextDocument* document)
{
    if (readRtf(bytes, document))
        return;

    // Earlier versions wrote the editor's HTML in UTF-8; other memo files are plain text.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = fromCp1252(bytes);
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    if (Qt::mightBeRichText(text))
        document->setHtml(text);
    else
        document->setPlainText(text);
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
}

bool writeMemoFile(const QString& path, const QTextDocument& document)
{
    return writeFileSafely(path, writeRtf(document));
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

bool MemoFolder::writable() const
{
    if (m_path.isEmpty() || !QDir().mkpath(m_path))
        return false;
    QTemporaryFile trial(m_path + QStringLiteral("/probe-XXXXXX.tmp"));
    return trial.open();
}

} // namespace kadro
