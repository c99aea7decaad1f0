#include "sync/Merge.h"

#include "alarms/Recurrence.h"

#include <algorithm>

namespace gitsync {

namespace {

template <typename T>
std::optional<T> find(const QHash<QString, T> &records, const QString &id)
{
    const auto it = records.constFind(id);
    return it == records.constEnd() ? std::nullopt : std::optional<T>(*it);
}

// A one-time alarm that rang on that side: switched off, its time kept.
bool rang(const TopicRecord &base, const TopicRecord &side)
{
    return base.alarmType == alarms::OneTime && side.alarmType == alarms::Disabled && side.alarmTime == base.alarmTime;
}

// Both sides changed the alarm, each its own way.
void mergeAlarm(const TopicRecord &base, const TopicRecord &ours, const TopicRecord &theirs, TopicRecord *result)
{
    const auto take = [result](const TopicRecord &side) {
        result->alarmType = side.alarmType;
        result->alarmTime = side.alarmTime;
    };
    if (rang(base, ours) || rang(base, theirs)) {
        // Rung anywhere is off everywhere, unless the other side set a new time.
        const TopicRecord &other = rang(base, ours) ? theirs : ours;
        take(other.alarmTime != base.alarmTime && !rang(base, other) ? other : (rang(base, ours) ? ours : theirs));
    } else if (ours.alarmType == theirs.alarmType && ours.alarmType != alarms::Disabled) {
        // A repeating alarm advanced on both: the later next time, so that it
        // does not ring again for a time one of them rang for.
        take(ours.alarmTime >= theirs.alarmTime ? ours : theirs);
    } else {
        take(theirs.updated > ours.updated ? theirs : ours);
    }
}

// The value of a field both sides may have changed: the changed one; nothing
// when both changed it differently.
template <typename Value>
std::optional<Value> oneSided(const Value &base, const Value &ours, const Value &theirs)
{
    if (ours == theirs || theirs == base)
        return ours;
    if (ours == base)
        return theirs;
    return std::nullopt;
}

} // namespace

TopicMerge mergeTopic(const std::optional<TopicRecord> &base, std::optional<TopicRecord> ours,
                      std::optional<TopicRecord> theirs)
{
    if (!ours)
        ours = base;
    if (!theirs)
        theirs = base;
    if (!ours || !theirs)
        return {ours ? ours : theirs, std::nullopt};
    if (*ours == *theirs || (base && *theirs == *base))
        return {ours, std::nullopt};
    if (base && *ours == *base)
        return {theirs, std::nullopt};
    // Both changed it. A record both made apart is compared field by field
    // with nothing.
    TopicRecord nothing;
    nothing.guid = ours->guid;
    const TopicRecord b = base ? *base : nothing;
    const bool oursDeleted = !ours->deleted.isEmpty(), theirsDeleted = !theirs->deleted.isEmpty();
    if (oursDeleted && theirsDeleted)
        return {theirs->deleted > ours->deleted ? theirs : ours, std::nullopt};
    if (oursDeleted != theirsDeleted)
        return {oursDeleted ? theirs : ours, std::nullopt};  // the change wins: it comes back
    TopicRecord r = *ours;
    if (const auto category = oneSided(b.category, ours->category, theirs->category))
        r.category = *category;
    r.updated = std::max(ours->updated, theirs->updated);
    const auto alarm = oneSided(std::pair(b.alarmType, b.alarmTime), std::pair(ours->alarmType, ours->alarmTime),
                                std::pair(theirs->alarmType, theirs->alarmTime));
    if (alarm) {
        r.alarmType = alarm->first;
        r.alarmTime = alarm->second;
    } else {
        mergeAlarm(b, *ours, *theirs, &r);
    }
    const auto title = oneSided(b.title, ours->title, theirs->title);
    const auto text = oneSided(std::pair(b.body, b.text), std::pair(ours->body, ours->text),
                               std::pair(theirs->body, theirs->text));
    if (title && text) {
        r.title = *title;
        r.body = text->first;
        r.text = text->second;
        return {r, std::nullopt};
    }
    // Both wrote: this side's words stay here, the remote's become a topic
    // of their own beside them.
    TopicRecord kept = *theirs;
    kept.category = r.category;
    return {r, kept};
}

std::optional<CategoryRecord> mergeCategory(const std::optional<CategoryRecord> &base,
                                            const std::optional<CategoryRecord> &ours,
                                            const std::optional<CategoryRecord> &theirs, QString *otherName)
{
    otherName->clear();
    if (ours == theirs || theirs == base)
        return ours;
    if (ours == base)
        return theirs;
    if (!ours || !theirs)
        return ours ? ours : theirs;  // a name given wins over a deletion
    if (ours->name == theirs->name)
        return ours->renamed >= theirs->renamed ? ours : theirs;
    const bool oursLater = ours->renamed >= theirs->renamed;
    *otherName = oursLater ? theirs->name : ours->name;
    return oursLater ? ours : theirs;
}

CategoriesMerged mergeCategories(const QSet<QString> &ids, const Records &base, const Records &ours,
                                 const Records &theirs)
{
    CategoriesMerged m;
    QList<QString> sorted(ids.begin(), ids.end());
    std::sort(sorted.begin(), sorted.end());
    for (const QString &id : sorted) {
        QString lost;
        if (const auto c = mergeCategory(find(base.categories, id), find(ours.categories, id), find(theirs.categories, id),
                                         &lost))
            m.result.insert(id, *c);
        if (!lost.isEmpty())
            m.namesLost.append(lost);
    }
    const auto madeHere = [&](const QString &id) {
        return !base.categories.contains(id) && ours.categories.contains(id) && !theirs.categories.contains(id);
    };
    const auto madeThere = [&](const QString &id) {
        return !base.categories.contains(id) && theirs.categories.contains(id) && !ours.categories.contains(id);
    };
    for (const QString &id : sorted) {
        const auto mine = m.result.constFind(id);
        if (mine == m.result.constEnd() || !madeHere(id))
            continue;
        for (auto other = m.result.cbegin(); other != m.result.cend(); ++other)
            if (madeThere(other.key()) && other->name.compare(mine->name, Qt::CaseInsensitive) == 0) {
                m.joined.insert(std::max(id, other.key()), std::min(id, other.key()));
                break;
            }
    }
    for (auto it = m.joined.cbegin(); it != m.joined.cend(); ++it)
        m.result.remove(it.key());
    return m;
}

} // namespace gitsync
