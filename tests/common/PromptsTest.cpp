#include "common/ErrorReport.h"
#include "common/NumberFormat.h"
#include "common/Prompts.h"
#include "support/ScriptedPrompts.h"
#include "common/TokenReader.h"

#include <gtest/gtest.h>

using namespace kadro;

TEST(Prompts, BoxKindsHaveTheirTitlesAndButtons)
{
    ScriptedPrompts p;
    p.answers = {Button::Nein};
    EXPECT_EQ(p.confirm("Frage?"), Button::Nein);
    p.warning("w");
    p.error("e");
    p.information("i");
    p.plain("p");
    ASSERT_EQ(p.shown.size(), 5);
    EXPECT_EQ(p.shown[0].title, QStringLiteral("Bestätigung"));
    EXPECT_EQ(p.shown[0].buttons, (QList<Button>{Button::Ja, Button::Nein, Button::Abbrechen}));
    EXPECT_EQ(p.shown[1].title, QStringLiteral("Warnung"));
    EXPECT_EQ(p.shown[2].title, QStringLiteral("Fehler"));
    EXPECT_EQ(p.shown[3].title, QStringLiteral("Informationen"));
    EXPECT_EQ(p.shown[4].title, QStringLiteral("Kadro 2.0"));
    EXPECT_EQ(buttonCaption(Button::Ja), QStringLiteral("&Ja"));
    EXPECT_EQ(buttonCaption(Button::Nein), QStringLiteral("&Nein"));
}

TEST(GeneralErrorReport, AFailedHandlerEndsAndItsMessageIsShown)
{
    ScriptedPrompts p;
    int after = 0;
    EXPECT_FALSE(runGuarded(p, [&] {
        parseInteger("4O");
        after = 1;
    }));
    EXPECT_EQ(after, 0);
    EXPECT_TRUE(runGuarded(p, [&] { after = 2; }));
    EXPECT_EQ(after, 2);
    EXPECT_FALSE(runGuarded(p, [] { throw KadroError("Fehler bei Bereichsprüfung"); }));
    EXPECT_FALSE(runGuarded(p, [] { TokenReader(QByteArray("x")).readInt(); }));
    ASSERT_EQ(p.shown.size(), 3);
    EXPECT_EQ(p.shown[0].kind, BoxKind::Plain);
    EXPECT_EQ(p.shown[0].title, QStringLiteral("Kadro 2.0"));
    EXPECT_EQ(p.shown[0].text, QStringLiteral("'4O' ist kein gültiger Integerwert"));
    EXPECT_EQ(p.shown[1].text, QStringLiteral("Fehler bei Bereichsprüfung"));
    EXPECT_EQ(p.shown[2].text, QStringLiteral("E/A-Fehler 106"));
}
