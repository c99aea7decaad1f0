#pragma once
// Operations on topics by key, for the windows and the tool: each is one
// write to the store, whole or not at all. Failures leave the engine's
// error list in the store (NoteStore::errors()) for the caller to show.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include "db/WallTime.h"
#include "notes/Changes.h"

#include <functional>
#include <optional>

namespace store {
class NoteStore;
}

namespace notes {

// An entry of a list: the text shown and the key behind it.
struct ListEntry {
    QString text;
    int key;
};

// Whether an operation by key found its record.
enum class Found { Yes, No, Failed };

// What a copy of a topic takes with it.
struct TopicCopy {
    QString title;
    QVariant body;       // the stored RTF as it is (never null: an empty text)
    QString plainText;
    QDateTime updated;   // invalid for a topic never saved
};

// A topic to be added, as the editor would have saved it.
struct NewTopic {
    QString title;      // cut to the width the store gives titles
    QString body;       // RTF
    QString plainText;  // the text kept for searching
};

// A topic as stored. An empty field (never written) is told apart from an
// empty text where it matters to a comparison.
struct StoredTopic {
    int category = -1;
    std::optional<QString> title;
    QString body;  // RTF, or text written by another tool
    std::optional<QString> plainText;
    QDateTime updated;  // invalid when empty
    std::optional<int> alarmType;
    std::optional<store::WallTime> alarmTime;  // invalid when it cannot be read
};

// What an editor loaded: what its save is measured against.
struct LoadedState {
    QString title;
    QString plainText;
    int alarmType = 0;
    store::WallTime alarmTime;
};

// What an editor saves.
struct TopicSave {
    int key = -1;  // -1: a new topic
    int category = -1;
    QString title;                // cut to the width the store gives titles
    std::optional<QString> body;  // empty: the stored body is kept as it is
    QString plainText;
    QDateTime updated;
    store::WallTime alarmTime;
    int alarmType = 0;
};

class Topics final {
public:
    // The store is not owned and must outlive this object.
    explicit Topics(store::NoteStore &store) : m_store(store) {}

    enum class Read { Ok, Missing, Failed };
    // The topic's fields, read whole or not at all.
    [[nodiscard]] Read readCopy(int key, TopicCopy *copy);
    // Adds copy as a new topic of category and, when removeKey is not -1,
    // deletes that topic in the same write (completing a cut: the topic is
    // in one category or the other, never both or neither). *removed says
    // whether there was one to delete. The new key, or -1 on failure.
    [[nodiscard]] int paste(const TopicCopy &copy, int category, int removeKey, bool *removed);
    // Puts the topic into another category.
    [[nodiscard]] bool move(int key, int category);
    // Puts the topics into another category in one write: all or none.
    [[nodiscard]] bool moveAll(const QList<int> &keys, int category);

    // Adds the topics, stamped with now and without alarms, in one write:
    // all or none. Into category, or, when it is -1, into the first category
    // named categoryName, made in the same write when there is none. keys
    // receives their keys in order.
    [[nodiscard]] bool addMany(int category, const QString &categoryName, const QList<NewTopic> &topics,
                               const QDateTime &now, QList<int> *keys);

    // The whole topic.
    [[nodiscard]] Found load(int key, StoredTopic *topic);
    // Writes every field of the topic in one write (a new one is added); its
    // key, or -1 on failure (a topic deleted meanwhile is one).
    [[nodiscard]] int save(const TopicSave &topic);
    // Saves topic as save() does, measured against the state the editor
    // loaded: a field it left as loaded keeps what is stored now, which
    // another machine's change (a sync) may have written meanwhile. Where
    // both changed the title or the text, the stored state is first kept as
    // a topic of its own in the same category, titled by conflictTitle from
    // it (its key in *conflictKey, else -1). The key, or -1 on failure.
    [[nodiscard]] int saveAgainst(TopicSave topic, const LoadedState &loaded,
                                  const std::function<QString(const QString &storedTitle)> &conflictTitle, int *conflictKey);
    // The width the store gives titles (0: none).
    int titleWidth() const;

    // The titles and keys of a category's topics, in no particular order
    // (lists sort them themselves); no body is read. Empty on an engine error,
    // with ok false.
    [[nodiscard]] QList<ListEntry> listOf(int category, bool *ok);
    // The category a topic is in.
    [[nodiscard]] Found categoryOf(int key, int *category);
    // Gives the topic another title, cut to the width the store gives titles.
    [[nodiscard]] Found rename(int key, const QString &title);
    [[nodiscard]] Found remove(int key);

private:
    void announce(const TopicChange &change);
    store::NoteStore &m_store;
};

} // namespace notes
