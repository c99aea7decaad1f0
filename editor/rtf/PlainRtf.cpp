#include "PlainRtf.h"

#include <QList>
#include <QStringDecoder>

namespace rtf {

QString plainToRtf(const QString &text)
{
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fswiss MS Sans Serif;}}\n"
                                 "\\pard\\f0\\fs17 ");
    const QList<uint> codes = text.toUcs4();
    for (uint c : codes) {
        if (c == '\\' || c == '{' || c == '}') {
            out += QLatin1Char('\\');
            out += QChar(c);
        } else if (c == '\n' || c == 0x2029) {
            out += QStringLiteral("\\par\n");
        } else if (c == '\r') {
            continue;
        } else if (c == '\t') {
            out += QStringLiteral("\\tab ");
        } else if (c >= 0x20 && c < 0x80) {
            out += QChar(c);
        } else if (c < 0x20) {
            continue;
        } else {
            // \uN takes a signed 16-bit number; beyond the basic plane the
            // character is written as its two surrogates.
            const QString units = QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
            for (QChar u : units)
                out += QStringLiteral("\\u%1?").arg(qint16(u.unicode()));
        }
    }
    out += QStringLiteral("\\par\n}");
    return out;
}

QString rtfToPlain(const QString &rtf)
{
    if (!rtf.startsWith(QLatin1String("{\\rtf")))
        return rtf;
    QString out;
    QStringDecoder cp1252("windows-1252");
    // Per group: whether its text is skipped, and the \uc count.
    struct Group {
        bool skip = false;
        int uc = 1;
    };
    QList<Group> stack{Group{}};
    int skipFallback = 0;
    const qsizetype n = rtf.size();
    qsizetype i = 0;
    const auto put = [&](const QString &s) {
        if (!stack.last().skip)
            out += s;
    };
    while (i < n) {
        const QChar c = rtf[i];
        if (c == QLatin1Char('{')) {
            stack.append(stack.last());
            ++i;
            // Destinations that carry no body text.
            static const char *const skipped[] = {"\\fonttbl", "\\colortbl", "\\stylesheet", "\\info", "\\*",
                                                  "\\pict", "\\header", "\\footer", "\\listtable",
                                                  "\\listoverridetable", "\\rsidtbl", "\\generator"};
            for (const char *d : skipped)
                if (rtf.mid(i, qsizetype(qstrlen(d))) == QLatin1String(d))
                    stack.last().skip = true;
            skipFallback = 0;
            continue;
        }
        if (c == QLatin1Char('}')) {
            if (stack.size() > 1)
                stack.removeLast();
            ++i;
            skipFallback = 0;
            continue;
        }
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            ++i;
            continue;
        }
        if (c != QLatin1Char('\\')) {
            if (skipFallback > 0)
                --skipFallback;
            else
                put(QString(c));
            ++i;
            continue;
        }
        // A control word or symbol.
        ++i;
        if (i >= n)
            break;
        const QChar d = rtf[i];
        if (d == QLatin1Char('\\') || d == QLatin1Char('{') || d == QLatin1Char('}')) {
            if (skipFallback > 0)
                --skipFallback;
            else
                put(QString(d));
            ++i;
            continue;
        }
        if (d == QLatin1Char('\'')) {
            bool hexOk = false;
            const int byte = i + 2 < n ? rtf.mid(i + 1, 2).toInt(&hexOk, 16) : 0;
            i += 3;
            if (skipFallback > 0) {
                --skipFallback;
            } else if (hexOk) {
                const char b = char(byte);
                put(cp1252.decode(QByteArrayView(&b, 1)));
            }
            continue;
        }
        if (!d.isLetter()) {
            if (d == QLatin1Char('~'))
                put(QString(QChar(0xa0)));
            else if (d == QLatin1Char('_'))
                put(QString(QChar(0x2011)));
            else if (d == QLatin1Char('*'))
                stack.last().skip = true;
            ++i;
            continue;
        }
        qsizetype start = i;
        while (i < n && rtf[i].isLetter() && rtf[i].unicode() < 0x80)
            ++i;
        const QString word = rtf.mid(start, i - start);
        bool hasParam = false;
        int param = 0;
        if (i < n && (rtf[i] == QLatin1Char('-') || rtf[i].isDigit())) {
            start = i;
            ++i;
            while (i < n && rtf[i].isDigit())
                ++i;
            // A number too large for a parameter makes the word void.
            param = rtf.mid(start, i - start).toInt(&hasParam);
        }
        if (i < n && rtf[i] == QLatin1Char(' '))
            ++i;
        if (word == QLatin1String("par") || word == QLatin1String("line")) {
            put(QStringLiteral("\n"));
        } else if (word == QLatin1String("tab")) {
            put(QStringLiteral("\t"));
        } else if (word == QLatin1String("uc") && hasParam) {
            stack.last().uc = qBound(0, param, 10);
        } else if (word == QLatin1String("u") && hasParam && param >= -32768 && param <= 65535) {
            put(QString(QChar(char16_t(param < 0 ? param + 65536 : param))));
            skipFallback = stack.last().uc;
        } else if (word == QLatin1String("bin") && hasParam && param > 0) {
            i += param;
        }
    }
    // The last paragraph mark ends the text; it adds no empty line.
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}

} // namespace rtf
