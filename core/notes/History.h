#pragma once
// What changes replaced and deletes took away, kept in the store so that it
// can be brought back: every earlier state of a topic (a version) and every
// deleted topic. The operations on topics keep them in the same write as
// the change; this brings them back and, when the store is packed, lets the
// old ones go by a fixed rule.

#include "db/WallTime.h"
#include "notes/Topics.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace store {
class NoteStore;
}

namespace notes {

// One state a topic had before a change replaced it.
struct Version {
    qint64 id = -1;
    int topic = -1;
    QDateTime replaced;  // when a change replaced it
    QString machine;     // the machine that made that change
    int category = -1;
    QString title;
    QString body;        // RTF
    QString plainText;
    QDateTime updated;   // when this state was saved (invalid: never)
    int alarmType = 0;
    store::WallTime alarmTime;
};

// A line of a topic's history; no body is read for it.
struct VersionEntry {
    qint64 id = -1;
    QDateTime replaced;
    QDateTime updated;
    QString machine;
    QString title;
    QString start;  // the first lines of its text
};

// A line of the deleted topics.
struct DeletedTopic {
    int key = -1;         // the key it had, and gets back
    int category = -1;    // the category it was in
    QString categoryName; // that category's name then
    QString title;
    QDateTime deleted;
    QString machine;
};

// How long what was replaced or deleted is kept: every version for the
// first days, then the day's last one, then the month's last one; a
// deleted topic, with its versions, for a while.
struct Retention {
    int everyVersionDays = 30;
    int dailyVersionDays = 365;
    int deletedDays = 90;
};

class History final {
public:
    // The store is not owned and must outlive this object.
    explicit History(store::NoteStore &store) : m_store(store) {}

    // The topic's versions, newest first (a deleted topic's too). Empty with
    // ok false on an engine error.
    [[nodiscard]] QList<VersionEntry> versionsOf(int topic, bool *ok);
    // One version whole.
    [[nodiscard]] Found version(qint64 id, Version *version);
    // Makes the version its topic's title, text, category and alarm, stamped
    // with now; the state it replaces becomes a version in the same write.
    // No when the version or its topic is gone.
    [[nodiscard]] Found restore(qint64 id);
    // Adds the version as a new topic of category (-1: the category its
    // topic is in now, else the version's own), stamped with now and without
    // its alarm. The new key, or -1 on failure.
    [[nodiscard]] int restoreAsNew(qint64 id, int category);

    // The deleted topics whose title or text matches pattern (wildcards as
    // Find in topics takes them, looked for anywhere; empty: all), the last
    // deleted first. Empty with ok false on an engine error.
    [[nodiscard]] QList<DeletedTopic> deleted(const QString &pattern, bool *ok);
    // Brings the deleted topics back under their keys, in one write: all or
    // none. Into category, or when it is -1 each into its own: the category
    // of that key, else the first one of that name, else one made again
    // with that name. Keys no longer deleted are passed over; restored gets
    // those brought back.
    [[nodiscard]] bool undelete(const QList<int> &keys, int category, QList<int> *restored);

    // What pruning let go.
    struct Pruned {
        qint64 versions = 0;
        qint64 deletedTopics = 0;
    };
    // Lets go, in one write, of the versions and deleted topics the rule no
    // longer keeps at now.
    [[nodiscard]] bool prune(const QDateTime &now, const Retention &rule, Pruned *pruned);

private:
    store::NoteStore &m_store;
};

} // namespace notes
