#include "common/TokenReader.h"

#include "common/Cp1252.h"

namespace kadro {

namespace {
[[noreturn]] void endOfFile()
{
    throw ReadError(ReadError::EndOfFile, "E/A-Fehler 100");
}
} // namespace

void TokenReader::skipPast(char c)
{
    while (m_pos < m_bytes.size()) {
        if (m_bytes.at(m_pos++) == c)
            return;
    }
    endOfFile();
}

QChar TokenReader::readChar()
{
    if (atEnd())
        endOfFile();
    return cp1252Char(static_cast<unsigned char>(m_bytes.at(m_pos++)));
}

qint64 TokenReader::readInt()
{
    while (m_pos < m_bytes.size() && static_cast<unsigned char>(m_bytes.at(m_pos)) <= ' ')
        ++m_pos;
    if (atEnd())
        endOfFile();
    const qsizetype start = m_pos;
    while (m_pos < m_bytes.size() && static_cast<unsigned char>(m_bytes.at(m_pos)) > ' ')
        ++m_pos;
    const QByteArray run = m_bytes.mid(start, m_pos - start);
    bool ok = false;
    qint64 value = 0;
    // Only an optional sign and decimal digits count as an integer ("12abc" and "12,5" do not).
    const bool digitsOnly = [&] {
        qsizetype i = (run.startsWith('+') || run.startsWith('-')) ? 1 : 0;
        if (i >= run.size())
            return false;
        for (; i < run.size(); ++i)
            if (run.at(i) < '0' || run.at(i) > '9')
                return false;
        return true;
    }();
    if (digitsOnly)
        value = run.toLongLong(&ok);
    if (!ok)
        throw ReadError(ReadError::NotANumber, "E/A-Fehler 106");
    return value;
}

QString TokenReader::collectUntil(char c)
{
    const qsizetype start = m_pos;
    while (m_pos < m_bytes.size()) {
        if (m_bytes.at(m_pos) == c) {
            QString text = fromCp1252(m_bytes.mid(start, m_pos - start));
            ++m_pos;
            return text;
        }
        ++m_pos;
    }
    endOfFile();
}

QString TokenReader::restOfLine()
{
    const qsizetype start = m_pos;
    while (m_pos < m_bytes.size() && m_bytes.at(m_pos) != '\n')
        ++m_pos;
    qsizetype end = m_pos;
    if (end > start && m_bytes.at(end - 1) == '\r')
        --end;
    if (m_pos < m_bytes.size())
        ++m_pos;
    return fromCp1252(m_bytes.mid(start, end - start));
}

void TokenReader::nextLine()
{
    while (m_pos < m_bytes.size()) {
        if (m_bytes.at(m_pos++) == '\n')
            return;
    }
}

} // namespace kadro
