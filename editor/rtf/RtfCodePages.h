#pragma once
// Helpers of the RTF reader: code pages of fonts and documents, the Symbol
// font, and the list style a shown list marker stands for.

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QTextListFormat>

namespace rtf::detail {

// Code page of a font's \fcharset (0 when unknown; 42 for Symbol).
int codePageOfCharset(int charset);
// The decoder name of a code page.
QByteArray codecName(int codePage);
// A byte of the Symbol font as the character it shows.
QChar symbolChar(uchar b);
// One way to read a list marker as shown ("1.", "(a)", "ii.", a bullet): the
// list style, the number it shows (0 when none) and what stands around it.
struct ListMarker {
    QTextListFormat::Style style = QTextListFormat::ListDisc;
    int number = 0;
    QString prefix, suffix;
    bool operator==(const ListMarker &) const = default;
};
// The readings a marker allows, the likelier first ("i." is a roman one or
// the ninth letter); an empty marker is a bullet or, with numberedHint, a
// number not shown.
QList<ListMarker> readMarker(const QString &marker, bool numberedHint);
// A number as a list of that style shows it (without prefix or suffix).
QString numberText(QTextListFormat::Style style, int n);

} // namespace rtf::detail
