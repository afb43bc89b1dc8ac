// The evaluation drawn over the picture as a user chooses it: what lies on the drawing surface,
// in which colours, and what is written there.
#include "support/MeasuringFixture.h"

#include "evaluation/model/TrendFits.h"
#include "settings/OptionenFenster.h"

#include <QAbstractButton>
#include <QButtonGroup>

using namespace kadro;
using kadro::test::MeasuringFixture;

namespace {
struct Seg {
    QPoint from, to;
    QColor colour;
    int width;
    bool operator==(const Seg&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Seg& s)
{
    return os << "(" << s.from.x() << "," << s.from.y() << ")-(" << s.to.x() << "," << s.to.y() << ") "
              << s.colour.name().toStdString() << " w" << s.width;
}
} // namespace

class EvaluationView : public MeasuringFixture {
protected:
    void SetUp() override
    {
        MeasuringFixture::SetUp();
        ASSERT_TRUE(openVideo("wurf.avi", 99, {320, 240}));
        calibrate(); // 0,01 m per pixel, origin in the lower-left corner
    }

    std::vector<Seg> lines(int layer) const
    {
        std::vector<Seg> out;
        for (const OverlayItem& item : window->ui.PaintBox1->layerItems(layer))
            if (item.kind == OverlayItem::Kind::Line)
                out.push_back({item.p1, item.p2, item.pen.color(), item.pen.width()});
        return out;
    }
    QStringList texts(int layer) const
    {
        QStringList out;
        for (const OverlayItem& item : window->ui.PaintBox1->layerItems(layer))
            if (item.kind == OverlayItem::Kind::Text)
                out << item.text;
        return out;
    }
    void choose(QAction* item) { item->trigger(); }
};

TEST_F(EvaluationView, DiagramDrawsAxesAndMarkersInTheSettingsColours)
{
    optionen->AchsenRadioGroup->button(2)->setChecked(true);    // rot
    optionen->MesspunktRadioGroup->button(4)->setChecked(true); // blau
    point(120, 80);
    EXPECT_TRUE(ui().DiagrammButton->isEnabled());
    ui().DiagrammButton->click();
    EXPECT_TRUE(window->st.DiagramShown);
    EXPECT_FALSE(ui().DiagrammButton->isVisibleTo(window.get()));
    EXPECT_TRUE(ui().DiagrammButton2->isVisibleTo(window.get()));
    const QColor red(255, 0, 0), blue(0, 0, 255);
    // The x axis on the bottom row, the y axis on column 1; a plus of 7 x 7 centred on the click.
    EXPECT_EQ(lines(EvaluationController::DiagramLayer),
              (std::vector<Seg>{{{0, 239}, {320, 239}, red, 2},
                                {{1, 0}, {1, 240}, red, 2},
                                {{117, 80}, {124, 80}, blue, 1},
                                {{120, 77}, {120, 84}, blue, 1}}));

    // Another colour, then OK in the settings: the diagram is drawn again in it.
    optionen->MesspunktRadioGroup->button(5)->setChecked(true); // gelb
    emit window->events().refreshDiagramRequested();
    EXPECT_EQ(lines(EvaluationController::DiagramLayer)[2].colour, QColor(255, 255, 0));

    // A frame step draws the diagram again over the new picture.
    window->transport().VideoBildvorButtonClick();
    letTimersRun();
    EXPECT_EQ(lines(EvaluationController::DiagramLayer).size(), 4u);

    ui().DiagrammButton2->click();
    EXPECT_FALSE(window->st.DiagramShown);
    EXPECT_TRUE(lines(EvaluationController::DiagramLayer).empty());
    letTimersRun();
    EXPECT_TRUE(lines(EvaluationController::DiagramLayer).empty()) << "the picture's refresh brought it back";
}

TEST_F(EvaluationView, ConnectedPointsAndTheTrendLineLieOnTopAndStayWithoutTheDiagram)
{
    optionen->TrendRadioGroup->button(3)->setChecked(true); // lime
    point(0, 239);
    point(100, 189);
    EXPECT_TRUE(ui().MenuDatenauswertung->isEnabled());
    choose(ui().MenuPunkteverbinden);
    letTimersRun();
    // One segment, one pixel lower than the markers' rows.
    EXPECT_EQ(lines(EvaluationController::EvaluationLayer),
              (std::vector<Seg>{{{0, 240}, {100, 190}, QColor(0, 255, 0), 1}}));

    point(200, 139);
    ui().DiagrammButton->click();
    choose(ui().MenuTrendgerade);
    letTimersRun();
    ASSERT_EQ(lines(EvaluationController::EvaluationLayer).size(), 1u);
    EXPECT_EQ(lines(EvaluationController::EvaluationLayer)[0].from, QPoint(0, 240));
    EXPECT_EQ(lines(EvaluationController::EvaluationLayer)[0].to, QPoint(200, 140));
    ASSERT_EQ(texts(EvaluationController::EvaluationLayer).size(), 1);
    const QString equation = texts(EvaluationController::EvaluationLayer)[0];
    EXPECT_TRUE(equation.startsWith(QStringLiteral(" y = 0,500x "))) << equation.toStdString();
    // What is written on the picture is also its description for screen readers.
    EXPECT_EQ(evaluation().equationText(), equation);
    EXPECT_EQ(ui().PaintBox1->accessibleDescription(), equation);

    // "Diagramm aus" leaves the trend line and its text.
    ui().DiagrammButton2->click();
    letTimersRun();
    EXPECT_TRUE(lines(EvaluationController::DiagramLayer).empty());
    EXPECT_EQ(lines(EvaluationController::EvaluationLayer).size(), 1u);
    EXPECT_EQ(texts(EvaluationController::EvaluationLayer), QStringList{equation});
}

TEST_F(EvaluationView, TrendlineAfterTrendparabelLeavesOnlyTheLine)
{
    point(0, 239);
    point(100, 139);
    point(200, 189);
    ASSERT_TRUE(ui().MenuTrendparabel->isEnabled());
    choose(ui().MenuTrendparabel);
    letTimersRun();
    EXPECT_GT(lines(EvaluationController::EvaluationLayer).size(), 100u) << "drawn column by column";
    ASSERT_EQ(texts(EvaluationController::EvaluationLayer).size(), 1);
    EXPECT_TRUE(texts(EvaluationController::EvaluationLayer)[0].startsWith(QStringLiteral(" y(x) = ")));

    choose(ui().MenuTrendgerade);
    letTimersRun();
    EXPECT_EQ(lines(EvaluationController::EvaluationLayer).size(), 1u);
    ASSERT_EQ(texts(EvaluationController::EvaluationLayer).size(), 1);
    EXPECT_TRUE(texts(EvaluationController::EvaluationLayer)[0].startsWith(QStringLiteral(" y = ")));

    choose(ui().MenuKeine);
    letTimersRun();
    EXPECT_TRUE(ui().PaintBox1->items().empty());
    EXPECT_TRUE(evaluation().equationText().isEmpty());
}

TEST_F(EvaluationView, AFailedFitIsReportedAndDrawsNothing)
{
    point(50, 200);
    point(50, 100);
    choose(ui().MenuTrendgerade);
    letTimersRun();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Kadro 2.0"));
    EXPECT_EQ(prompts.shown[0].text, kTrendLineFailedText);
    EXPECT_TRUE(lines(EvaluationController::EvaluationLayer).empty());
    // The program goes on: another point and the line is drawn.
    point(150, 150);
    letTimersRun();
    EXPECT_EQ(prompts.shown.size(), 1) << prompts.shown.last().text.toStdString();
    EXPECT_TRUE(ui().MenuTrendgerade->isChecked());
    EXPECT_EQ(lines(EvaluationController::EvaluationLayer).size(), 1u);
}
