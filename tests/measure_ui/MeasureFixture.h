#pragma once
// The player view with a video open, measured as the user does it: clicks on the picture, the
// measuring panel's buttons and keys in its fields.
#include "support/ShellFixture.h"

#include "common/Cp1252.h"
#include "measure/MeasureController.h"
#include "measure/model/MeasureTexts.h"
#include "player/view/OverlayBox.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <ostream>

// Texts show as text when a comparison fails.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace kadro::test {

class MeasureFixture : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        enterView(1);
        if (openOnSetUp)
            ASSERT_TRUE(openVideo("fall.avi", 99, {320, 240}));
    }
    bool openOnSetUp = true;

    MainWindowUi& ui() { return window->ui; }
    MeasureController& measure() { return window->measure(); }

    void clickPicture(int x, int y) { QTest::mouseClick(ui().PaintBox1, Qt::LeftButton, {}, QPoint(x, y)); }
    void clickButton(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    QString cell(int row, int column) const
    {
        const QTableWidgetItem* item = window->ui.MesswerteStringGrid->item(row, column);
        return item ? item->text() : QString();
    }
    // "Bild vor" clicked n times, once it is enabled after the open.
    void stepFrames(int n)
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return ui().VideoBildvorButton->isEnabled(); }, 3000));
        for (int i = 0; i < n; ++i)
            clickButton(ui().VideoBildvorButton);
    }
    // "Datenaufnahme", two clicks 100 pixels apart, "1" and Enter, "Ja" and the lower-left origin.
    void calibrate()
    {
        ui().MenuDatenaufnahme->trigger();
        clickPicture(10, 20);
        clickPicture(110, 20);
        QTest::keyClicks(ui().XYAbstandEdit, QStringLiteral("1"));
        prompts.answers = {Button::Ja, Button::Nein};
        QTest::keyClick(ui().XYAbstandEdit, Qt::Key_Return);
        prompts.shown.clear();
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
    bool startPageShown() const { return window->ui.StartseitePanel->isVisibleTo(window.get()); }
};

} // namespace kadro::test
