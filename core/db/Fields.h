#pragma once
// The fields of the store's tables: their types and widths as the schema
// declares them, values to and from what the store keeps, and the one record
// of the Setup table.
//
// Errors: an operation that fails returns false (or an empty value) and
// replaces the connection's error list with what went wrong; an operation
// that succeeds leaves the list as it was.

#include "db/Sqlite.h"
#include "db/WallTime.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <utility>

#include <memory>
#include <optional>
#include <vector>

namespace store {

enum class FieldType { Long, Integer, Text, Memo, DateTime, Single, Boolean };

struct FieldInfo {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;         // declared maximum length of a text field, else 0
    bool isKey = false;   // the engine-assigned key (never set by the program)
};

// Column layout of one table, read from the schema of the open file.
struct TableInfo {
    QString name;
    QVector<FieldInfo> fields;
    int indexOf(const QString &field) const;  // case-insensitive; -1 when absent
    int fieldSize(const QString &field) const;  // a text field's width; -1 when absent
    static std::optional<TableInfo> read(Connection &db, const QString &table);
};

// Date and time values are kept as local-time text that sorts by time (see
// WallTime). Empty text for a moment outside the years the text can hold.
QString toStoredDateTime(const QDateTime &dt);
// The moment stored text stands for; invalid when it cannot be read.
QDateTime fromStoredDateTime(const QString &text);
// A stored value as the program sees it: the field's type, null when empty.
// A date that cannot be read comes back as the text it is, to be told from
// an empty one.
QVariant valueFromStored(const FieldInfo &f, const QVariant &v);

// A value made ready for its field: checked against the field's type and
// width. False, with the reason added to the connection's errors, when it
// does not fit.
bool toStored(Connection &db, const FieldInfo &f, const QVariant &in, QVariant &out);

// The one record of a table that holds one (Setup): its fields read as the
// program sees them, and written together in one statement, all or nothing.
class SingleRow final {
public:
    // Null, with the error recorded, when the table is missing or empty.
    static std::unique_ptr<SingleRow> open(Connection &db, const QString &table);

    const TableInfo &info() const { return m_info; }
    // Null for an empty field; invalid, with the error recorded, when there
    // is no such field or the record cannot be read.
    QVariant field(const QString &name);
    bool write(const QList<std::pair<QString, QVariant>> &fields);
    int fieldSize(const QString &name) const;

private:
    SingleRow(Connection &db, TableInfo info, qint64 rowid) : m_db(db), m_info(std::move(info)), m_rowid(rowid) {}

    Connection &m_db;
    TableInfo m_info;
    qint64 m_rowid;
};

} // namespace store
