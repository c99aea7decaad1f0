#pragma once
// A small RTF codec for plain paragraphs: enough to store a body as RTF text
// and read the text back from RTF written by this or another program.
// Formatting is not kept. It never fails: malformed input gives what text
// could be read.

#include <QString>

namespace rtf {

// The text as a 7-bit RTF document, one \par per line break.
QString plainToRtf(const QString &text);
// The text of an RTF document (paragraphs joined by "\n"). Text that does
// not start with "{\rtf" is returned unchanged: it is not RTF.
QString rtfToPlain(const QString &rtf);

} // namespace rtf
