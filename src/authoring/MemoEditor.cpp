#include "authoring/MemoEditor.h"

#include "authoring/model/MemoFormat.h"
#include "common/ErrorReport.h"
#include "common/MainState.h"
#include "common/NumberFormat.h"
#include "common/Prompts.h"
#include "common/SettingsStore.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

namespace kadro {

namespace {
// Counts a change the program makes itself, also when it ends in an error.
struct Scoped {
    int& depth;
    explicit Scoped(int& d) : depth(d) { ++depth; }
    ~Scoped() { --depth; }
};
struct Flag {
    bool& flag;
    explicit Flag(bool& f) : flag(f) { flag = true; }
    ~Flag() { flag = false; }
};
} // namespace

MemoEditor::MemoEditor(const Context& context, const MemoWidgets& widgets)
    : c(context), ui(widgets), m_access(widgets.RichEdit)
{
    auto guard = [this](auto fn) { return [this, fn] { runGuarded(c.prompts, fn); }; };

    m_alignButtons = new QButtonGroup(this);
    m_alignButtons->setExclusive(true);
    for (QToolButton* b : {ui.LeftAlignButton, ui.CenterAlignButton, ui.RightAlignButton})
        m_alignButtons->addButton(b, b->property("tag").toInt());

    connect(ui.BoldButton, &QToolButton::clicked, this, guard([this] { BoldButtonClick(); }));
    connect(ui.ItalicButton, &QToolButton::clicked, this, guard([this] { ItalicButtonClick(); }));
    connect(ui.UnderlineButton, &QToolButton::clicked, this, guard([this] { UnderlineButtonClick(); }));
    connect(m_alignButtons, &QButtonGroup::idClicked, this,
            [this](int tag) { runGuarded(c.prompts, [&] { AlignButtonClick(tag); }); });
    connect(ui.TextFarbeButton, &QToolButton::clicked, this, guard([this] { TextFarbeButtonClick(); }));
    connect(ui.FontBox, &QComboBox::activated, this,
            [this](int index) { runGuarded(c.prompts, [&] { FontBoxClick(index); }); });
    connect(ui.FontSizeEdit, &QLineEdit::textChanged, this, guard([this] { FontSizeEditChange(); }));
    connect(ui.FontSizeUpDown, &QSpinBox::valueChanged, this,
            [this](int value) { ui.FontSizeEdit->setText(QString::number(value)); });
    connect(ui.RichEdit, &QTextEdit::cursorPositionChanged, this, guard([this] { RichEditSelectionChange(); }));
    connect(ui.RichEdit, &QTextEdit::selectionChanged, this, guard([this] { RichEditSelectionChange(); }));
    connect(ui.RichEdit->document(), &QTextDocument::contentsChanged, this, [this] { documentChanged(); });
    // A memo loaded or emptied by the program: the tool bar follows once the content is complete.
    m_access.setAfterReplace([this] { runGuarded(c.prompts, [this] { RichEditSelectionChange(); }); });
    // A font name typed into the box and confirmed with Return is not applied.
    ui.FontBox->lineEdit()->installEventFilter(this);
    // The wheel passing over the box would pick one entry after another for the selection.
    ui.FontBox->installEventFilter(this);
    // A disabled editor (no memo on) looks it, so nobody types into it in vain.
    QPalette palette = ui.RichEdit->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, palette.color(QPalette::Disabled, QPalette::Window));
    ui.RichEdit->setPalette(palette);
}

bool MemoEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui.FontBox && event->type() == QEvent::Wheel)
        return true;
    if (watched == ui.FontBox->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QObject::eventFilter(watched, event);
}

QString MemoEditor::sizeMessage()
{
    return QStringLiteral("Bitte geben sie eine ganze Zahl\rzwischen 1 und 99 ein!");
}

QPoint MemoEditor::sizeMessageOffset()
{
    return {480, 100};
}

void MemoEditor::setUpAuthoringView()
{
    Scoped program(m_programChange);
    ui.RichEditAbdeckungsPanel->hide();
    ui.RichEdit->show();
    // Writable, but it takes typing only once a mark's memo is on (the memo rules enable it):
    // text typed for no memo would be lost at the next switch.
    ui.RichEdit->setEnabled(false);
    ui.RichEdit->setReadOnly(false);
    m_access.clear();
    ui.RichEdit->setGeometry(4, 40, 384, 223);
    ui.RichEdit->setTextColor(Qt::black);
    ui.ToolBar1->show();
    ui.ToolBar1->setEnabled(false);
    ui.RichEditPanel->resize(392, 273);
    ui.FontSizeEdit->setFixedWidth(28);
    FontsAnzeigen();
    const Settings settings = c.settings.current();
    applyEditorFont(settings.fontName, settings.fontSize);
}

void MemoEditor::setUpPlayerView()
{
    ui.ToolBar1->hide();
    ui.RichEdit->setGeometry(4, 10, 384, 284);
    ui.RichEdit->setEnabled(true);
    ui.RichEdit->setReadOnly(true);
    ui.RichEditPanel->resize(392, 304);
    ui.RichEditAbdeckungsPanel->move(0, 0);
    ui.RichEditAbdeckungsPanel->show();
    ui.RichEditAbdeckungsPanel->raise();
}

void MemoEditor::showSectionMemo(const QString& path)
{
    Scoped program(m_programChange);
    ui.RichEditAbdeckungsPanel->hide();
    m_access.load(path);
}

void MemoEditor::coverMemo()
{
    ui.RichEditAbdeckungsPanel->show();
    ui.RichEditAbdeckungsPanel->raise();
}

void MemoEditor::enableToolBar(bool enabled)
{
    ui.ToolBar1->setEnabled(enabled);
}

void MemoEditor::applyEditorFont(const QString& family, const QString& sizeText)
{
    // An empty name (no font chosen yet) keeps the editor's own font, and the box names that.
    ui.FontBox->setEditText(family.isEmpty() ? formatFamily(ui.RichEdit->currentCharFormat(),
                                                            ui.RichEdit->document()->defaultFont())
                                             : family);
    if (!family.isEmpty()) {
        QTextCharFormat name;
        name.setFontFamilies(QStringList{family});
        mergeFormat(name);
    }
    // The size goes through the size field's handler, also when the field shows it already.
    if (ui.FontSizeEdit->text() == sizeText)
        FontSizeEditChange();
    else
        ui.FontSizeEdit->setText(sizeText);

    QTextCharFormat typed;
    if (!family.isEmpty())
        typed.setFontFamilies(QStringList{family});
    int size = 0;
    if (tryParseInteger(sizeText, &size) && size >= 1 && size <= 99)
        typed.setFontPointSize(size);
    typed.setForeground(QColor(Qt::black));
    m_access.setEmptyEditorFormat(typed);
}

void MemoEditor::mergeFormat(const QTextCharFormat& format)
{
    // With a selection the selected text changes; without one, the text typed next.
    ui.RichEdit->mergeCurrentCharFormat(format);
}

void MemoEditor::BoldButtonClick()
{
    QTextCharFormat f;
    f.setFontWeight(ui.BoldButton->isChecked() ? QFont::Bold : QFont::Normal);
    mergeFormat(f);
}

void MemoEditor::ItalicButtonClick()
{
    QTextCharFormat f;
    f.setFontItalic(ui.ItalicButton->isChecked());
    mergeFormat(f);
}

void MemoEditor::UnderlineButtonClick()
{
    QTextCharFormat f;
    f.setFontUnderline(ui.UnderlineButton->isChecked());
    mergeFormat(f);
}

void MemoEditor::AlignButtonClick(int tag)
{
    ui.RichEdit->setAlignment(qtAlignmentOfMemoAlign(tag));
}

void MemoEditor::TextFarbeButtonClick()
{
    const std::optional<QColor> chosen = c.prompts.chooseColor(m_colorDialogColor);
    if (!chosen)
        return;
    m_colorDialogColor = *chosen;
    QTextCharFormat f;
    f.setForeground(*chosen);
    mergeFormat(f);
}

void MemoEditor::FontBoxClick(int index)
{
    const QString name = ui.FontBox->itemText(index);
    if (name.isEmpty())
        return;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{name});
    mergeFormat(f);
    ui.RichEdit->setFocus();
}

void MemoEditor::FontSizeEditChange()
{
    const QString text = ui.FontSizeEdit->text();
    if (text.isEmpty())
        return; // the user is typing a new size
    int size = 0;
    if (!tryParseInteger(text, &size) || size < 1 || size > 99) {
        c.prompts.errorAt(sizeMessageOffset(), sizeMessage());
        return;
    }
    {
        const QSignalBlocker quiet(ui.FontSizeUpDown);
        ui.FontSizeUpDown->setValue(size);
    }
    // The size the field shows for the selection is the selection's own: nothing to change.
    if (m_showingSelection)
        return;
    QTextCharFormat f;
    f.setFontPointSize(size);
    mergeFormat(f);
}

void MemoEditor::RichEditSelectionChange()
{
    // In the player view the editor is read-only and has no tool bar to follow it. While the
    // program replaces the content, the caret passes through text that is not the memo's.
    if (ui.RichEdit->isReadOnly() || m_access.replacing())
        return;
    const SelectionLook look =
        selectionLook(ui.RichEdit->textCursor(), ui.RichEdit->currentCharFormat(), ui.RichEdit->document()->defaultFont());
    ui.BoldButton->setChecked(look.bold);
    ui.ItalicButton->setChecked(look.italic);
    ui.UnderlineButton->setChecked(look.underline);
    ui.FontBox->setEditText(look.family);
    {
        const Flag showing(m_showingSelection);
        ui.FontSizeEdit->setText(sizeFieldText(look));
    }
    m_colorDialogColor = look.colour;
    if (QAbstractButton* align = m_alignButtons->button(look.alignment))
        align->setChecked(true);
}

void MemoEditor::FontsAnzeigen()
{
    // The list is filled afresh, so repeated set-ups do not repeat the fonts.
    const QString shown = ui.FontBox->currentText();
    const QSignalBlocker quiet(ui.FontBox);
    ui.FontBox->clear();
    ui.FontBox->addItems(QFontDatabase::families());
    ui.FontBox->setEditText(shown);
}

void MemoEditor::documentChanged()
{
    // The author's own edit of a memo is a change to the presentation, as a changed mark is.
    if (m_programChange > 0 || m_access.replacing())
        return;
    if (c.st.ActiveArea == 2 && !ui.RichEdit->isReadOnly())
        c.st.DataSaved = false;
}

} // namespace kadro
