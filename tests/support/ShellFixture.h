#pragma once
// A whole main window with its dialogs, a scripted video device and scripted prompts, in a
// temporary working directory.
#include "app/FAQFenster.h"
#include "app/Infofenster.h"
#include "app/StartPage.h"
#include "app/VideoAbspielenFenster.h"
#include "common/Cp1252.h"
#include "common/ErrorReport.h"
#include "common/Prompts.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"
#include "player/MarkenUebergangFenster.h"
#include "player/Transport.h"
#include "support/FakeVideoDevice.h"
#include "settings/OptionenFenster.h"
#include "settings/TitelFenster.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <ostream>

// Texts show as text when a comparison fails.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* os)
{
    *os << '[' << texts.join(QStringLiteral("|")).toStdString() << ']';
}

namespace kadro::test {

// A presentation file as an editor leaves it: the header and the given mark lines.
inline QByteArray presentationText(const QString& video, const QStringList& markLines, int normal = 40, int slow = 200)
{
    QStringList lines{QStringLiteral("Videosteuerungsdatei zu Avi-File: *") + video + QLatin1Char('*'),
                      QStringLiteral("Zeitschritt(Normal): %1 ms").arg(normal),
                      QStringLiteral("Zeitschritt(Zeitlupe): %1 ms").arg(slow),
                      QStringLiteral("Marken: %1").arg(markLines.size()), QStringLiteral("Optionen: 10")};
    lines << markLines;
    return cp1252Lines(lines);
}

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldDir = QDir::currentPath();
        ASSERT_TRUE(m_dir.isValid());
        QDir::setCurrent(m_dir.path());
        // The platform's settings store of this window lies in the temporary folder too.
        qputenv("KADRO_PREFERENCES", m_dir.filePath(QStringLiteral("Einstellungen.ini")).toLocal8Bit());
        window = std::make_unique<TVideoAbspielenFenster>(prompts, makeDevice());
        info = new TInfofenster(window.get());
        optionen = new TOptionenFenster(window.get());
        uebergang = new TMarkenUebergangFenster(window.get());
        titel = new TTitelFenster(window.get());
        faq = std::make_unique<TFAQFenster>();
        window->setDialogs(info, optionen, uebergang, titel, faq.get());
        window->compose();
        setGeneralErrorPrompts(&prompts);
        window->FormActivate();
    }

    void TearDown() override
    {
        setGeneralErrorPrompts(nullptr);
        window.reset();
        faq.reset();
        QDir::setCurrent(m_oldDir);
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // The window's video device: a scripted one (`device`) unless a fixture decodes real files.
    virtual std::unique_ptr<VideoDevice> makeDevice()
    {
        auto fake = std::make_unique<FakeVideoDevice>();
        device = fake.get();
        return fake;
    }

    // A file standing for a video: the fake device decodes nothing, but presentations look for
    // their video on disk.
    QString videoFile(const QString& name)
    {
        const QString p = path(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("video");
        return p;
    }

    // The file `name` written with presentationText(); its path.
    QString presentation(const QString& name, const QString& video, const QStringList& markLines, int normal = 40,
                         int slow = 200)
    {
        EXPECT_TRUE(writeFileSafely(path(name), presentationText(video, markLines, normal, slow)));
        return path(name);
    }
    // Into the player (1) or authoring (2) view from the start page.
    void enterView(int area)
    {
        window->VideoAbspielenLabelClick(area == 1 ? window->ui.StartseitePanel->VideoAbspielenLabel
                                                   : window->ui.StartseitePanel->PraesentationErstellenLabel);
    }

    // Opens a (scripted) video of `length` + 1 frames as a plain video in the current view.
    bool openVideo(const QString& name, int length = 99, QSize size = {320, 240})
    {
        device->setLength(length);
        device->setDisplaySize(size);
        return window->transport().openPlainVideo(path(name));
    }

    bool startPageShown() const { return window->ui.StartseitePanel->isVisibleTo(window.get()); }
    // The texts of the boxes shown so far.
    QStringList shownTexts() const
    {
        QStringList texts;
        for (const auto& s : prompts.shown)
            texts << s.text;
        return texts;
    }

    // "Einstellungen" opened from the menu; `inside` runs while the dialog is shown and closes it.
    void inSettings(const std::function<void()>& inside)
    {
        prompts.modalHandler = [inside](QDialog* d) {
            d->show();
            inside();
            return d->result();
        };
        window->MenuEinstellungenClick();
    }

    ScriptedPrompts prompts;
    FakeVideoDevice* device = nullptr;
    std::unique_ptr<TVideoAbspielenFenster> window;
    TInfofenster* info = nullptr;
    TOptionenFenster* optionen = nullptr;
    TMarkenUebergangFenster* uebergang = nullptr;
    TTitelFenster* titel = nullptr;
    std::unique_ptr<TFAQFenster> faq;

private:
    QTemporaryDir m_dir;
    QString m_oldDir;
};

} // namespace kadro::test
