#include "alarms/AlarmQueue.h"

#include "notes/NoteStore.h"
#include "db/Sqlite.h"

#include <optional>
#include <vector>

namespace alarms {

bool AlarmQueue::next(const QDateTime &now, Next *next, QList<Unreadable> *newlyUnreadable)
{
    *next = Next();
    // The alarm index holds every column read here: the topics' rows, and
    // the long texts stored in them, are not read.
    store::Statement st(m_store.dbNotes, QStringLiteral("SELECT idArgomento, DataOraAllarme FROM ARGOMENTI "
                                                        "WHERE TIPOALLARME > 0 ORDER BY DATAORAALLARME"));
    // Taking a reading as a local moment is slow, and a store may hold
    // thousands of alarms; but a later reading never stands for an earlier
    // moment (a skipped hour goes forward, a repeated one takes its first
    // pass), so only the readings within a few hours of the earliest one
    // are taken as moments, and an empty time, which loads as now.
    struct Candidate {
        int topic;
        bool empty;
        store::WallTime reading;
    };
    std::vector<Candidate> candidates;
    const auto before = [](const store::WallTime &a, const store::WallTime &b) {
        return a.date < b.date || (a.date == b.date && a.time < b.time);
    };
    std::optional<store::WallTime> first;
    while (st.step()) {
        const int topic = int(st.columnInt(0));
        if (m_held.contains(topic))
            continue;
        if (st.isNull(1)) {
            candidates.push_back({topic, true, {}});
            continue;
        }
        const QString text = st.columnText(1);
        const store::WallTime reading = store::WallTime::fromText(text);
        if (!reading.isValid()) {
            // Never due: it would ring at every tick.
            if (!m_unreadableTold.contains(topic)) {
                m_unreadableTold.insert(topic);
                store::Statement title(m_store.dbNotes,
                                       QStringLiteral("SELECT argomento FROM Argomenti WHERE idArgomento = ?1"));
                title.bind(1, qint64(topic));
                newlyUnreadable->append({topic, title.step() ? title.columnText(0) : QString(), text});
            }
            continue;
        }
        if (!first || before(reading, *first))
            first = reading;
        candidates.push_back({topic, false, reading});
    }
    if (st.failed())
        return false;
    // No shift of local time is longer than this.
    const QDateTime window = first ? QDateTime(first->date, first->time, Qt::UTC).addSecs(3 * 3600) : QDateTime();
    for (const Candidate &c : candidates) {
        if (!c.empty && QDateTime(c.reading.date, c.reading.time, Qt::UTC) > window)
            continue;
        const QDateTime when = c.empty ? now : c.reading.moment();
        if (next->topic == -1 || when < next->when)
            *next = {c.topic, when};
    }
    return true;
}

AlarmQueue::Fired AlarmQueue::advance(int topic, const QDateTime &now)
{
    Fired fired;
    store::Statement read(m_store.dbNotes, QStringLiteral("SELECT argomento, TipoAllarme, DataOraAllarme FROM Argomenti "
                                                          "WHERE idArgomento = ?1"));
    read.bind(1, qint64(topic));
    if (!read.step()) {
        fired.failed = read.failed();
        // Deleted since it came into view: nothing to move on.
        if (!fired.failed)
            hold(topic);
        return fired;
    }
    fired.found = true;
    fired.title = read.columnText(0);
    // An empty time loads as the moment of loading.
    const store::WallTime at = read.isNull(2) ? store::WallTime::of(now) : store::WallTime::fromText(read.columnText(2));
    static_cast<Advance &>(fired) = advanceFired(at, int(read.columnInt(1)), now);
    m_store.dbNotes.clearErrors();
    store::Statement write(m_store.dbNotes, QStringLiteral("UPDATE Argomenti SET DataOraAllarme = ?1, TipoAllarme = ?2 "
                                                           "WHERE idArgomento = ?3"));
    write.bind(1, fired.time.text());
    write.bind(2, qint64(fired.type));
    write.bind(3, qint64(topic));
    fired.stored = write.run();
    if (!fired.stored)
        hold(topic);
    return fired;
}

} // namespace alarms
