#pragma once
// Every caption and message of the program, in Italian (ids 100-999) and
// English (the same id + 1000), read from the table compiled into the program.

#include <QHash>
#include <QString>

namespace i18n {

inline constexpr int kEnglishOffset = 1000;

class StringTable final {
public:
    // The table built into the program (parsed once).
    static const StringTable &builtIn();

    // Parses "id<TAB>text" and "id<TAB>Name<TAB>text" lines; '#' starts a
    // comment line. Returns false
    // with a reason on a malformed line or a repeated id.
    bool parse(const QByteArray &data, QString *error);

    bool contains(int id) const { return m_texts.contains(id); }
    // The text of an absolute id; empty when there is none.
    QString text(int id) const { return m_texts.value(id); }
    QList<int> ids() const { return m_texts.keys(); }

private:
    QHash<int, QString> m_texts;
};

} // namespace i18n
