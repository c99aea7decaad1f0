#include "db/Sqlite.h"

#include <QFile>
#include <QUrl>

#include <sqlite3.h>

namespace store {

Connection::~Connection()
{
    close();
}

bool Connection::open(const QString &path, bool create)
{
    return openWith(path, path.toUtf8(), SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0));
}

bool Connection::openReadOnly(const QString &path)
{
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded();
    // A read-only connection to a file in write-ahead mode still makes the
    // log and its index beside it; without a log there is nothing to read
    // there, and the file is read as it lies.
    if (!QFile::exists(path + QStringLiteral("-wal")))
        return openWith(path, uri + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    // A log that cannot be indexed (a read-only folder) is left aside.
    return openWith(path, uri + "?mode=ro", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI)
        || openWith(path, uri + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

bool Connection::openReader(const QString &path)
{
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded();
    return openWith(path, uri + "?mode=ro", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI)
        || openWith(path, uri + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

bool Connection::openWith(const QString &path, const QByteArray &name, int flags)
{
    close();
    m_errors.clear();
    flags |= SQLITE_OPEN_NOMUTEX;
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        m_errors.append({rc, db ? sqlite3_extended_errcode(db) : rc,
                         QStringLiteral("Cannot open the database '%1': %2").arg(path, msg), QString()});
        sqlite3_close(db);
        return false;
    }
    m_db = db;
    sqlite3_extended_result_codes(m_db, 1);
    // Another copy of the program may hold a write lock for a moment.
    sqlite3_busy_timeout(m_db, 3000);
    // A quoted name that names no column is an error, never a text: a field
    // missing from the file must not read as its own name.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // Opening is lazy in SQLite: read the schema now so that a damaged file
    // or a file of another kind is reported here, not at the first query.
    if (!exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        QList<EngineError> errs = m_errors;
        close();
        m_errors = errs;
        return false;
    }
    return true;
}

void Connection::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Connection::addError(const QString &description, const QString &statement, int code)
{
    m_errors.append({code, code, description, statement});
}

bool Connection::check(int rc, const QString &statement)
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return true;
    EngineError e;
    e.code = rc & 0xff;
    e.extendedCode = m_db ? sqlite3_extended_errcode(m_db) : rc;
    e.description = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
    e.statement = statement;
    m_errors.append(e);
    return false;
}

bool Connection::exec(const QString &sql)
{
    if (!m_db) {
        addError(QStringLiteral("The database is not open."), sql);
        return false;
    }
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        EngineError e;
        e.code = rc & 0xff;
        e.extendedCode = sqlite3_extended_errcode(m_db);
        e.description = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errstr(rc));
        e.statement = sql;
        m_errors.append(e);
        sqlite3_free(err);
        return false;
    }
    return true;
}

std::int64_t Connection::changeCounter() const
{
    return m_db ? sqlite3_total_changes64(m_db) : 0;
}

int Connection::lastChanges() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}

std::int64_t Connection::lastInsertRowId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

Statement::Statement(Connection &db, const QString &sql)
    : m_db(db), m_sql(sql)
{
    if (!db.isOpen()) {
        db.addError(QStringLiteral("The database is not open."), sql);
        m_failed = true;
        return;
    }
    const QByteArray utf8 = sql.toUtf8();
    if (!db.check(sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &m_stmt, nullptr), sql))
        m_failed = true;
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const QVariant &value)
{
    if (!m_stmt)
        return;
    if (value.isNull()) {
        bindNull(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
        bind(index, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        m_db.check(sqlite3_bind_double(m_stmt, index, value.toDouble()), m_sql);
        break;
    default:
        bind(index, value.toString());
        break;
    }
}

void Statement::bind(int index, qint64 value)
{
    if (m_stmt)
        m_db.check(sqlite3_bind_int64(m_stmt, index, value), m_sql);
}

void Statement::bind(int index, const QString &value)
{
    if (!m_stmt)
        return;
    const QByteArray utf8 = value.toUtf8();
    m_db.check(sqlite3_bind_text64(m_stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8),
               m_sql);
}

void Statement::bindNull(int index)
{
    if (m_stmt)
        m_db.check(sqlite3_bind_null(m_stmt, index), m_sql);
}

bool Statement::step()
{
    if (!m_stmt) {
        m_failed = true;
        return false;
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        m_failed = true;
        m_db.check(rc, m_sql);
    }
    return false;
}

bool Statement::run()
{
    while (step()) {
    }
    return !m_failed;
}

void Statement::reset()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    m_failed = !m_stmt;
}

int Statement::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QString Statement::columnName(int col) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, col));
}

bool Statement::isNull(int col) const
{
    return sqlite3_column_type(m_stmt, col) == SQLITE_NULL;
}

qint64 Statement::columnInt(int col) const
{
    return sqlite3_column_int64(m_stmt, col);
}

double Statement::columnDouble(int col) const
{
    return sqlite3_column_double(m_stmt, col);
}

QString Statement::columnText(int col) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, col));
    const int n = sqlite3_column_bytes(m_stmt, col);
    return p ? QString::fromUtf8(p, n) : QString();
}

const char *Statement::columnUtf8(int col, int *bytes) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, col));
    *bytes = sqlite3_column_bytes(m_stmt, col);
    return p;
}

QVariant Statement::column(int col) const
{
    switch (sqlite3_column_type(m_stmt, col)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return QVariant(columnInt(col));
    case SQLITE_FLOAT:
        return QVariant(columnDouble(col));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, col)),
                                   sqlite3_column_bytes(m_stmt, col)));
    default:
        return QVariant(columnText(col));
    }
}

Transaction::Transaction(Connection &db)
    : m_db(db)
{
    m_active = m_db.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (m_active && m_db.isOpen())
        sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    if (m_db.exec(QStringLiteral("COMMIT")))
        return true;
    // A commit that fails may leave the transaction open, and every later
    // change would then only seem saved: it is undone whole, now.
    if (m_db.isOpen() && !sqlite3_get_autocommit(m_db.handle()))
        sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

} // namespace store
