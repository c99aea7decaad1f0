#pragma once
// The alarms of all topics as one queue: which one comes next, and moving
// a fired one on in the store, whether or not its topic is open anywhere.
// The windows only show what it says: they bring the topic forward, play
// the sound and send the notification.

#include "alarms/Recurrence.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

namespace store {
class NoteStore;
}

namespace alarms {

class AlarmQueue final {
public:
    // The store is not owned and must outlive the queue.
    explicit AlarmQueue(store::NoteStore &store) : m_store(store) {}

    struct Next {
        int topic = -1;  // -1: no alarm in view
        QDateTime when;
    };
    // An alarm whose stored time cannot be read (a year past 9999 written by
    // an older version): never due, and said once per run.
    struct Unreadable {
        int topic;
        QString title;
        QString text;  // the stored time as it stands
    };
    // The earliest alarm of all topics that are not held, among equal
    // moments the first read; an empty time counts as now. False on an
    // engine error (the store's error list says which). newlyUnreadable
    // receives the alarms left out that were not reported before.
    [[nodiscard]] bool next(const QDateTime &now, Next *next, QList<Unreadable> *newlyUnreadable);

    struct Fired : Advance {
        bool failed = false;  // the topic could not be read: nothing was done, try again
        bool found = false;   // the topic exists
        bool stored = false;  // its two alarm fields were written
        QString title;
    };
    // Moves topic's fired alarm on and writes only its two alarm fields.
    // stored is false, with the store's error list saying why, when the
    // write was refused: the alarm is then held, as it would stay due.
    [[nodiscard]] Fired advance(int topic, const QDateTime &now);

    // A held alarm is left out of next() for the rest of the run; one that
    // is saved anew takes part again.
    void hold(int topic) { m_held.insert(topic); }
    void release(int topic) { m_held.remove(topic); }

private:
    store::NoteStore &m_store;
    QSet<int> m_held;
    QSet<int> m_unreadableTold;
};

} // namespace alarms
