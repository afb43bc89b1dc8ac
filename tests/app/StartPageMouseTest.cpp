#include "support/ShellFixture.h"

#include "app/MouseEvents.h"
#include "app/StartPage.h"
#include "player/Transport.h"

#include <QMenu>
#include <QPushButton>
#include <QTimer>

using namespace kadro;
using namespace kadro::test;

namespace {
const QString kVideoAbspielen =
    QStringLiteral("  öffnet das Fenster zum Abspielen eines Videos oder einer Präsentation");
const QString kBeenden = QStringLiteral("  hier können Sie das Programm Kadro beenden");
const QString kInfo = QStringLiteral("  hier erhalten Sie Informationen zum Programm Kadro");
} // namespace

class StartPageMouse : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        window->show();
        page = window->ui.StartseitePanel;
    }
    void TearDown() override
    {
        for (QMenu* m : {window->ui.HauptFensterPopupMenu, window->ui.HauptFensterPopupMenu2,
                         window->ui.StartseitePopupMenu})
            m->hide();
        ShellFixture::TearDown();
    }
    QString bar() const { return window->ui.HinweisPanel->text(); }
    bool red(LinkLabel* l) const { return l->colour() == QColor(Qt::red); }
    QList<LinkLabel*> labels() const
    {
        QList<LinkLabel*> all = {page->VideoAbspielenLabel, page->PraesentationErstellenLabel, page->BeendenLabel,
                                 page->FAQLabel, page->InfoLabel};
        for (LinkLabel* l : page->vstLabel)
            all << l;
        return all;
    }
    StartPage* page = nullptr;
};

TEST_F(StartPageMouse, ALabelUnderTheMouseTurnsRedAndWritesItsHintUntilThePointerReachesThePage)
{
    EXPECT_EQ(moveOver(page->VideoAbspielenLabel), page->VideoAbspielenLabel);
    EXPECT_TRUE(red(page->VideoAbspielenLabel));
    EXPECT_EQ(bar(), kVideoAbspielen);
    EXPECT_EQ(page->VideoAbspielenLabel->cursor().shape(), Qt::PointingHandCursor);

    // Straight onto the next label: both red until the page itself is reached.
    moveOver(page->InfoLabel);
    EXPECT_EQ(bar(), kInfo);
    EXPECT_TRUE(red(page->InfoLabel));
    EXPECT_TRUE(red(page->VideoAbspielenLabel));

    EXPECT_EQ(moveOver(page, {20, 520}), page);
    EXPECT_TRUE(bar().isEmpty());
    for (LinkLabel* l : labels())
        EXPECT_EQ(l->colour(), QColor(Qt::black)) << l->objectName().toStdString();
}

TEST_F(StartPageMouse, AQuickAccessEntryTurnsRedButKeepsTheHintLine)
{
    titel->setEntry(1, QStringLiteral("/kurs/fall.vst"), QStringLiteral("Freier Fall"));
    window->StartseiteAn();
    moveOver(page->BeendenLabel);
    ASSERT_EQ(bar(), kBeenden);
    moveOver(page->vstLabel[0]);
    EXPECT_TRUE(red(page->vstLabel[0]));
    EXPECT_EQ(bar(), kBeenden);
}

TEST_F(StartPageMouse, ARightClickOpensOnlyThePagesMenuAndLeavesAVideoRunning)
{
    // A video left running under the page (the page does not stop it by itself).
    enterView(1);
    ASSERT_TRUE(openVideo("film.avi"));
    window->transport().VideoStartButtonClick();
    window->StartseiteAn();
    ASSERT_TRUE(window->ui.Timer1->isActive());

    for (QWidget* w : {static_cast<QWidget*>(page), static_cast<QWidget*>(page->VideoAbspielenLabel)}) {
        press(w, Qt::RightButton, w == page ? QPoint(20, 520) : QPoint(5, 5));
        EXPECT_TRUE(window->ui.StartseitePopupMenu->isVisible()) << w->objectName().toStdString();
        EXPECT_FALSE(window->ui.HauptFensterPopupMenu->isVisible());
        EXPECT_FALSE(window->ui.HauptFensterPopupMenu2->isVisible());
        window->ui.StartseitePopupMenu->hide();
    }
    EXPECT_TRUE(window->ui.Timer1->isActive());
    EXPECT_EQ(window->ui.VideoStopButton->text(), QStringLiteral("Pause"));

    // The hint line under the page opens nothing.
    press(window->ui.HinweisPanel, Qt::RightButton);
    EXPECT_FALSE(window->ui.StartseitePopupMenu->isVisible());
    EXPECT_FALSE(window->ui.HauptFensterPopupMenu->isVisible());
}
