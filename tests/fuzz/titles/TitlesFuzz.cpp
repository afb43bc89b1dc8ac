// The titles reader on any bytes. What must hold: no title or path read holds a line feed; the
// titles dialog accepts the table read for saving; the table writes a file that reads back,
// completely, to the same table, and that file is written again to the same bytes.
#include "FuzzSupport.h"

#include "settings/model/Titles.h"

using namespace kadro;

namespace {
QString describe(const TitlesTable& t)
{
    QString out;
    for (int i = 0; i < 5; ++i)
        out += QStringLiteral("[%1 | %2] ").arg(fuzz::escaped(t.title[i]), fuzz::escaped(t.path[i]));
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TitlesTable read;
    readTitlesText(fuzz::bytesOf(data, size), read);
    for (int i = 0; i < 5; ++i)
        FUZZ_CHECK(!read.title[i].contains(QLatin1Char('\n')) && !read.path[i].contains(QLatin1Char('\n')),
                   describe(read));

    const std::optional<QString> refused = unwritableTitlesWarning(read);
    FUZZ_CHECK(!refused, describe(read) + QStringLiteral("\n") + refused.value_or(QString()));

    const QByteArray written = writeTitlesText(read);
    TitlesTable again;
    FUZZ_CHECK(readTitlesText(written, again), fuzz::escaped(written));
    FUZZ_CHECK(again == read, describe(read) + QStringLiteral("\nbecame ") + describe(again));
    FUZZ_CHECK(writeTitlesText(again) == written, fuzz::escaped(written));
    return 0;
}
