#pragma once
// Reading and writing the topic body as RTF.
//
// The reader takes what this program writes and what other rich-text
// controls and word processors write: code pages 1250-1258, UTF-8 and the
// East Asian ones, \uN with its fallback, old (\pn) and new (\ls) bullets,
// colours, highlight, fonts, sizes, indents, alignment, line and paragraph
// breaks, tabs, PNG and JPEG pictures (a shape's and an object's too),
// superscripts, tables, hyperlinks, text boxes; a footnote becomes numbered
// paragraphs under the paragraph that refers to it, endnotes the same at the
// end, marked as notes and written back as notes; destinations it does not
// know are skipped. It never fails
// on malformed input: it keeps what it could read. Nesting depth and picture
// sizes are bounded, and every step moves forward, so it always ends.
//
// The writer emits 7-bit RTF that the reader reads back attribute by
// attribute.

#include <QByteArray>
#include <QString>
#include <QTextFormat>

class QTextDocument;

namespace rtf {

// Document units per twip: a document is laid out at 96 units per inch.
inline constexpr double kTwipsPerUnit = 15.0;

// A list's outline level (0-8) in its QTextListFormat, kept so that nested
// lists are written back as such; lists without it are of level 0.
inline constexpr int kListLevelProperty = QTextFormat::UserProperty + 1;
// Notes: the characters of a note's mark, in the text and at the start of
// the note, carry the note's number among all notes (from 1); the note's
// own paragraphs, under the paragraph of its mark (an endnote's at the end
// of the document), carry it as a block property, and an endnote's are
// marked as such.
inline constexpr int kNoteMarkProperty = QTextFormat::UserProperty + 2;
inline constexpr int kNoteProperty = QTextFormat::UserProperty + 3;
inline constexpr int kEndnoteProperty = QTextFormat::UserProperty + 4;

// The look the reader gives a link whose source gave it none: underlined,
// in this colour.
inline constexpr unsigned kLinkRgb = 0xff0000ffu;

// The reader keeps at most this many characters of text, and pictures of at
// most this many bytes; the writer tells when a document goes past them.
inline constexpr qsizetype kMaxText = 32 << 20;
inline constexpr qsizetype kMaxPictureBytes = 32 << 20;

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

// The document as 7-bit RTF. readsBackWhole, when given, is set to false
// when the document holds more text or a larger picture than read() keeps.
QByteArray write(const QTextDocument *doc, bool *readsBackWhole = nullptr);
QString writeText(const QTextDocument *doc);

// The text kept beside the RTF for searching: paragraphs and line breaks as
// "\n", pictures left out.
QString plainText(const QTextDocument *doc);
// The same for a reader of a text file: tables in aligned columns.
QString alignedText(const QTextDocument *doc);

} // namespace rtf
