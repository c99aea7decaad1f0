#pragma once
// The note store: one database file, quorvel.mdb, with the tables Categorie,
// Argomenti and Setup, opened once for the whole run. Its connection and
// table cursors are the core's own: outside it they are only names (their
// headers are not among the core's public ones), and everything else goes
// through the operations on topics, categories, settings and drafts.

#include "db/EngineError.h"
#include "notes/Changes.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <QHash>

#include <functional>
#include <memory>

namespace store {

class Connection;
class SingleRow;

inline constexpr int kSchemaVersion = 8;
inline const QString kDatabaseFileName = QStringLiteral("quorvel.mdb");

// Folder and file name joined by one separator; surrounding blanks removed.
QString JoinPath(const QString &folder, const QString &fileName);
// The text cut to at most width UTF-16 units (the unit of a text field's
// size), never through the middle of a character; whole when width is 0
// (a field with no declared width).
QString CutToWidth(const QString &text, int width);
// True when an ordinary (not hidden) file exists at the path; never fails.
bool FileExists(const QString &path);
// Flushes a written file to the disk, then its folder's entries so that its
// name is there too (some file systems cannot: the file is safe then).
// False when the file itself could not be flushed.
bool SyncFileToDisk(const QString &path);

class NoteStore final {
public:
    NoteStore();
    ~NoteStore();
    NoteStore(const NoteStore &) = delete;
    NoteStore &operator=(const NoteStore &) = delete;

    QString DataFolder;
    QString DatabasePath;

    // Opens DatabasePath = JoinPath(DataFolder, "quorvel.mdb"), its Setup
    // record and the layout of its tables. The file is checked
    // through a connection that cannot write before anything is written to
    // it. On failure returns false, the file is as it was, everything stays
    // closed and errorText() tells why. A file or folder that cannot be
    // written is opened read-only (see isReadOnly()).
    [[nodiscard]] bool open();
    // Opens DatabasePath for another process than the program (the
    // command-line tool) through a connection that cannot write and leaves
    // the program free to save meanwhile; a transaction on it sees one state
    // of the file. The file is checked as open() checks it; no cursors are
    // opened. On failure returns false and errorText() tells why.
    [[nodiscard]] bool openForReading();
    // True when the open file cannot be changed: every write would fail.
    bool isReadOnly() const { return m_readOnly; }
    // Closes the cursors and the database (before packing, at shutdown).
    void close();
    bool isOpen() const;

    // Creates a new database file at path with the schema and its one Setup
    // record (language not yet chosen). Fails if the file already exists.
    [[nodiscard]] static bool createDatabase(const QString &path, const QDateTime &now, QString *error);

    // Writes a compacted copy of the closed database file source to a new
    // file target (which must not exist), synced to the disk. The source is
    // never changed; on failure nothing is left at target.
    [[nodiscard]] static bool compactDatabase(const QString &source, const QString &target, QString *error);

    // The bytes of the open file's pages in use, its log's included: what a
    // compacted copy can reach. The file's size when that cannot be read.
    qint64 bytesInUse();

    // Removes a database file with its journal, log and log index; true when
    // none of them is left. A file must never take a name whose companions
    // are still there: SQLite would apply them to it.
    [[nodiscard]] static bool removeDatabaseFile(const QString &path);
    // Puts the closed database file path at backup (replacing any file
    // there) and the file replacement at path, synced. Refuses when path
    // still has a journal or a log, whose changes are not in the file. On
    // failure path is the database as it was, unless it could not even be
    // put back: then it is at backup.
    [[nodiscard]] static bool replaceDatabaseFile(const QString &path, const QString &replacement, const QString &backup);

    // The engine's error list after a failed operation.
    const QList<EngineError> &errors() const;
    // The description of the last error, for one-line reports.
    QString errorText() const;
    // Whether a topic of that key exists; false on an engine error too.
    bool hasTopic(int key);

private:
    std::unique_ptr<Connection> m_connection;
    QHash<QString, int> m_widths;  // "table.field" -> width

public:
    Connection &dbNotes;
    // The Setup record while the store is open.
    std::unique_ptr<SingleRow> setup;
    // The declared width of a text field of Argomenti or Categorie; -1 when
    // there is none.
    int fieldSize(const QString &table, const QString &field) const;

    // Every change the operations make to topics and categories, announced.
    notes::Changes changes;

    // True when the trigram index of titles and bodies is there.
    bool hasTopicIndex() const { return m_topicIndex; }
    // True when the table ArgomentiTesto holds each topic's key, title and
    // plain text apart from its RTF body (a scan of it reads no body).
    bool hasPlainTexts() const { return m_plainTexts; }
    // True when the table ArgomentiInizio holds the beginning of each plain
    // text apart, and whether it is the whole text.
    bool hasTextStarts() const { return m_textStarts; }

    // Long work of open(): an older file gets its indexes built.
    enum class Work { IndexingTopics, CopyingTexts };
    // Called now and then while open() does long work, on the thread that
    // called open(): what is being done, and how far (done of total; total
    // 0 when it cannot be told). The connection must not be used from it.
    std::function<void(Work work, qint64 done, qint64 total)> onProgress;

    // Whether the file keeps versions and deleted topics (tables Versioni and
    // Eliminati). An older file opened read-only has none to show.
    bool hasHistory() const { return m_history; }
    // Whether each topic and category has its global id (tables ArgomentiId
    // and CategorieId): the same on every machine, where keys are not.
    bool hasGlobalIds() const { return m_globalIds; }
    // Whether the file keeps what a sync needs (tables Sincronia and
    // DaSincronizzare): a file of format 8 on.
    bool hasSyncState() const { return m_syncState; }
    // The moment changes are stamped with, and the name of this machine
    // they are stamped with, as versions and deleted topics record them.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    QString machineName;

    // Whether the file can hold drafts of open editors (see notes::Drafts):
    // it has their table and can be written.
    bool hasDrafts() const { return m_drafts && !m_readOnly; }
    // Whether the file has their table, to read drafts left in it.
    bool hasDraftTable() const { return m_drafts; }
    // True while a transaction is open: a command's write is under way.
    bool isWriting() const;

private:
    // Sets DatabasePath from DataFolder; false, with the error, when no
    // database is there.
    bool findDatabase();
    bool checkFile(qint64 *version);
    void readFeatures();
    bool migrate(int fromVersion);
    // Runs insert over the columns of every topic in table from, in slices
    // of key order.
    bool copyTopics(Work work, const QString &from, const QString &insert, const QString &columns);
    void report(Work work, qint64 done, qint64 total);
    bool m_topicIndex = false;
    bool m_plainTexts = false;
    bool m_textStarts = false;
    Work m_work = Work::IndexingTopics;
    qint64 m_done = 0;
    qint64 m_total = 0;
    bool m_drafts = false;
    bool m_history = false;
    bool m_globalIds = false;
    bool m_syncState = false;
    bool m_readOnly = false;
};

} // namespace store
