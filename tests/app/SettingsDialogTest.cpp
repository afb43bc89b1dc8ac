#include "support/ShellFixture.h"

#include "common/Cp1252.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

using namespace kadro;
using kadro::test::ShellFixture;

namespace {
const QString kTimeStepMessage = QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 10 und 9999 ein!");
const QString kSmallMessage = QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 1 und 99 ein!");
} // namespace

class SettingsDialog : public ShellFixture {};

TEST_F(SettingsDialog, ChecksRefuseOkAndPageChangesWithTheirMessages)
{
    enterView(2);
    optionen->FormActivate();
    optionen->dtEdit1->setText("5");
    optionen->done(QDialog::Accepted);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Fehler"));
    EXPECT_EQ(prompts.shown[0].text, kTimeStepMessage);
    EXPECT_EQ(optionen->dtEdit1->text(), QStringLiteral("5"));

    optionen->OptionenFontSizeEdit->setText("0");
    const int page = optionen->OptionenPageControl->currentIndex();
    optionen->OptionenPageControl->setCurrentIndex(page == 0 ? 1 : 0);
    EXPECT_EQ(optionen->OptionenPageControl->currentIndex(), page);
    ASSERT_EQ(prompts.shown.size(), 3); // two faults, two messages in a row
    EXPECT_EQ(prompts.shown[1].text, kTimeStepMessage);
    EXPECT_EQ(prompts.shown[2].text, kSmallMessage);
    for (const auto& box : prompts.shown) // placed at the main window's corner + (288, 320)
        EXPECT_EQ(box.offset, QPoint(288, 320));

    optionen->dtEdit1->setText("9999");
    optionen->OptionenFontSizeEdit->setText("10");
    optionen->dtEdit2->setText("10");
    EXPECT_TRUE(optionen->checksPass());
    EXPECT_EQ(prompts.shown.size(), 3);
}

TEST_F(SettingsDialog, CancelRestoresEveryControl)
{
    enterView(1);
    optionen->FormActivate();
    optionen->TrendRadioGroup->button(4)->setChecked(true);
    optionen->TonCheckBox->setChecked(true);
    optionen->dtEdit2->setText("300");
    optionen->FormClose(QDialog::Rejected);
    EXPECT_EQ(optionen->TrendRadioGroup->checkedId(), 0);
    EXPECT_FALSE(optionen->TonCheckBox->isChecked());
    EXPECT_EQ(optionen->dtEdit2->text(), QStringLiteral("200"));
    EXPECT_FALSE(QFile::exists(path("Optionen.opt")));
}

TEST_F(SettingsDialog, OkPushesSoundAndWritesTheFile)
{
    enterView(2);
    optionen->FormActivate();
    optionen->TonCheckBox->setChecked(true);
    optionen->FormClose(QDialog::Accepted);
    EXPECT_TRUE(window->st.SoundOn);
    EXPECT_TRUE(window->ui.HauptFensterPopupMenuTon->isChecked());
    EXPECT_TRUE(window->st.DataSaved); // time steps unchanged
    QByteArray bytes;
    ASSERT_TRUE(readFileBytes(path("Optionen.opt"), &bytes));
    EXPECT_TRUE(bytes.contains("Allgemein: Ton: 1  Cursor: P\r\n"));

    optionen->FormActivate();
    optionen->dtEdit1->setText("20");
    optionen->FormClose(QDialog::Accepted);
    EXPECT_FALSE(window->st.DataSaved); // a presentation stores the time steps
}
