#include "notes/NoteStore.h"

#include "db/Like.h"
#include "db/ListOrder.h"
#include "db/Fields.h"
#include "db/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace store {

namespace {

// Text sizes are declared here and read back from the schema at run time.
// Index columns are NOT NULL so that every record has a place in the order
// the cursors walk.
const char *const kSchema = R"sql(
CREATE TABLE Categorie (
    idCategoria INTEGER PRIMARY KEY AUTOINCREMENT,
    Categoria TEXT(50) NOT NULL DEFAULT ''
);
CREATE INDEX ix_Categorie_Categoria ON Categorie (Categoria COLLATE NOCASE);
CREATE TABLE Argomenti (
    idArgomento INTEGER PRIMARY KEY AUTOINCREMENT,
    idCategoria INTEGER NOT NULL DEFAULT 0,
    argomento TEXT(100),
    contenuto LONGTEXT,
    ContenutoTxt LONGTEXT,
    ultimoaggiornamento DATETIME,
    TipoAllarme SMALLINT DEFAULT 0,
    DataOraAllarme DATETIME
);
CREATE INDEX ix_Argomenti_Categorie ON Argomenti (idCategoria);
CREATE INDEX ix_Argomenti_Allarme ON Argomenti (TipoAllarme, DataOraAllarme);
CREATE TABLE Setup (
    lingua SMALLINT,
    UltimoAvvio DATETIME,
    UltimaCat INTEGER,
    UltimoArg INTEGER,
    SysFont TEXT(50),
    SysFontAltezza SINGLE,
    SysFontAttributi TEXT(10),
    EditFont TEXT(50),
    EditFontAltezza SINGLE,
    EditFontAttributi TEXT(10),
    Editcolore INTEGER,
    UltimaLarg SINGLE,
    UltimaAlt SINGLE,
    mostrapulsanti BOOLEAN
);
)sql";

// Version 2: a trigram index of titles and plain-text bodies for Find in
// topics, kept in step by triggers inside the same transactions as the
// topics themselves (so a crash cannot leave it behind), holding no copy of
// the text (external content, no positions).
const char *const kTopicIndex = R"sql(
CREATE VIRTUAL TABLE ArgomentiFts USING fts5(argomento, ContenutoTxt, content='Argomenti',
    content_rowid='idArgomento', tokenize='trigram', detail='none');
CREATE TRIGGER Argomenti_fts_insert AFTER INSERT ON Argomenti BEGIN
    INSERT INTO ArgomentiFts(rowid, argomento, ContenutoTxt) VALUES (new.idArgomento, new.argomento, new.ContenutoTxt);
END;
CREATE TRIGGER Argomenti_fts_delete AFTER DELETE ON Argomenti BEGIN
    INSERT INTO ArgomentiFts(ArgomentiFts, rowid, argomento, ContenutoTxt)
        VALUES ('delete', old.idArgomento, old.argomento, old.ContenutoTxt);
END;
CREATE TRIGGER Argomenti_fts_update AFTER UPDATE OF argomento, ContenutoTxt ON Argomenti BEGIN
    INSERT INTO ArgomentiFts(ArgomentiFts, rowid, argomento, ContenutoTxt)
        VALUES ('delete', old.idArgomento, old.argomento, old.ContenutoTxt);
    INSERT INTO ArgomentiFts(rowid, argomento, ContenutoTxt) VALUES (new.idArgomento, new.argomento, new.ContenutoTxt);
END;
)sql";

// Version 3: drafts of open editors, kept apart from the topics so that
// writing one can never touch a topic's own record.
const char *const kDrafts = R"sql(
CREATE TABLE IF NOT EXISTS Bozze (
    idBozza INTEGER PRIMARY KEY AUTOINCREMENT,
    idArgomento INTEGER NOT NULL,
    idCategoria INTEGER NOT NULL,
    argomento TEXT,
    contenuto LONGTEXT,
    TipoAllarme SMALLINT,
    DataOraAllarme DATETIME,
    ultimoaggiornamento DATETIME,
    DataOraBozza DATETIME NOT NULL
);
)sql";

// Version 7: an identity of each topic and category that travels between
// machines, where the keys are each file's own: a random id, given to every
// record of an older file when it is opened and to every new one as it is
// added (triggers, so that no way in is missed). The ids are kept in tables
// of their own: giving each record of Argomenti a column would rewrite
// every body. A deleted topic keeps its id, to come back as the same topic.
const char *const kGlobalIds = R"sql(
CREATE TABLE IF NOT EXISTS ArgomentiId (idArgomento INTEGER PRIMARY KEY, Guid TEXT NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS CategorieId (idCategoria INTEGER PRIMARY KEY, Guid TEXT NOT NULL UNIQUE);
INSERT OR IGNORE INTO ArgomentiId (idArgomento, Guid) SELECT idArgomento, lower(hex(randomblob(16))) FROM Argomenti;
INSERT OR IGNORE INTO CategorieId (idCategoria, Guid) SELECT idCategoria, lower(hex(randomblob(16))) FROM Categorie;
CREATE TRIGGER IF NOT EXISTS Argomenti_id_insert AFTER INSERT ON Argomenti BEGIN
    INSERT OR IGNORE INTO ArgomentiId (idArgomento, Guid) VALUES (new.idArgomento, lower(hex(randomblob(16))));
END;
CREATE TRIGGER IF NOT EXISTS Argomenti_id_delete AFTER DELETE ON Argomenti BEGIN
    DELETE FROM ArgomentiId WHERE idArgomento = old.idArgomento;
END;
CREATE TRIGGER IF NOT EXISTS Categorie_id_insert AFTER INSERT ON Categorie BEGIN
    INSERT OR IGNORE INTO CategorieId (idCategoria, Guid) VALUES (new.idCategoria, lower(hex(randomblob(16))));
END;
CREATE TRIGGER IF NOT EXISTS Categorie_id_delete AFTER DELETE ON Categorie BEGIN
    DELETE FROM CategorieId WHERE idCategoria = old.idCategoria;
END;
)sql";

// Version 8: what a sync of the notes through a repository needs of the
// file. Sincronia holds the sync's own values (the commit the notes were
// last merged with, the remote, whether it is on); DaSincronizzare the ids
// of the topics and categories changed since, each with the number of its
// last change, so that a sync reads only those and forgets only the changes
// it published. Triggers fill it, inside the changes' own transactions.
// Every record of an older file counts as changed: its first sync sends it.
const char *const kSyncState = R"sql(
CREATE TABLE IF NOT EXISTS Sincronia (Chiave TEXT PRIMARY KEY, Valore TEXT);
CREATE TABLE IF NOT EXISTS DaSincronizzare (Cambio INTEGER PRIMARY KEY AUTOINCREMENT, Guid TEXT NOT NULL UNIQUE);
INSERT OR IGNORE INTO DaSincronizzare (Guid) SELECT Guid FROM CategorieId;
INSERT OR IGNORE INTO DaSincronizzare (Guid) SELECT Guid FROM ArgomentiId;
INSERT OR IGNORE INTO DaSincronizzare (Guid) SELECT Guid FROM Eliminati WHERE Guid IS NOT NULL;
CREATE TRIGGER IF NOT EXISTS ArgomentiId_sync_insert AFTER INSERT ON ArgomentiId BEGIN
    INSERT OR REPLACE INTO DaSincronizzare (Guid) VALUES (new.Guid);
END;
CREATE TRIGGER IF NOT EXISTS ArgomentiId_sync_update AFTER UPDATE OF Guid ON ArgomentiId BEGIN
    INSERT OR REPLACE INTO DaSincronizzare (Guid) VALUES (new.Guid);
END;
CREATE TRIGGER IF NOT EXISTS Argomenti_sync_update AFTER UPDATE ON Argomenti BEGIN
    INSERT OR REPLACE INTO DaSincronizzare (Guid) SELECT Guid FROM ArgomentiId WHERE idArgomento = new.idArgomento;
END;
CREATE TRIGGER IF NOT EXISTS Eliminati_sync_insert AFTER INSERT ON Eliminati WHEN new.Guid IS NOT NULL BEGIN
    INSERT OR REPLACE INTO DaSincronizzare (Guid) VALUES (new.Guid);
END;
CREATE TRIGGER IF NOT EXISTS CategorieId_sync_insert AFTER INSERT ON CategorieId BEGIN
    INSERT OR REPLACE INTO DaSincronizzare (Guid) VALUES (new.Guid);
END;
CREATE TRIGGER IF NOT EXISTS CategorieId_sync_update AFTER UPDATE ON CategorieId BEGIN
    INSERT OR REPLACE INTO DaSincronizzare (Guid) VALUES (new.Guid);
END;
CREATE TRIGGER IF NOT EXISTS CategorieId_sync_delete AFTER DELETE ON CategorieId BEGIN
    INSERT OR REPLACE INTO DaSincronizzare (Guid) VALUES (old.Guid);
END;
CREATE TRIGGER IF NOT EXISTS Categorie_sync_update AFTER UPDATE OF Categoria ON Categorie BEGIN
    INSERT OR REPLACE INTO DaSincronizzare (Guid) SELECT Guid FROM CategorieId WHERE idCategoria = new.idCategoria;
END;
)sql";

// A table of some of each topic's fields, kept in step with Argomenti by
// triggers in the same transactions as the topics: fields declares its
// columns, values gives them from the new row.
QString keptCopySql(const QString &table, const QString &triggers, const QString &fields, const QString &columns,
                    const QString &values)
{
    const QString insert = QStringLiteral("INSERT OR REPLACE INTO %1 (%2) VALUES (%3);").arg(table, columns, values);
    return QStringLiteral(R"sql(
CREATE TABLE IF NOT EXISTS %1 (%2);
CREATE TRIGGER IF NOT EXISTS %3_insert AFTER INSERT ON Argomenti BEGIN
    %4
END;
CREATE TRIGGER IF NOT EXISTS %3_delete AFTER DELETE ON Argomenti BEGIN
    DELETE FROM %1 WHERE idArgomento = old.idArgomento;
END;
CREATE TRIGGER IF NOT EXISTS %3_update AFTER UPDATE OF idArgomento, argomento, ContenutoTxt ON Argomenti BEGIN
    DELETE FROM %1 WHERE idArgomento = old.idArgomento;
    %4
END;
)sql").arg(table, fields, triggers, insert);
}

// Version 4: each topic's key, title and plain text again in a table of
// their own, so that a scan for a pattern the trigram index cannot narrow
// reads those alone and not the pages of the RTF bodies stored between them
// in Argomenti.
QString plainTextsSql()
{
    return keptCopySql(QStringLiteral("ArgomentiTesto"), QStringLiteral("Argomenti_testo"),
                       QStringLiteral("idArgomento INTEGER PRIMARY KEY, argomento TEXT, ContenutoTxt LONGTEXT"),
                       QStringLiteral("idArgomento, argomento, ContenutoTxt"),
                       QStringLiteral("new.idArgomento, new.argomento, new.ContenutoTxt"));
}

// Version 5: the first thousand characters of each plain text again, with
// the title, in a table of their own. A scan for a pattern ending in '*'
// reads these first: a topic matched in its first lines is found there, and
// a page holds several of them where it holds one whole text. Only a topic
// its beginning does not decide is read whole from ArgomentiTesto. Intero
// tells that the beginning is the whole text (compared in bytes, as a
// character count stops at a NUL).
QString textStart(const QString &t)
{
    return QStringLiteral("substr(%1, 1, 1000)").arg(t);
}
QString isWholeText(const QString &t)
{
    return QStringLiteral("coalesce(length(CAST(%1 AS BLOB)) = length(CAST(%2 AS BLOB)), 1)").arg(textStart(t), t);
}
QString textStartsSql()
{
    return keptCopySql(QStringLiteral("ArgomentiInizio"), QStringLiteral("Argomenti_inizio"),
                       QStringLiteral("idArgomento INTEGER PRIMARY KEY, argomento TEXT, Inizio TEXT, Intero INTEGER"),
                       QStringLiteral("idArgomento, argomento, Inizio, Intero"),
                       QStringLiteral("new.idArgomento, new.argomento, %1, %2")
                           .arg(textStart(QStringLiteral("new.ContenutoTxt")), isWholeText(QStringLiteral("new.ContenutoTxt"))));
}

// Version 6: what a change replaced, and what a delete took away. A
// version is a topic's record as it stood before a save, a rename, a move
// or a restore replaced it. A change that left the text as it was (a move,
// a rename) keeps no second copy of it: TestoUguale says that the text is
// the one of the next state, the next version's or the topic's own. A
// deleted topic keeps its record, its key and its category's name, so that
// it can come back where it was, with its versions, which stay under its
// key. Both are written in the same transaction as the change itself.
const char *const kHistory = R"sql(
CREATE TABLE IF NOT EXISTS Versioni (
    idVersione INTEGER PRIMARY KEY AUTOINCREMENT,
    idArgomento INTEGER NOT NULL,
    DataOraVersione DATETIME NOT NULL,
    Macchina TEXT NOT NULL DEFAULT '',
    TestoUguale INTEGER NOT NULL DEFAULT 0,
    idCategoria INTEGER NOT NULL,
    argomento TEXT,
    contenuto LONGTEXT,
    ContenutoTxt LONGTEXT,
    ultimoaggiornamento DATETIME,
    TipoAllarme SMALLINT,
    DataOraAllarme DATETIME
);
CREATE INDEX IF NOT EXISTS ix_Versioni_Argomento ON Versioni (idArgomento, idVersione);
CREATE INDEX IF NOT EXISTS ix_Versioni_Data ON Versioni (DataOraVersione);
CREATE TABLE IF NOT EXISTS Eliminati (
    idArgomento INTEGER PRIMARY KEY,
    idCategoria INTEGER NOT NULL,
    Categoria TEXT NOT NULL DEFAULT '',
    argomento TEXT,
    contenuto LONGTEXT,
    ContenutoTxt LONGTEXT,
    ultimoaggiornamento DATETIME,
    TipoAllarme SMALLINT,
    DataOraAllarme DATETIME,
    DataOraEliminazione DATETIME NOT NULL,
    Macchina TEXT NOT NULL DEFAULT ''
);
)sql";

// The tables each format after the first added, made on a new file and on
// opening an older one. An older file then fills them from the topics
// already there: "insert SELECT columns FROM from", unless from is empty.
struct FormatStep {
    int version;
    QString tables;
    NoteStore::Work work = NoteStore::Work::CopyingTexts;
    QString from = {};
    QString insert = {};
    QString columns = QStringLiteral("idArgomento, argomento, ContenutoTxt");
    // Then, when the file lacks it (a file that never had the table gets it
    // whole from an earlier step), a column "table.column declaration",
    // filled by "UPDATE table SET column = fill".
    QString column = {};
    QString fill = {};
};

const std::vector<FormatStep> &formatSteps()
{
    static const std::vector<FormatStep> steps = {
        {2, QString::fromUtf8(kTopicIndex), NoteStore::Work::IndexingTopics, QStringLiteral("Argomenti"),
         QStringLiteral("INSERT INTO ArgomentiFts(rowid, argomento, ContenutoTxt)")},
        {3, QString::fromUtf8(kDrafts)},
        {4, plainTextsSql(), NoteStore::Work::CopyingTexts, QStringLiteral("Argomenti"),
         QStringLiteral("INSERT OR REPLACE INTO ArgomentiTesto (idArgomento, argomento, ContenutoTxt)")},
        {5, textStartsSql(), NoteStore::Work::CopyingTexts, QStringLiteral("ArgomentiTesto"),
         QStringLiteral("INSERT OR REPLACE INTO ArgomentiInizio (idArgomento, argomento, Inizio, Intero)"),
         QStringLiteral("idArgomento, argomento, %1, %2")
             .arg(textStart(QStringLiteral("ContenutoTxt")), isWholeText(QStringLiteral("ContenutoTxt")))},
        {6, QString::fromUtf8(kHistory)},
        {.version = 7, .tables = QString::fromUtf8(kGlobalIds), .column = QStringLiteral("Eliminati.Guid TEXT"),
         .fill = QStringLiteral("lower(hex(randomblob(16)))")},
        // When a category was last named, for the later of two names.
        {.version = 8, .tables = QString::fromUtf8(kSyncState), .column = QStringLiteral("CategorieId.Rinominata TEXT"),
         .fill = QStringLiteral("NULL")},
    };
    Q_ASSERT(steps.back().version == kSchemaVersion);
    return steps;
}

// The step's column, added and filled where the file lacks it.
bool addStepColumn(Connection &db, const FormatStep &step)
{
    if (step.column.isEmpty())
        return true;
    const QString table = step.column.section(QLatin1Char('.'), 0, 0);
    const QString declared = step.column.section(QLatin1Char('.'), 1);
    const QString name = declared.section(QLatin1Char(' '), 0, 0);
    Statement has(db, QStringLiteral("SELECT count(*) FROM pragma_table_info(?1) WHERE name = ?2"));
    has.bind(1, table);
    has.bind(2, name);
    if (!has.step())
        return false;
    if (has.columnInt(0) > 0)
        return true;
    has.reset();
    return db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2; UPDATE %1 SET %3 = %4 WHERE %3 IS NULL")
                       .arg(table, declared, name, step.fill));
}

// Flushes a file, or a folder's entries, to the disk.
bool syncToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

bool SyncFileToDisk(const QString &path)
{
    if (!syncToDisk(path))
        return false;
    syncToDisk(QFileInfo(path).absolutePath());
    return true;
}

QString JoinPath(const QString &folder, const QString &fileName)
{
    QString joined;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        joined = folder + fileName;
    else
        joined = folder + QLatin1Char('/') + fileName;
    return joined.trimmed();
}

QString CutToWidth(const QString &text, int width)
{
    // A field with no declared width (0) takes the text whole.
    if (width <= 0 || text.size() <= width)
        return text;
    qsizetype n = width;
    if (n > 0 && text.at(n - 1).isHighSurrogate() && text.at(n).isLowSurrogate())
        --n;
    return text.left(n);
}

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    return fi.exists() && fi.isFile() && !fi.isHidden();
}

NoteStore::NoteStore()
    : m_connection(std::make_unique<Connection>()), dbNotes(*m_connection), machineName(QSysInfo::machineHostName())
{
}

bool NoteStore::isOpen() const
{
    return dbNotes.isOpen();
}

bool NoteStore::isWriting() const
{
    return dbNotes.isOpen() && !sqlite3_get_autocommit(dbNotes.handle());
}

const QList<EngineError> &NoteStore::errors() const
{
    return dbNotes.errors();
}

NoteStore::~NoteStore()
{
    close();
}

bool NoteStore::hasTopic(int key)
{
    Statement st(dbNotes, QStringLiteral("SELECT 1 FROM Argomenti WHERE idArgomento = ?1"));
    st.bind(1, qint64(key));
    return st.step();
}

QString NoteStore::errorText() const
{
    const auto &errs = dbNotes.errors();
    return errs.isEmpty() ? QStringLiteral("Unknown database error.") : errs.constLast().description;
}

bool NoteStore::findDatabase()
{
    DatabasePath = JoinPath(DataFolder, kDatabaseFileName);
    if (FileExists(DatabasePath))
        return true;
    dbNotes.clearErrors();
    dbNotes.addError(QStringLiteral("Could not find file '%1'.").arg(DatabasePath));
    return false;
}

bool NoteStore::open()
{
    close();
    if (!findDatabase())
        return false;
    const auto fail = [this] {
        const auto errs = dbNotes.errors();
        close();
        dbNotes.setErrors(errs);
        return false;
    };
    // Nothing is written to a file until it is known to be ours: a file of
    // another kind, or from a newer program, is refused as it was found.
    qint64 version = 0;
    if (!dbNotes.openReadOnly(DatabasePath) || !checkFile(&version))
        return fail();
    // The log and the journal are made beside the file, so both must be
    // writable; otherwise the notes are shown and nothing can be changed.
    const QByteArray file = QFile::encodeName(DatabasePath);
    const QByteArray folder = QFile::encodeName(QFileInfo(DatabasePath).absolutePath());
    m_readOnly = ::access(file.constData(), W_OK) != 0 || ::access(folder.constData(), W_OK) != 0;
    if (!m_readOnly) {
        if (!dbNotes.open(DatabasePath, false))
            return fail();
        // Write-ahead logging: one sync per save instead of several, and a
        // save interrupted by a crash or power cut is rolled back whole.
        dbNotes.exec(QStringLiteral("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL"));
        // An older file is brought to this version once it is accepted.
        if (version < kSchemaVersion && !migrate(int(version)))
            return fail();
    }
    registerLike(dbNotes.handle());
    registerListOrder(dbNotes.handle());
    setup = SingleRow::open(dbNotes, QStringLiteral("Setup"));
    if (!setup)
        return fail();
    m_widths.clear();
    for (const QString &table : {QStringLiteral("Argomenti"), QStringLiteral("Categorie")}) {
        const auto info = TableInfo::read(dbNotes, table);
        if (!info) {
            setup.reset();
            return fail();
        }
        for (const FieldInfo &f : info->fields)
            m_widths.insert(table + QLatin1Char('.') + f.name.toLower(), f.size);
    }
    readFeatures();
    return true;
}

void NoteStore::readFeatures()
{
    Statement table(dbNotes, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = ?1"));
    const auto has = [&table](const QString &name) {
        table.reset();
        table.bind(1, name);
        return table.step() && table.columnInt(0) > 0;
    };
    m_topicIndex = has(QStringLiteral("ArgomentiFts"));
    m_drafts = has(QStringLiteral("Bozze"));
    m_plainTexts = has(QStringLiteral("ArgomentiTesto"));
    m_textStarts = has(QStringLiteral("ArgomentiInizio"));
    m_history = has(QStringLiteral("Versioni")) && has(QStringLiteral("Eliminati"));
    m_globalIds = has(QStringLiteral("ArgomentiId")) && has(QStringLiteral("CategorieId"));
    m_syncState = m_globalIds && has(QStringLiteral("Sincronia")) && has(QStringLiteral("DaSincronizzare"));
}

bool NoteStore::openForReading()
{
    close();
    if (!findDatabase())
        return false;
    qint64 version = 0;
    if (!dbNotes.openReader(DatabasePath) || !checkFile(&version)) {
        const auto errs = dbNotes.errors();
        close();
        dbNotes.setErrors(errs);
        return false;
    }
    m_readOnly = true;
    // Pages read through a mapping of the file rather than copied by the
    // kernel one by one: a process of its own starts with no pages cached.
    dbNotes.exec(QStringLiteral("PRAGMA mmap_size = 2147418112"));
    registerLike(dbNotes.handle());
    registerListOrder(dbNotes.handle());
    readFeatures();
    return true;
}

bool NoteStore::checkFile(qint64 *version)
{
    // A file from a newer program may hold data this one would mangle.
    Statement v(dbNotes, QStringLiteral("PRAGMA user_version"));
    *version = v.step() ? v.columnInt(0) : 0;
    if (v.failed())
        return false;
    if (*version > kSchemaVersion) {
        dbNotes.addError(QStringLiteral("The database '%1' was written by a newer version of Quorvel "
                                        "(format %2; this version reads up to %3).")
                             .arg(DatabasePath)
                             .arg(*version)
                             .arg(kSchemaVersion));
        return false;
    }
    // Every table with every field the program reads or writes: a field
    // found missing later would fail after the file had been written to.
    Connection model;
    if (!model.open(QStringLiteral(":memory:"), true) || !model.exec(QString::fromUtf8(kSchema))) {
        dbNotes.setErrors(model.errors());
        return false;
    }
    for (const QString &table : {QStringLiteral("Setup"), QStringLiteral("Argomenti"), QStringLiteral("Categorie")}) {
        const auto found = TableInfo::read(dbNotes, table);
        if (!found)
            return false;
        const auto wanted = TableInfo::read(model, table);
        for (const FieldInfo &f : wanted->fields)
            if (found->indexOf(f.name) < 0) {
                dbNotes.addError(QStringLiteral("The field '%1' of the table '%2' does not exist in the database '%3'.")
                                     .arg(f.name, table, DatabasePath));
                return false;
            }
    }
    // Setup is used on its single record without seeking; without it no
    // preference could be read or kept.
    Statement records(dbNotes, QStringLiteral("SELECT count(*) FROM Setup"));
    if (!records.step())
        return false;
    if (records.columnInt(0) == 0) {
        dbNotes.addError(QStringLiteral("The table 'Setup' of '%1' has no record.").arg(DatabasePath));
        return false;
    }
    return true;
}

void NoteStore::report(Work work, qint64 done, qint64 total)
{
    m_work = work;
    m_done = done;
    m_total = total;
    if (onProgress)
        onProgress(work, done, total);
}

bool NoteStore::copyTopics(Work work, const QString &from, const QString &insert, const QString &columns)
{
    // In slices of key order, so that how far it has come can be told.
    Statement count(dbNotes, QStringLiteral("SELECT count(*) FROM %1").arg(from));
    if (!count.step())
        return false;
    const qint64 total = count.columnInt(0);
    Statement next(dbNotes, QStringLiteral("SELECT idArgomento FROM %1 WHERE idArgomento > ?1 "
                                           "ORDER BY idArgomento LIMIT 1 OFFSET 999").arg(from));
    Statement fill(dbNotes, QStringLiteral("%1 SELECT %2 FROM %3 WHERE idArgomento > ?1 AND idArgomento <= ?2")
                                .arg(insert, columns, from));
    qint64 after = std::numeric_limits<qint64>::min();
    qint64 done = 0;
    for (;;) {
        report(work, done, total);
        next.reset();
        next.bind(1, after);
        const bool more = next.step();
        if (next.failed())
            return false;
        const qint64 to = more ? next.columnInt(0) : std::numeric_limits<qint64>::max();
        fill.reset();
        fill.bind(1, after);
        fill.bind(2, to);
        if (!fill.run())
            return false;
        done = std::min(total, done + 1000);
        if (!more)
            break;
        after = to;
    }
    report(work, total, total);
    return true;
}

bool NoteStore::migrate(int fromVersion)
{
    // Each step in one transaction: a file is at one version or the next.
    Transaction tx(dbNotes);
    if (!tx.isActive())
        return false;
    // Building an index of a large file takes a while: whoever opens the
    // file hears of it now and then, also inside one long statement.
    struct Ticks {
        NoteStore *store;
        explicit Ticks(NoteStore *s) : store(s)
        {
            sqlite3_progress_handler(s->dbNotes.handle(), 200000, [](void *p) {
                auto *ns = static_cast<NoteStore *>(p);
                if (ns->onProgress)
                    ns->onProgress(ns->m_work, ns->m_done, ns->m_total);
                return 0;
            }, s);
        }
        ~Ticks() { sqlite3_progress_handler(store->dbNotes.handle(), 0, nullptr, nullptr); }
    } ticks(this);
    for (const FormatStep &step : formatSteps())
        if (fromVersion < step.version
            && (!dbNotes.exec(step.tables) || !addStepColumn(dbNotes, step)
                || (!step.from.isEmpty() && !copyTopics(step.work, step.from, step.insert, step.columns))))
            return false;
    if (!dbNotes.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)))
        return false;
    return tx.commit();
}

int NoteStore::fieldSize(const QString &table, const QString &field) const
{
    return m_widths.value(table + QLatin1Char('.') + field.toLower(), -1);
}

void NoteStore::close()
{
    setup.reset();
    m_widths.clear();
    dbNotes.close();
    m_topicIndex = false;
    m_plainTexts = false;
    m_textStarts = false;
    m_history = false;
    m_globalIds = false;
    m_syncState = false;
    m_drafts = false;
    m_readOnly = false;
}

qint64 NoteStore::bytesInUse()
{
    Statement pages(dbNotes, QStringLiteral("SELECT page_count - freelist_count, page_size "
                                            "FROM pragma_page_count, pragma_freelist_count, pragma_page_size"));
    return pages.step() ? pages.columnInt(0) * pages.columnInt(1) : QFileInfo(DatabasePath).size();
}

namespace {
const char *const kCompanions[] = {"-journal", "-wal", "-shm"};
}

bool NoteStore::removeDatabaseFile(const QString &path)
{
    bool gone = true;
    for (const char *suffix : kCompanions) {
        const QString companion = path + QLatin1String(suffix);
        gone = (QFile::remove(companion) || !QFileInfo::exists(companion)) && gone;
    }
    // The file last, so that no moment sees it without its journal.
    return (QFile::remove(path) || !QFileInfo::exists(path)) && gone;
}

bool NoteStore::replaceDatabaseFile(const QString &path, const QString &replacement, const QString &backup)
{
    for (const char *suffix : {"-journal", "-wal"})
        if (QFileInfo::exists(path + QLatin1String(suffix)))
            return false;
    if (!removeDatabaseFile(backup))
        return false;
    QFile::remove(path + QStringLiteral("-shm"));
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(replacement);
    // A second name for the file, then the new file over the first: at no
    // moment is there no database at path.
    if (::link(from.constData(), QFile::encodeName(backup).constData()) == 0) {
        if (::rename(to.constData(), from.constData()) != 0)
            return false;
    } else {
        // A file system without links: two renames, undone on failure.
        if (!QFile::rename(path, backup))
            return false;
        if (!QFile::rename(replacement, path)) {
            QFile::rename(backup, path);
            return false;
        }
    }
    syncToDisk(QFileInfo(path).absolutePath());
    return true;
}

bool NoteStore::compactDatabase(const QString &source, const QString &target, QString *error)
{
    const auto fail = [error, &target](const QString &why) {
        // The failure told is why; a piece left behind is never taken for
        // a database (the target's name is new).
        static_cast<void>(removeDatabaseFile(target));
        if (error)
            *error = why;
        return false;
    };
    if (!FileExists(source)) {
        if (error)
            *error = QStringLiteral("Could not find file '%1'.").arg(source);
        return false;
    }
    if (QFileInfo::exists(target)) {
        if (error)
            *error = QStringLiteral("The file '%1' already exists.").arg(target);
        return false;
    }
    // A journal left by an earlier failed copy would be rolled onto this one.
    if (!removeDatabaseFile(target))
        return fail(QStringLiteral("The file '%1' cannot be removed.").arg(target + QStringLiteral("-journal")));
    Connection db;
    if (!db.open(source, false))
        return fail(db.errors().constLast().description);
    Statement st(db, QStringLiteral("VACUUM INTO ?1"));
    st.bind(1, target);
    if (!st.run()) {
        const QString why = db.errors().isEmpty() ? QStringLiteral("Compacting failed.") : db.errors().constLast().description;
        db.close();
        return fail(why);
    }
    db.close();
    // The copy is written without syncing: it goes to the disk, and its name
    // into the folder, before the packing can be called done.
    if (!SyncFileToDisk(target))
        return fail(QStringLiteral("The compacted file '%1' could not be written to the disk.").arg(target));
    return true;
}

bool NoteStore::createDatabase(const QString &path, const QDateTime &now, QString *error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("The file '%1' already exists.").arg(path);
        return false;
    }
    // A journal of an earlier file by that name would be rolled onto this
    // one: no file is made while one is left.
    if (!removeDatabaseFile(path)) {
        if (error)
            *error = QStringLiteral("The journal of an earlier file '%1' could not be removed.").arg(path);
        return false;
    }
    Connection db;
    bool ok = db.open(path, true);
    if (ok) {
        Transaction tx(db);
        ok = tx.isActive() && db.exec(QString::fromUtf8(kSchema));
        if (ok) {
            Statement st(db, QStringLiteral(
                "INSERT INTO Setup (lingua, UltimoAvvio, UltimaCat, UltimoArg, SysFont, SysFontAltezza, "
                "SysFontAttributi, EditFont, EditFontAltezza, EditFontAttributi, Editcolore, UltimaLarg, "
                "UltimaAlt, mostrapulsanti) VALUES (2, ?1, 0, 0, 'MS Sans Serif', 8, '', 'MS Sans Serif', 8, '', "
                "0, 9000, 7000, 1)"));
            st.bind(1, toStoredDateTime(now));
            ok = st.run();
        }
        for (const FormatStep &step : formatSteps())
            ok = ok && db.exec(step.tables) && addStepColumn(db, step);
        ok = ok && db.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
        ok = ok && tx.commit();
    }
    if (!ok) {
        if (error)
            *error = db.errors().isEmpty() ? QStringLiteral("Cannot create the database.")
                                           : db.errors().constLast().description;
        db.close();
        // Its journal too: the next start would roll it onto a new file.
        static_cast<void>(removeDatabaseFile(path));
    }
    return ok;
}

} // namespace store
