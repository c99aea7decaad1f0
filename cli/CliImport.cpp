// import: files become topics of one category, as a drop on the program's
// list makes them.

#include "CliCommand.h"

#include "Cli.h"
#include "Places.h"
#include "TopicFiles.h"

namespace cli {

namespace {

// The category's key, made when there is none of that name; -1 on error.
int categoryNamed(store::NoteStore &ns, const QString &name)
{
    store::TableRecordset &rs = *ns.rsCategorie;
    const QString stored = store::CutToWidth(name, rs.fieldSize(QStringLiteral("Categoria")));
    {
        store::Statement st(ns.dbNotes, QStringLiteral("SELECT idCategoria FROM Categorie WHERE Categoria = ?1 "
                                                       "ORDER BY idCategoria LIMIT 1"));
        st.bind(1, stored);
        if (st.step())
            return int(st.columnInt(0));
        if (st.failed())
            return -1;
    }
    if (!rs.addNew() || !rs.setField(QStringLiteral("Categoria"), stored) || !rs.update()) {
        rs.cancelUpdate();
        return -1;
    }
    return int(rs.lastModified());
}

} // namespace

int importFiles(Command &c)
{
    QString category;
    if (!c.takeValue(QStringLiteral("--category"), &category))
        return kError;
    if (c.unknownOption())
        return kError;
    c.words.removeOne(QStringLiteral("--"));
    if (category.trimmed().isEmpty())
        return c.usage(QStringLiteral("import needs --category NAME"));
    if (c.words.isEmpty())
        return c.usage(QStringLiteral("import needs at least one file"));
    // The running program holds the store's records in its windows and
    // would not show topics added under it. It is known from its lock in the
    // data folder, whichever session or runtime folder it was started from;
    // held here for the import's length, no program starts on it meanwhile.
    const QString folder = c.dataFolder();
    if (folder.isEmpty())
        return kError;
    store::StoreLock running;
    switch (running.acquire(places::RunLockPath(folder), store::StoreLock::Kind::Shared, 0)) {
    case store::StoreLock::Outcome::Taken:
        break;
    case store::StoreLock::Outcome::Busy:
        return c.fail(QStringLiteral("Quorvel is running: close it first, or drop the files on its list of topics"));
    case store::StoreLock::Outcome::Unusable:
        return c.fail(running.error());
    }
    store::NoteStore ns;
    store::StoreLock lock;
    c.folder = folder;
    if (!c.openStore(ns, lock, true))
        return kError;
    // Every file is read before anything is written, the category too.
    QString error;
    QList<topicfiles::TopicFile> topics;
    if (!topicfiles::readTopicFiles(c.words, &topics, &error))
        return c.fail(error);
    // A new category and its topics are one change: a failure or a kill
    // leaves neither.
    store::Transaction whole(ns.dbNotes);
    if (!whole.isActive())
        return c.fail(ns.errorText());
    const int key = categoryNamed(ns, category.trimmed());
    if (key < 0)
        return c.fail(ns.errorText());
    QList<int> keys;
    if (!topicfiles::addTopics(ns, key, topics, QDateTime::currentDateTime(), &keys, &error))
        return c.fail(error);
    if (!whole.commit())
        return c.fail(ns.errorText());
    c.out << "imported " << keys.size() << (keys.size() == 1 ? " topic" : " topics") << " into " << category.trimmed()
          << '\n';
    return kDone;
}

} // namespace cli
