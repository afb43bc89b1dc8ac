// The RTF reader on any bytes. What must hold:
// - it takes exactly the bytes that look like RTF and leaves the document untouched otherwise;
// - a loaded document is unmodified, with nothing to undo;
// - the document read writes RTF that reads back to the same text with the same look of every
//   character (font, size, bold, italic, underline, colour) and every paragraph (alignment, and
//   the look of an empty one), and that RTF is written again to the same bytes.
#include "FuzzSupport.h"

#include "authoring/model/MemoFormat.h"
#include "common/Rtf.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <vector>

using namespace kadro;

namespace {

QString lookOf(const QTextCharFormat& f, const QFont& defaultFont)
{
    const bool coloured = f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush;
    return QStringLiteral("%1/%2/%3%4%5/%6")
        .arg(formatFamily(f, defaultFont))
        .arg(formatPoints(f, defaultFont))
        .arg(formatBold(f, defaultFont) ? QLatin1Char('b') : QLatin1Char('-'))
        .arg(formatItalic(f, defaultFont) ? QLatin1Char('i') : QLatin1Char('-'))
        .arg(formatUnderline(f, defaultFont) ? QLatin1Char('u') : QLatin1Char('-'))
        .arg(coloured ? f.foreground().color().name() : QStringLiteral("auto"));
}

// One line per paragraph (alignment, and the look of its mark when it is empty) and per run of
// equally formatted characters, as far as RTF carries them.
QStringList looks(const QTextDocument& doc)
{
    QStringList out;
    const QFont defaultFont = doc.defaultFont();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const Qt::Alignment align = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        out << QStringLiteral("paragraph %1 %2")
                   .arg(int(align))
                   .arg(b.length() <= 1 ? lookOf(b.charFormat(), defaultFont) : QString());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QString look = lookOf(frag.charFormat(), defaultFont);
            if (!out.isEmpty() && out.last().startsWith(look + QLatin1Char(' ')))
                out.last() += frag.text();
            else
                out << look + QLatin1Char(' ') + frag.text();
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    QTextDocument first;
    first.setPlainText(QStringLiteral("unberührt"));
    const bool taken = readRtf(bytes, &first);
    FUZZ_CHECK(taken == looksLikeRtf(bytes), fuzz::escaped(bytes.left(80)));
    if (!taken) {
        FUZZ_CHECK(first.toPlainText() == QStringLiteral("unberührt"), first.toPlainText());
        return 0;
    }
    FUZZ_CHECK(!first.isModified() && first.availableUndoSteps() == 0, QString());

    const QByteArray written = writeRtf(first);
    QTextDocument second;
    FUZZ_CHECK(readRtf(written, &second), fuzz::escaped(written));
    FUZZ_CHECK(fuzz::carriedText(second) == fuzz::carriedText(first),
               fuzz::escaped(fuzz::carriedText(first)) + QStringLiteral("\nbecame ") +
                   fuzz::escaped(fuzz::carriedText(second)));
    const QStringList before = looks(first);
    const QStringList after = looks(second);
    FUZZ_CHECK(after == before, fuzz::escaped(before.join(QLatin1Char('\n'))) + QStringLiteral("\nbecame\n") +
                                   fuzz::escaped(after.join(QLatin1Char('\n'))));
    const QByteArray again = writeRtf(second);
    FUZZ_CHECK(again == written, fuzz::escaped(written) + QStringLiteral("\nbecame\n") + fuzz::escaped(again));
    return 0;
}
