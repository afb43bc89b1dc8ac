#pragma once
// What every fuzz target shares. A target checks what must hold for any input with FUZZ_CHECK; a
// failed check prints what differed and aborts, so the fuzzer keeps the input as a crash.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

class QTextDocument;

namespace kadro::fuzz {

[[noreturn]] void fail(const char* condition, const char* file, int line, const QString& detail);

// The input as bytes, without copying.
inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A text for a failure message: printable ASCII as it is, everything else as \uXXXX.
QString escaped(const QString& text);
QString escaped(const QByteArray& bytes);

// The text of a document as RTF carries it: the blocks' texts joined by line feeds, without the
// characters that stand for the document's structure (frames, objects) or mean nothing in a text,
// and with a half of a surrogate pair that lost its partner shown as U+FFFD.
QString carriedText(const QTextDocument& document);

} // namespace kadro::fuzz

#define FUZZ_CHECK(condition, detail)                                                       \
    do {                                                                                    \
        if (!(condition))                                                                   \
            ::kadro::fuzz::fail(#condition, __FILE__, __LINE__, (detail));                  \
    } while (0)

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
