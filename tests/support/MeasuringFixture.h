#pragma once
// The player view measured as the user does it: clicks on the picture, the measuring panel's
// buttons and keys in its fields, the evaluation chosen from the menu. Shared by the measuring
// and the evaluation tests.
#include "support/ShellFixture.h"

#include "common/Cp1252.h"
#include "common/NumberFormat.h"
#include "evaluation/EvaluationController.h"
#include "measure/MeasureController.h"
#include "measure/model/MeasureTexts.h"
#include "player/Transport.h"
#include "player/view/OverlayBox.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace kadro::test {

class MeasuringFixture : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        enterView(1);
    }

    MainWindowUi& ui() { return window->ui; }
    MeasureController& measure() { return window->measure(); }
    EvaluationController& evaluation() { return window->evaluation(); }

    // The time stamps of a video of even frame rate.
    static std::vector<double> stampsAtRate(double rate, int frames = 100)
    {
        std::vector<double> out;
        for (int n = 0; n < frames; ++n)
            out.push_back(n / rate);
        return out;
    }

    // A press and release of a mouse button on the picture at client pixel (x, y).
    void clickPicture(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(ui().PaintBox1, button, {}, QPoint(x, y));
    }
    void clickButton(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // The pointer moving over the picture to client pixel (x, y).
    void movePointer(int x, int y)
    {
        const QPointF local(x, y);
        QMouseEvent move(QEvent::MouseMove, local, ui().PaintBox1->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(ui().PaintBox1, &move);
    }

    // The measurement table.
    QString cell(int row, int column) const
    {
        const QTableWidgetItem* item = window->ui.MesswerteStringGrid->item(row, column);
        return item ? item->text() : QString();
    }
    QStringList row(int r) const
    {
        QStringList out;
        for (int c = 0; c < 5; ++c)
            out << cell(r, c);
        return out;
    }
    // Point `row` deleted through the table's pop-up menu (a right click on it).
    void deletePoint(int row)
    {
        QTableWidget* grid = ui().MesswerteStringGrid;
        grid->scrollToItem(grid->item(row, 1));
        const QPoint at = grid->visualItemRect(grid->item(row, 1)).center();
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, at);
        ui().MesswertePopupMenu->hide();
        ui().MesswertePopupMenuMessungLoeschen->trigger();
    }

    // "Bild vor" clicked n times, once it is enabled after the open.
    void stepFrames(int n)
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return ui().VideoBildvorButton->isEnabled(); }, 3000));
        for (int i = 0; i < n; ++i)
            clickButton(ui().VideoBildvorButton);
    }
    // Frame by frame forward to `frame`.
    void stepTo(int frame)
    {
        for (int i = 0; i < 10000 && window->st.CurrentFrame < frame; ++i)
            window->transport().VideoBildvorButtonClick();
    }

    // "Datenaufnahme", two clicks 100 pixels apart, `distance` typed and Enter; the acceptance
    // question answered "Ja", the origin question as given ("Nein": the lower-left pixel).
    void calibrate(const QString& distance = QStringLiteral("1"), Button origin = Button::Nein)
    {
        ui().MenuDatenaufnahme->trigger();
        calibrateBetween({10, 20}, {110, 20}, distance, origin);
    }
    // The calibration panel shown: Position 1 and 2 clicked at `a` and `b`, then as above.
    void calibrateBetween(QPoint a, QPoint b, const QString& distance = QStringLiteral("1"),
                          Button origin = Button::Nein)
    {
        clickPicture(a.x(), a.y());
        clickPicture(b.x(), b.y());
        QTest::keyClicks(ui().XYAbstandEdit, distance);
        prompts.answers = {Button::Ja, origin};
        QTest::keyClick(ui().XYAbstandEdit, Qt::Key_Return);
        prompts.shown.clear();
    }
    // A point clicked, then the next frame.
    void point(int x, int y)
    {
        clickPicture(x, y);
        window->transport().VideoBildvorButtonClick();
    }
    void recordPoints(int n)
    {
        for (int i = 0; i < n; ++i) {
            clickPicture(20 + 10 * i, 200 - 10 * i);
            stepFrames(1);
        }
    }
    void save(const QString& name)
    {
        prompts.fileAnswers = {path(name)};
        clickButton(ui().MesswerteSpeichernButton);
        ASSERT_TRUE(window->st.DataSaved);
        prompts.shown.clear();
    }
    // The window's close box: the first question asked, answered with `answer`.
    QString closeQuestion(Button answer)
    {
        prompts.shown.clear();
        prompts.answers = {answer};
        window->close();
        return prompts.shown.isEmpty() ? QString() : prompts.shown.first().text;
    }

    // The drawing timers are one-shot timers of a few milliseconds: wait until all have run,
    // also those that a timer or a queued repaint started in turn.
    void letTimersRun()
    {
        auto busy = [this] {
            return ui().Timer5->isActive() || ui().Timer6->isActive() || ui().Timer7->isActive() ||
                   ui().Timer8->isActive();
        };
        for (int i = 0; i < 500; ++i) {
            QTest::qWait(10);
            if (!busy()) {
                QCoreApplication::processEvents();
                if (!busy())
                    return;
            }
        }
        FAIL() << "the drawing timers did not run";
    }
    // "Trendparabel" chosen and drawn: the fit over time's equation.
    QString trendParabola()
    {
        ui().MenuTrendparabel->trigger();
        letTimersRun();
        const QString equation = evaluation().equationText();
        RecordProperty("equation", equation.toStdString());
        return equation;
    }
    // g from the fit over time's first coefficient (y = −g/2 · t² + ...).
    double fittedG()
    {
        const QString equation = trendParabola();
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^ y\\(x\\) = (-?[0-9]+,[0-9]+)x²")).match(equation);
        EXPECT_TRUE(m.hasMatch()) << equation.toStdString();
        return m.hasMatch() ? -2 * parseDecimal(m.captured(1)) : 0.0;
    }
};

// The player view with the scripted "fall.avi" (100 frames, 320 × 240) open, unless a test sets
// `openOnSetUp` false in its constructor.
class MeasureFixture : public MeasuringFixture {
protected:
    void SetUp() override
    {
        MeasuringFixture::SetUp();
        if (openOnSetUp) {
            ASSERT_TRUE(openVideo("fall.avi", 99, {320, 240}));
        }
    }
    bool openOnSetUp = true;
};

} // namespace kadro::test
