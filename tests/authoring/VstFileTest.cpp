#include "AuthoringTestSupport.h"
#include "support/ScriptedPrompts.h"
#include "support/WriteFailures.h"

#include "authoring/model/VstFile.h"
#include "common/ErrorReport.h"
#include "common/TokenReader.h"

using namespace kadro;
using namespace kadro::test;

namespace {
const QString OK = QStringLiteral("      OK");

const QByteArray kExample =
    "Videosteuerungsdatei zu Avi-File: *C:\\Kurs\\Fallversuch.avi*\r\n"
    "Zeitschritt(Normal): 40 ms\r\n"
    "Zeitschritt(Zeitlupe): 200 ms\r\n"
    "Marken: 2\r\n"
    "Optionen: 10\r\n"
    "#1 0 119 M 1 1 0 0 1 0 0 0 1\r\n"
    "#2 120 300 A5 1 0 0 0 0 0 1 0 0\r\n";

class VstFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QTemporaryDir workDir;
    MemoFolder work{workDir.path()};
    FakeMemoEditor editor;
    ScriptedPrompts prompts;

    QString path(const QString& name) const { return dir.filePath(name); }

    // The two marks of the example, built with the editing operations.
    MarkGrid exampleGrid()
    {
        MarkGrid grid;
        grid.appendMark(0, 500, {});
        grid.appendMark(120, 500, {});
        grid.setStopFrame(1, 300, prompts);
        for (int column : {4, 5, 8})
            grid.toggleOption(0, column);
        grid.toggleMemo(0, work, editor);
        editor.text = "Memo zu Marke 1";
        grid.setTransition(1, 5);
        grid.toggleOption(1, 4);
        grid.toggleOption(1, 10);
        return grid;
    }

    static PresentationSource exampleSource()
    {
        return {QStringLiteral("C:\\Kurs\\Fallversuch.avi"), QStringLiteral("40"), QStringLiteral("200")};
    }

    QString writeVideo(const QString& filePath)
    {
        writeText(filePath, "RIFF....AVI ");
        return filePath;
    }
};
} // namespace

TEST_F(VstFileTest, ExampleWrittenByteForByte)
{
    MarkGrid grid = exampleGrid();
    EXPECT_EQ(presentationFileBytes(grid, exampleSource()), kExample);

    prompts.fileAnswers << path("Fallversuch.vst");
    QString saved;
    EXPECT_EQ(savePresentation(grid, exampleSource(), work, editor, prompts, &saved), SaveOutcome::Saved);
    EXPECT_EQ(saved, path("Fallversuch.vst"));
    EXPECT_EQ(readBytes(path("Fallversuch.vst")), kExample);

    // The save dialog as the command shows it.
    ASSERT_EQ(prompts.fileRequests.size(), 1);
    EXPECT_TRUE(prompts.fileRequests.at(0).save);
    EXPECT_EQ(prompts.fileRequests.at(0).options.filter, QString("Videosteuerung (*.vst)|*.vst"));
    EXPECT_EQ(prompts.fileRequests.at(0).options.defaultSuffix, QString("vst"));
    EXPECT_TRUE(prompts.fileRequests.at(0).options.overwritePrompt);
    EXPECT_TRUE(prompts.shown.isEmpty());

    // The memo being edited was saved and copied into the presentation folder; mark 2 has none.
    EXPECT_EQ(readBytes(path("Fallversuch/1.mem")), QByteArray("Memo zu Marke 1"));
    EXPECT_FALSE(QFile::exists(path("Fallversuch/2.mem")));
}

TEST_F(VstFileTest, NameWithoutExtensionGetsVst)
{
    MarkGrid grid = exampleGrid();
    prompts.fileAnswers << path("Wurf");
    EXPECT_EQ(savePresentation(grid, exampleSource(), work, editor, prompts), SaveOutcome::Saved);
    EXPECT_EQ(readBytes(path("Wurf.vst")), kExample);
    EXPECT_TRUE(QFile::exists(path("Wurf/1.mem")));
}

TEST_F(VstFileTest, MissingLastStopFrameWritesNothing)
{
    MarkGrid grid = gridWithMarksAt({0, 120, 300});
    prompts.fileAnswers << path("x.vst");
    EXPECT_EQ(savePresentation(grid, exampleSource(), work, editor, prompts), SaveOutcome::MissingStopFrame);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown.at(0).kind, BoxKind::Warning);
    EXPECT_EQ(prompts.shown.at(0).text, QString("Stop-Frame von Marke 3 ist noch nicht gesetzt !"));
    EXPECT_EQ(prompts.shown.at(0).buttons, QList<Button>({Button::Ok}));
    EXPECT_TRUE(prompts.fileRequests.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    // An empty grid (the only mark deleted) is refused the same way, as mark 1.
    MarkGrid empty;
    ScriptedPrompts more;
    EXPECT_EQ(savePresentation(empty, exampleSource(), work, editor, more), SaveOutcome::MissingStopFrame);
    EXPECT_EQ(more.shown.at(0).text, QString("Stop-Frame von Marke 1 ist noch nicht gesetzt !"));
}

TEST_F(VstFileTest, CancelledDialogWritesNothing)
{
    MarkGrid grid = exampleGrid();
    EXPECT_EQ(savePresentation(grid, exampleSource(), work, editor, prompts), SaveOutcome::Cancelled);
    EXPECT_EQ(prompts.fileRequests.size(), 1);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(VstFileTest, ForcedAutostartAndTheStillPictureException)
{
    MarkGrid grid = gridWithMarksAt({0, 100});
    grid.setStopFrame(1, 100, prompts);  // mark 2 is a still picture 100..100
    grid.toggleOption(0, 8);             // frame display only: mark 1 could not start
    writePresentation(grid, exampleSource(), path("auto.vst"), work);

    const QList<QByteArray> lines = readBytes(path("auto.vst")).split('\n');
    EXPECT_EQ(lines.at(5), QByteArray("#1 0 99 M 0 0 0 0 1 0 1 0 0\r"));
    EXPECT_EQ(lines.at(6), QByteArray("#2 100 100 M 0 0 0 0 0 0 0 0 0\r"));
    EXPECT_EQ(grid.cell(0, 10), OK);  // visible in the grid afterwards
    EXPECT_EQ(grid.cell(1, 10), QString());
    EXPECT_TRUE(QFileInfo(path("auto")).isDir());
}

TEST_F(VstFileTest, TwelveSecondPauseRoundTrip)
{
    MarkDefaults pause;
    pause.transition = MarkDefaults::Transition::WithPause;
    pause.pauseText = "12";
    pause.options[0] = true;
    MarkGrid grid;
    grid.appendMark(10, 900, pause);
    grid.setStopFrame(0, 90, prompts);
    writeVideo(path("clip.avi"));
    writePresentation(grid, {path("clip.avi"), "40", "200"}, path("pause.vst"), work);
    EXPECT_TRUE(readBytes(path("pause.vst")).contains("\r\n#1 10 90 A12 1 0 0 0 0 0 0 0 0\r\n"));

    const VstContents file = readPresentation(path("pause.vst"));
    ASSERT_TRUE(file.videoFound);
    ASSERT_EQ(file.marks.count(), 1);
    EXPECT_EQ(file.marks.mark(1).transition, 12u);

    MarkGrid back;
    back.fillFromTable(file.marks, path("pause.vst"), work, editor);
    EXPECT_EQ(back.cell(0, 3), QString(" Pause (12)"));
    EXPECT_EQ(back.rowCells(0), grid.rowCells(0));
}

TEST_F(VstFileTest, ReadingTheExample)
{
    QDir(dir.path()).mkdir("Kurs");
    writeVideo(path("Kurs/Fallversuch.avi"));
    writeText(path("Kurs/Fallversuch.vst"), kExample);

    const VstContents file = readPresentation(path("Kurs/Fallversuch.vst"));
    EXPECT_EQ(file.storedVideoPath, QString("C:\\Kurs\\Fallversuch.avi"));
    EXPECT_TRUE(file.videoFound);
    EXPECT_EQ(QFileInfo(file.videoPath).canonicalFilePath(),
              QFileInfo(path("Kurs/Fallversuch.avi")).canonicalFilePath());
    EXPECT_TRUE(file.missingVideoWarningText.isEmpty());
    EXPECT_EQ(file.normalTimeStep, 40);
    EXPECT_EQ(file.slowTimeStep, 200);
    EXPECT_EQ(file.markCount, 2);
    ASSERT_EQ(file.marks.count(), 2);

    Mark first;
    first.firstFrame = 0;
    first.lastFrame = 119;
    first.transition = TransitionCode::ByHand;
    first.switches = {1, 1, 0, 0, 1, 0, 0, 0, 1};
    Mark second;
    second.firstFrame = 120;
    second.lastFrame = 300;
    second.transition = 5;
    second.switches = {1, 0, 0, 0, 0, 0, 1, 0, 0};
    EXPECT_EQ(file.marks.mark(1), first);
    EXPECT_EQ(file.marks.mark(2), second);
}

TEST_F(VstFileTest, MovedPresentationFindsTheVideoBesideIt)
{
    // Saved elsewhere: line 1 names the old place, which no longer exists.
    MarkGrid grid = exampleGrid();
    writePresentation(grid, {"/nicht/mehr/da/Fallversuch.avi", "40", "200"}, path("Fall.vst"), work);
    writeVideo(path("Fallversuch.avi"));
    VstContents file = readPresentation(path("Fall.vst"));
    EXPECT_TRUE(file.videoFound);
    EXPECT_EQ(QFileInfo(file.videoPath).canonicalFilePath(), QFileInfo(path("Fallversuch.avi")).canonicalFilePath());
    EXPECT_EQ(file.marks.count(), 2);

    // The video beside the presentation wins over an existing stored path.
    QTemporaryDir other;
    const QString stored = writeVideo(other.filePath("Fallversuch.avi"));
    writePresentation(grid, {stored, "40", "200"}, path("Fall.vst"), work);
    file = readPresentation(path("Fall.vst"));
    EXPECT_EQ(QFileInfo(file.videoPath).canonicalFilePath(), QFileInfo(path("Fallversuch.avi")).canonicalFilePath());

    // Without a video beside it, the stored path is used as it is.
    QFile::remove(path("Fallversuch.avi"));
    file = readPresentation(path("Fall.vst"));
    EXPECT_TRUE(file.videoFound);
    EXPECT_EQ(file.videoPath, stored);
}

TEST_F(VstFileTest, MissingVideoGivesTheWarningAndNoMarks)
{
    writeText(path("Fallversuch.vst"), kExample);
    const VstContents file = readPresentation(path("Fallversuch.vst"));
    EXPECT_FALSE(file.videoFound);
    EXPECT_TRUE(file.videoPath.isEmpty());
    EXPECT_EQ(file.missingVideoWarningText,
              QString("Die mit der Präsentation \"Fallversuch.vst\" verknüpfte AVI-Datei konnte nicht gefunden "
                      "werden!\rÜberprüfen sie den Pfad- und Dateinamen."));
    EXPECT_EQ(file.storedVideoPath, QString("C:\\Kurs\\Fallversuch.avi"));
    EXPECT_FALSE(file.normalTimeStep.has_value());
    EXPECT_FALSE(file.markCount.has_value());
    EXPECT_EQ(file.marks.count(), 0);

    // A folder of the video's name is no video.
    QDir(dir.path()).mkdir("Fallversuch.avi");
    EXPECT_FALSE(readPresentation(path("Fallversuch.vst")).videoFound);
}

TEST_F(VstFileTest, WhichFilesArePresentations)
{
    EXPECT_TRUE(isPresentationPath("/kurs/Fallversuch.vst"));
    EXPECT_FALSE(isPresentationPath("/kurs/Fallversuch.VST"));
    EXPECT_FALSE(isPresentationPath("/kurs/Fallversuch.Vst"));
    EXPECT_TRUE(isPresentationPath("/home/lehrer/kurs.2024/Fall.vst"));
    EXPECT_FALSE(isPresentationPath("/home/lehrer/kurs.vst/Fall"));
    EXPECT_FALSE(isPresentationPath("/home/lehrer/kurs.2024/Fall.avi"));
    EXPECT_FALSE(isPresentationPath("/kurs/vst"));
    EXPECT_FALSE(isPresentationPath("/kurs/Fall.vst.avi"));
    EXPECT_TRUE(isPresentationPath("C:\\Kurs.alt\\Fall.vst"));

    EXPECT_EQ(storedFileName("C:\\Kurs\\Fallversuch.avi"), QString("Fallversuch.avi"));
    EXPECT_EQ(storedFileName("C:Fallversuch.avi"), QString("Fallversuch.avi"));
    EXPECT_EQ(storedFileName("/home/kurs/Fall.avi"), QString("Fall.avi"));
    EXPECT_EQ(storedFileName("Fall.avi"), QString("Fall.avi"));
}

TEST_F(VstFileTest, PresentationInAFolderWithADot)
{
    QDir(dir.path()).mkdir("Kurs.2024");
    writeVideo(path("Kurs.2024/Wurf.avi"));
    MarkGrid grid = exampleGrid();
    writePresentation(grid, {path("Kurs.2024/Wurf.avi"), "40", "200"}, path("Kurs.2024/Wurf.vst"), work);
    EXPECT_TRUE(isPresentationPath(path("Kurs.2024/Wurf.vst")));
    EXPECT_TRUE(QFileInfo(path("Kurs.2024/Wurf")).isDir());
    EXPECT_EQ(readPresentation(path("Kurs.2024/Wurf.vst")).marks.count(), 2);
}

TEST_F(VstFileTest, HundredFiftyMarksSavedAndReadBack)
{
    MarkGrid grid;
    MarkDefaults defaults;
    for (int i = 0; i < 150; ++i) {
        defaults.options = {};
        defaults.options[i % 8] = true;
        defaults.transition = MarkDefaults::Transition(i % 3);
        defaults.pauseText = QString::number(1 + i % 99);
        grid.appendMark(quint32(i) * 1000, 200000, defaults);
    }
    grid.setStopFrame(149, 199999, prompts);
    grid.toggleMemo(149, work, editor);
    editor.text = "Memo 150";
    grid.toggleMemo(100, work, editor);
    editor.text = "Memo 101";
    grid.showMemo(0, work, editor);
    EXPECT_EQ(grid.width(), 697);
    const QString video = writeVideo(path("lang.avi"));

    prompts.fileAnswers << path("lang.vst");
    ASSERT_EQ(savePresentation(grid, {video, "40", "200"}, work, editor, prompts), SaveOutcome::Saved);
    EXPECT_EQ(readBytes(path("lang/150.mem")), QByteArray("Memo 150"));
    EXPECT_EQ(readBytes(path("lang/101.mem")), QByteArray("Memo 101"));

    VstContents file;
    readPresentation(path("lang.vst"), file);
    ASSERT_EQ(file.markCount, 150);
    ASSERT_EQ(file.marks.count(), 150);
    EXPECT_EQ(file.marks.mark(150).firstFrame, 149000u);
    EXPECT_EQ(file.marks.mark(150).lastFrame, 199999u);

    // The authoring grid filled from it looks as before, with the memo files fetched back.
    work.removeAll();
    MarkGrid back;
    back.fillFromTable(file.marks, path("lang.vst"), work, editor);
    ASSERT_EQ(back.rowCount(), 150);
    for (int r = 0; r < 150; ++r)
        ASSERT_EQ(back.rowCells(r), grid.rowCells(r)) << r;
    EXPECT_EQ(back.width(), 697);
    EXPECT_EQ(readBytes(work.fileOf(150)), QByteArray("Memo 150"));
    EXPECT_EQ(readBytes(work.fileOf(101)), QByteArray("Memo 101"));
    // Mark 1 has no memo: the editor is disabled and empty, and row 0 is the memo row.
    EXPECT_EQ(back.memoRow(), 0);
    EXPECT_FALSE(editor.enabled);
    EXPECT_TRUE(editor.text.isEmpty());
}

TEST_F(VstFileTest, FillingTheGridShowsMarkOnesMemo)
{
    MarkGrid grid = exampleGrid();
    writePresentation(grid, exampleSource(), path("Fallversuch.vst"), work);
    grid.flushMemo(work, editor);
    DateiKopieren(work.fileOf(1), path("Fallversuch/1.mem"));
    writeVideo(path("Fallversuch.avi"));

    QTemporaryDir freshWork;
    MemoFolder fresh(freshWork.path());
    FakeMemoEditor freshEditor;
    freshEditor.enabled = false;
    MarkGrid back = gridWithMarksAt({0, 10, 20, 30, 40, 50});
    back.showMemo(4, fresh, freshEditor);
    back.fillFromTable(readPresentation(path("Fallversuch.vst")).marks, path("Fallversuch.vst"), fresh,
                       freshEditor);
    EXPECT_EQ(back.rowCount(), 2);
    EXPECT_EQ(back.width(), 679);
    EXPECT_EQ(back.memoRow(), 0);
    EXPECT_TRUE(freshEditor.enabled);
    EXPECT_EQ(freshEditor.text, QString("Memo zu Marke 1"));
    EXPECT_EQ(back.rowCells(0), grid.rowCells(0));
    EXPECT_EQ(back.rowCells(1), grid.rowCells(1));
}

TEST_F(VstFileTest, HandMadeWindowsFileWithUmlauts)
{
    // Written on Windows: Windows-1252 bytes, a drive path, a frame above 16 bits.
    const QByteArray bytes =
        "Videosteuerungsdatei zu Avi-File: *D:\\Physik\\W\xfcrfe\\Kugelsto\xdf \xdc" "bung.avi*\r\n"
        "Zeitschritt(Normal): 33 ms\r\n"
        "Zeitschritt(Zeitlupe): 250 ms\r\n"
        "Marken: 3\r\n"
        "Optionen: 10\r\n"
        "#1 0 70000 M 1 1 1 1 1 1 0 1 0\r\n"
        "#2 70001 70001 A0 0 0 0 0 0 0 0 0 0\r\n"
        "#3 70002 140000 A99 0 1 0 1 0 1 0 1 1\r\n";
    writeText(path("W\u00fcrfe.vst"), bytes);

    VstContents file = readPresentation(path("W\u00fcrfe.vst"));
    EXPECT_EQ(file.storedVideoPath, QString("D:\\Physik\\W\u00fcrfe\\Kugelsto\u00df \u00dc" "bung.avi"));
    EXPECT_FALSE(file.videoFound);
    EXPECT_EQ(file.missingVideoWarningText,
              QString("Die mit der Präsentation \"Würfe.vst\" verknüpfte AVI-Datei konnte nicht gefunden "
                      "werden!\rÜberprüfen sie den Pfad- und Dateinamen."));

    writeVideo(path("Kugelsto\u00df \u00dc" "bung.avi"));
    file = readPresentation(path("W\u00fcrfe.vst"));
    ASSERT_TRUE(file.videoFound);
    EXPECT_EQ(QFileInfo(file.videoPath).fileName(), QString("Kugelsto\u00df \u00dc" "bung.avi"));
    EXPECT_EQ(file.normalTimeStep, 33);
    EXPECT_EQ(file.slowTimeStep, 250);
    ASSERT_EQ(file.marks.count(), 3);
    EXPECT_EQ(file.marks.mark(1).lastFrame, 70000u);
    EXPECT_EQ(file.marks.mark(1).transition, TransitionCode::ByHand);
    EXPECT_EQ(file.marks.mark(2).firstFrame, 70001u);
    EXPECT_EQ(file.marks.mark(2).transition, TransitionCode::NoPause);
    EXPECT_EQ(file.marks.mark(3).transition, 99u);
    EXPECT_EQ(file.marks.mark(3).lastFrame, 140000u);
    EXPECT_EQ(file.marks.mark(3).switches, (std::array<quint32, 9>{0, 1, 0, 1, 0, 1, 0, 1, 1}));

    // Saved again on this system, the path is written back in Windows-1252.
    MarkGrid grid;
    grid.fillFromTable(file.marks, path("W\u00fcrfe.vst"), work, editor);
    writePresentation(grid, {file.storedVideoPath, "33", "250"}, path("W\u00fcrfe.vst"), work);
    EXPECT_EQ(readBytes(path("W\u00fcrfe.vst")), bytes);
}

TEST_F(VstFileTest, LenientAboutLabelsAndLineEnds)
{
    writeVideo(path("v.avi"));
    // Unix line ends, other labels, a Windows path of a video beside it, no transition letter.
    writeText(path("lf.vst"),
              "Video: *C:v.avi*\nNormal: 65576 ms\nLupe: 7\nAnzahl: 2\nx\n"
              "#1 5 9 M 1 2 0 0 0 0 0 0 0\n#2 10 20 X 1 0 0 0 0 0 0 0 0 0\n");
    const VstContents file = readPresentation(path("lf.vst"));
    ASSERT_TRUE(file.videoFound);
    EXPECT_EQ(file.normalTimeStep, 40);  // reduced to 16 bits
    EXPECT_EQ(file.slowTimeStep, 7);
    ASSERT_EQ(file.marks.count(), 2);
    EXPECT_EQ(file.marks.mark(1).switches[Mark::Einzelbild], 2u);
    // Any other letter leaves the transition at 0; the nine switches follow it, and the rest of
    // the line is skipped.
    EXPECT_EQ(file.marks.mark(2).transition, 0u);
    EXPECT_EQ(file.marks.mark(2).switches, (std::array<quint32, 9>{1, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(VstFileTest, MalformedFilesEndTheReadingWithAnError)
{
    writeVideo(path("v.avi"));
    const QByteArray head = "Videosteuerungsdatei zu Avi-File: *v.avi*\r\n"
                            "Zeitschritt(Normal): 40 ms\r\n"
                            "Zeitschritt(Zeitlupe): 200 ms\r\n";
    const auto expectReadError = [&](const QByteArray& bytes, ReadError::Kind kind) {
        writeText(path("bad.vst"), bytes);
        VstContents file;
        try {
            readPresentation(path("bad.vst"), file);
            ADD_FAILURE() << "read without error: " << bytes.constData();
        } catch (const ReadError& e) {
            EXPECT_EQ(e.kind(), kind) << bytes.constData();
        }
        return file;
    };

    // Too few lines: what was read before the fault stays.
    VstContents partial =
        expectReadError(head + "Marken: 3\r\nOptionen: 10\r\n#1 0 119 M 1 1 0 0 1 0 0 0 1\r\n", ReadError::EndOfFile);
    EXPECT_EQ(partial.normalTimeStep, 40);
    EXPECT_EQ(partial.markCount, 3);
    ASSERT_EQ(partial.marks.count(), 1);
    EXPECT_EQ(partial.marks.mark(1).lastFrame, 119u);

    // A letter where a number belongs.
    expectReadError(head + "Marken: 1\r\nOptionen: 10\r\n#1 0 1x9 M 1 1 0 0 1 0 0 0 1\r\n", ReadError::NotANumber);
    expectReadError(head + "Marken: zwei\r\n", ReadError::NotANumber);
    expectReadError(head + "Marken: 1\r\nOptionen: 10\r\n#1 0 119 A? 1 1 0 0 1 0 0 0 1\r\n", ReadError::NotANumber);
    // "A" without seconds takes the first switch as seconds and then runs out of numbers.
    expectReadError(head + "Marken: 1\r\nOptionen: 10\r\n#1 0 119 A 1 1 0 0 1 0 0 0 1\r\n", ReadError::EndOfFile);
    // A line cut short, an empty file, no closing "*", a header only.
    expectReadError(head + "Marken: 1\r\nOptionen: 10\r\n#1 0 119 M 1 1", ReadError::EndOfFile);
    expectReadError(head + "Marken: 1\r\nOptionen: 10\r\n#1 0 119", ReadError::EndOfFile);
    expectReadError("", ReadError::EndOfFile);
    expectReadError("Videosteuerungsdatei zu Avi-File: *v.avi", ReadError::EndOfFile);
    expectReadError(head, ReadError::EndOfFile);
    // A huge count with one line ends at the end of the file, without growing the table first.
    VstContents huge =
        expectReadError(head + "Marken: 2000000000\r\nOptionen: 10\r\n#1 0 9 M 1 1 0 0 1 0 0 0 1\r\n",
                        ReadError::EndOfFile);
    EXPECT_EQ(huge.marks.count(), 1);

    // Numbers outside their fields are range errors.
    for (const QByteArray& tail : {QByteArray("Marken: -1\r\n"),
                                   QByteArray("Marken: 1\r\nOptionen: 10\r\n#1 -5 9 M 1 1 0 0 1 0 0 0 1\r\n"),
                                   QByteArray("Marken: 1\r\nOptionen: 10\r\n#1 0 4294967296 M 1 1 0 0 1 0 0 0 1\r\n"),
                                   QByteArray("Marken: 1\r\nOptionen: 10\r\n#1 0 9 M 1 1 0 0 1 0 0 0 -1\r\n")}) {
        writeText(path("bad.vst"), head + tail);
        try {
            readPresentation(path("bad.vst"));
            ADD_FAILURE() << "read without error: " << tail.constData();
        } catch (const KadroError& e) {
            EXPECT_STREQ(e.what(), "Fehler bei Bereichsprüfung");
        }
    }

    // The largest 32-bit frame is fine.
    writeText(path("big.vst"), head + "Marken: 1\r\nOptionen: 10\r\n#1 0 4294967295 M 1 1 0 0 1 0 0 0 1\r\n");
    EXPECT_EQ(readPresentation(path("big.vst")).marks.mark(1).lastFrame, 4294967295u);

    EXPECT_THROW(readPresentation(path("gibt-es-nicht.vst")), KadroError);
}

TEST_F(VstFileTest, TransitionCodesOutsideTheRangeReadAsTheNearestValidOne)
{
    writeVideo(path("v.avi"));
    const QList<std::pair<const char*, quint32>> cases = {{"A99", 99},   {"A100", 100}, {"A101", 100},
                                                          {"A0", 0},     {"A-1", 0},    {"A9223372036854775807", 100}};
    for (const auto& [token, code] : cases) {
        writeText(path("t.vst"), QByteArray("Videosteuerungsdatei zu Avi-File: *v.avi*\r\nZeitschritt(Normal): 40 ms\r\n"
                                            "Zeitschritt(Zeitlupe): 200 ms\r\nMarken: 1\r\nOptionen: 10\r\n#1 0 9 ") +
                                     token + " 1 1 0 0 1 0 0 0 1\r\n");
        const Mark mark = readPresentation(path("t.vst")).marks.mark(1);
        EXPECT_EQ(mark.transition, code) << token;
        EXPECT_EQ(mark.switches[Mark::Memo], 1u) << token; // the switches after it are read as before
    }
}

// The save itself (warning before the save dialog) is tested in the authoring view; here the
// rule and the writer that every other save (a test run) goes through.
TEST_F(VstFileTest, VideoPathsThatWouldNotReadBackAreNotWritten)
{
    // "*" encloses the path in the file, so the path must not contain one.
    const QString star = QStringLiteral("/home/lehrer/Wurf*2.avi");
    ASSERT_TRUE(unwritableVideoPathWarning(star).has_value());
    EXPECT_TRUE(unwritableVideoPathWarning(star)->contains(QStringLiteral("können: \"*\" (U+002A)\r")));
    EXPECT_FALSE(unwritableVideoPathWarning(QStringLiteral("C:\\Kurs\\Würfe € 2.avi")).has_value());

    MarkGrid grid = exampleGrid();
    PresentationSource source = exampleSource();
    writeText(path("alt.vst"), "alt");
    source.videoPath = star;
    EXPECT_THROW(writePresentation(grid, source, path("alt.vst"), work), KadroError);
    EXPECT_EQ(readBytes(path("alt.vst")), QByteArray("alt"));
    EXPECT_FALSE(QDir(dir.path()).exists("alt")); // no presentation folder either
}

TEST_F(VstFileTest, UnwritableTargetThrowsAndKeepsTheOldFile)
{
    MarkGrid grid = exampleGrid();
    QDir(dir.path()).mkdir("busy.vst");  // a folder where the file should go
    EXPECT_THROW(writePresentation(grid, exampleSource(), path("busy.vst"), work), KadroError);

    writeText(path("old.vst"), "old");
    QDir(dir.path()).mkdir("old");
    // A memo file that cannot be copied is ignored.
    QDir(dir.path()).mkdir("old/1.mem");
    writePresentation(grid, exampleSource(), path("old.vst"), work);
    EXPECT_EQ(readBytes(path("old.vst")), kExample);
}

TEST_F(VstFileTest, AFailedWriteKeepsTheOldPresentationAndCopiesNoMemo)
{
    MarkGrid grid = exampleGrid();
    grid.flushMemo(work, editor);
    // The presentation saved before, with its memo.
    writePresentation(grid, exampleSource(), path("Fall.vst"), work);
    ASSERT_EQ(readBytes(path("Fall.vst")), kExample);
    ASSERT_EQ(readBytes(path("Fall/1.mem")), QByteArray("Memo zu Marke 1"));

    // Changed, then saved again onto a disk that is full midway.
    editor.text = "Ein neuer Text";
    grid.flushMemo(work, editor);
    grid.toggleOption(0, 6);
    const QStringList entries = entriesOf(dir.path());
    QString message;
    {
        FileSizeLimit limit(120);
        ASSERT_TRUE(limit.active());
        try {
            writePresentation(grid, exampleSource(), path("Fall.vst"), work);
        } catch (const KadroError& e) {
            message = QString::fromStdString(e.what());
        }
    }
    EXPECT_EQ(message, QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.").arg(path("Fall.vst")));
    EXPECT_EQ(readBytes(path("Fall.vst")), kExample);
    EXPECT_EQ(readBytes(path("Fall/1.mem")), QByteArray("Memo zu Marke 1"));
    EXPECT_EQ(entriesOf(dir.path()), entries);

    // Into a "folder" that is a file.
    writeText(path("Kurs"), "kein Ordner");
    EXPECT_THROW(writePresentation(grid, exampleSource(), path("Kurs/Fall.vst"), work), KadroError);
    EXPECT_EQ(readBytes(path("Kurs")), QByteArray("kein Ordner"));
}

TEST_F(VstFileTest, OpenCommandAsksOnlyForUnsavedMarks)
{
    MarkGrid empty;
    EXPECT_FALSE(openNeedsSaveQuestion(false, empty));
    MarkGrid grid = gridWithMarksAt({1});
    EXPECT_TRUE(openNeedsSaveQuestion(false, grid));
    EXPECT_FALSE(openNeedsSaveQuestion(true, grid));
    EXPECT_EQ(kSaveChangesQuestion, QString("Daten wurden geändert.\rÄnderungen speichern?"));

    const FileDialogOptions open = presentationOpenDialogOptions();
    EXPECT_EQ(open.filterIndex, 2);
    EXPECT_EQ(open.filter,
              QString("Alle Dateien|*|Media Player Dateien|*.avi; *.vst; *.wmx; *.wvx; *.mpg; *.mpeg; *.m1v; "
                      "*.mp2; *.mpv2; *.mp2v; *.mpa|Avi-Video (*.avi)|*.avi|Videosteuerung (*.vst)|*.vst"));
}
