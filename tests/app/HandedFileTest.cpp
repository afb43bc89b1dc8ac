#include "support/ShellFixture.h"

#include "FreeFall.h"
#include "app/CommandLine.h"
#include "app/StartPageEntries.h"
#include "player/Transport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

using namespace kadro;
using kadro::test::ShellFixture;

namespace {

QString entryWarning(const QString& path)
{
    return QStringLiteral("Datei \"") + path
           + QStringLiteral("\" konnte nicht geladen werden\rÜberprüfen Sie den Pfad-, oder Dateinamen");
}

} // namespace

TEST(HandedFileArgument, IsTheFirstFileMadeAbsoluteWhereTheProgramStarted)
{
    const QString start = QStringLiteral("/home/lehrer/Kurs");
    EXPECT_EQ(handedFile({"kadro"}, start), QString());
    EXPECT_EQ(handedFile({"kadro", "Fall.vst"}, start), QStringLiteral("/home/lehrer/Kurs/Fall.vst"));
    EXPECT_EQ(handedFile({"kadro", "../Videos/Wurf.mp4"}, start), QStringLiteral("/home/lehrer/Videos/Wurf.mp4"));
    // A desktop hands a path with blanks over as one argument, which stays whole.
    EXPECT_EQ(handedFile({"kadro", "/media/usb/Mein Kurs/Freier Fall.vst"}, start),
              QStringLiteral("/media/usb/Mein Kurs/Freier Fall.vst"));
    EXPECT_EQ(handedFile({"kadro", "file:///media/usb/Mein%20Kurs/W%C3%BCrfe.avi"}, start),
              QStringLiteral("/media/usb/Mein Kurs/Würfe.avi"));
    // Options (the program has none) and empty arguments are passed over; a second file is not
    // taken.
    EXPECT_EQ(handedFile({"kadro", "--vollbild", "", "a.avi", "b.avi"}, start), QStringLiteral("/home/lehrer/Kurs/a.avi"));
    EXPECT_EQ(handedFile({"kadro", "-x"}, start), QString());
}

class HandedFile : public ShellFixture {
protected:
    StartPageEntries& entries() { return window->startPageEntries(); }

    // The demo's presentation file `name`, with its video beside it (the scripted device only
    // needs the file to be there).
    void writePresentation(const QString& name, bool withVideo = true)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path(name)).absolutePath()));
        ASSERT_TRUE(writeFileSafely(path(name), demo::presentationText(QStringLiteral("FreierFall.avi"))));
        if (withVideo)
            videoFile(QFileInfo(name).path() + QStringLiteral("/FreierFall.avi"));
    }
    QString playerTitle() const { return QStringLiteral("Kadro \"Video abspielen\" - Fenster"); }
};

TEST_F(HandedFile, APresentationStartsItsFirstSectionInThePlayer)
{
    // In a folder with blanks, and named in capitals as old Windows files often are.
    for (const QString& name : {QStringLiteral("Mein Kurs/Freier Fall.vst"), QStringLiteral("ALT/FALL.VST")}) {
        SCOPED_TRACE(name.toStdString());
        window->StartseiteAn();
        const QString vst = path(name);
        writePresentation(name);
        // A presentation keeps the time steps stored with it, whatever its video says of its own
        // timing: nothing is asked, no time base shown.
        device->setTiming({30, false, 240}, {});

        entries().openHandedFile(vst);

        EXPECT_TRUE(prompts.shown.isEmpty());
        EXPECT_FALSE(startPageShown());
        EXPECT_EQ(window->windowTitle(), playerTitle());
        EXPECT_TRUE(window->st.PresentationMode);
        EXPECT_EQ(window->st.PresentationPath, vst);
        EXPECT_EQ(device->fileName(), QFileInfo(vst).absoluteDir().filePath("FreierFall.avi"));
        // Section 1 of the demo: frames 0 to 24, by hand.
        EXPECT_EQ(window->st.CurrentMark, 1);
        EXPECT_EQ(window->st.StartFrame, 0);
        EXPECT_EQ(window->st.StopFrame, demo::kReleaseFrame - 1);
        EXPECT_EQ(window->st.MarkCount, demo::kSections);
        EXPECT_TRUE(window->ui.ZeitbasisLabel->text().isEmpty());
        window->transport().VideoBildvorButtonClick();
        EXPECT_EQ(window->ui.ZeitAnzeige2Label->text(), QStringLiteral("0,020"));
    }
}

TEST_F(HandedFile, AVideoOpensInThePlayerLikeAVideoEntry)
{
    for (const QString& name : {QStringLiteral("Wurf.mp4"), QStringLiteral("Pendel.AVI"), QStringLiteral("ohne Endung")}) {
        SCOPED_TRACE(name.toStdString());
        window->StartseiteAn();
        videoFile(name);
        device->setLength(149);

        entries().openHandedFile(path(name));

        EXPECT_TRUE(prompts.shown.isEmpty());
        EXPECT_EQ(window->windowTitle(), playerTitle());
        EXPECT_FALSE(window->st.PresentationMode);
        EXPECT_EQ(device->fileName(), path(name));
        EXPECT_TRUE(device->isOpen());
        EXPECT_EQ(window->st.StopFrame, 149);
        EXPECT_FALSE(window->ui.OeffnenButton->isVisibleTo(window.get()));
    }
}

TEST_F(HandedFile, AMissingFileOrAFolderGivesTheEntryWarningInAnEmptyPlayer)
{
    ASSERT_TRUE(QDir().mkpath(path("Ordner")));
    ASSERT_TRUE(QDir().mkpath(path("Ordner.vst")));
    const QStringList handed{path("fehlt.vst"), path("fehlt.avi"), path("Ordner"), path("Ordner.vst")};
    for (const QString& p : handed) {
        SCOPED_TRACE(p.toStdString());
        window->StartseiteAn();
        const qsizetype before = prompts.shown.size();

        entries().openHandedFile(p);

        ASSERT_EQ(prompts.shown.size(), before + 1);
        EXPECT_EQ(prompts.shown.last().kind, BoxKind::Warning);
        EXPECT_EQ(prompts.shown.last().title, QStringLiteral("Warnung"));
        EXPECT_EQ(prompts.shown.last().text, entryWarning(p));
        EXPECT_EQ(prompts.shown.last().buttons, QList<Button>{Button::Ok});
        EXPECT_FALSE(startPageShown());
        EXPECT_EQ(window->windowTitle(), playerTitle());
        EXPECT_TRUE(device->fileName().isEmpty());
        EXPECT_FALSE(window->st.PresentationMode);
        EXPECT_EQ(window->st.CurrentMark, 0);
    }
}

TEST_F(HandedFile, AFileThatIsNoVideoOrAPresentationWithoutItsVideoGetsTheirOwnMessages)
{
    // The device's message for a file it cannot play.
    videoFile("Notizen.txt");
    device->setOpenError(QStringLiteral("kein Video"));
    entries().openHandedFile(path("Notizen.txt"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Das Video konnte nicht geladen werden!\r\nHilfe zu diesem Thema unter "
                                                    "\"Fragen & Antworten\""));
    EXPECT_EQ(window->windowTitle(), playerTitle());
    device->setOpenError(QString());

    // The presentation reader's warning when the video is found nowhere; the player stays empty.
    window->StartseiteAn();
    writePresentation(QStringLiteral("Kurs/Ohne.vst"), false);
    entries().openHandedFile(path("Kurs/Ohne.vst"));
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].text,
              QStringLiteral("Die mit der Präsentation \"Ohne.vst\" verknüpfte AVI-Datei konnte nicht gefunden werden!\r"
                             "Überprüfen sie den Pfad- und Dateinamen."));
    EXPECT_EQ(window->st.CurrentMark, 0);
    EXPECT_FALSE(window->st.PresentationLoaded);
}
