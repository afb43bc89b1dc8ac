#include "player/SectionPlayback.h"

#include "authoring/model/Mark.h"
#include "authoring/model/MemoFiles.h"
#include "common/ErrorReport.h"
#include "common/MainState.h"
#include "common/ProgramEvents.h"
#include "common/ShellRoutines.h"
#include "player/Transport.h"
#include "player/video/VideoDevice.h"

#include <QFrame>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace kadro {

SectionPlayback::SectionPlayback(const Context& context, const SectionWidgets& widgets, Transport& t)
    : c(context), ui(widgets), transport(t)
{
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(c.prompts, fn); }; };
    connect(ui.NaechsteMarkeButton, &QPushButton::clicked, this, guard([this] { NaechsteMarkeButtonClick(); }));
    connect(ui.MarkeZurueckButton, &QPushButton::clicked, this, guard([this] { MarkeZurueckButtonClick(); }));
    connect(ui.Timer3, &QTimer::timeout, this, guard([this] { Timer3Timer(); }));
    // Every section end runs the transition; outside a presentation it does nothing.
    connect(&c.events, &ProgramEvents::sectionEndReached, this, [this] { MarkenUebergang(); });
}

QString SectionPlayback::memoFilePath(const QString& presentationPath, int m)
{
    return presentationDirOf(presentationPath) + QLatin1Char('/') + QString::number(m) + QStringLiteral(".mem");
}

void SectionPlayback::setUpAuthoringView()
{
    ui.Timer3->stop();
    PauseCountdown = 0;
}

void SectionPlayback::setUpPlayerView()
{
    ui.MarkeWechselnPanel->hide();
    ui.MarkeWechselnPanel->move(275, ui.MarkeWechselnPanel->y());
    ui.NaechsteMarkeButton->setText(QStringLiteral("weiter"));
}

void SectionPlayback::prepareButtons()
{
    ui.MarkeWechselnPanel->setVisible(c.st.MarkCount > 1);
    ui.MarkeZurueckButton->setEnabled(false);
    ui.NaechsteMarkeButton->setEnabled(true);
}

void SectionPlayback::VideoMarkeEinstellen()
{
    auto& st = c.st;
    // A pause still counting down belongs to the section being left.
    ui.Timer3->stop();
    m_pauseCancelled = false;
    const int entry = ++m_sectionsEntered;
    st.CurrentMark += 1;
    // A presentation without marks shows its video's first picture, still and without controls;
    // the viewer leaves it by "Beenden" or opens another file. Any other number outside the
    // table is a range error.
    static const Mark noMark;
    const Mark& m = c.marks.isEmpty() && st.CurrentMark == 1 ? noMark : c.marks.mark(st.CurrentMark);
    // The section's frames lie within the video: a section reaching past its end (a hand-made
    // file, or a shorter video beside the presentation) ends at its last frame, and one whose stop
    // lies before its start shows its start as a still picture. Otherwise the end would never
    // be reached.
    const qint64 lastVideoFrame = std::max(0, c.device.length());
    const qint64 first = std::min<qint64>(m.firstFrame, lastVideoFrame);
    st.StartFrame = static_cast<int32_t>(first);
    st.StopFrame = static_cast<int32_t>(std::clamp<qint64>(m.lastFrame, first, lastVideoFrame));
    c.device.setEndPos(st.StopFrame);

    transport.showSectionControls(m);
    emit evaluationOffered(m.isOn(Mark::Auswertung));
    if (m.isOn(Mark::Memo))
        emit memoWanted(memoFilePath(st.PresentationPath, st.CurrentMark));
    else
        emit memoCovered();

    transport.OeffnenVariableEinstellungen();
    // Showing the start of a still section may already have ended it and run its transition
    // into the next section, which has then been entered in full.
    if (m_sectionsEntered != entry)
        return;
    if (m.isOn(Mark::Autostart) && st.StartFrame != st.StopFrame)
        transport.VideoStartButtonClick();
    if (st.StartFrame == st.StopFrame) {
        transport.freezeStillPicture();
        MarkenUebergang();
    }
}

void SectionPlayback::MarkenUebergang()
{
    auto& st = c.st;
    if (st.ActiveArea != 1 || !st.PresentationMode)
        return;
    if (st.CurrentMark < 1 || st.CurrentMark > c.marks.count())
        return;
    const quint32 t = c.marks.mark(st.CurrentMark).transition;
    if (st.CurrentMark >= st.MarkCount)
        return;
    if (t == TransitionCode::ByHand) {
        ui.NaechsteMarkeButton->show();
    } else if (t == TransitionCode::NoPause) {
        NaechsteMarkeButtonClick();
    } else if (TransitionCode::isPause(t) && !m_pauseCancelled) {
        PauseCountdown = 0;
        ui.Timer3->setInterval(int(t) * 100);
        ui.Timer3->start();
    }
}

void SectionPlayback::Timer3Timer()
{
    if (c.st.CurrentFrame != c.st.SectionLength) {
        // The viewer moved away from the end: the pause is cancelled for this section, also
        // when the viewer comes back to its end.
        ui.Timer3->stop();
        m_pauseCancelled = true;
        return;
    }
    PauseCountdown += 1;
    if (PauseCountdown >= 10) {
        ui.Timer3->stop();
        NaechsteMarkeButtonClick();
    }
}

void SectionPlayback::showSectionButtons()
{
    const bool last = c.st.CurrentMark >= c.st.MarkCount;
    ui.MarkeZurueckButton->setEnabled(c.st.CurrentMark > 1);
    ui.NaechsteMarkeButton->setEnabled(!(last && c.st.TestRunning));
    // A test run ends on its last section; there is no start page to go to.
    ui.NaechsteMarkeButton->setText(last && !c.st.TestRunning ? QStringLiteral("Startseite")
                                                              : QStringLiteral("weiter"));
}

void SectionPlayback::NaechsteMarkeButtonClick()
{
    if (ui.NaechsteMarkeButton->text() == QLatin1String("weiter")) {
        VideoMarkeEinstellen();
        showSectionButtons();
    } else {
        c.shell.closeMainWindow();
    }
}

void SectionPlayback::MarkeZurueckButtonClick()
{
    c.st.CurrentMark -= 2;
    // The section entered lies before the last one, so "weiter" leads on from it, also when it
    // is a still section "ohne Pause" that leads on at once (through "weiter").
    ui.NaechsteMarkeButton->setText(QStringLiteral("weiter"));
    ui.NaechsteMarkeButton->setEnabled(true);
    VideoMarkeEinstellen();
    // The buttons follow the section finally shown, which may be the last again.
    showSectionButtons();
}

} // namespace kadro
