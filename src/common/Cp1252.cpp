#include "common/Cp1252.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <optional>
#include <unistd.h>

namespace kadro {

namespace {
// 0x80..0x9F; 0 marks the five undefined bytes, which map to the C1 control of the same value.
const char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
} // namespace

QChar cp1252Char(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t c = kHigh[byte - 0x80];
        return QChar(c ? c : char16_t(byte));
    }
    return QChar(char16_t(byte));
}

QString fromCp1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out.append(cp1252Char(static_cast<unsigned char>(b)));
    return out;
}

namespace {
// The byte of a character in Windows-1252, or nothing.
std::optional<char> cp1252Byte(char32_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u || (kHigh[i] == 0 && u == char32_t(0x80 + i)))
            return char(0x80 + i);
    return std::nullopt;
}
} // namespace

QByteArray toCp1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text)
        out.append(cp1252Byte(ch.unicode()).value_or('?'));
    return out;
}

QStringList cp1252Unencodable(const QString& text)
{
    QStringList found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const QString ch = text.mid(i, pair ? 2 : 1);
        if (pair)
            ++i;
        if ((pair || !cp1252Byte(ch.at(0).unicode())) && !found.contains(ch))
            found << ch;
    }
    return found;
}

QString describeCharacters(const QStringList& characters)
{
    QStringList names;
    for (const QString& ch : characters) {
        const char32_t code = ch.size() == 2 ? QChar::surrogateToUcs4(ch.at(0), ch.at(1)) : ch.at(0).unicode();
        const QString number = QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
        const QChar::Category category = QChar::category(code);
        const bool invisible = QChar::isSpace(code) || !QChar::isPrint(code) ||
                               category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing ||
                               category == QChar::Mark_SpacingCombining;
        names << (invisible ? number : QLatin1Char('"') + ch + QStringLiteral("\" (") + number + QLatin1Char(')'));
    }
    return names.join(QStringLiteral(", "));
}

bool readFileBytes(const QString& path, QByteArray* out)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *out = f.readAll();
    return f.error() == QFile::NoError;
}

bool writeFileSafely(const QString& path, const QByteArray& bytes)
{
    // Unbuffered, so that every failed write shows in write() itself: QSaveFile takes no notice
    // of a failure while its buffer is flushed at commit(), and a file smaller than the buffer
    // (every file of the program) cut short by a full disk would replace the whole old one.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // A failure some file systems report only when the data reaches the disk (a full disk, a
    // quota) must not let the new file replace the old one either.
    if (f.write(bytes) != bytes.size() || ::fsync(f.handle()) != 0) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

QByteArray cp1252Lines(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines) {
        out += toCp1252(line);
        out += "\r\n";
    }
    return out;
}

} // namespace kadro
