// The token reader of the program's text files, driven by the input: its first byte says how many
// operation bytes follow, the rest is the file. Each operation is compared with the reading rules
// worked out here on the bytes themselves:
// - skipping past a character stops right after its next occurrence, else fails at the end;
// - a character is the next byte in Windows-1252 (CR, then LF at a line end);
// - an integer skips every byte up to blank and converts the following run of non-blank bytes,
//   which must be an optionally signed decimal integer within 64 bits;
// - collecting up to a character gives the bytes before it and steps past it;
// - the rest of a line is the text before the next LF without one CR before it;
// - going to the next line stops after the next LF or at the end, never failing.
// Only ReadError may end a reading, of the kind the rules name; after it the file is not read on,
// as in the program.
#include "FuzzSupport.h"

#include "common/Cp1252.h"
#include "common/TokenReader.h"

#include <cerrno>
#include <cstdlib>
#include <optional>

using namespace kadro;

namespace {

const char kTargets[] = {':', '*', ' ', '\n', '#', 'A', '\r', '\0'};

enum Op { SkipPast, ReadChar, ReadInt, CollectUntil, RestOfLine, NextLine, AtEnd, OpCount };

qsizetype find(const QByteArray& bytes, qsizetype from, char c)
{
    for (qsizetype i = from; i < bytes.size(); ++i)
        if (bytes.at(i) == c)
            return i;
    return -1;
}

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The value of a run, when it is an integer by the rules.
std::optional<qint64> integerOf(const QByteArray& run)
{
    qsizetype i = run.startsWith('+') || run.startsWith('-') ? 1 : 0;
    if (i >= run.size())
        return std::nullopt;
    for (; i < run.size(); ++i)
        if (run.at(i) < '0' || run.at(i) > '9')
            return std::nullopt;
    errno = 0;
    const std::string text = run.toStdString();
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE)
        return std::nullopt;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t opCount = std::min<size_t>(data[0] % 32, size - 1);
    const uint8_t* ops = data + 1;
    const QByteArray file = fuzz::bytesOf(data + 1 + opCount, size - 1 - opCount);

    TokenReader reader(file);
    qsizetype pos = 0;
    for (size_t k = 0; k < opCount; ++k) {
        const Op op = Op(ops[k] % OpCount);
        const char target = kTargets[(ops[k] / OpCount) % sizeof kTargets];
        // Only a failed check spells out where it was.
        const auto where = [&, k, op, target, start = pos] {
            return QStringLiteral("operation %1 (%2, '%3') at %4 of %5")
                .arg(k).arg(int(op)).arg(int(target)).arg(start).arg(fuzz::escaped(file));
        };
        FUZZ_CHECK(reader.offset() == pos && reader.atEnd() == (pos >= file.size()), where());
        std::optional<ReadError::Kind> expectedFailure;
        try {
            switch (op) {
            case SkipPast: {
                const qsizetype at = find(file, pos, target);
                if (at < 0)
                    expectedFailure = ReadError::EndOfFile;
                reader.skipPast(target);
                FUZZ_CHECK(at >= 0, where());
                pos = at + 1;
                break;
            }
            case ReadChar: {
                if (pos >= file.size())
                    expectedFailure = ReadError::EndOfFile;
                const QChar c = reader.readChar();
                FUZZ_CHECK(pos < file.size() && c == cp1252Char(static_cast<unsigned char>(file.at(pos))), where());
                ++pos;
                break;
            }
            case ReadInt: {
                qsizetype start = pos;
                while (start < file.size() && isBlank(file.at(start)))
                    ++start;
                qsizetype end = start;
                while (end < file.size() && !isBlank(file.at(end)))
                    ++end;
                const std::optional<qint64> expected = integerOf(file.mid(start, end - start));
                if (start == end)
                    expectedFailure = ReadError::EndOfFile;
                else if (!expected)
                    expectedFailure = ReadError::NotANumber;
                const qint64 value = reader.readInt();
                FUZZ_CHECK(expected && *expected == value, where() + QStringLiteral(" read %1").arg(value));
                pos = end;
                break;
            }
            case CollectUntil: {
                const qsizetype at = find(file, pos, target);
                if (at < 0)
                    expectedFailure = ReadError::EndOfFile;
                const QString text = reader.collectUntil(target);
                FUZZ_CHECK(at >= 0 && text == fromCp1252(file.mid(pos, at - pos)), where());
                pos = at + 1;
                break;
            }
            case RestOfLine: {
                const qsizetype lf = find(file, pos, '\n');
                const qsizetype lineEnd = lf < 0 ? file.size() : lf;
                QByteArray line = file.mid(pos, lineEnd - pos);
                if (line.endsWith('\r'))
                    line.chop(1);
                const QString text = reader.restOfLine();
                FUZZ_CHECK(text == fromCp1252(line), where() + QStringLiteral(" gave ") + fuzz::escaped(text));
                pos = lf < 0 ? file.size() : lf + 1;
                break;
            }
            case NextLine: {
                const qsizetype lf = find(file, pos, '\n');
                reader.nextLine();
                pos = lf < 0 ? file.size() : lf + 1;
                break;
            }
            case AtEnd:
            case OpCount: break;
            }
        } catch (const ReadError& e) {
            FUZZ_CHECK(expectedFailure && e.kind() == *expectedFailure,
                       where() + QStringLiteral(" failed: ") + QString::fromStdString(e.what()));
            FUZZ_CHECK(e.kind() != ReadError::EndOfFile || reader.atEnd(), where());
            return 0;
        }
    }
    return 0;
}
