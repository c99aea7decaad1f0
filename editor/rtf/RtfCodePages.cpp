#include "RtfCodePages.h"

#include <QRegularExpression>

#include <algorithm>

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
    case 65001: return "UTF-8";
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
    default: return QChar(char16_t(b));
    }
}


namespace {

int romanValue(QStringView s)
{
    const auto digit = [](QChar c) {
        switch (c.toLower().unicode()) {
        case 'i': return 1;
        case 'v': return 5;
        case 'x': return 10;
        case 'l': return 50;
        case 'c': return 100;
        case 'd': return 500;
        case 'm': return 1000;
        default: return 0;
        }
    };
    int total = 0;
    for (qsizetype k = 0; k < s.size(); ++k) {
        const int v = digit(s[k]);
        if (!v)
            return 0;
        total += k + 1 < s.size() && digit(s[k + 1]) > v ? -v : v;
    }
    return total > 0 && total < 5000 ? total : 0;
}

// Letters count on past "z" as "aa", "ab", ..., as the lists show them.
int letterValue(QStringView s)
{
    if (s.size() > 4)
        return 0;
    int n = 0;
    for (QChar c : s)
        n = n * 26 + (c.toLower().unicode() - 'a' + 1);
    return n;
}

} // namespace

QString numberText(QTextListFormat::Style style, int n)
{
    switch (style) {
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha: {
        if (n <= 0)
            break;
        QString t;
        for (int c = n; c > 0; c /= 26) {
            --c;
            t.prepend(QChar(u'a' + c % 26));
        }
        return style == QTextListFormat::ListUpperAlpha ? t.toUpper() : t;
    }
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman: {
        if (n <= 0 || n >= 5000)
            break;
        static const std::pair<int, const char *> parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                             {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                             {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"},
                                                             {1, "i"}};
        QString t;
        for (const auto &[value, text] : parts)
            for (; n >= value; n -= value)
                t += QLatin1String(text);
        return style == QTextListFormat::ListUpperRoman ? t.toUpper() : t;
    }
    default:
        break;
    }
    return QString::number(n);
}

QList<ListMarker> readMarker(const QString &marker, bool numberedHint)
{
    QString m = marker;
    m.remove(QLatin1Char('\t'));
    m = m.trimmed();
    if (m.isEmpty())
        return {{numberedHint ? QTextListFormat::ListDecimal : QTextListFormat::ListDisc, 0, {}, {}}};
    static const QRegularExpression shape(QStringLiteral("^(\\(?)(?:\\d+\\.)*(\\d+|[a-zA-Z]{1,4})([.)]?)$"));
    const QRegularExpressionMatch match = shape.match(m);
    if (!match.hasMatch())
        return {{QTextListFormat::ListDisc, 0, {}, {}}};
    const QString prefix = match.captured(1), core = match.captured(2);
    // Qt's lists put a dot after the number unless told otherwise.
    const QString suffix = match.captured(3).isEmpty() && prefix.isEmpty() ? QStringLiteral(".") : match.captured(3);
    if (core.at(0).isDigit())
        return {{QTextListFormat::ListDecimal, core.toInt(), prefix, suffix}};
    // A letter alone without a dot or bracket is no marker ("o" as a bullet).
    if (match.captured(3).isEmpty() && prefix.isEmpty())
        return {{QTextListFormat::ListDisc, 0, {}, {}}};
    const bool upper = core.at(0).isUpper();
    if (core != (upper ? core.toUpper() : core.toLower()))
        return {{QTextListFormat::ListDisc, 0, {}, {}}};
    QList<ListMarker> out;
    const ListMarker roman{upper ? QTextListFormat::ListUpperRoman : QTextListFormat::ListLowerRoman,
                           romanValue(core), prefix, suffix};
    const bool sameLetters = std::all_of(core.begin(), core.end(), [&](QChar c) { return c == core.at(0); });
    const ListMarker letters{upper ? QTextListFormat::ListUpperAlpha : QTextListFormat::ListLowerAlpha,
                             sameLetters || core.size() == 1 ? letterValue(core) : 0, prefix, suffix};
    // Only "i" starts a roman list; other single letters count as letters first.
    const bool isRoman = roman.number && numberText(roman.style, roman.number) == core;
    if (isRoman && (core.size() > 1 || core.compare(QLatin1String("i"), Qt::CaseInsensitive) == 0))
        out << roman;
    if (letters.number && numberText(letters.style, letters.number) == core)
        out << letters;
    if (isRoman && !out.contains(roman))
        out << roman;
    if (out.isEmpty())
        out << ListMarker{QTextListFormat::ListDisc, 0, {}, {}};
    return out;
}

} // namespace rtf::detail
