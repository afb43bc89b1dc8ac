// The window "Kadro - Diagramme" as a teacher uses it: points clicked on the picture of a 50 fps
// video, the window opened from "Datenaus&wertung", following new, deleted and cleared points and
// a change of the time base, and its exports.
#include "support/MeasuringFixture.h"

#include "evaluation/DiagrammeFenster.h"
#include "settings/OptionenFenster.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QtCharts/QChartView>

using namespace kadro;
using kadro::test::MeasuringFixture;

namespace {

// y = 2 m − 50 m/s²·t², x = 0,2 m + 10 m/s·t at 50 frames per second, 1 cm per pixel with the
// origin in the lower-left corner (picture y counts upward from row 239).
const QString kClipboard = QStringLiteral(
    "t [s]\tx [m]\ty [m]\tvx [m/s]\tvy [m/s]\tv [m/s]\tax [m/s²]\tay [m/s²]\n"
    "0,00000\t0,200\t2,000\t\t\t\t\t\n"
    "0,02000\t0,400\t1,980\t10,000\t-2,000\t10,198\t\t\n"
    "0,04000\t0,600\t1,920\t10,000\t-4,000\t10,770\t0,000\t-100,000\n"
    "0,06000\t0,800\t1,820\t10,000\t-6,000\t11,662\t\t\n"
    "0,08000\t1,000\t1,680\t\t\t\t\t\n");

} // namespace

class DiagramWindow : public MeasuringFixture {
protected:
    void SetUp() override
    {
        MeasuringFixture::SetUp();
        device->setTiming({50, false, 0}, stampsAtRate(50));
        ASSERT_TRUE(openVideo("fall.mp4", 99, {320, 240}));
        calibrate();
    }

    TDiagrammeFenster& diagrams() { return *window->ui.DiagrammeFenster; }
    void fall()
    {
        for (int k = 0; k < 5; ++k)
            point(20 + 20 * k, 239 - (200 - 2 * k * k));
    }
    QStringList tableRow(int row)
    {
        QStringList out;
        for (int col = 0; col < diagrams().Tabelle->columnCount(); ++col) {
            const QTableWidgetItem* item = diagrams().Tabelle->item(row, col);
            out << (item ? item->text() : QString());
        }
        return out;
    }
    QStringList tableColumn(int col)
    {
        QStringList out;
        for (int row = 0; row < diagrams().Tabelle->rowCount(); ++row)
            out << diagrams().Tabelle->item(row, col)->text();
        return out;
    }
    void chooseFit(int downs)
    {
        diagrams().AusgleichComboBox->setFocus();
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(diagrams().AusgleichComboBox, Qt::Key_Down);
    }
};

TEST_F(DiagramWindow, OpensFromTheMenuAndFollowsNewDeletedAndClearedPoints)
{
    QList<QAction*> items = ui().MenuDatenauswertung->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items.last(), ui().MenuDiagramme);
    EXPECT_TRUE(items.at(items.size() - 2)->isSeparator());
    EXPECT_EQ(ui().MenuDiagramme->text(), QStringLiteral("Diagramme..."));
    EXPECT_FALSE(ui().MenuDiagramme->isEnabled());
    point(20, 39);
    EXPECT_FALSE(ui().MenuDiagramme->isEnabled());
    point(40, 41);
    EXPECT_TRUE(ui().MenuDiagramme->isEnabled());

    const int frameBefore = device->position();
    ui().MenuDiagramme->trigger();
    ASSERT_TRUE(diagrams().isVisible());
    EXPECT_TRUE(diagrams().isWindow());
    EXPECT_EQ(diagrams().windowTitle(), QStringLiteral("Kadro - Diagramme"));
    EXPECT_EQ(device->position(), frameBefore) << "the video keeps its state";
    EXPECT_EQ(diagrams().Tabelle->rowCount(), 2);
    EXPECT_EQ(tableRow(1), (QStringList{"0,02000", "0,400", "1,980", "", "", "", "", ""}));

    // New points while it is open.
    point(60, 47);
    point(80, 57);
    point(100, 71);
    ASSERT_EQ(diagrams().Tabelle->rowCount(), 5);
    EXPECT_EQ(tableRow(2), (QStringList{"0,04000", "0,600", "1,920", "10,000", "-4,000", "10,770", "0,000", "-100,000"}));

    // Point 3 deleted in the measurement table: the neighbours' own times count.
    deletePoint(3);
    ASSERT_EQ(diagrams().Tabelle->rowCount(), 4);
    EXPECT_EQ(tableColumn(0), (QStringList{"0,00000", "0,02000", "0,06000", "0,08000"}));
    // vx of point 2: (0,8 − 0,2) / 0,06; vy of point 3: (1,68 − 1,98) / 0,06.
    EXPECT_EQ(tableRow(1).at(3), QStringLiteral("10,000"));
    EXPECT_EQ(tableRow(2).at(4), QStringLiteral("-5,000"));
    EXPECT_EQ(tableColumn(7), (QStringList{"", "", "", ""}));

    // "Messwerte neu": nothing left to show, and the menu item goes.
    QTest::mouseClick(ui().MesswerteNeuButton, Qt::LeftButton);
    EXPECT_EQ(diagrams().Tabelle->rowCount(), 0);
    EXPECT_FALSE(ui().MenuDiagramme->isEnabled());
    EXPECT_TRUE(diagrams().fitLines().isEmpty());
}

TEST_F(DiagramWindow, FitsThroughTheChosenQuantityWithItsEquation)
{
    fall();
    ui().MenuDiagramme->trigger();
    EXPECT_EQ(diagrams().GroesseComboBox->currentText(), QStringLiteral("y"));
    EXPECT_EQ(diagrams().AusgleichComboBox->currentText(), QStringLiteral("keine"));
    EXPECT_TRUE(diagrams().fitLines().isEmpty());

    chooseFit(2);
    ASSERT_EQ(diagrams().AusgleichComboBox->currentText(), QStringLiteral("Parabel"));
    // The points lie exactly on the parabola: no spread, uncertainties 0.
    EXPECT_EQ(diagrams().fitLines(),
              (QStringList{"y(t) = 2,000 + 0,0000·t − 50,00·t²",
                           "Parameter: 2,000 ± 0 m;  0,0000 ± 0 m/s;  −50,00 ± 0 m/s²", "g = 100,0 ± 0 m/s²",
                           "n = 5 Punkte, RMS-Abweichung = 0 m"}));

    // A line in x gives the speed; the axes name the quantity and its unit.
    diagrams().GroesseComboBox->setFocus();
    QTest::keyClick(diagrams().GroesseComboBox, Qt::Key_Up);
    chooseFit(0);
    diagrams().AusgleichComboBox->setFocus();
    QTest::keyClick(diagrams().AusgleichComboBox, Qt::Key_Up);
    ASSERT_EQ(diagrams().AusgleichComboBox->currentText(), QStringLiteral("Gerade"));
    EXPECT_EQ(diagrams().fitLines().value(2), QStringLiteral("v = 10,00 ± 0 m/s"));
    const QList<QAbstractAxis*> axes = diagrams().DiagrammView->chart()->axes();
    QStringList titles;
    for (const QAbstractAxis* axis : axes)
        titles << axis->titleText();
    EXPECT_EQ(titles, (QStringList{"t [s]", "x [m]"}));

    // One more point and the fit follows at once.
    point(120, 239 - (200 - 2 * 25));
    EXPECT_EQ(diagrams().fitLines().value(3).left(9), QStringLiteral("n = 6 Pun"));
}

TEST_F(DiagramWindow, CopiesAndSavesTheTableAndThePicture)
{
    fall();
    ui().MenuDiagramme->trigger();
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(diagrams().KopierenButton, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), kClipboard);

    // CSV: the safe save through the save dialog.
    prompts.fileAnswers = {path("fall.csv")};
    QTest::mouseClick(diagrams().CsvButton, Qt::LeftButton);
    ASSERT_EQ(prompts.fileRequests.size(), 1);
    EXPECT_TRUE(prompts.fileRequests[0].save);
    EXPECT_EQ(prompts.fileRequests[0].options.filter, QStringLiteral("CSV-Datei (*.csv)|*.csv"));
    EXPECT_EQ(prompts.fileRequests[0].options.defaultSuffix, QStringLiteral("csv"));
    EXPECT_TRUE(prompts.fileRequests[0].options.overwritePrompt);
    QFile csv(path("fall.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    QString expected = kClipboard;
    expected.replace(QLatin1Char('\t'), QLatin1Char(';')).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    EXPECT_EQ(csv.readAll(), QByteArray("\xEF\xBB\xBF") + expected.toUtf8());

    // Cancelled: nothing written.
    prompts.fileAnswers.clear();
    QTest::mouseClick(diagrams().CsvButton, Qt::LeftButton);
    EXPECT_EQ(prompts.fileRequests.size(), 2);

    // A folder that does not exist: the error box, no file.
    prompts.fileAnswers = {path("fehlt/fall.csv")};
    QTest::mouseClick(diagrams().CsvButton, Qt::LeftButton);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Die Datei %1 kann nicht geschrieben werden.").arg(path("fehlt/fall.csv")));

    // The plot as a PNG picture of its size.
    prompts.fileAnswers = {path("fall.png")};
    QTest::mouseClick(diagrams().BildButton, Qt::LeftButton);
    const QImage picture(path("fall.png"), "PNG");
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), diagrams().DiagrammView->size() * diagrams().DiagrammView->devicePixelRatio());

    // Or as SVG, chosen by the name's extension.
    prompts.fileAnswers = {path("fall.svg")};
    QTest::mouseClick(diagrams().BildButton, Qt::LeftButton);
    QFile svg(path("fall.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray svgText = svg.readAll();
    EXPECT_TRUE(svgText.contains("<svg")) << svgText.left(200).constData();
    EXPECT_TRUE(svgText.contains("<title>Kadro - Diagramme</title>"));
    EXPECT_EQ(prompts.fileRequests.last().options.filter, QStringLiteral("PNG-Bild (*.png)|*.png|SVG-Grafik (*.svg)|*.svg"));
}

TEST_F(DiagramWindow, FollowsTheTimeBase)
{
    fall();
    ui().MenuDiagramme->trigger();
    EXPECT_EQ(tableColumn(0).last(), QStringLiteral("0,08000"));
    // "Zeit aus dem Video" off in the settings: the settings' 40 ms per frame count.
    inSettings([this] {
        optionen->ZeitAusVideoCheckBox->setChecked(false);
        QTest::mouseClick(optionen->OKBitBtn, Qt::LeftButton);
    });
    EXPECT_EQ(tableColumn(0), (QStringList{"0,00", "0,04", "0,08", "0,12", "0,16"}));
    EXPECT_EQ(tableRow(1).at(3), QStringLiteral("5,000"));
}
