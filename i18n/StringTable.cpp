#include "StringTable.h"

#include <QFile>
#include <QList>

namespace i18n {

namespace {

QString unescape(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) {
            const QChar n = s[i + 1];
            if (n == QLatin1Char('n')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (n == QLatin1Char('t')) {
                out += QLatin1Char('\t');
                ++i;
                continue;
            }
            if (n == QLatin1Char('\\')) {
                out += QLatin1Char('\\');
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

} // namespace

bool StringTable::parse(const QByteArray &data, QString *error)
{
    m_texts.clear();
    const QString all = QString::fromUtf8(data);
    const QList<QStringView> lines = QStringView(all).split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QStringView line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).toInt(&ok) : 0;
        if (!ok) {
            if (error)
                *error = QStringLiteral("line %1: expected <id><TAB><text>").arg(n + 1);
            return false;
        }
        if (m_texts.contains(id)) {
            if (error)
                *error = QStringLiteral("line %1: id %2 appears twice").arg(n + 1).arg(id);
            return false;
        }
        // A text holds no tab of its own (it writes \t): a second tab
        // follows the name the code knows the entry by.
        QStringView text = line.mid(tab + 1);
        if (const qsizetype named = text.indexOf(QLatin1Char('\t')); named >= 0)
            text = text.mid(named + 1);
        m_texts.insert(id, unescape(text));
    }
    return true;
}

const StringTable &StringTable::builtIn()
{
    static const StringTable table = [] {
        StringTable t;
        QFile f(QStringLiteral(":/quorvel/strings.tsv"));
        QString error;
        if (!f.open(QIODevice::ReadOnly) || !t.parse(f.readAll(), &error))
            qFatal("The built-in string table cannot be read: %s", qPrintable(error));
        return t;
    }();
    return table;
}

} // namespace i18n
