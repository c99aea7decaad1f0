#include "RtfCodePages.h"

#include <QRegularExpression>

namespace rtf::detail {

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return 42;  // Symbol
    case 77: return 10000;
    case 78: return 932;  // the Mac's Japanese, Korean and Chinese sets
    case 79: return 949;
    case 80: return 936;
    case 81: return 950;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
    }
}

QByteArray codecName(int codePage)
{
    switch (codePage) {
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 874: return "windows-874";
    case 10000: return "macintosh";
    case 437: return "IBM437";
    case 850: return "IBM850";
    default:
        if (codePage >= 1250 && codePage <= 1258)
            return "windows-" + QByteArray::number(codePage);
        return "windows-1252";
    }
}

// The Symbol font's bytes that stand for punctuation a note uses; its Greek
// letters and the rest are shown as their Latin bytes.
QChar symbolChar(uchar b)
{
    switch (b) {
    case 0xb7: return QChar(0x2022);
    case 0xa7: return QChar(0x2663);
    case 0xa8: return QChar(0x2666);
    case 0xb0: return QChar(0x00b0);
    case 0xae: return QChar(0x2192);
    case 0xac: return QChar(0x2190);
    case 0xd7: return QChar(0x00d7);
    default: return QChar(b);
    }
}


QTextListFormat::Style styleOfMarker(const QString &marker, bool numberedHint)
{
    QString m = marker;
    m.remove(QLatin1Char('\t'));
    m = m.trimmed();
    if (m.isEmpty())
        return numberedHint ? QTextListFormat::ListDecimal : QTextListFormat::ListDisc;
    static const QRegularExpression decimal(QStringLiteral("^\\(?\\d+(\\.\\d+)*[.)]?$"));
    static const QRegularExpression lowerRoman(QStringLiteral("^\\(?[ivxlcdm]+[.)]$"));
    static const QRegularExpression upperRoman(QStringLiteral("^\\(?[IVXLCDM]+[.)]$"));
    static const QRegularExpression lowerAlpha(QStringLiteral("^\\(?[a-z][.)]$"));
    static const QRegularExpression upperAlpha(QStringLiteral("^\\(?[A-Z][.)]$"));
    if (decimal.match(m).hasMatch())
        return QTextListFormat::ListDecimal;
    if (lowerRoman.match(m).hasMatch() && m.size() > 2)
        return QTextListFormat::ListLowerRoman;
    if (upperRoman.match(m).hasMatch() && m.size() > 2)
        return QTextListFormat::ListUpperRoman;
    if (m == QLatin1String("i.") || m == QLatin1String("i)"))
        return QTextListFormat::ListLowerRoman;
    if (m == QLatin1String("I.") || m == QLatin1String("I)"))
        return QTextListFormat::ListUpperRoman;
    if (lowerAlpha.match(m).hasMatch())
        return QTextListFormat::ListLowerAlpha;
    if (upperAlpha.match(m).hasMatch())
        return QTextListFormat::ListUpperAlpha;
    return QTextListFormat::ListDisc;
}

} // namespace rtf::detail
