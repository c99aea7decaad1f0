#include "notes/Topics.h"

#include "notes/NoteStore.h"
#include "notes/ByKey.h"
#include "notes/Keeping.h"
#include "db/Fields.h"
#include "db/Sqlite.h"
#include "db/WallTime.h"

namespace notes {

namespace {

QVariant storedTime(const QDateTime &when)
{
    return when.isValid() ? QVariant(store::WallTime::of(when).text()) : QVariant();
}

} // namespace

Topics::Read Topics::readCopy(int key, TopicCopy *copy)
{
    m_store.dbNotes.clearErrors();
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT argomento, contenuto, ContenutoTxt, ultimoaggiornamento "
                                                        "FROM Argomenti WHERE idArgomento = ?1"));
    st.bind(1, qint64(key));
    if (!st.step())
        return st.failed() ? Read::Failed : Read::Missing;
    copy->title = st.columnText(0);
    copy->body = st.isNull(1) ? QVariant(QString()) : st.column(1);
    copy->plainText = st.columnText(2);
    copy->updated = st.isNull(3) ? QDateTime() : store::WallTime::fromText(st.columnText(3)).moment();
    return Read::Ok;
}

int Topics::paste(const TopicCopy &copy, int category, int removeKey, bool *removed)
{
    *removed = false;
    m_store.dbNotes.clearErrors();
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive())
        return -1;
    store::Statement add(m_store.dbNotes, QStringLiteral("INSERT INTO Argomenti (argomento, idCategoria, contenuto, "
                                                         "ContenutoTxt, ultimoaggiornamento) VALUES (?1, ?2, ?3, ?4, ?5)"));
    add.bind(1, copy.title);
    add.bind(2, qint64(category));
    add.bind(3, copy.body);
    add.bind(4, copy.plainText);
    add.bind(5, storedTime(copy.updated));
    if (!add.run())
        return -1;
    const int key = int(m_store.dbNotes.lastInsertRowId());
    if (removeKey != -1) {
        // A cut topic goes on as the pasted one: its history follows it, and
        // the category it leaves is a version of it.
        if (m_store.hasHistory()) {
            store::Statement follow(m_store.dbNotes,
                                    QStringLiteral("UPDATE Versioni SET idArgomento = ?1 WHERE idArgomento = ?2"));
            follow.bind(1, qint64(key));
            follow.bind(2, qint64(removeKey));
            if (!follow.run())
                return -1;
        }
        if (!keepVersion(m_store, removeKey, key, QStringLiteral("idCategoria IS NOT ?5"), QStringLiteral("1"),
                         {qint64(category)}))
            return -1;
        // And under the same global id, the one it had.
        const QVariant guid = topicGuid(m_store, removeKey);
        store::Statement remove(m_store.dbNotes, QStringLiteral("DELETE FROM Argomenti WHERE idArgomento = ?1"));
        remove.bind(1, qint64(removeKey));
        if (!remove.run())
            return -1;
        *removed = m_store.dbNotes.lastChanges() > 0;
        if (*removed && !setTopicGuid(m_store, key, guid))
            return -1;
    }
    if (!tx.commit()) {
        *removed = false;
        return -1;
    }
    if (removeKey != -1)
        announce({TopicChange::Kind::Removed, {removeKey}, -1, QString()});
    announce({TopicChange::Kind::Added, {key}, category, copy.title});
    return key;
}

bool Topics::move(int key, int category)
{
    return moveAll({key}, category);
}

bool Topics::moveAll(const QList<int> &keys, int category)
{
    m_store.dbNotes.clearErrors();
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive())
        return false;
    if (!keepVersions(m_store, keys, QStringLiteral("idCategoria IS NOT ?5"), QStringLiteral("1"), {qint64(category)}))
        return false;
    store::Statement st(m_store.dbNotes, QStringLiteral("UPDATE Argomenti SET idCategoria = ?1 WHERE idArgomento = ?2"));
    for (const int key : keys) {
        st.reset();
        st.bind(1, qint64(category));
        st.bind(2, qint64(key));
        if (!st.run())
            return false;
    }
    if (!tx.commit())
        return false;
    announce({TopicChange::Kind::Moved, keys, category, QString()});
    return true;
}

bool Topics::addMany(int category, const QString &categoryName, const QList<NewTopic> &topics, const QDateTime &now,
                     QList<int> *keys)
{
    m_store.dbNotes.clearErrors();
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive())
        return false;
    std::optional<QString> made;  // the category's name, when it is new
    if (category == -1) {
        const QString name = store::CutToWidth(categoryName, m_store.fieldSize(QStringLiteral("Categorie"), QStringLiteral("Categoria")));
        store::Statement find(m_store.dbNotes, QStringLiteral("SELECT idCategoria FROM Categorie WHERE Categoria = ?1 "
                                                              "ORDER BY idCategoria LIMIT 1"));
        find.bind(1, name);
        if (find.step()) {
            category = int(find.columnInt(0));
        } else {
            if (find.failed())
                return false;
            store::Statement make(m_store.dbNotes, QStringLiteral("INSERT INTO Categorie (Categoria) VALUES (?1)"));
            make.bind(1, name);
            if (!make.run())
                return false;
            category = int(m_store.dbNotes.lastInsertRowId());
            made = name;
        }
    }
    const int width = m_store.fieldSize(QStringLiteral("Argomenti"), QStringLiteral("argomento"));
    store::Statement add(m_store.dbNotes, QStringLiteral("INSERT INTO Argomenti (idCategoria, argomento, contenuto, "
                                                         "ContenutoTxt, ultimoaggiornamento, TipoAllarme) "
                                                         "VALUES (?1, ?2, ?3, ?4, ?5, 0)"));
    QList<int> added;
    for (const NewTopic &topic : topics) {
        add.reset();
        add.bind(1, qint64(category));
        add.bind(2, store::CutToWidth(topic.title, width));
        add.bind(3, topic.body);
        add.bind(4, topic.plainText);
        add.bind(5, storedTime(now));
        if (!add.run())
            return false;
        added << int(m_store.dbNotes.lastInsertRowId());
    }
    if (!tx.commit())
        return false;
    if (made)
        m_store.changes.categoriesChanged({CategoryChange::Kind::Added, category, *made});
    if (!added.isEmpty())
        announce({TopicChange::Kind::Added, added, category, added.size() == 1 ? topics.constFirst().title : QString()});
    if (keys)
        *keys = added;
    return true;
}

int Topics::titleWidth() const
{
    return m_store.fieldSize(QStringLiteral("Argomenti"), QStringLiteral("argomento"));
}

Found Topics::load(int key, StoredTopic *topic)
{
    m_store.dbNotes.clearErrors();
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT idCategoria, argomento, contenuto, ContenutoTxt, "
                                                        "ultimoaggiornamento, TipoAllarme, DataOraAllarme "
                                                        "FROM Argomenti WHERE idArgomento = ?1"));
    st.bind(1, qint64(key));
    if (!st.step())
        return st.failed() ? Found::Failed : Found::No;
    const auto text = [&](int col) { return st.isNull(col) ? std::nullopt : std::optional<QString>(st.columnText(col)); };
    topic->category = int(st.columnInt(0));
    topic->title = text(1);
    topic->body = st.columnText(2);
    topic->plainText = text(3);
    topic->updated = st.isNull(4) ? QDateTime() : store::WallTime::fromText(st.columnText(4)).moment();
    topic->alarmType = st.isNull(5) ? std::nullopt : std::optional<int>(int(st.columnInt(5)));
    topic->alarmTime = st.isNull(6) ? std::nullopt
                                    : std::optional<store::WallTime>(store::WallTime::fromText(st.columnText(6)));
    return Found::Yes;
}

int Topics::save(const TopicSave &topic)
{
    m_store.dbNotes.clearErrors();
    const QString title = store::CutToWidth(topic.title, titleWidth());
    const QVariant alarm = topic.alarmTime.isValid() ? QVariant(topic.alarmTime.text()) : QVariant();
    if (topic.key == -1) {
        store::Statement st(m_store.dbNotes, QStringLiteral("INSERT INTO Argomenti (argomento, ultimoaggiornamento, "
                                                            "idCategoria, contenuto, ContenutoTxt, DataOraAllarme, "
                                                            "TipoAllarme) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
        st.bind(1, title);
        st.bind(2, storedTime(topic.updated));
        st.bind(3, qint64(topic.category));
        st.bind(4, topic.body ? QVariant(*topic.body) : QVariant());
        st.bind(5, topic.plainText);
        st.bind(6, alarm);
        st.bind(7, qint64(topic.alarmType));
        if (!st.run())
            return -1;
        const int key = int(m_store.dbNotes.lastInsertRowId());
        announce({TopicChange::Kind::Added, {key}, topic.category, topic.title, true});
        return key;
    }
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive())
        return -1;
    // What the save replaces is kept, unless it replaces nothing.
    const QString changed = QStringLiteral("argomento IS NOT ?5 OR idCategoria IS NOT ?6 OR TipoAllarme IS NOT ?7 "
                                           "OR DataOraAllarme IS NOT ?8 OR ContenutoTxt IS NOT ?%1%2")
                                .arg(topic.body ? 10 : 9)
                                .arg(topic.body ? QStringLiteral(" OR contenuto IS NOT ?9") : QString());
    const bool kept = topic.body
        ? keepVersion(m_store, topic.key, topic.key, changed, QStringLiteral("contenuto IS ?9 AND ContenutoTxt IS ?10"),
                      {title, qint64(topic.category), qint64(topic.alarmType), alarm, *topic.body, topic.plainText})
        : keepVersion(m_store, topic.key, topic.key, changed, QStringLiteral("ContenutoTxt IS ?9"),
                      {title, qint64(topic.category), qint64(topic.alarmType), alarm, topic.plainText});
    if (!kept)
        return -1;
    // The body's column is left out when it is kept: the statement then
    // never touches what this program cannot show.
    store::Statement st(m_store.dbNotes,
                        QStringLiteral("UPDATE Argomenti SET argomento = ?1, ultimoaggiornamento = ?2, idCategoria = ?3, "
                                       "ContenutoTxt = ?5, DataOraAllarme = ?6, TipoAllarme = ?7%1 WHERE idArgomento = ?8")
                            .arg(topic.body ? QStringLiteral(", contenuto = ?4") : QString()));
    st.bind(1, title);
    st.bind(2, storedTime(topic.updated));
    st.bind(3, qint64(topic.category));
    if (topic.body)
        st.bind(4, *topic.body);
    st.bind(5, topic.plainText);
    st.bind(6, alarm);
    st.bind(7, qint64(topic.alarmType));
    st.bind(8, qint64(topic.key));
    if (!st.run())
        return -1;
    if (m_store.dbNotes.lastChanges() == 0) {
        // Deleted since the editor opened it.
        m_store.dbNotes.addError(QStringLiteral("No current record."));
        return -1;
    }
    if (!tx.commit())
        return -1;
    announce({TopicChange::Kind::Saved, {topic.key}, topic.category, topic.title, true});
    return topic.key;
}

int Topics::saveAgainst(TopicSave topic, const LoadedState &loaded,
                        const std::function<QString(const QString &storedTitle)> &conflictTitle, int *conflictKey)
{
    *conflictKey = -1;
    StoredTopic stored;
    const Found found = load(topic.key, &stored);
    if (found != Found::Yes)
        return found == Found::Failed ? -1 : save(topic);  // a deleted topic fails as save() says
    const QString storedTitle = stored.title.value_or(QString());
    const QString storedText = stored.plainText.value_or(QString());
    const QString cutTitle = store::CutToWidth(loaded.title, titleWidth());
    const bool titleHere = store::CutToWidth(topic.title, titleWidth()) != cutTitle;
    const bool textHere = topic.body.has_value() && topic.plainText != loaded.plainText;
    const bool titleThere = storedTitle != cutTitle, textThere = storedText != loaded.plainText;
    if ((titleHere && titleThere && storedTitle != store::CutToWidth(topic.title, titleWidth()))
        || (textHere && textThere && storedText != topic.plainText)) {
        // Both wrote: the stored words go on as a topic of their own.
        TopicCopy copy;
        if (readCopy(topic.key, &copy) != Read::Ok)
            return -1;
        copy.title = conflictTitle(storedTitle);
        bool removed = false;
        *conflictKey = paste(copy, stored.category, -1, &removed);
        if (*conflictKey == -1)
            return -1;
    } else {
        // What this editor left alone is what is stored now.
        if (!titleHere)
            topic.title = storedTitle;
        if (!textHere) {
            topic.body.reset();
            topic.plainText = storedText;
        }
    }
    if (topic.alarmType == loaded.alarmType && topic.alarmTime == loaded.alarmTime) {
        topic.alarmType = stored.alarmType.value_or(0);
        topic.alarmTime = stored.alarmTime.value_or(store::WallTime());
    }
    return save(topic);
}

QList<ListEntry> Topics::listOf(int category, bool *ok)
{
    m_store.dbNotes.clearErrors();
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT argomento, idArgomento FROM Argomenti WHERE idCategoria = ?1"));
    st.bind(1, qint64(category));
    QList<ListEntry> entries;
    while (st.step())
        entries.append({st.columnText(0), int(st.columnInt(1))});
    *ok = !st.failed();
    return *ok ? entries : QList<ListEntry>();
}

Found Topics::categoryOf(int key, int *category)
{
    m_store.dbNotes.clearErrors();
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT idCategoria FROM Argomenti WHERE idArgomento = ?1"));
    st.bind(1, qint64(key));
    if (!st.step())
        return st.failed() ? Found::Failed : Found::No;
    *category = int(st.columnInt(0));
    return Found::Yes;
}

Found Topics::rename(int key, const QString &title)
{
    m_store.dbNotes.clearErrors();
    const QString cut = store::CutToWidth(title, titleWidth());
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive() || !keepVersion(m_store, key, key, QStringLiteral("argomento IS NOT ?5"), QStringLiteral("1"), {cut}))
        return Found::Failed;
    Found found = writeByKey(m_store, QStringLiteral("UPDATE Argomenti SET argomento = ?1 WHERE idArgomento = ?2"),
                             {cut, qint64(key)});
    if (found == Found::Yes && !tx.commit())
        found = Found::Failed;
    if (found == Found::Yes)
        announce({TopicChange::Kind::Renamed, {key}, -1, title});
    return found;
}

Found Topics::remove(int key)
{
    m_store.dbNotes.clearErrors();
    store::Transaction tx(m_store.dbNotes);
    if (!tx.isActive() || !keepDeleted(m_store, key))
        return Found::Failed;
    Found found = writeByKey(m_store, QStringLiteral("DELETE FROM Argomenti WHERE idArgomento = ?1"), {qint64(key)});
    if (found == Found::Yes && !tx.commit())
        found = Found::Failed;
    // One already gone is gone for its listeners too.
    if (found != Found::Failed)
        announce({TopicChange::Kind::Removed, {key}, -1, QString()});
    return found;
}

void Topics::announce(const TopicChange &change)
{
    emit m_store.changes.topicsChanged(change);
}

} // namespace notes
