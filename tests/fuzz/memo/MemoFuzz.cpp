// The memo file reader on any bytes: RTF, the HTML an earlier version wrote, or plain text. What
// must hold: the bytes are always shown somehow, in an unmodified document; the memo saved from it
// reads back to the same text, and is saved again to the same bytes.
#include "FuzzSupport.h"

#include "authoring/model/MemoFiles.h"
#include "common/Rtf.h"

#include <QTextDocument>

using namespace kadro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    QTextDocument shown;
    shown.setPlainText(QStringLiteral("vorher"));
    readMemoBytes(bytes, &shown);
    FUZZ_CHECK(!shown.isModified() && shown.availableUndoSteps() == 0, QString());
    FUZZ_CHECK(!bytes.isEmpty() || shown.isEmpty(), shown.toPlainText());

    const QByteArray saved = writeRtf(shown);
    QTextDocument reloaded;
    readMemoBytes(saved, &reloaded);
    FUZZ_CHECK(fuzz::carriedText(reloaded) == fuzz::carriedText(shown),
               fuzz::escaped(fuzz::carriedText(shown)) + QStringLiteral("\nbecame ") +
                   fuzz::escaped(fuzz::carriedText(reloaded)));
    const QByteArray savedAgain = writeRtf(reloaded);
    FUZZ_CHECK(savedAgain == saved, fuzz::escaped(saved) + QStringLiteral("\nbecame\n") + fuzz::escaped(savedAgain));
    return 0;
}
