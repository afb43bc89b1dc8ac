#include "player/SectionPlayback.h"

#include "app/VideoAbspielenFenster.h"
#include "authoring/model/Mark.h"
#include "authoring/model/MemoFiles.h"
#include "common/ErrorReport.h"
#include "player/Transport.h"
#include "player/video/VideoDevice.h"

#include <QAction>
#include <QFrame>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace kadro {

SectionPlayback::SectionPlayback(TVideoAbspielenFenster& window) : w(window)
{
    auto& ui = w.ui;
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(w.prompts(), fn); }; };
    QObject::connect(ui.NaechsteMarkeButton, &QPushButton::clicked, &w, guard([this] { NaechsteMarkeButtonClick(); }));
    QObject::connect(ui.MarkeZurueckButton, &QPushButton::clicked, &w, guard([this] { MarkeZurueckButtonClick(); }));
    QObject::connect(ui.Timer3, &QTimer::timeout, &w, guard([this] { Timer3Timer(); }));
}

QString SectionPlayback::memoFilePath(const QString& presentationPath, int m)
{
    return presentationDirOf(presentationPath) + QLatin1Char('/') + QString::number(m) + QStringLiteral(".mem");
}

void SectionPlayback::prepareButtons()
{
    w.ui.MarkeWechselnPanel->setVisible(w.st.MarkCount > 1);
    w.ui.MarkeZurueckButton->setEnabled(false);
    w.ui.NaechsteMarkeButton->setEnabled(true);
}

void SectionPlayback::VideoMarkeEinstellen()
{
    auto& ui = w.ui;
    auto& st = w.st;
    // A pause still counting down belongs to the section being left.
    ui.Timer3->stop();
    m_pauseCancelled = false;
    st.CurrentMark += 1;
    const Mark& m = w.marks.mark(st.CurrentMark); // a number outside the table is a range error
    if (m.firstFrame > quint32(INT32_MAX) || m.lastFrame > quint32(INT32_MAX))
        throw KadroError(kRangeErrorText);
    st.StartFrame = static_cast<int32_t>(m.firstFrame);
    st.StopFrame = static_cast<int32_t>(m.lastFrame);
    w.MediaPlayer1().setEndPos(st.StopFrame);

    const bool startStop = m.isOn(Mark::StartStop);
    ui.VideoStartButton->setVisible(startStop);
    ui.VideoStopButton->setVisible(startStop);
    const bool single = m.isOn(Mark::Einzelbild);
    ui.VideoBildvorButton->setVisible(single);
    ui.VideoBildzurueckButton->setVisible(single);
    ui.VideoZeitlupeButton->setVisible(m.isOn(Mark::Zeitlupe));
    ui.SchiebereglerPanel2->setVisible(m.isOn(Mark::Schieberegler));
    ui.BildNrPanel->setVisible(m.isOn(Mark::Frameanzeige));
    ui.TimePanel->setVisible(m.isOn(Mark::Zeitanzeige));
    if (m.isOn(Mark::Auswertung)) {
        ui.BerechnenAbdeckungsPanel->hide();
        ui.MenuDatenaufnahme->setEnabled(false);
    } else {
        ui.BerechnenAbdeckungsPanel->show();
        ui.MenuDatenaufnahme->setEnabled(true);
    }
    if (m.isOn(Mark::Memo)) {
        ui.RichEditAbdeckungsPanel->hide();
        if (loadMemo)
            loadMemo(memoFilePath(st.PresentationPath, st.CurrentMark));
    } else {
        ui.RichEditAbdeckungsPanel->show();
        ui.RichEditAbdeckungsPanel->raise();
    }

    w.transport().OeffnenVariableEinstellungen();
    if (m.isOn(Mark::Autostart) && st.StartFrame != st.StopFrame)
        w.transport().VideoStartButtonClick();
    if (st.StartFrame == st.StopFrame) {
        ui.VideoStartButton->setEnabled(false);
        ui.VideoBildvorButton->setEnabled(false);
        ui.VideoZeitlupeButton->setEnabled(false);
        ui.VideoTrackBar->setEnabled(false);
        ui.HauptFensterPopupMenuStart->setEnabled(false);
        ui.HauptFensterPopupMenuBildvor->setEnabled(false);
        ui.HauptFensterPopupMenuZeitlupe->setEnabled(false);
        MarkenUebergang();
    }
}

void SectionPlayback::MarkenUebergang()
{
    auto& st = w.st;
    if (st.ActiveArea != 1 || !st.PresentationMode)
        return;
    if (st.CurrentMark < 1 || st.CurrentMark > w.marks.count())
        return;
    const quint32 t = w.marks.mark(st.CurrentMark).transition;
    if (st.CurrentMark >= st.MarkCount)
        return;
    if (t == TransitionCode::ByHand) {
        w.ui.NaechsteMarkeButton->show();
    } else if (t == TransitionCode::NoPause) {
        NaechsteMarkeButtonClick();
    } else if (TransitionCode::isPause(t) && !m_pauseCancelled) {
        PauseCountdown = 0;
        w.ui.Timer3->setInterval(int(t) * 100);
        w.ui.Timer3->start();
    }
}

void SectionPlayback::Timer3Timer()
{
    if (w.st.CurrentFrame != w.st.SectionLength) {
        // The viewer moved away from the end: the pause is cancelled for this section, also
        // when the viewer comes back to its end.
        w.ui.Timer3->stop();
        m_pauseCancelled = true;
        return;
    }
    PauseCountdown += 1;
    if (PauseCountdown >= 10) {
        w.ui.Timer3->stop();
        NaechsteMarkeButtonClick();
    }
}

void SectionPlayback::NaechsteMarkeButtonClick()
{
    auto& ui = w.ui;
    if (ui.NaechsteMarkeButton->text() == QLatin1String("weiter")) {
        VideoMarkeEinstellen();
        ui.MarkeZurueckButton->setEnabled(true);
        if (w.st.CurrentMark == w.st.MarkCount) {
            ui.NaechsteMarkeButton->setText(QStringLiteral("Startseite"));
            if (w.st.TestRunning) {
                ui.NaechsteMarkeButton->setText(QStringLiteral("weiter"));
                ui.NaechsteMarkeButton->setEnabled(false);
            }
        }
    } else {
        w.close();
    }
}

void SectionPlayback::MarkeZurueckButtonClick()
{
    auto& ui = w.ui;
    w.st.CurrentMark -= 2;
    VideoMarkeEinstellen();
    if (w.st.CurrentMark == 1)
        ui.MarkeZurueckButton->setEnabled(false);
    ui.NaechsteMarkeButton->setEnabled(true);
    ui.NaechsteMarkeButton->setText(QStringLiteral("weiter"));
}

} // namespace kadro
