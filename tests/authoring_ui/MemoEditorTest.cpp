#include "MemoViewFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontDatabase>

using namespace kadro;
using kadro::test::MemoViewFixture;

namespace {
const QString kSizeMessage = QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 1 und 99 ein!");

// The settings file with an editor font.
QByteArray settingsWithFont(const QString& family, const QString& size)
{
    return toCp1252(QStringLiteral("Einstellungen: Allgemein, Zeitschritt, Optionen, Markenübergang, Editorschrift, "
                                   "Diagrammformat\r\n"
                                   "Allgemein: Ton: 0  Cursor: P\r\n"
                                   "Zeitschritt: Normal: 40  Zeitlupe: 200\r\n"
                                   "Optionen: 0 0 0 0 0 0 0 0\r\n"
                                   "Markenübergang: M\r\n"
                                   "Schriftgröße: %1  Schriftart: %2*\r\n"
                                   "Achsenfarbe: 0  Messpunktfarbe: 0  Trendfarbe: 0\r\n")
                        .arg(size, family));
}
} // namespace

class MemoEditorView : public MemoViewFixture {
protected:
    // An editable memo: a video is open, mark 1 set with its memo on, the editor empty and usable.
    void SetUp() override
    {
        MemoViewFixture::SetUp();
        openAuthoringVideo();
        setMarkAt(0);
        press(0, 12);
        ASSERT_TRUE(edit()->isEnabled());
        ASSERT_TRUE(ui().ToolBar1->isEnabled());
    }
    QList<bool> alignDown()
    {
        return {ui().LeftAlignButton->isChecked(), ui().CenterAlignButton->isChecked(),
                ui().RightAlignButton->isChecked()};
    }
};

TEST_F(MemoEditorView, ToolBarAsBuiltAndBothViewsLaidOut)
{
    window->show();
    QCoreApplication::processEvents();
    // Left to right, each with its German tip; the alignment buttons carry their codes as tags.
    const QList<QWidget*> order = {ui().BoldButton,        ui().ItalicButton,      ui().UnderlineButton,
                                   ui().LeftAlignButton,   ui().CenterAlignButton, ui().RightAlignButton,
                                   ui().TextFarbeButton,   ui().FontBox,           ui().FontSizeEdit};
    const QStringList tips = {QStringLiteral("Fett"),         QStringLiteral("Kursiv"),    QStringLiteral("Unterstrichen"),
                              QStringLiteral("Linksbündig"),  QStringLiteral("Zentriert"), QStringLiteral("Rechtsbündig"),
                              QStringLiteral("Textfarbe"),    QStringLiteral("Schriftart")};
    for (int i = 0; i < order.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(order[i]->x(), order[i - 1]->x() + order[i - 1]->width()) << i;
        }
        if (i < tips.size()) {
            EXPECT_EQ(order[i]->toolTip(), tips[i]);
        }
        EXPECT_FALSE(order[i]->accessibleName().isEmpty()) << i;
    }
    EXPECT_EQ(ui().BoldButton->width(), 25);
    EXPECT_FALSE(ui().TextFarbeButton->isCheckable());
    EXPECT_EQ(ui().LeftAlignButton->property("tag").toInt(), 0);
    EXPECT_EQ(ui().CenterAlignButton->property("tag").toInt(), 2);
    EXPECT_EQ(ui().RightAlignButton->property("tag").toInt(), 1);
    EXPECT_EQ(alignDown(), (QList<bool>{true, false, false}));
    EXPECT_EQ(ui().FontBox->width(), 110);
    EXPECT_EQ(ui().FontBox->currentText(), QStringLiteral("Arial")); // no font in the settings yet
    EXPECT_EQ(ui().FontSizeEdit->width(), 28);
    EXPECT_EQ(ui().FontSizeUpDown->maximum(), 99);
    // The installed fonts, once, also after the view was set up again.
    EXPECT_EQ(ui().FontBox->count(), QFontDatabase::families().size());
    window->Programmpunkt2Einstellungen();
    EXPECT_EQ(ui().FontBox->count(), QFontDatabase::families().size());

    // Authoring view: writable, no cover, the tool bar shown but disabled until a file is open.
    EXPECT_FALSE(ui().RichEditAbdeckungsPanel->isVisible());
    EXPECT_FALSE(edit()->isReadOnly());
    EXPECT_EQ(edit()->geometry().top(), 40);
    EXPECT_EQ(edit()->height(), 223);
    EXPECT_EQ(ui().RichEditPanel->height(), 273);
    EXPECT_TRUE(ui().ToolBar1->isVisible());
    EXPECT_FALSE(ui().ToolBar1->isEnabled());

    // Player view: read-only under its cover, no tool bar.
    window->st.ActiveArea = 1;
    window->Programmpunkt1Einstellungen();
    EXPECT_TRUE(edit()->isReadOnly());
    EXPECT_TRUE(edit()->isEnabled());
    EXPECT_EQ(edit()->geometry().top(), 10);
    EXPECT_EQ(edit()->height(), 284);
    EXPECT_EQ(ui().RichEditPanel->height(), 304);
    EXPECT_FALSE(ui().ToolBar1->isVisible());
    EXPECT_TRUE(ui().RichEditAbdeckungsPanel->isVisible());
    EXPECT_EQ(ui().RichEditAbdeckungsPanel->pos(), QPoint(0, 0));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(MemoEditorView, StyleButtonsActOnTheSelectionAndFollowTheCaret)
{
    type(QStringLiteral("Kugel fällt"));
    select(0, 5);
    click(ui().BoldButton);
    EXPECT_TRUE(ui().BoldButton->isChecked());
    click(ui().ItalicButton);
    select(6, 11);
    EXPECT_FALSE(ui().BoldButton->isChecked()); // the tool bar follows the new selection
    EXPECT_FALSE(ui().ItalicButton->isChecked());
    click(ui().UnderlineButton);
    EXPECT_EQ(memo(), QStringLiteral("[l]Kugel{bi 10} {10}fällt{u 10}"));

    // Removing one style keeps the others.
    select(0, 5);
    EXPECT_TRUE(ui().BoldButton->isChecked());
    EXPECT_TRUE(ui().ItalicButton->isChecked());
    EXPECT_FALSE(ui().UnderlineButton->isChecked());
    click(ui().BoldButton);
    EXPECT_EQ(memo(), QStringLiteral("[l]Kugel{i 10} {10}fällt{u 10}"));

    // The caret alone: the buttons show the text at it, and a click sets what is typed next.
    caretAt(8);
    EXPECT_TRUE(ui().UnderlineButton->isChecked());
    EXPECT_FALSE(ui().ItalicButton->isChecked());
    caretAt(11);
    click(ui().BoldButton);
    type(QStringLiteral("!"));
    EXPECT_EQ(memo(), QStringLiteral("[l]Kugel{i 10} {10}fällt{u 10}!{bu 10}"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(MemoEditorView, AlignmentButtonsActOnParagraphsAndOneOfThreeIsDown)
{
    type(QStringLiteral("oben"));
    QTest::keyClick(edit(), Qt::Key_Return);
    type(QStringLiteral("Mitte"));
    QTest::keyClick(edit(), Qt::Key_Return);
    type(QStringLiteral("unten"));

    caretAt(7); // in "Mitte"
    click(ui().CenterAlignButton);
    EXPECT_EQ(alignDown(), (QList<bool>{false, true, false}));
    select(12, 14); // in "unten"
    click(ui().RightAlignButton);
    EXPECT_EQ(memo(), QStringLiteral("[l]oben{10}\n[c]Mitte{10}\n[r]unten{10}"));

    // Placing the caret in centred text puts the centre button down and the other two up.
    caretAt(1);
    EXPECT_EQ(alignDown(), (QList<bool>{true, false, false}));
    caretAt(8);
    EXPECT_EQ(alignDown(), (QList<bool>{false, true, false}));
    caretAt(13);
    EXPECT_EQ(alignDown(), (QList<bool>{false, false, true}));

    // A selection over several paragraphs aligns all of them.
    select(2, 13);
    click(ui().LeftAlignButton);
    EXPECT_EQ(memo(), QStringLiteral("[l]oben{10}\n[l]Mitte{10}\n[l]unten{10}"));
    EXPECT_EQ(alignDown(), (QList<bool>{true, false, false}));
}

TEST_F(MemoEditorView, SizeFieldAppliesWholeNumbersAndRefusesTheRest)
{
    type(QStringLiteral("Fallrohr"));
    select(0, 4);
    QLineEdit* size = ui().FontSizeEdit;
    EXPECT_EQ(size->text(), QStringLiteral("10")); // the settings' size, given to what is typed

    // Clearing the field shows nothing and changes nothing: the author is retyping.
    size->selectAll();
    QTest::keyClick(size, Qt::Key_Backspace);
    EXPECT_EQ(size->text(), QString());
    EXPECT_TRUE(prompts.shown.isEmpty());
    QTest::keyClicks(size, QStringLiteral("2"));
    QTest::keyClicks(size, QStringLiteral("4"));
    EXPECT_EQ(memo(), QStringLiteral("[l]Fall{24}rohr{10}"));

    // "0" is refused with the message at (480, 100); nothing changes and the text stays.
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("0"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, BoxKind::Error);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Fehler"));
    EXPECT_EQ(prompts.shown[0].text, kSizeMessage);
    EXPECT_EQ(prompts.shown[0].buttons, QList<Button>{Button::Ok});
    EXPECT_EQ(prompts.shown[0].offset, QPoint(480, 100));
    EXPECT_EQ(size->text(), QStringLiteral("0"));
    EXPECT_EQ(memo(), QStringLiteral("[l]Fall{24}rohr{10}"));

    // At most two characters are typed.
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("123"));
    EXPECT_EQ(size->text(), QStringLiteral("12"));
    EXPECT_EQ(memo(), QStringLiteral("[l]Fall{12}rohr{10}"));

    // The up-down control steps the size by one, within 1..99; the arrow keys do not step it.
    QTest::keyClick(size, Qt::Key_Up);
    EXPECT_EQ(size->text(), QStringLiteral("12"));
    ui().FontSizeUpDown->stepUp();
    EXPECT_EQ(size->text(), QStringLiteral("13"));
    EXPECT_EQ(memo(), QStringLiteral("[l]Fall{13}rohr{10}"));
    EXPECT_EQ(prompts.shown.size(), 1);
}

TEST_F(MemoEditorView, SelectionsShowTheirOwnSizeWithoutChangingIt)
{
    // A memo from a word processor with half-point and mixed sizes, and one size beyond 99.
    QDir().mkpath(path("Mem"));
    ASSERT_TRUE(writeFileSafely(path("Mem/2.mem"),
                                "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs21 halb \\fs40 gross "
                                "\\fs240 riesig\\par}"));
    setMarkAt(10);
    press(1, 12); // memo of mark 2 on: the file is loaded
    ASSERT_EQ(edit()->toPlainText(), QStringLiteral("halb gross riesig"));
    const QString loaded = memo();
    window->st.DataSaved = true;

    select(6, 9); // "ros" in 20 points
    EXPECT_EQ(ui().FontSizeEdit->text(), QStringLiteral("20"));
    select(1, 3); // 10.5 points shown as 11, and left at 10.5
    EXPECT_EQ(ui().FontSizeEdit->text(), QStringLiteral("11"));
    EXPECT_EQ(memo(), loaded);
    select(0, 8); // mixed sizes: the field is empty and nothing is applied
    EXPECT_EQ(ui().FontSizeEdit->text(), QString());
    EXPECT_EQ(memo(), loaded);
    EXPECT_TRUE(prompts.shown.isEmpty()) << shownTexts().join(QLatin1Char('|')).toStdString();

    // The caret in the 120-point text shows its size, which the size check refuses.
    select(13, 15);
    EXPECT_EQ(ui().FontSizeEdit->text(), QStringLiteral("120"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, kSizeMessage);
    EXPECT_EQ(memo(), loaded);
    // Looking at a memo is no change to the presentation.
    EXPECT_TRUE(window->st.DataSaved);
}

TEST_F(MemoEditorView, FontBoxAppliesAPickedEntryAtOnceButNotATypedName)
{
    const QStringList fonts = QFontDatabase::families();
    ASSERT_GE(fonts.size(), 2);
    const QString picked = fonts.at(1);
    type(QStringLiteral("Pendel"));
    select(0, 3);
    EXPECT_EQ(ui().FontBox->currentText(), QStringLiteral("Arial"));

    // Typed into the box's edit part and confirmed with Return: not applied.
    QComboBox* box = ui().FontBox;
    box->lineEdit()->selectAll();
    typeInto(box->lineEdit(), picked);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    EXPECT_NE(charAt(0).fontFamilies().toStringList().value(0), picked);

    // Picked in the list: the selection takes it at once.
    window->show();
    box->showPopup();
    // A release right after the list opened belongs to the click that opened it.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QAbstractItemView* list = box->view();
    const QModelIndex index = list->model()->index(1, 0);
    list->scrollTo(index);
    const QRect r = list->visualRect(index);
    ASSERT_TRUE(r.isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(charAt(0).fontFamilies().toStringList().value(0), picked);
    EXPECT_EQ(charAt(1).fontFamilies().toStringList().value(0), picked);
    EXPECT_NE(charAt(4).fontFamilies().toStringList().value(0), picked);
    EXPECT_EQ(box->currentText(), picked);
}

TEST_F(MemoEditorView, ColourChooserOpensOnTheColourAtTheCaret)
{
    type(QStringLiteral("rot und blau"));
    select(0, 3);
    prompts.colorAnswers = {QColor(Qt::red)};
    click(ui().TextFarbeButton);
    ASSERT_EQ(prompts.colorRequests.size(), 1);
    EXPECT_EQ(prompts.colorRequests[0], QColor(Qt::black));
    EXPECT_EQ(memo(), QStringLiteral("[l]rot{10 #ff0000} und blau{10}"));

    // Moving the caret into the red text, the chooser starts on red; cancelled, nothing changes.
    caretAt(2);
    click(ui().TextFarbeButton);
    ASSERT_EQ(prompts.colorRequests.size(), 2);
    EXPECT_EQ(prompts.colorRequests[1], QColor(Qt::red));
    EXPECT_EQ(memo(), QStringLiteral("[l]rot{10 #ff0000} und blau{10}"));
}

TEST_F(MemoEditorView, EditorFontOfTheSettingsIsWhatTheAuthorTypes)
{
    // The settings' font reaches the editor at the view's set-up.
    ASSERT_TRUE(writeFileSafely(path("Optionen.opt"), settingsWithFont(QStringLiteral("DejaVu Sans Mono"), QStringLiteral("14"))));
    window->Programmpunkt2Einstellungen();
    openAuthoringVideo();
    EXPECT_EQ(ui().FontBox->currentText(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(ui().FontSizeEdit->text(), QStringLiteral("14"));
    setMarkAt(0);
    press(0, 12);
    type(QStringLiteral("Ort"));
    EXPECT_EQ(memo(), QStringLiteral("[l]Ort{DejaVu Sans Mono 14}"));

    // A memo emptied by the memo rules starts again with that font.
    setMarkAt(10);
    press(1, 12);
    ASSERT_TRUE(edit()->toPlainText().isEmpty());
    type(QStringLiteral("Zeit"));
    EXPECT_EQ(memo(), QStringLiteral("[l]Zeit{DejaVu Sans Mono 14}"));

    // The settings dialog's OK: the name goes to the selection, the size through the size field.
    select(0, 2);
    window->memoEditor().applyEditorFont(QStringLiteral("DejaVu Serif"), QStringLiteral("20"));
    EXPECT_EQ(memo(), QStringLiteral("[l]Ze{DejaVu Serif 20}it{DejaVu Sans Mono 14}"));
    EXPECT_EQ(ui().FontBox->currentText(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(ui().FontSizeEdit->text(), QStringLiteral("20"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}
