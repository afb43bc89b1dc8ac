// Nothing the author types or sets up is dropped: the memo editor takes typing only for a mark
// whose memo is on, emptied memos stay empty, failed writes keep the text and say so, the font box
// changes fonts only when an entry is picked. Real key, mouse and wheel events.
#include "MemoViewFixture.h"

#include <QAbstractItemView>
#include <QWheelEvent>

using namespace kadro;
using kadro::test::kOn;
using kadro::test::MemoViewFixture;

class MemoWork : public MemoViewFixture {
protected:
    void SetUp() override
    {
        MemoViewFixture::SetUp();
        openAuthoringVideo();
    }
    void typeKeys(const QString& text) { QTest::keyClicks(edit(), text); }
};

TEST_F(MemoWork, TheEditorTakesTypingOnlyForAMarkWhoseMemoIsOn)
{
    // After "Öffnen" and "Marke setzen" no memo is on: typing goes nowhere, so nothing is lost.
    EXPECT_FALSE(edit()->isEnabled());
    setMarkAt(0);
    setMarkAt(100);
    EXPECT_FALSE(edit()->isEnabled());
    typeKeys(QStringLiteral("verloren"));
    EXPECT_EQ(edit()->toPlainText(), QString());
    EXPECT_FALSE(window->st.DataSaved); // the marks, not the typing

    // The memo of mark 1 switched on: now the editor takes the text, and it stays with mark 1.
    press(0, 12);
    ASSERT_TRUE(edit()->isEnabled());
    typeKeys(QStringLiteral("Kugel"));
    press(1, 0);
    EXPECT_FALSE(edit()->isEnabled());
    EXPECT_EQ(edit()->toPlainText(), QString());
    press(0, 0);
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("Kugel"));

    // Deleting the only mark with a memo leaves no memo to type into.
    press(1, 0, Qt::RightButton);
    ui().MarkenBearbeitenPopupMenu->hide();
    ui().PopupMenuMarkeLoeschen->trigger();
    press(0, 0, Qt::RightButton);
    ui().MarkenBearbeitenPopupMenu->hide();
    ui().PopupMenuMarkeLoeschen->trigger();
    EXPECT_EQ(cell(0, 0), QString());
    EXPECT_FALSE(edit()->isEnabled());

    // A view laid out afresh starts without a memo row too.
    window->Programmpunkt2Einstellungen();
    EXPECT_FALSE(edit()->isEnabled());
}

TEST_F(MemoWork, AnEmptiedMemoStaysEmpty)
{
    setMarkAt(0);
    setMarkAt(100);
    press(1, 12);
    press(0, 12);
    typeKeys(QStringLiteral("alt"));
    press(1, 0);
    press(0, 0);
    ASSERT_EQ(edit()->toPlainText(), QStringLiteral("alt"));

    // The author empties mark 1's memo, then switches mark 2's memo off.
    QTest::keyClick(edit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit(), Qt::Key_Delete);
    ASSERT_EQ(edit()->toPlainText(), QString());
    press(1, 12);
    press(0, 0);
    EXPECT_TRUE(edit()->isEnabled());
    EXPECT_EQ(edit()->toPlainText(), QString());
}

TEST_F(MemoWork, TheWheelOverTheFontBoxChangesNoFont)
{
    setMarkAt(0);
    press(0, 12);
    typeKeys(QStringLiteral("Wort"));
    select(0, 4);
    const QString before = memo();
    QComboBox* box = ui().FontBox;
    ASSERT_GT(box->count(), 2);
    const QPointF at(box->width() / 2.0, box->height() / 2.0);
    for (int i = 0; i < 3; ++i) {
        QWheelEvent wheel(at, box->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &wheel);
    }
    EXPECT_EQ(memo(), before);

    // (Picking an entry from the list is shown to apply in the editor's font box test.)
}
