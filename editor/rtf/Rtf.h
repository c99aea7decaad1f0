#pragma once
// Reading and writing the topic body as RTF.
//
// The reader takes what this program writes and what other rich-text
// controls and word processors write: code pages 1250-1258 and the East Asian
// ones, \uN with its fallback, old (\pn) and new (\ls) bullets, colours,
// fonts, sizes, indents, alignment, line and paragraph breaks, tabs, PNG and
// JPEG pictures; destinations it does not know are skipped. It never fails
// on malformed input: it keeps what it could read. Nesting depth and picture
// sizes are bounded, and every step moves forward, so it always ends.
//
// The writer emits 7-bit RTF that the reader reads back attribute by
// attribute.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {

// Document units per twip: a document is laid out at 96 units per inch.
inline constexpr double kTwipsPerUnit = 15.0;

// True when the text starts like an RTF document ("{\rtf").
bool looksLikeRtf(const QByteArray &data);
bool looksLikeRtf(const QString &text);

// Replaces the document's content by the RTF's. Returns false, with a reason
// in error, only when the data is not RTF at all; the document is then left
// as it was.
bool read(const QByteArray &data, QTextDocument *doc, QString *error = nullptr);
// The same for RTF kept as text: characters up to U+00FF stand for the bytes
// of the RTF stream, others for themselves.
bool read(const QString &text, QTextDocument *doc, QString *error = nullptr);

// The document as 7-bit RTF.
QByteArray write(const QTextDocument *doc);
QString writeText(const QTextDocument *doc);

// The text kept beside the RTF for searching: paragraphs and line breaks as
// "\n", pictures left out.
QString plainText(const QTextDocument *doc);

} // namespace rtf
