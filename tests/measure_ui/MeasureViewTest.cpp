// Measuring in the player view as a user does it: real mouse and key events on the picture, the
// distance field and the measurement table.
#include "MeasureFixture.h"

#include <QFile>
#include <QFrame>
#include <QLabel>

using namespace kadro;
using kadro::test::MeasureFixture;
using kadro::test::readBytes;

class MeasureView : public MeasureFixture {};

TEST_F(MeasureView, CalibratingByClicksAndEnterSetsTheScaleAndTheOrigin)
{
    ASSERT_EQ(ui().PaintBox1->size(), QSize(320, 240)); // client pixels are the picture's
    ui().MenuDatenaufnahme->trigger();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Information);
    EXPECT_EQ(prompts.shown[0].text, kNoCalibrationText);
    EXPECT_FALSE(ui().BerechnenAbdeckungsPanel->isVisibleTo(window.get()));
    EXPECT_FALSE(ui().MenuDatenaufnahme->isEnabled());

    // Position 1, Position 2, and a third click restarting Position 1.
    clickPicture(10, 20);
    EXPECT_EQ(ui().XKoord1Label->text(), QStringLiteral("10"));
    EXPECT_EQ(ui().YKoord1Label->text(), QStringLiteral("219"));
    clickPicture(110, 20);
    EXPECT_EQ(ui().XKoord2Label->text(), QStringLiteral("110"));
    clickPicture(50, 50);
    EXPECT_EQ(ui().XKoord1Label->text(), QStringLiteral("50"));
    EXPECT_TRUE(ui().XKoord2Label->text().isEmpty());
    // (That "Kalibrieren" waits for Position 2 again: Calibration.ClicksAlternatePositionOneAndTwo.)
    QTest::keyClicks(ui().XYAbstandEdit, QStringLiteral("1"));
    EXPECT_TRUE(ui().KalibrierenButton->isEnabled());

    // Typed coordinates count as well as clicked ones.
    clickPicture(150, 50);
    prompts.shown.clear();
    ui().XKoord1Label->setText(QStringLiteral("10"));
    ui().XKoord2Label->setText(QStringLiteral("110"));
    prompts.answers = {Button::Ja, Button::Nein};
    QTest::keyClick(ui().XYAbstandEdit, Qt::Key_Return);
    EXPECT_EQ(ui().KalibrierungsLabel->text(), QStringLiteral("1,00E-02"));
    EXPECT_EQ(prompts.shown.size(), 3); // which: Calibration.AcceptingAndAnsweringNeinTakesTheLowerLeftCorner
    EXPECT_FALSE(window->st.DataSaved);
    EXPECT_FALSE(ui().KalibrierenPanel->isVisibleTo(window.get()));
    EXPECT_TRUE(ui().MesswerteButtonPanel->isVisibleTo(window.get()));
    EXPECT_EQ(ui().MesswerteButtonPanel->pos(), QPoint(10, 70));
    EXPECT_EQ(ui().PositionXYPanel->y(), 10);
    EXPECT_FALSE(ui().DiagrammButton->isEnabled());
    EXPECT_TRUE(ui().mXLabel->isVisibleTo(window.get()));

    // "Nein" made the lower-left pixel the origin: a click there measures (0, 0).
    clickPicture(0, 239);
    EXPECT_EQ(row(1), (QStringList{"1", "0,000", "0,000", "", "0"}));
}

TEST_F(MeasureView, RefusedCalibrationsChangeNothing)
{
    ui().MenuDatenaufnahme->trigger();
    clickPicture(10, 20);
    clickPicture(110, 20);
    prompts.shown.clear();

    // Enter in the empty field runs "Kalibrieren", which fails with the conversion error.
    QTest::keyClick(ui().XYAbstandEdit, Qt::Key_Return);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Kadro 2.0"));
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("'' ist kein gültiger Gleitkommawert"));

    // A distance of 0 would give every point 0,000 and make the fits divide by zero.
    QTest::keyClicks(ui().XYAbstandEdit, QStringLiteral("0"));
    QTest::keyClick(ui().XYAbstandEdit, Qt::Key_Return);
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].kind, BoxKind::Warning);
    EXPECT_EQ(prompts.shown[1].text, kDistanceNotPositiveText);
    EXPECT_FALSE(measure().calibration().Calibrated);
    EXPECT_TRUE(ui().KalibrierenPanel->isVisibleTo(window.get()));
    EXPECT_TRUE(window->st.DataSaved);

    // Every refusal of the calibration and its text: the model's Calibration tests.
    // "Abbrechen" to the acceptance question keeps the scale shown but nothing else.
    ui().XYAbstandEdit->setText(QStringLiteral("1"));
    ui().XKoord2Label->setText(QStringLiteral("60"));
    prompts.answers = {Button::Abbrechen};
    QTest::keyClick(ui().XYAbstandEdit, Qt::Key_Return);
    EXPECT_EQ(ui().KalibrierungsLabel->text(), QStringLiteral("2,00E-02"));
    EXPECT_FALSE(measure().calibration().Calibrated);
    EXPECT_TRUE(ui().KalibrierenPanel->isVisibleTo(window.get()));
    // Emptying the field empties the scale and disables the button.
    ui().XYAbstandEdit->clear();
    EXPECT_TRUE(ui().KalibrierungsLabel->text().isEmpty());
    EXPECT_FALSE(ui().KalibrierenButton->isEnabled());
}

TEST_F(MeasureView, PointsAreRecordedDeletedWithTheGridsMenuAndSaved)
{
    calibrate();
    clickPicture(0, 239);      // frame 0
    stepFrames(1);
    clickPicture(120, 80);     // frame 1: picture (120, 159)
    stepFrames(2);
    clickPicture(30, 100);     // frame 3
    EXPECT_EQ(row(1), (QStringList{"1", "0,000", "0,000", "", "0"}));
    EXPECT_EQ(row(2), (QStringList{"2", "1,200", "1,590", "0,04", "1"}));
    EXPECT_EQ(row(3), (QStringList{"3", "0,300", "1,390", "0,08", "3"}));
    EXPECT_TRUE(ui().DiagrammButton->isEnabled());
    EXPECT_TRUE(ui().MenuDatenauswertung->isEnabled());
    EXPECT_TRUE(ui().MenuTrendparabel->isEnabled());

    // A right press on point 2 names it in the pop-up menu; deleting it adds its time step to
    // the next point's.
    QTableWidget* grid = ui().MesswerteStringGrid;
    const QRect second = grid->visualItemRect(grid->item(2, 1));
    QTest::mousePress(grid->viewport(), Qt::RightButton, {}, second.center());
    QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, second.center());
    EXPECT_EQ(ui().MesswertePopupMenuMessungLoeschen->text(), QStringLiteral("Messwert 2 löschen"));
    const QPoint inGrid = grid->viewport()->mapTo(grid, second.center());
    EXPECT_EQ(measure().lastPopupPoint(), window->pos() + inGrid + QPoint(550, 330));
    ui().MesswertePopupMenu->hide();
    ui().MesswertePopupMenuMessungLoeschen->trigger();
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(row(2), (QStringList{"2", "0,300", "1,390", "0,12", "3"}));
    EXPECT_FALSE(ui().MenuTrendparabel->isEnabled());
    EXPECT_TRUE(window->ui.MenuKeine->isChecked());

    // Saving (through the dialog MeasurementFile.SavingAsksForTheFileAndWritesIt checks): the file a
    // spreadsheet opens, and the measurements count as saved.
    prompts.fileAnswers = {path("fall.mes")};
    ui().MesswerteSpeichernButton->click();
    ASSERT_EQ(prompts.fileRequests.size(), 1);
    QByteArray bytes = readBytes(path("fall.mes"));
    EXPECT_EQ(fromCp1252(bytes), QStringLiteral("Messwerte zu Avi-File: ") + device->fileName() +
                                     QStringLiteral("\r\n1,000E-02\r\n"
                                                    "Nr.\tX-Koordinate\tY-Koordinate\tdt/[s]\tFramenummer\r\n"
                                                    "1\t0,000\t0,000\t\t0\t\r\n"
                                                    "2\t0,300\t1,390\t0,12\t3\t\r\n"));
    EXPECT_TRUE(window->st.DataSaved);
}

TEST_F(MeasureView, AFailedSaveIsReportedAndTheDataStaysUnsaved)
{
    calibrate();
    clickPicture(5, 5);
    // A "folder" that is a file: the file cannot be written.
    ASSERT_TRUE(writeFileSafely(path("Kurs"), "kein Ordner"));
    prompts.fileAnswers = {path("Kurs/fall.mes")};
    ui().MesswerteSpeichernButton->click();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Kadro 2.0"));
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("E/A-Fehler"))) << prompts.shown[0].text.toStdString();
    EXPECT_FALSE(window->st.DataSaved);
    // That the file in the way stays is MeasurementFile.FailedWriteIsAnInputOutputErrorAndHarmsNothing.
}

TEST_F(MeasureView, LeavingWithUnsavedMeasurementsSavesThroughTheDialog)
{
    calibrate();
    clickPicture(5, 5);
    // "Ja", then the save dialog is cancelled: the view stays.
    prompts.answers = {Button::Ja};
    EXPECT_FALSE(window->FormCloseQuery());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Confirmation);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Messwerte wurden noch nicht gespeichert.\rWollen Sie jetzt speichern?"));
    EXPECT_FALSE(ui().StartseitePanel->isVisibleTo(window.get()));
    // "Ja" with a file: written, and back to the start page.
    prompts.answers = {Button::Ja};
    prompts.fileAnswers = {path("weg.mes")};
    EXPECT_FALSE(window->FormCloseQuery());
    EXPECT_TRUE(QFile::exists(path("weg.mes")));
    EXPECT_TRUE(ui().StartseitePanel->isVisibleTo(window.get()));
}

TEST_F(MeasureView, AfterSchliessenDatenaufnahmeGoesOnWithTheSameSeriesAndKalibrierungNeuStartsAfresh)
{
    calibrate();
    clickPicture(0, 239);
    ui().AuswertungSchliessenButton->click();
    EXPECT_TRUE(ui().BerechnenAbdeckungsPanel->isVisibleTo(window.get()));
    EXPECT_TRUE(ui().MenuDatenaufnahme->isEnabled());
    ui().MenuDatenaufnahme->trigger(); // calibrated: no information box
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_FALSE(ui().BerechnenAbdeckungsPanel->isVisibleTo(window.get()));
    // The next click is point 2 of the same series, with the same origin.
    stepFrames(1);
    clickPicture(10, 229);
    EXPECT_EQ(row(1), (QStringList{"1", "0,000", "0,000", "", "0"}));
    EXPECT_EQ(row(2), (QStringList{"2", "0,100", "0,100", "0,04", "1"}));
    EXPECT_TRUE(measure().calibration().OriginSet);

    // "Kalibrierung neu": "Nein" keeps everything, "Ja" starts afresh.
    prompts.answers = {Button::Nein};
    ui().KalibrierungNeuButton->click();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Warning);
    EXPECT_EQ(prompts.shown[0].text, kRenewCalibrationText);
    EXPECT_TRUE(measure().calibration().Calibrated);
    prompts.answers = {Button::Ja};
    ui().KalibrierungNeuButton->click();
    EXPECT_FALSE(measure().calibration().Calibrated);
    EXPECT_TRUE(ui().KalibrierenPanel->isVisibleTo(window.get()));
    EXPECT_FALSE(ui().MesswerteButtonPanel->isVisibleTo(window.get()));
    EXPECT_TRUE(ui().XYAbstandEdit->text().isEmpty());
    // Enter before the positions are clicked anew says to click them; one is not enough either.
    prompts.shown.clear();
    QTest::keyClicks(ui().XYAbstandEdit, QStringLiteral("2"));
    QTest::keyClick(ui().XYAbstandEdit, Qt::Key_Return);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Information);
    EXPECT_EQ(prompts.shown[0].text, kClickPositionsFirstText);
    clickPicture(10, 20);
    QTest::keyClick(ui().XYAbstandEdit, Qt::Key_Return);
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].text, kClickPositionsFirstText);
    clickPicture(110, 20);
    prompts.answers = {Button::Ja, Button::Nein};
    QTest::keyClick(ui().XYAbstandEdit, Qt::Key_Return);
    EXPECT_EQ(ui().KalibrierungsLabel->text(), QStringLiteral("2,00E-02"));
    EXPECT_TRUE(measure().calibration().Calibrated);
    clickPicture(0, 239);
    EXPECT_EQ(row(1), (QStringList{"1", "0,000", "0,000", "", "1"}));
}

TEST_F(MeasureView, AfterSchliessenBeforeTheOriginDatenaufnahmeTakesTheOriginClick)
{
    calibrate(QStringLiteral("1"), Button::Ja);
    ui().AuswertungSchliessenButton->click();
    clickPicture(40, 40); // the panel is closed: no origin
    EXPECT_FALSE(measure().calibration().OriginSet);
    ui().MenuDatenaufnahme->trigger();
    clickPicture(40, 40);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, kStartMeasuringText);
    clickPicture(41, 40);
    EXPECT_EQ(row(1), (QStringList{"1", "0,010", "0,000", "", "0"}));
}

TEST_F(MeasureView, RightClickOnThePictureOpensTheMainMenuAndPausesTheVideo)
{
    window->transport().VideoStartButtonClick(); // AVI without sound: runs on Timer1
    ASSERT_TRUE(ui().Timer1->isActive());
    clickPicture(30, 40, Qt::RightButton);
    EXPECT_FALSE(ui().Timer1->isActive());
    EXPECT_EQ(ui().VideoStopButton->text(), QStringLiteral("Weiter"));
    EXPECT_EQ(window->lastPopupPos(), window->pos() + QPoint(30 + 23, 40 + 10));
    EXPECT_TRUE(ui().HauptFensterPopupMenu->isVisible());
    ui().HauptFensterPopupMenu->hide();
    EXPECT_TRUE(cell(1, 0).isEmpty()); // a right click records nothing
    EXPECT_FALSE(ui().HauptFensterPopupMenu2->isVisible());
}

TEST_F(MeasureView, LiveDisplayFollowsThePointer)
{
    movePointer(10, 20);
    EXPECT_EQ(ui().XLabel->text(), QStringLiteral("10"));
    EXPECT_EQ(ui().YLabel->text(), QStringLiteral("219"));
    calibrate();
    movePointer(0, 239);
    EXPECT_EQ(ui().XLabel->text(), QStringLiteral("0.000"));
    movePointer(25, 39);
    EXPECT_EQ(ui().XLabel->text(), QStringLiteral("0,250"));
    EXPECT_EQ(ui().YLabel->text(), QStringLiteral("2,000"));
}

TEST_F(MeasureView, OpeningAFileAndANewViewStartAfresh)
{
    calibrate();
    clickPicture(5, 5);
    window->Programmpunkt1Einstellungen();
    EXPECT_FALSE(measure().calibration().Calibrated);
    EXPECT_EQ(ui().MesswerteStringGrid->rowCount(), 2);
    EXPECT_TRUE(cell(1, 0).isEmpty());
    EXPECT_EQ(cell(0, 1), QStringLiteral("  X [m]"));
    EXPECT_TRUE(ui().BerechnenAbdeckungsPanel->isVisibleTo(window.get()));
    EXPECT_FALSE(ui().MenuDatenaufnahme->isEnabled()); // until a video is opened
    EXPECT_TRUE(ui().KalibrierenPanel->isVisibleTo(window.get()));
    EXPECT_EQ(ui().PositionXYPanel->y(), 183);
    EXPECT_FALSE(ui().mXLabel->isVisibleTo(window.get()));
    ASSERT_TRUE(openVideo("wurf.avi"));
    EXPECT_TRUE(ui().MenuDatenaufnahme->isEnabled());
}
