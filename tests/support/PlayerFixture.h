#pragma once
// The player's controllers on their own: the transport and section playback with the context a
// controller gets (state, scripted prompts, a scripted device, the settings dialog as the store of
// the settings, the marks, the program's events) and their widget groups, without a main window.
// The fixture plays the main window's routines itself.
#include "app/MainWindowUi.h"
#include "authoring/model/Mark.h"
#include "common/Context.h"
#include "common/MainState.h"
#include "common/ProgramEvents.h"
#include "common/ShellRoutines.h"
#include "common/TimeBasePreferences.h"
#include "player/SectionPlayback.h"
#include "player/TimeBaseController.h"
#include "player/Transport.h"
#include "player/view/PictureSurface.h"
#include "settings/OptionenFenster.h"
#include "support/FakeVideoDevice.h"
#include "support/ScriptedPrompts.h"

#include <QDir>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace kadro::test {

class PlayerFixture : public ::testing::Test, public ShellRoutines {
protected:
    void SetUp() override
    {
        m_oldDir = QDir::currentPath();
        ASSERT_TRUE(m_dir.isValid());
        QDir::setCurrent(m_dir.path());
        m_owner = std::make_unique<QWidget>();
        auto* client = new QWidget(m_owner.get());
        client->setFixedSize(798, 554);
        m_ui.build(m_owner.get(), client, new QMenuBar(m_owner.get()));
        device = new FakeVideoDevice(m_owner.get());
        m_ui.BildschirmPanel->attachTo(*device);
        optionen = new TOptionenFenster(m_owner.get());
        optionen->attach(st, prompts, events);
        m_context.reset(new Context{st, prompts, *device, *optionen, marks, events, *this});
        m_preferences = std::make_unique<TimeBasePreferences>(m_dir.filePath(QStringLiteral("Einstellungen.ini")));
        m_timeBase = std::make_unique<TimeBaseController>(*m_context, m_ui.ZeitbasisLabel, *m_preferences);
        m_transport = std::make_unique<Transport>(*m_context, m_ui, m_ui, *m_timeBase);
        m_sections = std::make_unique<SectionPlayback>(*m_context, m_ui, *m_transport);
        st.ActiveArea = 1;
        Programmpunkt1Einstellungen();
    }

    void TearDown() override
    {
        m_sections.reset();
        m_transport.reset();
        m_timeBase.reset();
        m_owner.reset();
        QDir::setCurrent(m_oldDir);
    }

    // The main window's routines, as far as the player's controllers use them.
    void StartseiteAus() override { Programmpunkt1Einstellungen(); }
    void Programmpunkt1Einstellungen() override
    {
        optionen->OptionenEinstellungenOeffnen();
        m_transport->setUpAuthoringView();
        m_sections->setUpAuthoringView();
        m_transport->setUpPlayerView();
        m_sections->setUpPlayerView();
    }
    void Programmpunkt2Einstellungen() override {}
    void MenuDateiClick() override { m_transport->pauseForMenu(); }
    void closeMainWindow() override { ++closeRequests; }
    QPoint mainWindowPos() const override { return {}; }
    void lockForTestRun(bool) override {}
    UnsavedWorkAnswer askAboutUnsavedWork() override { return UnsavedWorkAnswer::NothingUnsaved; }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Opens a (scripted) video of `length` + 1 frames as a plain video.
    bool openVideo(const QString& name, int length = 99, QSize size = {320, 240})
    {
        device->setLength(length);
        device->setDisplaySize(size);
        return m_transport->openPlainVideo(path(name));
    }

    Transport& t() { return *m_transport; }
    SectionPlayback& sp() { return *m_sections; }
    MainWindowUi& ui() { return m_ui; }
    TimeBaseController& timeBase() { return *m_timeBase; }

    MainState st;
    ScriptedPrompts prompts;
    FakeVideoDevice* device = nullptr;
    TOptionenFenster* optionen = nullptr;
    MarkTable marks;
    ProgramEvents events;
    int closeRequests = 0;

private:
    QTemporaryDir m_dir;
    QString m_oldDir;
    std::unique_ptr<QWidget> m_owner;
    MainWindowUi m_ui;
    std::unique_ptr<Context> m_context;
    std::unique_ptr<TimeBasePreferences> m_preferences;
    std::unique_ptr<TimeBaseController> m_timeBase;
    std::unique_ptr<Transport> m_transport;
    std::unique_ptr<SectionPlayback> m_sections;
};

} // namespace kadro::test
