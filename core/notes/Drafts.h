#pragma once
// Drafts of open editors (table Bozze), apart from the topics: written while
// the user types, read back at the next start when the program ended
// without saving.

#include "db/WallTime.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace store {
class NoteStore;
}

namespace notes {

// What an open editor held when it was last written down: enough to put
// the same editor back after the program ended without saving.
struct Draft {
    qint64 id = -1;
    int topicId = -1;          // -1: a new topic
    int categoryId = -1;
    QString title;
    QString body;              // RTF
    int alarmType = 0;
    store::WallTime alarmTime;
    QDateTime topicUpdated;    // the topic's last update when it was loaded
    QDateTime taken;           // when the draft was written
};

class Drafts final {
public:
    // The store is not owned and must outlive this object.
    explicit Drafts(store::NoteStore &store) : m_store(store) {}

    // False where the file cannot hold drafts (read-only, or too old to be
    // brought up to date).
    bool available() const;
    // True while another write is under way (a command's transaction): a
    // draft written inside it would share its fate, so it waits.
    bool otherWriteUnderWay() const;
    // Writes the draft, as a new one when its id is -1 (the id is then
    // set). Refused, writing nothing, while another write is under way; on
    // failure the topics are untouched and the store's errors tell why.
    [[nodiscard]] bool write(Draft &draft);
    // Removes a draft; true when it is gone (or never was).
    [[nodiscard]] bool remove(qint64 id);
    // Every draft in the order written; ok false on a read error.
    QList<Draft> all(bool *ok);

private:
    bool writeRow(Draft &draft);
    store::NoteStore &m_store;
};

} // namespace notes
