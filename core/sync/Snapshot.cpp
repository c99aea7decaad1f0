#include "sync/Snapshot.h"

#include "notes/NoteStore.h"
#include "notes/Reading.h"
#include "db/Sqlite.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <algorithm>

namespace gitsync {

namespace {

// Writes bytes to path unless it holds them already.
bool writeIfChanged(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes)
        return true;
    current.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot make the folder of %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QByteArray readFile(const QString &path, bool *ok)
{
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? f.readAll() : QByteArray();
}

template <typename Record>
void sortByGuid(QList<Record> *records)
{
    std::sort(records->begin(), records->end(), [](const Record &a, const Record &b) { return a.guid < b.guid; });
}

} // namespace

bool readStore(store::NoteStore &store, Notes *notes)
{
    *notes = {};
    if (!store.hasGlobalIds()) {
        store.dbNotes.addError(QStringLiteral("The file has no global ids."));
        return false;
    }
    notes::ReadSnapshot oneState(store);
    store::Statement categories(store.dbNotes, QStringLiteral("SELECT i.Guid, c.Categoria FROM Categorie c "
                                                              "JOIN CategorieId i USING (idCategoria)"));
    while (categories.step())
        notes->categories.append({categories.columnText(0), categories.columnText(1), QString()});
    if (categories.failed())
        return false;
    // Current topics, then deleted ones, each with its category's guid.
    const QString columns = QStringLiteral("t.Guid, (SELECT Guid FROM CategorieId WHERE idCategoria = a.idCategoria), "
                                           "a.argomento, a.ultimoaggiornamento, a.TipoAllarme, a.DataOraAllarme, %1, "
                                           "a.contenuto");
    store::Statement topics(store.dbNotes,
                            QStringLiteral("SELECT %1 FROM Argomenti a JOIN ArgomentiId t USING (idArgomento) "
                                           "UNION ALL SELECT %2 FROM Eliminati a WHERE a.Guid IS NOT NULL")
                                .arg(columns.arg(QStringLiteral("NULL")),
                                     QString(columns).replace(QStringLiteral("t.Guid"), QStringLiteral("a.Guid"))
                                         .arg(QStringLiteral("a.DataOraEliminazione"))));
    while (topics.step())
        notes->topics.append({topics.columnText(0), topics.columnText(1), topics.columnText(2), topics.columnText(3),
                              int(topics.columnInt(4)), topics.columnText(5), topics.columnText(6), topics.columnText(7)});
    if (topics.failed())
        return false;
    sortByGuid(&notes->topics);
    sortByGuid(&notes->categories);
    return true;
}

bool writeTree(const QString &root, const Notes &notes, QString *error)
{
    QSet<QString> kept;
    const auto write = [&](const QString &relative, const QByteArray &bytes) {
        kept.insert(relative);
        return writeIfChanged(root + QLatin1Char('/') + relative, bytes, error);
    };
    for (const TopicRecord &t : notes.topics)
        if (!write(topicMetaPath(t.guid), encodeTopic(t)) || !write(topicBodyPath(t.guid), t.body.toUtf8()))
            return false;
    for (const CategoryRecord &c : notes.categories)
        if (!write(categoryPath(c.guid), encodeCategory(c)))
            return false;
    // What is no longer a record goes.
    for (const QString &folder : {QStringLiteral("topics"), QStringLiteral("categories")}) {
        QDirIterator files(root + QLatin1Char('/') + folder, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            if (!kept.contains(QDir(root).relativeFilePath(path)) && !QFile::remove(path)) {
                *error = QStringLiteral("cannot remove %1").arg(path);
                return false;
            }
        }
    }
    return true;
}

// Reads the record in the JSON file at path with decode. False, with the
// file and the reason, for one that cannot be read or is no record.
template <typename Record, typename Decode>
bool readRecord(const QString &path, Decode decode, Record *record, QString *error)
{
    bool ok = false;
    QString why;
    const QByteArray json = readFile(path, &ok);
    if (ok && decode(json, record, &why))
        return true;
    *error = QStringLiteral("%1: %2").arg(path, ok ? why : QStringLiteral("cannot be read"));
    return false;
}

bool readTree(const QString &root, Notes *notes, QString *error)
{
    *notes = {};
    QDirIterator topics(root + QStringLiteral("/topics"), {QStringLiteral("*.json")}, QDir::Files,
                        QDirIterator::Subdirectories);
    while (topics.hasNext()) {
        const QString path = topics.next();
        TopicRecord t;
        if (!readRecord(path, decodeTopic, &t, error))
            return false;
        bool ok = false;
        t.body = QString::fromUtf8(readFile(root + QLatin1Char('/') + topicBodyPath(t.guid), &ok));
        if (!ok) {
            *error = QStringLiteral("%1: the body is missing").arg(path);
            return false;
        }
        notes->topics.append(t);
    }
    QDirIterator categories(root + QStringLiteral("/categories"), {QStringLiteral("*.json")}, QDir::Files);
    while (categories.hasNext()) {
        CategoryRecord c;
        if (!readRecord(categories.next(), decodeCategory, &c, error))
            return false;
        notes->categories.append(c);
    }
    sortByGuid(&notes->topics);
    sortByGuid(&notes->categories);
    return true;
}

} // namespace gitsync
