#pragma once
#include "authoring/TestRunWidgets.h"
#include "authoring/model/MarkGrid.h"
#include "common/Context.h"

#include <QObject>
#include <QString>
#include <optional>

namespace kadro {

class MarkTableController;
class MemoEditor;
class PresentationFile;
class SectionPlayback;
class Transport;

// The test run: "Test" writes the presentation under construction as "Test~.vst" (with its memo
// folder "Test~") in the working directory and plays it in the player view; "Test Beenden"
// brings the authoring view back as it was, rebuilt from that file.
class TestRun : public QObject {
    Q_OBJECT
public:
    // The subsystems a test run goes through.
    struct Parts {
        MarkTableController& markTable;
        MemoEditor& memo;
        PresentationFile& presentationFile;
        SectionPlayback& sections;
        Transport& transport;
    };
    TestRun(const Context& context, const TestRunWidgets& widgets, const Parts& parts);

    void TestButtonClick();
    void TestBeendenPanelClick();

    // The test presentation and its memo folder, in the working directory.
    static QString testFileName() { return QStringLiteral("Test~.vst"); }
    static QString testFolderName() { return QStringLiteral("Test~"); }

private:
    Context c;
    TestRunWidgets ui;
    Parts p;
    // The marks as the test run took them: "Test Beenden" brings them back from here, so they
    // survive a test file or a video that can no longer be read.
    std::optional<MarkGrid> m_marksBefore;
};

} // namespace kadro
