#pragma once
// The user's choices about the time base, kept in the platform's settings store for Kadro (not in
// Optionen.opt, whose seven lines stay as they are): whether the time comes from the video, and
// for each video the rate it was recorded at, as the user confirmed or entered it.

#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace kadro {

class TimeBasePreferences {
public:
    // The store at `iniPath` (an INI file), or the platform's store for Kadro when it is empty.
    explicit TimeBasePreferences(const QString& iniPath = QString());
    ~TimeBasePreferences();

    // "Zeit aus dem Video" (on for new users).
    bool fromVideo() const;
    void setFromVideo(bool on);

    // The recording's rate of a video: nullopt when the user was never asked and entered none,
    // 0 when there is none (declined or cleared).
    std::optional<double> captureRate(const QString& videoPath) const;
    void setCaptureRate(const QString& videoPath, double framesPerSecond);

    // The automatic tracking: the side of the object's box in the video's pixels (default 15) and
    // of the square searched around the expected place (default 3 × the box).
    static constexpr int kDefaultTrackingBox = 15;
    int trackingBoxSize() const;
    void setTrackingBoxSize(int pixels);
    int trackingSearchSize() const;
    void setTrackingSearchSize(int pixels);

    // Where the program keeps them: $KADRO_PREFERENCES if set (tests), else the platform's store.
    static QString configuredPath();

private:
    std::unique_ptr<QSettings> m_store;
};

} // namespace kadro
