#include "db/Recordset.h"

#include <QRegularExpression>

#include <limits>

namespace store {

namespace {

const QString kNoCurrent = QStringLiteral("No current record.");

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

// ---------------------------------------------------------------- table cursor

std::unique_ptr<TableRecordset> TableRecordset::open(Connection &db, const QString &table)
{
    ErrorScope scope(db);
    auto info = TableInfo::read(db, table);
    if (!info)
        return nullptr;
    return std::unique_ptr<TableRecordset>(new TableRecordset(db, std::move(*info)));
}

TableRecordset::TableRecordset(Connection &db, TableInfo info)
    : Recordset(db), m_info(std::move(info))
{
    // The unnamed index is the table's physical (key) order.
    m_indexes.push_back({QString(), {QStringLiteral("rowid")}, QStringLiteral("rowid")});
    const auto has = [this](const char *f) { return m_info.indexOf(QLatin1String(f)) >= 0; };
    for (const FieldInfo &f : m_info.fields)
        if (f.isKey)
            m_indexes.push_back({QStringLiteral("PrimaryKey"), {QStringLiteral("rowid")}, QStringLiteral("rowid")});
    if (m_info.name.compare(QLatin1String("Categorie"), Qt::CaseInsensitive) == 0 && has("Categoria"))
        // Names in the order of the lists on screen; a name sought is
        // matched without regard to case.
        m_indexes.push_back({QStringLiteral("Categoria"),
                             {QStringLiteral("Categoria COLLATE LISTORDER"), QStringLiteral("rowid")},
                             QStringLiteral("Categoria COLLATE NOCASE"), true});
    if (m_info.name.compare(QLatin1String("Argomenti"), Qt::CaseInsensitive) == 0 && has("idCategoria"))
        m_indexes.push_back({QStringLiteral("Categorie"),
                             {QStringLiteral("idCategoria"), QStringLiteral("rowid")},
                             QStringLiteral("idCategoria")});

    // Fetched with the row: the short fields stored ahead of every long one.
    // Reaching a field stored after a long text means reading all of that
    // text's pages, so those are read when asked for, as long ones are;
    // a field an index orders by is always fetched.
    bool pastLong = false;
    for (int i = 0; i < m_info.fields.size(); ++i) {
        const FieldInfo &f = m_info.fields[i];
        pastLong = pastLong || f.type == FieldType::Memo;
        bool ordersBy = false;
        for (const IndexDef &ix : m_indexes)
            for (const QString &col : ix.columns)
                ordersBy = ordersBy || col.section(QLatin1Char(' '), 0, 0).compare(f.name, Qt::CaseInsensitive) == 0;
        if (f.type != FieldType::Memo && (!pastLong || ordersBy))
            m_shortFields.append(i);
    }
}

const TableRecordset::IndexDef &TableRecordset::currentIndex() const
{
    return m_indexes[size_t(m_index)];
}

bool TableRecordset::setIndex(const QString &indexName)
{
    ErrorScope scope(m_db);
    for (size_t i = 0; i < m_indexes.size(); ++i) {
        if (m_indexes[i].name.compare(indexName, Qt::CaseInsensitive) == 0 && !indexName.isEmpty()) {
            m_index = int(i);
            m_indexName = m_indexes[i].name;
            // The position is kept (the current record stays current) but any
            // rows read ahead were in the old order.
            m_batch.clear();
            m_batchStamp = -1;
            return true;
        }
    }
    m_db.addError(QStringLiteral("'%1' is not an index in this table.").arg(indexName));
    return false;
}

QString TableRecordset::selectList() const
{
    QStringList cols{QStringLiteral("rowid")};
    for (int i : m_shortFields)
        cols.append(QLatin1Char('"') + m_info.fields[i].name + QLatin1Char('"'));
    return cols.join(QLatin1String(", "));
}

TableRecordset::Row TableRecordset::readRow(Statement &st) const
{
    Row r;
    r.rowid = st.columnInt(0);
    r.values.resize(m_info.fields.size());
    for (int k = 0; k < m_shortFields.size(); ++k)
        r.values[m_shortFields[k]] = st.column(k + 1);
    return r;
}

QVariantList TableRecordset::keyOf(const Row &r) const
{
    QVariantList key;
    for (const QString &col : currentIndex().columns) {
        if (col == QLatin1String("rowid")) {
            key.append(r.rowid);
        } else {
            const int f = m_info.indexOf(col.section(QLatin1Char(' '), 0, 0));
            key.append(f >= 0 ? r.values[f] : QVariant());
        }
    }
    return key;
}

bool TableRecordset::fetchBatch(bool fromStart)
{
    const IndexDef &ix = currentIndex();
    const QString order = ix.columns.join(QLatin1String(", "));
    QString sql = QStringLiteral("SELECT %1 FROM \"%2\"").arg(selectList(), m_info.name);
    QVariantList key;
    if (!fromStart) {
        key = keyOf(m_current);
        QStringList marks;
        for (int i = 0; i < key.size(); ++i)
            marks.append(QStringLiteral("?%1").arg(i + 1));
        sql += QStringLiteral(" WHERE (%1) > (%2)").arg(order, marks.join(QLatin1String(", ")));
    }
    sql += QStringLiteral(" ORDER BY %1").arg(order);
    if (!ix.sortsTable)
        sql += QStringLiteral(" LIMIT %1").arg(m_batchSize);
    Statement st(m_db, sql);
    for (int i = 0; i < key.size(); ++i)
        st.bind(i + 1, key[i]);
    m_batch.clear();
    while (st.step())
        m_batch.push_back(readRow(st));
    if (st.failed())
        return false;
    m_batchAtEnd = ix.sortsTable || int(m_batch.size()) < m_batchSize;
    m_batchPos = 0;
    m_batchStamp = m_db.changeCounter();
    // Read further ahead the longer a walk goes on.
    m_batchSize = std::min(m_batchSize * 2, 2048);
    return true;
}

bool TableRecordset::moveFirst()
{
    ErrorScope scope(m_db);
    cancelUpdate();
    m_batchSize = 32;
    m_noMatch = false;
    if (!fetchBatch(true))
        return false;
    m_deleted = false;
    if (m_batch.empty()) {
        m_hasCurrent = false;
        m_eof = m_bof = true;
        return true;
    }
    m_eof = m_bof = false;
    m_current = m_batch[0];
    m_currentStamp = m_batchStamp;
    m_hasCurrent = true;
    return true;
}

bool TableRecordset::moveNext()
{
    ErrorScope scope(m_db);
    cancelUpdate();
    if (m_eof || !m_hasCurrent) {
        m_db.addError(kNoCurrent);
        return false;
    }
    m_bof = false;
    const bool batchUsable = m_batchStamp == m_db.changeCounter() && !m_batch.empty()
        && m_batchPos < m_batch.size() && m_batch[m_batchPos].rowid == m_current.rowid && !m_deleted;
    if (batchUsable && m_batchPos + 1 < m_batch.size()) {
        ++m_batchPos;
    } else if (batchUsable && m_batchAtEnd) {
        m_batch.clear();
        m_eof = true;
        m_hasCurrent = false;
        return true;
    } else {
        if (!fetchBatch(false))
            return false;
        if (m_batch.empty()) {
            m_eof = true;
            m_hasCurrent = false;
            m_deleted = false;
            return true;
        }
    }
    m_current = m_batch[m_batchPos];
    m_currentStamp = m_batchStamp;
    m_deleted = false;
    return true;
}

bool TableRecordset::seek(const QVariant &key)
{
    ErrorScope scope(m_db);
    cancelUpdate();
    const IndexDef &ix = currentIndex();
    if (m_indexName.isEmpty()) {
        m_db.addError(QStringLiteral("Select an index before seeking."));
        m_noMatch = false;
        m_hasCurrent = false;
        return false;
    }
    const QString sql = QStringLiteral("SELECT %1 FROM \"%2\" WHERE %3 = ?1 ORDER BY %4 LIMIT 1")
                            .arg(selectList(), m_info.name, ix.leadingCompare, ix.columns.join(QLatin1String(", ")));
    Statement st(m_db, sql);
    st.bind(1, key);
    if (st.step()) {
        m_noMatch = false;
        makeCurrent(readRow(st));
        return true;
    }
    // As with any failed seek, there is no current record afterwards: an
    // edit that follows must not reach the record that was current before.
    m_noMatch = !st.failed();
    m_hasCurrent = false;
    m_deleted = false;
    return false;
}

int TableRecordset::recordCount()
{
    ErrorScope scope(m_db);
    Statement st(m_db, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(m_info.name));
    return st.step() ? int(st.columnInt(0)) : 0;
}

std::optional<TableRecordset::Row> TableRecordset::loadRow(qint64 rowid)
{
    Statement st(m_db, QStringLiteral("SELECT %1 FROM \"%2\" WHERE rowid = ?1").arg(selectList(), m_info.name));
    st.bind(1, rowid);
    if (st.step())
        return readRow(st);
    return std::nullopt;
}

bool TableRecordset::refreshCurrent()
{
    if (m_currentStamp == m_db.changeCounter())
        return true;
    auto row = loadRow(m_current.rowid);
    if (!row) {
        m_deleted = true;
        return false;
    }
    m_current = *row;
    m_currentStamp = m_db.changeCounter();
    return true;
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

QVariant TableRecordset::storedField(const QString &name, int &f)
{
    m_lastFieldFailed = true;  // until a value is in hand
    f = m_info.indexOf(name);
    if (f < 0) {
        ErrorScope scope(m_db);
        m_db.addError(QStringLiteral("Item '%1' not found in this collection.").arg(name));
        return QVariant();
    }
    const FieldInfo &fi = m_info.fields[f];
    if (m_editMode != EditMode::None && m_buffer.contains(f)) {
        m_lastFieldFailed = false;
        return m_buffer.value(f);
    }
    if (m_editMode == EditMode::Add) {
        m_lastFieldFailed = false;
        return QVariant();
    }
    if (!m_hasCurrent || m_deleted || !refreshCurrent()) {
        ErrorScope scope(m_db);
        m_db.addError(m_deleted ? QStringLiteral("Record is deleted.") : kNoCurrent);
        return QVariant();
    }
    if (fi.isKey) {
        m_lastFieldFailed = false;
        return QVariant(m_current.rowid);
    }
    if (m_shortFields.contains(f)) {
        m_lastFieldFailed = false;
        return m_current.values[f];
    }
    ErrorScope scope(m_db);
    Statement st(m_db, QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE rowid = ?1").arg(fi.name, m_info.name));
    st.bind(1, m_current.rowid);
    if (!st.step()) {
        // No row: the record went away meanwhile; a failed step is an error.
        if (!st.failed())
            m_db.addError(kNoCurrent);
        return QVariant();
    }
    m_lastFieldFailed = false;
    return st.column(0);
}

QVariant TableRecordset::field(const QString &name)
{
    int f = -1;
    const QVariant v = storedField(name, f);
    return f < 0 ? v : valueFromStored(m_info.fields[f], v);
}

WallTime TableRecordset::wallTime(const QString &name)
{
    int f = -1;
    const QVariant v = storedField(name, f);
    return f < 0 || v.isNull() ? WallTime() : WallTime::fromText(v.toString());
}

int TableRecordset::fieldSize(const QString &name) const
{
    const int f = m_info.indexOf(name);
    return f < 0 ? -1 : m_info.fields[f].size;
}

bool TableRecordset::toStored(const FieldInfo &f, const QVariant &in, QVariant &out)
{
    if (in.isNull() || !in.isValid()) {
        out = QVariant();
        return true;
    }
    bool ok = true;
    switch (f.type) {
    case FieldType::Long: {
        const qint64 n = in.toLongLong(&ok);
        if (ok && (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())) {
            m_db.addError(QStringLiteral("Overflow: %1 does not fit the field '%2'.").arg(n).arg(f.name));
            return false;
        }
        out = n;
        break;
    }
    case FieldType::Integer: {
        const qint64 n = in.toLongLong(&ok);
        if (ok && (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())) {
            m_db.addError(QStringLiteral("Overflow: %1 does not fit the field '%2'.").arg(n).arg(f.name));
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
            m_db.addError(QStringLiteral("The field '%1' is too small to accept the amount of data you attempted "
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
        m_db.addError(QStringLiteral("Data type conversion error: the value does not fit the field '%1'.").arg(f.name));
        return false;
    }
    return true;
}

bool TableRecordset::setField(const QString &name, const QVariant &value)
{
    ErrorScope scope(m_db);
    const int f = m_info.indexOf(name);
    if (f < 0) {
        m_db.addError(QStringLiteral("Item '%1' not found in this collection.").arg(name));
        return false;
    }
    if (m_editMode == EditMode::None) {
        m_db.addError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
        return false;
    }
    const FieldInfo &fi = m_info.fields[f];
    if (fi.isKey) {
        m_db.addError(QStringLiteral("Field '%1' cannot be updated.").arg(fi.name));
        return false;
    }
    QVariant stored;
    if (!toStored(fi, value, stored))
        return false;
    m_buffer.insert(f, stored);
    return true;
}

bool TableRecordset::addNew()
{
    cancelUpdate();
    m_editMode = EditMode::Add;
    return true;
}

bool TableRecordset::edit()
{
    ErrorScope scope(m_db);
    cancelUpdate();
    if (!m_hasCurrent || m_deleted || !refreshCurrent()) {
        m_db.addError(m_deleted ? QStringLiteral("Record is deleted.") : kNoCurrent);
        return false;
    }
    m_editMode = EditMode::Edit;
    return true;
}

void TableRecordset::cancelUpdate()
{
    m_editMode = EditMode::None;
    m_buffer.clear();
}

bool TableRecordset::update()
{
    ErrorScope scope(m_db);
    if (m_editMode == EditMode::None) {
        m_db.addError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
        return false;
    }
    QStringList cols;
    QVariantList values;
    for (auto it = m_buffer.cbegin(); it != m_buffer.cend(); ++it) {
        cols.append(QLatin1Char('"') + m_info.fields[it.key()].name + QLatin1Char('"'));
        values.append(it.value());
    }
    if (m_editMode == EditMode::Add) {
        QString sql;
        if (cols.isEmpty()) {
            sql = QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(m_info.name);
        } else {
            QStringList marks;
            for (int i = 0; i < cols.size(); ++i)
                marks.append(QStringLiteral("?%1").arg(i + 1));
            sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                      .arg(m_info.name, cols.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
        }
        Statement st(m_db, sql);
        for (int i = 0; i < values.size(); ++i)
            st.bind(i + 1, values[i]);
        if (!st.run())
            return false;
        m_lastModified = m_db.lastInsertRowId();
    } else {
        if (!cols.isEmpty()) {
            QStringList sets;
            for (int i = 0; i < cols.size(); ++i)
                sets.append(QStringLiteral("%1 = ?%2").arg(cols[i]).arg(i + 1));
            Statement st(m_db, QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?%3")
                                   .arg(m_info.name, sets.join(QLatin1String(", ")))
                                   .arg(cols.size() + 1));
            for (int i = 0; i < values.size(); ++i)
                st.bind(i + 1, values[i]);
            st.bind(int(values.size()) + 1, m_current.rowid);
            if (!st.run())
                return false;
            if (m_db.lastChanges() == 0) {
                // Deleted through another cursor since the edit began: the
                // edit must not look saved.
                m_deleted = true;
                m_db.addError(QStringLiteral("Record is deleted."));
                return false;
            }
        }
        m_lastModified = m_current.rowid;
        // The record stays current, with its new values (and so its new place
        // in the index order).
        if (auto row = loadRow(m_current.rowid)) {
            m_current = *row;
            m_currentStamp = m_db.changeCounter();
        }
    }
    cancelUpdate();
    return true;
}

bool TableRecordset::remove()
{
    ErrorScope scope(m_db);
    cancelUpdate();
    if (!m_hasCurrent || m_deleted) {
        m_db.addError(m_deleted ? QStringLiteral("Record is deleted.") : kNoCurrent);
        return false;
    }
    Statement st(m_db, QStringLiteral("DELETE FROM \"%1\" WHERE rowid = ?1").arg(m_info.name));
    st.bind(1, m_current.rowid);
    if (!st.run())
        return false;
    m_deleted = true;
    return true;
}

bool TableRecordset::setBookmark(qint64 bookmark)
{
    ErrorScope scope(m_db);
    cancelUpdate();
    auto row = loadRow(bookmark);
    if (!row) {
        m_db.addError(QStringLiteral("Not a valid bookmark."));
        return false;
    }
    makeCurrent(*row);
    return true;
}

void TableRecordset::makeCurrent(Row row)
{
    m_current = std::move(row);
    m_currentStamp = m_db.changeCounter();
    m_hasCurrent = true;
    m_deleted = false;
    m_eof = m_bof = false;
    // A walk from here reads ahead afresh, starting small.
    m_batch.assign(1, m_current);
    m_batchPos = 0;
    m_batchAtEnd = false;
    m_batchStamp = m_currentStamp;
    m_batchSize = 32;
}

void TableRecordset::close()
{
    cancelUpdate();
    m_open = false;
    m_hasCurrent = false;
    m_batch.clear();
}

} // namespace store
