#include "common/TimeBasePreferences.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace kadro {

namespace {
const QString kFromVideoKey = QStringLiteral("Zeitbasis/ZeitAusDemVideo");
const QString kTrackingBoxKey = QStringLiteral("Verfolgung/Objektgroesse");
const QString kTrackingSearchKey = QStringLiteral("Verfolgung/Suchbereich");

// One key per video: its absolute path, percent-encoded so that its slashes make no groups.
QString captureKey(const QString& videoPath)
{
    const QString absolute = QFileInfo(videoPath).absoluteFilePath();
    return QStringLiteral("Aufnahmerate/") + QString::fromLatin1(QUrl::toPercentEncoding(absolute));
}
} // namespace

TimeBasePreferences::TimeBasePreferences(const QString& iniPath)
    : m_store(iniPath.isEmpty() ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                              QStringLiteral("Kadro"), QStringLiteral("Kadro"))
                                : std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

TimeBasePreferences::~TimeBasePreferences() = default;

QString TimeBasePreferences::configuredPath()
{
    return qEnvironmentVariable("KADRO_PREFERENCES");
}

bool TimeBasePreferences::fromVideo() const
{
    return m_store->value(kFromVideoKey, true).toBool();
}

void TimeBasePreferences::setFromVideo(bool on)
{
    m_store->setValue(kFromVideoKey, on);
    m_store->sync();
}

std::optional<double> TimeBasePreferences::captureRate(const QString& videoPath) const
{
    const QVariant value = m_store->value(captureKey(videoPath));
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const double rate = value.toDouble(&ok);
    return ok && rate > 0 ? rate : 0.0;
}

void TimeBasePreferences::setCaptureRate(const QString& videoPath, double framesPerSecond)
{
    m_store->setValue(captureKey(videoPath), framesPerSecond > 0 ? framesPerSecond : 0.0);
    m_store->sync();
}

int TimeBasePreferences::trackingBoxSize() const
{
    bool ok = false;
    const int v = m_store->value(kTrackingBoxKey, kDefaultTrackingBox).toInt(&ok);
    return ok && v >= 3 ? v : kDefaultTrackingBox;
}

void TimeBasePreferences::setTrackingBoxSize(int pixels)
{
    m_store->setValue(kTrackingBoxKey, pixels);
    m_store->sync();
}

int TimeBasePreferences::trackingSearchSize() const
{
    const int box = trackingBoxSize();
    bool ok = false;
    const int v = m_store->value(kTrackingSearchKey, 3 * box).toInt(&ok);
    return ok && v > box ? v : 3 * box;
}

void TimeBasePreferences::setTrackingSearchSize(int pixels)
{
    m_store->setValue(kTrackingSearchKey, pixels);
    m_store->sync();
}

} // namespace kadro
