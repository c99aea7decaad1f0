#include "notes/FileNames.h"

#include <QStringList>

namespace notes {

QString titleToFileName(const QString &title)
{
    static const QString allowed = QStringLiteral("òèéìùàç_^$~!#%&+,;=[] -{}()@\\'`.");
    QString out;
    for (const QChar c : title) {
        const QChar up = c.toUpper();
        if ((up >= QLatin1Char('A') && up <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            || allowed.contains(c))
            out += c;
    }
    return out;
}

QString fileNameFor(const QString &title)
{
    QString out = titleToFileName(title).trimmed();
    while (out.endsWith(QLatin1Char('.')) || out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    // Names that a file system takes for a device, with any extension.
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                        QStringLiteral("NUL")};
    const QString stem = out.section(QLatin1Char('.'), 0, 0).toUpper();
    const bool numbered = stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")))
        && stem.at(3).isDigit();
    if (devices.contains(stem) || numbered)
        out.prepend(QLatin1Char('_'));
    // Most file systems take 255 bytes; room is left for a number and an
    // extension. What the rule keeps is one byte a character but for the
    // accented letters.
    while (out.toUtf8().size() > 200)
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("_") : out;
}

} // namespace notes
