#pragma once
#include "common/Context.h"
#include "common/TimeBase.h"

#include <QObject>
#include <memory>

class QLabel;

namespace kadro {

class TimeBasePreferences;

// Which time base the loaded video has: decided when a video is opened into the player (a
// presentation keeps its time steps; a plain video brings its own when the user's preference says
// so), shown next to the times, and handed as a clock to everything that computes times.
class TimeBaseController : public QObject {
    Q_OBJECT
public:
    TimeBaseController(const Context& context, QLabel* label, TimeBasePreferences& preferences);
    ~TimeBaseController() override;

    // The clock of the time base in use; the settings' normal time step without a video of its
    // own time base.
    const FrameClock& clock() const { return *m_clock; }
    bool usesTimeStep() const { return m_choice.source == TimeBaseChoice::Source::TimeStep; }
    const TimeBaseChoice& choice() const { return m_choice; }

    // A video was opened: its time base is decided (asking once whether a
    // slow-motion recording's rate shall count, telling once of a variable frame rate).
    void videoOpened();
    // A view was laid out with nothing loaded: the time step counts, nothing is shown.
    void viewSetUp();
    // The label follows the view: under the slider in the player view, hidden in the authoring
    // view (whose times are those of the presentation's time steps).
    void placeLabel(int area);

    // For the settings dialog: the preference, and the recording's rate of the loaded plain video.
    bool fromVideo() const;
    bool captureRateApplies() const;
    double captureRate() const;
    // The dialog closed with OK: the preference and the rate ("" or 0 for none) take effect.
    void apply(bool fromVideo, double captureRate);

    // The label's text now (empty with no plain video loaded), and showing it afresh (the time step in
    // it may have changed).
    QString text() const;
    void refreshLabel() { show(); }

signals:
    // The time base changed while a video is loaded: the time displays are to be refreshed.
    void changed();

private:
    VideoTimingFacts facts() const;
    void decide(bool ask);
    void show();

    Context c;
    QLabel* m_label;
    TimeBasePreferences& m_preferences;
    TimeBaseChoice m_choice;
    std::unique_ptr<FrameClock> m_clock;
    bool m_ownTimeBase = false; // the loaded video is a plain one
};

} // namespace kadro
