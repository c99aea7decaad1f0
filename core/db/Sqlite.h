#pragma once
// Thin RAII layer over the SQLite C API. Every call result goes through
// Connection::check, which records failures in the engine's error list; that
// list is what the user is shown after a failed save or move.

#include "db/EngineError.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

class Statement;

// One open SQLite database. Non-copyable; closes the handle when destroyed.
class Connection final {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens an existing file read-write (create = false) or creates it.
    // Returns false and fills errors() when the file cannot be opened.
    bool open(const QString &path, bool create);
    // Opens an existing file so that nothing can be written to it, creating
    // nothing beside it unless a write-ahead log is already there (whose
    // changes must be read). Returns false and fills errors() on failure.
    bool openReadOnly(const QString &path);
    // Opens an existing file for reading beside writers in other processes:
    // a transaction sees one state of the file while they go on saving. It
    // may leave an empty log and its index beside the file. Where those
    // cannot be made (a folder nobody writes), the file is read as it lies.
    bool openReader(const QString &path);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }

    // Runs one or more statements without results.
    bool exec(const QString &sql);

    // The errors of the last failed operation, oldest first.
    const QList<EngineError> &errors() const { return m_errors; }
    void clearErrors() { m_errors.clear(); }
    void setErrors(const QList<EngineError> &errors) { m_errors = errors; }
    // Records an error found by our own checks (not by SQLite).
    void addError(const QString &description, const QString &statement = QString(), int code = -1);
    // Checks an SQLite result code; on failure records it and returns false.
    bool check(int rc, const QString &statement = QString());

    // Increases with every row this connection changes: cursors compare it
    // to know whether what they fetched may be stale.
    std::int64_t changeCounter() const;
    std::int64_t lastInsertRowId() const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int lastChanges() const;

private:
    bool openWith(const QString &path, const QByteArray &name, int flags);
    sqlite3 *m_db = nullptr;
    QList<EngineError> m_errors;
};

// A prepared statement. Text is bound by copy, so the caller's strings may go.
class Statement final {
public:
    Statement(Connection &db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    const QString &sql() const { return m_sql; }

    // Binding indexes start at 1, as in SQLite.
    void bind(int index, const QVariant &value);
    void bind(int index, qint64 value);
    void bind(int index, const QString &value);
    void bindNull(int index);

    // Steps once: true when a row is available, false at the end or on error
    // (see failed()).
    bool step();
    bool failed() const { return m_failed; }
    // Steps until done; for statements without rows.
    bool run();
    void reset();

    int columnCount() const;
    QString columnName(int col) const;
    bool isNull(int col) const;
    qint64 columnInt(int col) const;
    double columnDouble(int col) const;
    QString columnText(int col) const;
    // The column's UTF-8 text as SQLite holds it, valid until the next step;
    // nullptr for an empty (null) value.
    const char *columnUtf8(int col, int *bytes) const;
    QVariant column(int col) const;

private:
    Connection &m_db;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_sql;
    bool m_failed = false;
};

// Rolls back in its destructor unless committed.
class Transaction final {
public:
    explicit Transaction(Connection &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    bool isActive() const { return m_active; }
    bool commit();

private:
    Connection &m_db;
    bool m_active = false;
};

} // namespace store
