#include "authoring/MemoEditor.h"

#include "common/NumberFormat.h"

#include <QFrame>
#include <QTextEdit>
#include <QToolBar>

namespace kadro {

MemoEditor::MemoEditor(const Context& context, const MemoWidgets& widgets)
    : c(context), ui(widgets), m_access(widgets.RichEdit)
{
}

void MemoEditor::setUpAuthoringView()
{
    ui.RichEditAbdeckungsPanel->hide();
    ui.RichEdit->show();
    ui.RichEdit->setEnabled(true);
    ui.RichEdit->clear();
    ui.RichEdit->setGeometry(4, 40, 384, 223);
    ui.RichEdit->setReadOnly(false);
    ui.RichEdit->setTextColor(Qt::black);
    ui.ToolBar1->show();
    ui.ToolBar1->setEnabled(false);
    ui.RichEditPanel->resize(392, 273);
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
    if (!family.isEmpty())
        ui.RichEdit->setFontFamily(family);
    int size = 0;
    if (tryParseInteger(sizeText, &size) && size >= 1 && size <= 99)
        ui.RichEdit->setFontPointSize(size);
}

} // namespace kadro
