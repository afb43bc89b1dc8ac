#pragma once
#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace kadro {

// A failure while reading one of the program's text files. EndOfFile and NotANumber can be
// told apart by the caller; the message is the one the general error box shows.
class ReadError : public std::runtime_error {
public:
    enum Kind { EndOfFile, NotANumber };
    ReadError(Kind kind, const std::string& message) : std::runtime_error(message), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// Reads a Windows-1252 text file character by character and number by number, the way the
// program's settings, titles and presentation files are read: not by labels but by colons,
// blanks and line ends.
class TokenReader {
public:
    explicit TokenReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    qsizetype offset() const { return m_pos; }

    // Reads up to and including the next occurrence of c. End of file first is a failure.
    void skipPast(char c);
    // One character; at a line end this gives CR, then LF. End of file is a failure.
    QChar readChar();
    // Skips every byte up to and including blank (crossing line ends), then converts the
    // following run of non-blank bytes as an optionally signed decimal integer.
    qint64 readInt();
    // Collects characters up to but not including c, then steps past c. End of file before c
    // is a failure.
    QString collectUntil(char c);
    // The rest of the current line without its CR LF, stepping past the LF; at the end of the
    // file the line simply ends there.
    QString restOfLine();
    // Skips past the next LF; at the end of the file it simply stays there.
    void nextLine();

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

} // namespace kadro
