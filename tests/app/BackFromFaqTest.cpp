// Coming back from the questions-and-answers window into the main window: the start page shows
// again only when no work is lost by it. Real window activation and mouse events.
#include "support/ShellFixture.h"

#include "MouseEvents.h"
#include "authoring/MarkTableController.h"
#include "authoring/PresentationFile.h"
#include "common/Cp1252.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace kadro;
using kadro::test::ShellFixture;

namespace {
const QString kSpeichern = QStringLiteral("Daten wurden geändert.\rÄnderungen speichern?");
} // namespace

class BackFromFaq : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // The FAQ window opened from the start page stays beside the main window.
        ASSERT_TRUE(writeFileSafely(path(QStringLiteral("faq.txt")), "Wie öffne ich ein Video?"));
        test::click(window->ui.StartseitePanel->FAQLabel);
        ASSERT_TRUE(faq->isVisible());
        ASSERT_TRUE(prompts.shown.isEmpty());
    }
    // The user clicks into the FAQ window and then back into the main window.
    void visitFaqAndComeBack()
    {
        faq->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(faq.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QCoreApplication::processEvents();
    }
    void authoringWithOneMark()
    {
        enterView(2);
        device->setLength(99);
        window->presentationFile().openChosenFile(videoFile(QStringLiteral("film.avi")));
        QTest::mouseClick(window->ui.MarkeSetzenButton, Qt::LeftButton);
        ASSERT_EQ(window->ui.StringGrid->item(0, 0)->text(), QStringLiteral("Marke 1"));
        ASSERT_FALSE(window->st.DataSaved);
    }
};

TEST_F(BackFromFaq, UnsavedMarksAreAskedForAndAbbrechenKeepsThem)
{
    authoringWithOneMark();
    prompts.answers = {Button::Abbrechen};
    visitFaqAndComeBack();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, kSpeichern);
    EXPECT_FALSE(startPageShown());
    EXPECT_FALSE(window->st.DataSaved);
    EXPECT_EQ(window->ui.StringGrid->item(0, 0)->text(), QStringLiteral("Marke 1"));

    // "Nein" gives them up and shows the start page, as before.
    prompts.shown.clear();
    prompts.answers = {Button::Nein};
    visitFaqAndComeBack();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(startPageShown());
}

TEST_F(BackFromFaq, SavedWorkGoesToTheStartPageWithoutAQuestion)
{
    enterView(1);
    visitFaqAndComeBack();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_TRUE(startPageShown());
}
