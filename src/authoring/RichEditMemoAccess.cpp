#include "authoring/RichEditMemoAccess.h"

#include <QFile>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextEdit>

namespace kadro {

bool RichEditMemoAccess::hasText() const
{
    return !m_editor->document()->isEmpty();
}

void RichEditMemoAccess::saveTo(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(m_editor->toHtml().toUtf8());
    file.commit();
}

void RichEditMemoAccess::loadFrom(const QString& path)
{
    load(path);
}

bool RichEditMemoAccess::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_editor->clear();
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    if (Qt::mightBeRichText(text))
        m_editor->setHtml(text);
    else
        m_editor->setPlainText(text);
    return true;
}

void RichEditMemoAccess::clear()
{
    m_editor->clear();
}

void RichEditMemoAccess::setEnabled(bool enabled)
{
    m_editor->setEnabled(enabled);
}

} // namespace kadro
