#pragma once
// Helpers of the RTF reader: code pages of fonts and documents, the Symbol
// font, and the list style a shown list marker stands for.

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QTextListFormat>

namespace rtf::detail {

// Code page of a font's \fcharset (0 when unknown; 42 for Symbol).
int codePageOfCharset(int charset);
// The decoder name of a code page.
QByteArray codecName(int codePage);
// A byte of the Symbol font as the character it shows.
QChar symbolChar(uchar b);
// The list style a marker as shown ("1.", "a)", "ii.", a bullet) stands for.
QTextListFormat::Style styleOfMarker(const QString &marker, bool numberedHint);

} // namespace rtf::detail
