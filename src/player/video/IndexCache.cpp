#include "player/video/IndexCache.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <ffms.h>

#include <algorithm>

namespace kadro {

namespace {

constexpr quint32 kMagic = 0x4b495831; // "KIX1"
// 3: verdicts judge decoder complaints by FFmpeg's flags on the picture, not by its log lines.
// 4: verdicts tell seeking by time stamps.
constexpr quint32 kFormat = 4;
const char kSuffix[] = ".kix";

struct FileKey {
    QString path;
    qint64 size = -1;
    qint64 modified = 0;
};

FileKey keyOf(const QString& videoPath)
{
    const QFileInfo fi(videoPath);
    FileKey key;
    key.path = fi.canonicalFilePath().isEmpty() ? fi.absoluteFilePath() : fi.canonicalFilePath();
    key.size = fi.exists() ? fi.size() : -1;
    key.modified = fi.lastModified().toMSecsSinceEpoch();
    return key;
}

} // namespace

IndexCache::IndexCache(const QString& dir) : dir_(dir.isEmpty() ? defaultDir() : dir) {}

QString IndexCache::defaultDir()
{
    const QString env = qEnvironmentVariable("KADRO_INDEX_CACHE_DIR");
    if (!env.isEmpty())
        return env;
    QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (base.isEmpty())
        base = QDir(QDir::tempPath()).filePath(QStringLiteral("kadro-cache"));
    return QDir(base).filePath(QStringLiteral("video-index"));
}

QString IndexCache::entryPath(const QString& videoPath) const
{
    const QByteArray hash =
        QCryptographicHash::hash(keyOf(videoPath).path.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir(dir_).filePath(QString::fromLatin1(hash) + QLatin1String(kSuffix));
}

std::optional<IndexCache::Entry> IndexCache::load(const QString& videoPath) const
{
    const FileKey key = keyOf(videoPath);
    if (key.size < 0)
        return std::nullopt;
    QFile file(entryPath(videoPath));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_4);

    quint32 magic = 0, format = 0;
    qint32 ffmsVersion = 0;
    QString path, container;
    qint64 size = 0, modified = 0;
    bool hasVerdict = false;
    in >> magic >> format >> ffmsVersion >> path >> size >> modified >> container >> hasVerdict;
    if (in.status() != QDataStream::Ok || magic != kMagic || format != kFormat ||
        ffmsVersion != FFMS_GetVersion() || path != key.path || size != key.size ||
        modified != key.modified)
        return std::nullopt;

    Entry entry;
    entry.container = container;
    if (hasVerdict) {
        Verdict v;
        qint32 probe = 0, ref = 0, checks = 0, mismatches = 0, first = 0, w = 0, h = 0;
        quint64 pictureBytes = 0;
        in >> probe >> v.linear >> ref >> checks >> mismatches >> first >> v.reason >> w >> h >>
            v.pixelAspect >> v.sawBFrames >> pictureBytes >> v.byTimeStamps;
        v.pictureBytes = std::size_t(pictureBytes);
        v.probeFrames = probe;
        v.referenceFrames = ref;
        v.checks = checks;
        v.mismatches = mismatches;
        v.firstMismatch = first;
        v.size = QSize(w, h);
        if (w <= 0 || h <= 0 || !(v.pixelAspect > 0.0))
            return std::nullopt;
        entry.verdict = v;
    }
    QByteArray blob;
    in >> blob;
    if (in.status() != QDataStream::Ok || blob.isEmpty())
        return std::nullopt;

    ffmsInit();
    char text[1024] = {};
    FFMS_ErrorInfo err{FFMS_ERROR_SUCCESS, FFMS_ERROR_SUCCESS, int(sizeof text), text};
    entry.index.reset(FFMS_ReadIndexFromBuffer(reinterpret_cast<const uint8_t*>(blob.constData()),
                                               std::size_t(blob.size()), &err));
    if (!entry.index)
        return std::nullopt;
    const QByteArray encoded = QFile::encodeName(videoPath);
    if (FFMS_IndexBelongsToFile(entry.index.get(), encoded.constData(), &err) != 0)
        return std::nullopt;
    return entry;
}

bool IndexCache::store(const QString& videoPath, FFMS_Index* index, const QString& container,
                       const std::optional<Verdict>& verdict) const
{
    const FileKey key = keyOf(videoPath);
    if (!index || key.size < 0 || !QDir().mkpath(dir_))
        return false;

    char text[1024] = {};
    FFMS_ErrorInfo err{FFMS_ERROR_SUCCESS, FFMS_ERROR_SUCCESS, int(sizeof text), text};
    uint8_t* buffer = nullptr;
    std::size_t length = 0;
    if (FFMS_WriteIndexToBuffer(&buffer, &length, index, &err) != 0 || !buffer)
        return false;
    const QByteArray blob(reinterpret_cast<const char*>(buffer), qsizetype(length));
    FFMS_FreeIndexBuffer(&buffer);

    QSaveFile file(entryPath(videoPath));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << kFormat << qint32(FFMS_GetVersion()) << key.path << key.size << key.modified
        << container << verdict.has_value();
    if (verdict) {
        const Verdict& v = *verdict;
        out << qint32(v.probeFrames) << v.linear << qint32(v.referenceFrames) << qint32(v.checks)
            << qint32(v.mismatches) << qint32(v.firstMismatch) << v.reason << qint32(v.size.width())
            << qint32(v.size.height()) << v.pixelAspect << v.sawBFrames << quint64(v.pictureBytes) << v.byTimeStamps;
    }
    out << blob;
    if (out.status() != QDataStream::Ok || !file.commit())
        return false;
    prune();
    return true;
}

void IndexCache::prune() const
{
    QDir d(dir_);
    QFileInfoList entries = d.entryInfoList({QStringLiteral("*") + QLatin1String(kSuffix)}, QDir::Files,
                                            QDir::Time); // newest first
    for (qsizetype i = kMaxEntries; i < entries.size(); ++i)
        QFile::remove(entries[i].absoluteFilePath());
}

} // namespace kadro
