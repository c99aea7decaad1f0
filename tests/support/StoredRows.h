#pragma once
// Rows of the store read and written in SQL, behind the program's back: what
// a test sets up or checks below the core's operations.

#include "db/Fields.h"
#include "db/Sqlite.h"
#include "db/WallTime.h"

#include <QDateTime>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>
#include <utility>

namespace store {
// A moment as a failed check shows it.
inline void PrintTo(const WallTime &w, std::ostream *os)
{
    *os << (w.isValid() ? w.text().toStdString() : std::string("(invalid)"));
}
} // namespace store

namespace stored {

using Fields = QList<std::pair<QString, QVariant>>;

// A value as the store keeps it: moments as its text, booleans as 0 or 1.
inline QVariant toColumn(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return store::toStoredDateTime(v.toDateTime());
    if (v.metaType() == QMetaType::fromType<store::WallTime>())
        return v.value<store::WallTime>().text();
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    return v;
}

// The field of the row where column where equals key, typed as the store
// gives it; invalid when there is no such row. "Setup" has one row: where
// is then empty.
inline QVariant field(store::Connection &db, const QString &table, const QString &name, const QString &where = {},
                      qint64 key = 0)
{
    store::Statement st(db, where.isEmpty() ? QStringLiteral("SELECT \"%1\" FROM \"%2\" LIMIT 1").arg(name, table)
                                            : QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE \"%3\" = ?1").arg(name, table, where));
    if (!where.isEmpty())
        st.bind(1, key);
    if (!st.step())
        return QVariant();
    const auto info = store::TableInfo::read(db, table);
    const int i = info ? info->indexOf(name) : -1;
    return i < 0 ? st.column(0) : store::valueFromStored(info->fields[i], st.column(0));
}

// A stored moment as the clock reads it, a skipped hour kept as set.
inline store::WallTime wallTime(store::Connection &db, const QString &table, const QString &name, const QString &where,
                                qint64 key)
{
    store::Statement st(db, QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE \"%3\" = ?1").arg(name, table, where));
    st.bind(1, key);
    return st.step() && !st.isNull(0) ? store::WallTime::fromText(st.columnText(0)) : store::WallTime();
}

// Writes fields of the row where column where equals key (of the one row of
// "Setup" when where is empty); false on an engine error or no such row.
inline bool set(store::Connection &db, const QString &table, const Fields &fields, const QString &where = {}, qint64 key = 0)
{
    QStringList assignments;
    int n = 0;
    for (const auto &f : fields)
        assignments << QStringLiteral("\"%1\" = ?%2").arg(f.first).arg(++n);
    store::Statement st(db, QStringLiteral("UPDATE \"%1\" SET %2%3").arg(table, assignments.join(QStringLiteral(", ")),
                                                                       where.isEmpty() ? QString() : QStringLiteral(" WHERE \"%1\" = ?%2").arg(where).arg(n + 1)));
    n = 0;
    for (const auto &f : fields)
        st.bind(++n, toColumn(f.second));
    if (!where.isEmpty())
        st.bind(n + 1, key);
    return st.run() && db.lastChanges() > 0;
}

// Adds a row; its key, or -1 on an engine error.
inline qint64 insert(store::Connection &db, const QString &table, const Fields &fields)
{
    QStringList names, places;
    int n = 0;
    for (const auto &f : fields) {
        names << QStringLiteral("\"%1\"").arg(f.first);
        places << QStringLiteral("?%1").arg(++n);
    }
    store::Statement st(db, QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                .arg(table, names.join(QStringLiteral(", ")), places.join(QStringLiteral(", "))));
    n = 0;
    for (const auto &f : fields)
        st.bind(++n, toColumn(f.second));
    return st.run() ? db.lastInsertRowId() : -1;
}

// Adds a category; its key.
inline int addCategory(store::Connection &db, const QString &name)
{
    const qint64 key = insert(db, QStringLiteral("Categorie"), {{QStringLiteral("Categoria"), name}});
    EXPECT_GT(key, 0);
    return int(key);
}

// Adds a topic with body as its text and its searchable text, and updated
// as its last update (none when null); its key.
inline int addTopic(store::Connection &db, int category, const QString &title, const QString &body = {},
                    const QVariant &updated = {})
{
    const qint64 key = insert(db, QStringLiteral("Argomenti"),
                              {{QStringLiteral("idCategoria"), category}, {QStringLiteral("argomento"), title},
                               {QStringLiteral("contenuto"), body}, {QStringLiteral("ContenutoTxt"), body},
                               {QStringLiteral("ultimoaggiornamento"), updated}});
    EXPECT_GT(key, 0);
    return int(key);
}

inline int count(store::Connection &db, const QString &table)
{
    store::Statement st(db, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table));
    return st.step() ? int(st.columnInt(0)) : -1;
}

inline bool remove(store::Connection &db, const QString &table, const QString &where, qint64 key)
{
    store::Statement st(db, QStringLiteral("DELETE FROM \"%1\" WHERE \"%2\" = ?1").arg(table, where));
    st.bind(1, key);
    return st.run() && db.lastChanges() > 0;
}

// The declared width of a text field.
inline int width(store::Connection &db, const QString &table, const QString &name)
{
    const auto info = store::TableInfo::read(db, table);
    const int i = info ? info->indexOf(name) : -1;
    return i < 0 ? 0 : info->fields[i].size;
}

} // namespace stored
