#include "db/Fields.h"

#include <QRegularExpression>

#include <limits>

namespace store {

namespace {

// A failing operation replaces the error list; one that succeeds keeps it.
class ErrorScope {
public:
    explicit ErrorScope(Connection &db) : m_db(db), m_saved(db.errors()) { m_db.clearErrors(); }
    ~ErrorScope()
    {
        if (m_db.errors().isEmpty())
            m_db.setErrors(m_saved);
    }

private:
    Connection &m_db;
    QList<EngineError> m_saved;
};

FieldType typeFromDeclaration(const QString &decl, int *size)
{
    *size = 0;
    const QString d = decl.trimmed().toUpper();
    static const QRegularExpression textSized(QStringLiteral("^(TEXT|VARCHAR|CHAR)\\s*\\(\\s*(\\d+)\\s*\\)$"));
    const auto m = textSized.match(d);
    if (m.hasMatch()) {
        *size = m.captured(2).toInt();
        return FieldType::Text;
    }
    if (d == QLatin1String("SMALLINT"))
        return FieldType::Integer;
    if (d.contains(QLatin1String("INT")))
        return FieldType::Long;
    if (d == QLatin1String("DATETIME"))
        return FieldType::DateTime;
    if (d == QLatin1String("SINGLE") || d == QLatin1String("REAL") || d == QLatin1String("FLOAT"))
        return FieldType::Single;
    if (d == QLatin1String("BOOLEAN"))
        return FieldType::Boolean;
    return FieldType::Memo;
}

} // namespace

QString toStoredDateTime(const QDateTime &dt)
{
    return WallTime::of(dt).text();
}

QDateTime fromStoredDateTime(const QString &text)
{
    return WallTime::fromText(text).moment();
}

int TableInfo::indexOf(const QString &field) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::optional<TableInfo> TableInfo::read(Connection &db, const QString &table)
{
    Statement st(db, QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1)"));
    st.bind(1, table);
    TableInfo info;
    while (st.step()) {
        FieldInfo f;
        f.name = st.columnText(0);
        f.type = typeFromDeclaration(st.columnText(1), &f.size);
        f.isKey = st.columnInt(2) == 1 && f.type == FieldType::Long;
        info.fields.append(f);
    }
    if (st.failed())
        return std::nullopt;
    if (info.fields.isEmpty()) {
        db.addError(QStringLiteral("The table '%1' does not exist in the database.").arg(table));
        return std::nullopt;
    }
    // Keep the name as the schema spells it.
    Statement nm(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
    nm.bind(1, table);
    info.name = nm.step() ? nm.columnText(0) : table;
    return info;
}

QVariant valueFromStored(const FieldInfo &f, const QVariant &v)
{
    if (v.isNull())
        return QVariant();
    switch (f.type) {
    case FieldType::Long:
    case FieldType::Integer:
        return QVariant(v.toInt());
    case FieldType::Single:
        return QVariant(double(float(v.toDouble())));
    case FieldType::Boolean:
        return QVariant(v.toLongLong() != 0);
    case FieldType::DateTime: {
        const QDateTime dt = fromStoredDateTime(v.toString());
        return dt.isValid() ? QVariant(dt) : QVariant(v.toString());
    }
    case FieldType::Text:
    case FieldType::Memo:
        return QVariant(v.toString());
    }
    return v;
}

bool toStored(Connection &db, const FieldInfo &f, const QVariant &in, QVariant &out)
{
    if (in.isNull() || !in.isValid()) {
        out = QVariant();
        return true;
    }
    bool ok = true;
    switch (f.type) {
    case FieldType::Long:
    case FieldType::Integer: {
        // 32 bits for a long field, 16 for an integer one.
        const qint64 n = in.toLongLong(&ok);
        const qint64 limit = f.type == FieldType::Long ? std::numeric_limits<qint32>::max() : std::numeric_limits<qint16>::max();
        if (ok && (n < -limit - 1 || n > limit)) {
            db.addError(QStringLiteral("Overflow: %1 does not fit the field '%2'.").arg(n).arg(f.name));
            return false;
        }
        out = n;
        break;
    }
    case FieldType::Single:
        out = double(float(in.toDouble(&ok)));
        break;
    case FieldType::Boolean:
        out = qint64(in.toBool() ? 1 : 0);
        break;
    case FieldType::DateTime: {
        // Kept as the wall clock reads, so a time in the hour skipped in
        // spring is stored as it was set.
        WallTime w;
        if (in.metaType() == QMetaType::fromType<WallTime>())
            w = in.value<WallTime>();
        else if (in.typeId() == QMetaType::QDateTime)
            w = WallTime::of(in.toDateTime());
        else if (in.typeId() == QMetaType::QDate)
            w = {in.toDate(), QTime(0, 0)};
        else
            w = WallTime::fromText(in.toString());
        ok = w.isValid();
        if (ok)
            out = w.text();
        break;
    }
    case FieldType::Text: {
        const QString s = in.toString();
        if (f.size > 0 && s.size() > f.size) {
            db.addError(QStringLiteral("The field '%1' is too small to accept the amount of data you attempted "
                                         "to add (%2 characters, at most %3).")
                              .arg(f.name)
                              .arg(s.size())
                              .arg(f.size));
            return false;
        }
        out = s;
        break;
    }
    case FieldType::Memo:
        out = in.toString();
        break;
    }
    if (!ok) {
        db.addError(QStringLiteral("Data type conversion error: the value does not fit the field '%1'.").arg(f.name));
        return false;
    }
    return true;
}


std::unique_ptr<SingleRow> SingleRow::open(Connection &db, const QString &table)
{
    ErrorScope scope(db);
    auto info = TableInfo::read(db, table);
    if (!info)
        return nullptr;
    Statement st(db, QStringLiteral("SELECT rowid FROM \"%1\" LIMIT 1").arg(info->name));
    if (!st.step()) {
        if (!st.failed())
            db.addError(QStringLiteral("The table '%1' holds no record.").arg(info->name));
        return nullptr;
    }
    return std::unique_ptr<SingleRow>(new SingleRow(db, std::move(*info), st.columnInt(0)));
}

QVariant SingleRow::field(const QString &name)
{
    const int f = m_info.indexOf(name);
    ErrorScope scope(m_db);
    if (f < 0) {
        m_db.addError(QStringLiteral("Item '%1' not found in this collection.").arg(name));
        return QVariant();
    }
    Statement st(m_db, QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE rowid = ?1").arg(m_info.fields[f].name, m_info.name));
    st.bind(1, m_rowid);
    if (!st.step()) {
        if (!st.failed())
            m_db.addError(QStringLiteral("The record of '%1' is gone.").arg(m_info.name));
        return QVariant();
    }
    return valueFromStored(m_info.fields[f], st.column(0));
}

bool SingleRow::write(const QList<std::pair<QString, QVariant>> &fields)
{
    ErrorScope scope(m_db);
    QStringList sets;
    QVariantList values;
    for (const auto &[name, value] : fields) {
        const int f = m_info.indexOf(name);
        if (f < 0) {
            m_db.addError(QStringLiteral("Item '%1' not found in this collection.").arg(name));
            return false;
        }
        QVariant stored;
        if (!toStored(m_db, m_info.fields[f], value, stored))
            return false;
        sets << QStringLiteral("\"%1\" = ?%2").arg(m_info.fields[f].name).arg(sets.size() + 1);
        values << stored;
    }
    if (sets.isEmpty())
        return true;
    Statement st(m_db, QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?%3")
                           .arg(m_info.name, sets.join(QLatin1String(", ")))
                           .arg(sets.size() + 1));
    for (int i = 0; i < values.size(); ++i)
        st.bind(i + 1, values[i]);
    st.bind(int(values.size()) + 1, m_rowid);
    if (!st.run())
        return false;
    if (m_db.lastChanges() == 0) {
        m_db.addError(QStringLiteral("The record of '%1' is gone.").arg(m_info.name));
        return false;
    }
    return true;
}

int SingleRow::fieldSize(const QString &name) const
{
    return m_info.fieldSize(name);
}

int TableInfo::fieldSize(const QString &field) const
{
    const int f = indexOf(field);
    return f < 0 ? -1 : fields[f].size;
}

} // namespace store
