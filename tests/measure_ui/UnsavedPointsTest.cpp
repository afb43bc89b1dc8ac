// Measured points are work of the user: every change of the series counts as unsaved, and every
// way out of the player view (closing, "Öffnen") asks before it is given up. Real mouse and key
// events on the picture, the buttons and the measurement table.
#include "MeasureFixture.h"

using namespace kadro;
using kadro::test::MeasureFixture;
using kadro::test::readBytes;

namespace {
const QString kDirekt = QStringLiteral("Wollen Sie das Programm direkt beenden ohne zur Startseite zu gehen?");
} // namespace

class UnsavedPoints : public MeasureFixture {};

TEST_F(UnsavedPoints, PointsRecordedDeletedOrClearedAfterASaveAreAskedFor)
{
    calibrate();
    recordPoints(3);
    save("fall.mes");
    recordPoints(2);
    ASSERT_EQ(cell(5, 0), QStringLiteral("5"));
    EXPECT_FALSE(window->st.DataSaved);
    // "Abbrechen" keeps the view and the five points.
    EXPECT_EQ(closeQuestion(Button::Abbrechen), kUnsavedMeasurementsText);
    EXPECT_FALSE(startPageShown());
    EXPECT_EQ(cell(5, 0), QStringLiteral("5"));

    // Deleting a point through the table's pop-up menu.
    save("fall.mes");
    deletePoint(2);
    ASSERT_EQ(cell(5, 0), QString());
    EXPECT_EQ(closeQuestion(Button::Abbrechen), kUnsavedMeasurementsText);

    // "Messwerte neu".
    save("fall.mes");
    clickButton(ui().MesswerteNeuButton);
    ASSERT_EQ(cell(1, 0), QString());
    EXPECT_EQ(closeQuestion(Button::Abbrechen), kUnsavedMeasurementsText);
    // "Nein" gives them up.
    EXPECT_EQ(closeQuestion(Button::Nein), kUnsavedMeasurementsText);
    EXPECT_TRUE(startPageShown());
}

TEST_F(UnsavedPoints, SavedPointsLeaveWithoutTheSaveQuestion)
{
    calibrate();
    recordPoints(2);
    save("fall.mes");
    EXPECT_EQ(closeQuestion(Button::Nein), kDirekt);
    // Clearing an empty table changes nothing that could be lost.
    enterView(1);
    ASSERT_TRUE(openVideo("fall.avi"));
    calibrate();
    save("leer.mes");
    clickButton(ui().MesswerteNeuButton);
    EXPECT_TRUE(window->st.DataSaved);
}

TEST_F(UnsavedPoints, OpenAsksFirstAndCancelKeepsVideoCalibrationAndPoints)
{
    calibrate();
    recordPoints(3);
    const QString video = device->fileName();

    // "Abbrechen": no open dialog, everything as it was.
    prompts.answers = {Button::Abbrechen};
    clickButton(ui().OeffnenButton);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Confirmation);
    EXPECT_EQ(prompts.shown[0].text, kUnsavedMeasurementsText);
    EXPECT_TRUE(prompts.fileRequests.isEmpty());
    EXPECT_EQ(device->fileName(), video);
    EXPECT_TRUE(measure().calibration().Calibrated);
    EXPECT_EQ(cell(3, 0), QStringLiteral("3"));
    EXPECT_FALSE(window->st.DataSaved);

    // "Ja" and a cancelled save dialog: nothing is opened either.
    prompts.shown.clear();
    prompts.answers = {Button::Ja};
    prompts.fileAnswers = {QString()};
    ui().HauptFensterPopupMenuOeffnen->trigger();
    ASSERT_EQ(prompts.fileRequests.size(), 1);
    EXPECT_TRUE(prompts.fileRequests[0].save);
    EXPECT_EQ(cell(3, 0), QStringLiteral("3"));
    EXPECT_EQ(device->fileName(), video);

    // "Ja" and a file: the points are written, then the open dialog comes.
    prompts.shown.clear();
    prompts.fileRequests.clear();
    prompts.answers = {Button::Ja};
    prompts.fileAnswers = {path("fall.mes"), QString()};
    clickButton(ui().OeffnenButton);
    ASSERT_EQ(prompts.fileRequests.size(), 2);
    EXPECT_TRUE(prompts.fileRequests[0].save);
    EXPECT_FALSE(prompts.fileRequests[1].save);
    QByteArray bytes = readBytes(path("fall.mes"));
    EXPECT_EQ(fromCp1252(bytes).count(QStringLiteral("\r\n")), 6); // 3 lines of heading, 3 points

    // Saved now: "Öffnen" goes straight to the dialog.
    prompts.shown.clear();
    prompts.fileRequests.clear();
    prompts.fileAnswers = {QString()};
    clickButton(ui().OeffnenButton);
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(prompts.fileRequests.size(), 1);
}

TEST_F(UnsavedPoints, OpenWithNeinGivesThePointsUpForTheNewVideo)
{
    calibrate();
    recordPoints(2);
    videoFile("wurf.avi");
    prompts.answers = {Button::Nein};
    prompts.fileAnswers = {path("wurf.avi")};
    clickButton(ui().OeffnenButton);
    ASSERT_EQ(prompts.fileRequests.size(), 1);
    EXPECT_FALSE(prompts.fileRequests[0].save);
    EXPECT_EQ(device->fileName(), path("wurf.avi"));
    EXPECT_FALSE(measure().calibration().Calibrated);
    EXPECT_EQ(cell(1, 0), QString());
    EXPECT_TRUE(window->st.DataSaved);
}
