#include "support/ShellFixture.h"

#include "app/StartPageEntries.h"
#include "common/Cp1252.h"
#include "player/SectionPlayback.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

using namespace kadro;
using kadro::test::ShellFixture;
using kadro::test::readBytes;

class Titles : public ShellFixture {
protected:
    void fill(int n)
    {
        for (int i = 1; i <= n; ++i)
            titel->setEntry(i, QStringLiteral("/kurs/%1.vst").arg(i), QStringLiteral("T%1").arg(i));
    }
};

TEST_F(Titles, WithoutAFileTheStartPageShowsFiveEmptyEntries)
{
    window->StartseiteAn();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(window->ui.StartseitePanel->vstLabel[i]->text().isEmpty());
}

TEST_F(Titles, DeletingRowOneOfThreeMovesTheOthersUp)
{
    fill(3);
    titel->FormActivate();
    EXPECT_EQ(titel->NextFreeRow, 4);
    titel->TitelStringGridMouseDown(1);
    titel->HinzufuegenButton->setEnabled(false);
    titel->LoeschenButtonClick();
    EXPECT_EQ(titel->path(1), QStringLiteral("/kurs/2.vst"));
    EXPECT_EQ(titel->title(2), QStringLiteral("T3"));
    for (int r = 3; r <= 5; ++r) {
        EXPECT_TRUE(titel->path(r).isEmpty());
        EXPECT_TRUE(titel->title(r).isEmpty()) << r;
    }
    EXPECT_EQ(titel->NextFreeRow, 3);
    EXPECT_TRUE(titel->HinzufuegenButton->isEnabled());

    titel->TitelStringGridMouseDown(0); // the header row deletes nothing
    titel->LoeschenButtonClick();
    EXPECT_EQ(titel->path(1), QStringLiteral("/kurs/2.vst"));
}

TEST_F(Titles, AddingFillsTheNextFreeRowUntilAllAreTaken)
{
    fill(4);
    titel->FormActivate();
    prompts.fileAnswers = {QString()}; // cancelled
    titel->HinzufuegenButtonClick();
    EXPECT_EQ(titel->NextFreeRow, 5);
    prompts.fileAnswers = {path("neu.avi")};
    titel->HinzufuegenButtonClick();
    EXPECT_EQ(titel->path(5), path("neu.avi"));
    EXPECT_FALSE(titel->HinzufuegenButton->isEnabled());
    ASSERT_EQ(prompts.fileRequests.size(), 2);
    EXPECT_EQ(prompts.fileRequests[0].options.filterIndex, 1);
}

TEST_F(Titles, CancelRestoresAllTenCellsAndOkWritesTheFile)
{
    fill(2);
    titel->FormActivate();
    prompts.fileAnswers = {path("drei.avi")};
    titel->HinzufuegenButtonClick();
    titel->TitelStringGridMouseDown(1);
    titel->LoeschenButtonClick();
    titel->FormClose(QDialog::Rejected);
    EXPECT_EQ(titel->path(1), QStringLiteral("/kurs/1.vst"));
    EXPECT_EQ(titel->title(2), QStringLiteral("T2"));
    EXPECT_TRUE(titel->path(3).isEmpty());
    EXPECT_FALSE(QFile::exists(path("Titel.opt")));

    titel->FormActivate();
    titel->setEntry(3, QString(), QStringLiteral("Titel ohne Datei"));
    titel->FormClose(QDialog::Accepted);
    QByteArray bytes = readBytes(path("Titel.opt"));
    EXPECT_TRUE(bytes.contains("Titel3:Titel ohne Datei\r\nzu vst-Datei:\r\n"));
    window->StartseiteAn();
    EXPECT_EQ(window->ui.StartseitePanel->vstLabel[2]->text(), QStringLiteral("Titel ohne Datei"));
}

// Titel.opt is Windows-1252, one title or path per line. A file whose path has letters outside
// the code page is refused when it is added, and OK with such a title keeps the dialog open;
// the old file stays, and nothing is stored with "?" in place of a letter.
TEST_F(Titles, NamesTheTitlesFileCannotHoldAreRefusedWithAWarning)
{
    fill(1);
    titel->FormClose(QDialog::Accepted);
    QByteArray old = readBytes(path("Titel.opt"));

    enterView(2);
    const QString polish = path(QStringLiteral("Wurf_Łódź.vst"));
    int result = -1;
    prompts.modalHandler = [&](QDialog* dialog) {
        EXPECT_EQ(dialog, titel);
        prompts.fileAnswers = {polish};
        titel->HinzufuegenButton->click();
        EXPECT_TRUE(titel->path(2).isEmpty());
        EXPECT_EQ(titel->NextFreeRow, 2);
        titel->setEntry(1, titel->path(1), QStringLiteral("Würfe in Łódź"));
        titel->OKBitBtn->click(); // refused: the dialog stays open
        EXPECT_EQ(titel->result(), 0);
        result = titel->result();
        titel->AbbrechenBitBtn->click();
        return titel->result();
    };
    window->ui.MenuTitel->trigger();
    ASSERT_EQ(result, 0);
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Warnung"));
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Der Pfad \"") + QDir::toNativeSeparators(polish) +
                  QStringLiteral("\" enthält Zeichen, die in der Titelliste nicht gespeichert werden können: "
                                 "\"Ł\" (U+0141), \"ź\" (U+017A)\rDie Datei wurde nicht hinzugefügt. Bitte geben "
                                 "Sie der Datei und ihren Ordnern Namen ohne diese Zeichen."));
    EXPECT_EQ(prompts.shown[1].text,
              QStringLiteral("Der Titel \"Würfe in Łódź\" enthält Zeichen, die in der Titelliste nicht gespeichert "
                             "werden können: \"Ł\" (U+0141), \"ź\" (U+017A)\rDie Titel wurden nicht gespeichert. "
                             "Bitte ändern Sie den Titel."));
    QByteArray now = readBytes(path("Titel.opt"));
    EXPECT_EQ(now, old);
    EXPECT_EQ(titel->title(1), QStringLiteral("T1")); // Cancel brought the title back

    // A title the file can hold is written by OK.
    prompts.modalHandler = [&](QDialog*) {
        titel->setEntry(1, titel->path(1), QStringLiteral("Würfe in Lodz"));
        titel->OKBitBtn->click();
        return titel->result();
    };
    window->ui.MenuTitel->trigger();
    EXPECT_EQ(prompts.shown.size(), 2);
    now = readBytes(path("Titel.opt"));
    EXPECT_TRUE(now.contains(toCp1252(QStringLiteral("Titel1:Würfe in Lodz\r\n"))));
}

class Entries : public ShellFixture {
protected:
    StartPageEntries& e() { return window->startPageEntries(); }
};

TEST_F(Entries, ExtensionsAndFileNamesOfStoredPaths)
{
    EXPECT_EQ(StartPageEntries::entryExtension("C:\\Kurs.2\\Fall.vst"), QStringLiteral(".vst"));
    EXPECT_EQ(StartPageEntries::entryExtension("C:\\Kurs.2\\Fall"), QString());
    EXPECT_EQ(StartPageEntries::entryExtension("/kurs.2/Fall"), QString());
    EXPECT_EQ(StartPageEntries::fileNamePart("C:Fall.avi"), QStringLiteral("Fall.avi"));
    EXPECT_EQ(StartPageEntries::fileNamePart("C:\\Kurs\\Fall.avi"), QStringLiteral("Fall.avi"));
}

TEST_F(Entries, AnAviEntryOpensTheVideoWithoutTheOpenButton)
{
    videoFile(QStringLiteral("Fall.avi"));
    titel->setEntry(1, QStringLiteral("C:\\alt\\Fall.avi"), QStringLiteral("Fall")); // folder gone
    e().vstLabelClick(1);
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(device->fileName(), path("Fall.avi"));
    EXPECT_FALSE(window->ui.OeffnenButton->isVisibleTo(window.get()));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kadro \"Video abspielen\" - Fenster"));
    EXPECT_EQ(window->st.StopFrame, device->length());
}

TEST_F(Entries, MissingFilesAndOtherExtensionsGiveTheWarning)
{
    titel->setEntry(1, QStringLiteral("C:\\Kurs\\FALL.VST"), QStringLiteral("gross"));
    titel->setEntry(2, QString(), QStringLiteral("leer"));
    titel->setEntry(3, path("fehlt.vst"), QStringLiteral("fehlt"));
    e().vstLabelClick(1);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Warnung"));
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Datei \"C:\\Kurs\\FALL.VST\" konnte nicht geladen werden\r"
                                                    "Überprüfen Sie den Pfad-, oder Dateinamen"));
    EXPECT_FALSE(window->ui.StartseitePanel->isVisibleTo(window.get()));
    EXPECT_TRUE(device->fileName().isEmpty());
    e().vstLabelClick(2);
    EXPECT_EQ(prompts.shown.last().text, QStringLiteral("Datei \"\" konnte nicht geladen werden\r"
                                                        "Überprüfen Sie den Pfad-, oder Dateinamen"));
    e().vstLabelClick(3);
    EXPECT_EQ(prompts.shown.size(), 3);
    EXPECT_FALSE(window->st.PresentationMode);
}

TEST_F(Entries, APresentationEntryEntersItsFirstSection)
{
    videoFile(QStringLiteral("Demo.vst"));
    titel->setEntry(4, QStringLiteral("D:\\weg\\Demo.vst"), QStringLiteral("Demo"));
    QString read;
    e().vstDateiEinlesen = [&](const QString& p) {
        read = p;
        window->marks.clear();
        Mark m;
        m.firstFrame = 5;
        m.lastFrame = 25;
        m.transition = TransitionCode::ByHand;
        window->marks.append(m);
        window->st.MarkCount = 1;
        device->setFileName(path("demo.avi"));
        device->open();
        window->st.PresentationLoaded = true;
    };
    e().vstLabelClick(4);
    EXPECT_EQ(read, path("Demo.vst"));
    EXPECT_EQ(window->st.PresentationPath, path("Demo.vst"));
    EXPECT_EQ(window->st.CurrentMark, 1);
    EXPECT_EQ(window->st.StartFrame, 5);
    EXPECT_EQ(device->position(), 5);
    EXPECT_TRUE(prompts.shown.isEmpty());
}
