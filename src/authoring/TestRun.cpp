#include "authoring/TestRun.h"

#include "authoring/MarkTableController.h"
#include "authoring/MemoEditor.h"
#include "authoring/PresentationFile.h"
#include "authoring/model/Mark.h"
#include "authoring/model/VstFile.h"
#include "common/ErrorReport.h"
#include "common/MainState.h"
#include "common/Prompts.h"
#include "common/ShellRoutines.h"
#include "player/SectionPlayback.h"
#include "player/Transport.h"
#include "player/video/VideoDevice.h"

#include <QFile>
#include <QPushButton>

namespace kadro {

TestRun::TestRun(const Context& context, const TestRunWidgets& widgets, const Parts& parts)
    : c(context), ui(widgets), p(parts)
{
    connect(ui.TestButton, &QPushButton::clicked, this, [this] { runGuarded(c.prompts, [this] { TestButtonClick(); }); });
    connect(ui.TestBeendenPanel, &QPushButton::clicked, this,
            [this] { runGuarded(c.prompts, [this] { TestBeendenPanelClick(); }); });
}

void TestRun::TestButtonClick()
{
    auto& st = c.st;
    MarkTableController& table = p.markTable;
    MarkGrid& grid = table.grid();
    const MemoFolder workMemos = MarkTableController::workMemos();

    grid.flushMemo(workMemos, table.memoEditor());
    if (const std::optional<QString> warning = grid.missingStopFrameWarning()) {
        c.prompts.warning(*warning);
        return;
    }

    // The test folder holds the memos of this test only: a file left from an earlier test
    // would otherwise stand in for a memo whose working file is missing.
    MemoFolder(testFolderName()).removeAll();
    PresentationSource source;
    source.videoPath = c.device.fileName();
    source.normalTimeStep = p.transport.normalStepText();
    source.slowTimeStep = p.transport.slowStepText();
    {
        // The forced autostart shows in the grid, also when writing fails.
        struct Show {
            MarkTableController& table;
            ~Show() { table.refresh(); }
        } show{table};
        writePresentation(grid, source, testFileName(), workMemos);
    }
    m_marksBefore = grid;

    st.ActiveArea = 1;
    c.shell.StartseiteAus();

    {
        // Whatever happens while the test presentation is read and started, "Test Beenden" is the
        // way back, and the ways out of the program stay closed.
        struct Lock {
            TestRun& run;
            ~Lock()
            {
                run.c.st.TestRunning = true;
                run.ui.TestBeendenPanel->move(8, 8);
                run.ui.TestBeendenPanel->show();
                run.ui.TestBeendenPanel->raise();
                run.c.shell.lockForTestRun(true);
            }
        } lock{*this};

        st.PresentationMode = true;
        p.presentationFile.vstDateiEinlesen(testFileName());
        st.PresentationPath = testFileName();
        if (st.PresentationLoaded) {
            st.CurrentMark = 0;
            p.sections.VideoMarkeEinstellen();
        }
    }
}

void TestRun::TestBeendenPanelClick()
{
    auto& st = c.st;
    MarkTableController& table = p.markTable;

    // Back into the authoring view, laid out afresh and captioned.
    st.DiagramShown = false;
    st.ActiveArea = 2;
    c.shell.StartseiteAus();

    // The working memo files stay: they hold the memos of this presentation, also those switched
    // off, which the test file does not carry. The marks come back from memory, as they were when
    // the test started, whatever becomes of reading the test file for its video.
    st.PresentationPath = testFileName();
    table.resetGrid();
    c.marks.clear();
    st.PresentationMode = true;
    struct Restore {
        TestRun& run;
        ~Restore()
        {
            if (run.m_marksBefore) {
                run.p.markTable.restoreGrid(*run.m_marksBefore);
                run.p.markTable.enableEditing();
                // The presentation under construction is still not saved.
                run.c.st.DataSaved = false;
            }
        }
    } restore{*this};
    p.presentationFile.vstDateiEinlesen(testFileName());
    if (!st.PresentationLoaded) {
        // The video has gone (the reading said so): the marks stay in the grid and in the test
        // file, which can be opened again once the video is back.
        c.shell.lockForTestRun(false);
        return;
    }

    st.StartFrame = 0;
    st.StopFrame = c.device.length();
    p.transport.OeffnenVariableEinstellungen();
    if (m_marksBefore)
        table.showFrame(cellInteger(m_marksBefore->cell(0, 1)));
    p.memo.enableToolBar(true);
    QFile::remove(testFileName());
    c.shell.lockForTestRun(false);
}

} // namespace kadro
