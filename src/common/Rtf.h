#pragma once
#include <QByteArray>

class QTextDocument;

namespace kadro {

// Rich Text Format for memo texts and the question-and-answer text.
//
// What is kept: per character the font name, the size in points, bold, italic, underline and
// the colour (none = the automatic colour); per paragraph the alignment (left, centre, right,
// justified). Everything else a word processor writes is read past.

// True when the bytes are RTF: they start with "{\rtf" (a UTF-8 byte order mark and blanks
// before it are allowed). Looks at no more than the first few bytes.
bool looksLikeRtf(const QByteArray& bytes);

// Replaces the document's content with the RTF text in bytes and returns true; returns false
// and leaves the document untouched when the bytes are not RTF at all (see looksLikeRtf).
// Reads what Windows' rich-edit controls, WordPad, Word and LibreOffice write. Broken input
// (unbalanced braces, a cut-off file, absurd numbers, deep nesting) never fails: the document
// shows what could be read. Time and memory grow linearly with the input. Loading is not
// undoable and leaves the document unmodified.
bool readRtf(const QByteArray& bytes, QTextDocument* document);

// The document as RTF in the form Windows' rich-edit controls write: code page 1252, a font
// table and (when a colour is used) a colour table, one \pard and one \par per paragraph with
// CR LF after it. Characters of Windows-1252 above 127 are written as \'hh, all others as
// \uN?. Reading the result and writing it again gives the same bytes.
QByteArray writeRtf(const QTextDocument& document);

} // namespace kadro
