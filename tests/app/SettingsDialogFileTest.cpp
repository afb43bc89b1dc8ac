#include "common/Cp1252.h"
#include "settings/OptionenFenster.h"
#include "settings/model/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kadro;

namespace {
// A settings file with every value set away from the initial ones.
QByteArray fullFile(const char* transitionLine)
{
    QString f = QStringLiteral("Einstellungen: Allgemein, Zeitschritt, Optionen, Markenübergang, Editorschrift, "
                               "Diagrammformat\r\n"
                               "Allgemein: Ton: 1  Cursor: K\r\n"
                               "Zeitschritt: Normal: 0040  Zeitlupe: 250\r\n"
                               "Optionen: 1 0 1 0 1 0 1 1\r\n");
    f += QString::fromUtf8(transitionLine);
    f += QStringLiteral("Schriftgröße: 12  Schriftart: Times New Roman*\r\n"
                        "Achsenfarbe: 2  Messpunktfarbe: 3  Trendfarbe: 4\r\n");
    return toCp1252(f);
}
} // namespace

TEST(SettingsFile, DialogReadsTheFileOfTheWorkingDirectoryAndKeepsValuesWithoutIt)
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    TOptionenFenster dialog;
    dialog.OptionenEinstellungenOeffnen(); // no file: the initial values stay
    EXPECT_EQ(dialog.settings(), Settings{});
    EXPECT_TRUE(dialog.CursorPfeilRadioButton->isChecked());
    EXPECT_TRUE(dialog.vonHandRadioButton->isChecked());

    ASSERT_TRUE(writeFileSafely(dir.filePath("Optionen.opt"), fullFile("Markenübergang: A7\r\n")));
    dialog.OptionenEinstellungenOeffnen();
    EXPECT_TRUE(dialog.TonCheckBox->isChecked());
    EXPECT_TRUE(dialog.CursorKreuzRadioButton->isChecked());
    EXPECT_EQ(dialog.dtEdit1->text(), QStringLiteral("40"));
    EXPECT_TRUE(dialog.mitPauseRadioButton->isChecked());
    EXPECT_EQ(dialog.PauseEdit->text(), QStringLiteral("7"));
    EXPECT_EQ(dialog.OptionenFontBox->currentText(), QStringLiteral("Times New Roman"));

    dialog.dtEdit1->setText("25");
    dialog.OptionenEinstellungenSpeichern();
    Settings back;
    readSettingsFile(dir.filePath("Optionen.opt"), back);
    EXPECT_EQ(back.dtNormal, QStringLiteral("25"));
    EXPECT_EQ(back, dialog.settings());
    QDir::setCurrent(old);
}
