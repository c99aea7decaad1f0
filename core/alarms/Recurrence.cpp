#include "alarms/Recurrence.h"

namespace alarms {

store::WallTime nthTime(const store::WallTime &first, int type, int n)
{
    store::WallTime out;
    switch (type) {
    case Daily:
        out = {first.date.addDays(n), first.time};
        break;
    case Weekly:
        out = {first.date.addDays(7 * qint64(n)), first.time};
        break;
    case Monthly:
        out = {first.date.addMonths(n), first.time};
        break;
    case Yearly:
        out = {first.date.addYears(n), first.time};
        break;
    default:
        return {};
    }
    return out.isValid() ? out : store::WallTime();
}

Advance advanceFired(const store::WallTime &at, int type, const QDateTime &now)
{
    Advance result{type, at, at, 1, false};
    if (type == OneTime) {
        result.type = Disabled;
        return result;
    }
    if (type < Daily || type > Yearly)
        return result;
    // Two days back is surely past in every zone; closer than that, the
    // reading is taken as a moment to compare.
    const QDate surelyPast = now.date().addDays(-2);
    for (;; ++result.due) {
        const store::WallTime next = nthTime(at, type, result.due);
        if (!next.isValid()) {
            // The stored form cannot hold it: this was the last time. Left
            // on, the alarm would stay due and ring at every tick.
            result.type = Disabled;
            result.calendarEnd = true;
            return result;
        }
        result.time = next;
        if (next.date >= surelyPast && next.moment() > now)
            return result;
    }
}

} // namespace alarms
