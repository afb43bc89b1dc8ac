#include "authoring/RichEditMemoAccess.h"

#include "common/Cp1252.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace kadro {

namespace {
struct Replacing {
    int& depth;
    explicit Replacing(int& d) : depth(d) { ++depth; }
    ~Replacing() { --depth; }
};
} // namespace

bool RichEditMemoAccess::hasText() const
{
    return !m_editor->document()->isEmpty();
}

bool RichEditMemoAccess::saveTo(const QString& path)
{
    return writeMemoFile(path, *m_editor->document());
}

void RichEditMemoAccess::loadFrom(const QString& path)
{
    if (!load(path))
        clear();
}

bool RichEditMemoAccess::load(const QString& path)
{
    QByteArray bytes;
    if (!readFileBytes(path, &bytes))
        return false;
    {
        Replacing guard(m_replacing);
        readMemoBytes(bytes, m_editor->document());
        m_editor->moveCursor(QTextCursor::Start);
    }
    replaced();
    return true;
}

void RichEditMemoAccess::clear()
{
    {
        Replacing guard(m_replacing);
        m_editor->clear();
        if (m_emptyFormat)
            m_editor->setCurrentCharFormat(*m_emptyFormat);
    }
    replaced();
}

void RichEditMemoAccess::replaced()
{
    if (m_replacing == 0 && m_afterReplace)
        m_afterReplace();
}

void RichEditMemoAccess::setEnabled(bool enabled)
{
    m_editor->setEnabled(enabled);
}

} // namespace kadro
