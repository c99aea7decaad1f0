#pragma once
// Cursors over the note store, shaped after the record operations the rest of
// the program is written against: a table cursor walks one table in the order
// of a selected index, seeks a key, edits and adds records; a snapshot walks
// the rows of a query.
//
// Fields are fetched lazily: moving over records reads keys and short fields
// in batches, while long text fields, and the short ones stored after them,
// are read only when asked for by name.
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

class Recordset {
public:
    virtual ~Recordset() = default;
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    virtual bool moveFirst() = 0;
    virtual bool moveNext() = 0;
    virtual bool eof() const = 0;
    virtual bool bof() const = 0;
    virtual int recordCount() = 0;
    // Value of a field of the current record; a null QVariant for an empty
    // field, and also (with an error recorded) when there is no current record.
    virtual QVariant field(const QString &name) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    Connection &connection() const { return m_db; }

protected:
    explicit Recordset(Connection &db) : m_db(db) {}
    Connection &m_db;
};

// A cursor on one table with its indexes: "PrimaryKey", "Categoria" and
// "Categorie" are the index names the program selects.
class TableRecordset final : public Recordset {
public:
    // Returns nullptr (with the error recorded) when the table is missing.
    static std::unique_ptr<TableRecordset> open(Connection &db, const QString &table);

    const TableInfo &info() const { return m_info; }

    bool setIndex(const QString &indexName);
    QString index() const { return m_indexName; }

    // Seeks the first record, in the current index's order, whose leading
    // index field equals key. Sets noMatch(); returns true when found.
    bool seek(const QVariant &key);
    bool noMatch() const { return m_noMatch; }

    bool moveFirst() override;
    bool moveNext() override;
    bool eof() const override { return m_eof; }
    bool bof() const override { return m_bof; }
    int recordCount() override;

    bool addNew();
    bool edit();
    // Commits the add or the edit; on failure the buffer stays so the caller
    // may correct it or cancel.
    bool update();
    void cancelUpdate();
    bool isEditing() const { return m_editMode != EditMode::None; }
    // Deletes the current record; it stays current but cannot be read.
    bool remove();

    // Key of the record last added or changed through this cursor, -1 if none.
    qint64 lastModified() const { return m_lastModified; }
    qint64 bookmark() const { return m_hasCurrent ? m_current.rowid : -1; }
    bool setBookmark(qint64 bookmark);

    QVariant field(const QString &name) override;
    // A date field as stored, before it is taken as a moment: it keeps a time
    // of day that local time skipped. Invalid when empty or unreadable.
    WallTime wallTime(const QString &name);
    // True when the last field() could not be read (an error, not an empty
    // value): the error list says why.
    bool lastFieldFailed() const { return m_lastFieldFailed; }
    bool setField(const QString &name, const QVariant &value);
    // Declared maximum size of a text field, 0 for other fields, -1 if unknown.
    int fieldSize(const QString &name) const;

    void close() override;
    bool isOpen() const override { return m_open; }

private:
    struct Row {
        qint64 rowid = -1;
        QVector<QVariant> values;  // fields fetched with the row; the others left null
    };
    struct IndexDef {
        QString name;
        QStringList columns;      // SQL expressions, ordered, ending with rowid
        QString leadingCompare;   // expression compared on seek
        // No index of the file holds this order: each query sorts the whole
        // table, so a walk reads the rest of it in one go.
        bool sortsTable = false;
    };

    TableRecordset(Connection &db, TableInfo info);
    QString selectList() const;
    // The stored value of a field of the current record (or of the pending
    // add or edit); sets m_lastFieldFailed. f is its position, -1 if none.
    QVariant storedField(const QString &name, int &f);
    Row readRow(Statement &st) const;
    bool fetchBatch(bool fromStart);
    std::optional<Row> loadRow(qint64 rowid);
    bool currentIsFresh() const;
    bool refreshCurrent();
    void makeCurrent(Row row);
    bool toStored(const FieldInfo &f, const QVariant &in, QVariant &out);
    const IndexDef &currentIndex() const;
    QVariantList keyOf(const Row &r) const;

    TableInfo m_info;
    std::vector<IndexDef> m_indexes;
    int m_index = 0;
    QString m_indexName;
    QVector<int> m_shortFields;  // positions in m_info.fields fetched with the row; others on demand

    bool m_open = true;
    bool m_hasCurrent = false;
    bool m_deleted = false;
    bool m_eof = false;
    bool m_bof = false;
    bool m_noMatch = false;
    bool m_lastFieldFailed = false;
    Row m_current;
    std::int64_t m_currentStamp = 0;

    std::vector<Row> m_batch;
    size_t m_batchPos = 0;
    bool m_batchAtEnd = false;
    std::int64_t m_batchStamp = -1;
    int m_batchSize = 32;

    enum class EditMode { None, Add, Edit };
    EditMode m_editMode = EditMode::None;
    QHash<int, QVariant> m_buffer;  // field position -> stored value
    qint64 m_lastModified = -1;
};

} // namespace store
