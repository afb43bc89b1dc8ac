#include "MeasureTestSupport.h"

#include "common/Cp1252.h"
#include "common/ErrorReport.h"
#include "measure/model/MeasurementFile.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"
#include "support/WriteFailures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kadro;
using namespace kadro::test;

namespace {

// Two points on the frames 12 and 14 at 40 ms, 1 cm per pixel.
MeasurementSeries twoPoints()
{
    return seriesOf(measuring(0.01), {{120, 207, 12}, {130, 190, 14}});
}

const QByteArray kTwoPointsFile =
    "Messwerte zu Avi-File: /home/lehrer/Fall.avi\r\n"
    "1,000E-02\r\n"
    "Nr.\tX-Koordinate\tY-Koordinate\tdt/[s]\tFramenummer\r\n"
    "1\t1,200\t2,070\t\t12\t\r\n"
    "2\t1,300\t1,900\t0,08\t14\t\r\n";

} // namespace

TEST(MeasurementFile, BytesOfTwoPoints)
{
    EXPECT_EQ(measurementFileBytes("/home/lehrer/Fall.avi", 0.01, twoPoints()), kTwoPointsFile);
}

TEST(MeasurementFile, EmptySeriesGivesOneLineOfTabs)
{
    const QByteArray bytes = measurementFileBytes("a.avi", 1.234e-3, MeasurementSeries());
    EXPECT_EQ(bytes, QByteArray("Messwerte zu Avi-File: a.avi\r\n1,234E-03\r\n"
                                "Nr.\tX-Koordinate\tY-Koordinate\tdt/[s]\tFramenummer\r\n\t\t\t\t\t\r\n"));
}

TEST(MeasurementFile, PathWithUmlautsInTheSingleByteCodePage)
{
    const QByteArray bytes = measurementFileBytes(QStringLiteral("C:\\Videos\\Fallröhre – Müller.avi"), 0.01,
                                                  MeasurementSeries());
    EXPECT_TRUE(bytes.startsWith("Messwerte zu Avi-File: C:\\Videos\\Fallr\xF6hre \x96 M\xFCller.avi\r\n"));
}

TEST(MeasurementFile, SavingAsksForTheFileAndWritesIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Fall.mes");
    ScriptedPrompts prompts;
    // Cancelled: nothing written.
    EXPECT_FALSE(saveMeasurements(prompts, "/home/lehrer/Fall.avi", 0.01, twoPoints()));
    ASSERT_EQ(prompts.fileRequests.size(), 1);
    const FileDialogOptions& o = prompts.fileRequests[0].options;
    EXPECT_TRUE(prompts.fileRequests[0].save);
    EXPECT_EQ(o.filter, "Messwerte (*.mes)|*.mes");
    EXPECT_EQ(o.defaultSuffix, "mes");
    EXPECT_TRUE(o.overwritePrompt);
    EXPECT_TRUE(o.title.isEmpty() && o.directory.isEmpty());

    prompts.fileAnswers = {path, path};
    EXPECT_TRUE(saveMeasurements(prompts, "/home/lehrer/Fall.avi", 0.01, MeasurementSeries()));
    EXPECT_TRUE(saveMeasurements(prompts, "/home/lehrer/Fall.avi", 0.01, twoPoints()));
    EXPECT_EQ(readBytes(path), kTwoPointsFile);
}

TEST(MeasurementFile, FailedWriteIsAnInputOutputErrorAndHarmsNothing)
{
    QTemporaryDir dir;
    try {
        writeMeasurementFile(dir.filePath("fehlt/Fall.mes"), "a.avi", 0.01, twoPoints());
        FAIL() << "writing into a missing folder must fail";
    } catch (const KadroError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), "E/A-Fehler 3");
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("fehlt/Fall.mes")));

    // A folder of that name stays as it was, with its content.
    ASSERT_TRUE(QDir(dir.path()).mkpath("Fall.mes"));
    ASSERT_TRUE(writeFileSafely(dir.filePath("Fall.mes/inhalt.txt"), "bleibt"));
    EXPECT_THROW(writeMeasurementFile(dir.filePath("Fall.mes"), "a.avi", 0.01, twoPoints()), KadroError);
    EXPECT_EQ(readBytes(dir.filePath("Fall.mes/inhalt.txt")), QByteArray("bleibt"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());

    // A "folder" that is a file: the path is not found.
    ASSERT_TRUE(writeFileSafely(dir.filePath("Kurs"), "kein Ordner"));
    try {
        writeMeasurementFile(dir.filePath("Kurs/Fall.mes"), "a.avi", 0.01, twoPoints());
        FAIL() << "writing below a file must fail";
    } catch (const KadroError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), "E/A-Fehler 3");
    }
    EXPECT_EQ(readBytes(dir.filePath("Kurs")), QByteArray("kein Ordner"));

    // A disk that is full midway: a write error, and the earlier file of that name stays whole.
    const QString earlier = dir.filePath("Wurf.mes");
    writeMeasurementFile(earlier, "/home/lehrer/Fall.avi", 0.01, twoPoints());
    const QStringList entries = test::entriesOf(dir.path());
    QString message;
    {
        test::FileSizeLimit limit(50);
        ASSERT_TRUE(limit.active());
        try {
            writeMeasurementFile(earlier, "/home/lehrer/Wurf.avi", 0.02, twoPoints());
        } catch (const KadroError& e) {
            message = QString::fromStdString(e.what());
        }
    }
    EXPECT_EQ(message, "E/A-Fehler 101");
    EXPECT_EQ(readBytes(earlier), kTwoPointsFile);
    EXPECT_EQ(test::entriesOf(dir.path()), entries);
}
