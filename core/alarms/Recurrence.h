#pragma once
// How an alarm moves on once it has rung: pure functions of its stored
// time, its type and the present moment.

#include "db/WallTime.h"

namespace alarms {

// The types of alarm, as the store keeps them.
enum Type { Disabled = 0, OneTime = 1, Daily = 2, Weekly = 3, Monthly = 4, Yearly = 5 };

// n periods on from first, keeping the time of day. A month or a year keeps
// first's day of the month where the target month has it, else takes its
// last day (31 January + 1 month = 28 or 29 February, + 2 months = 31
// March). Invalid past the year 9999, and for a type that does not recur.
store::WallTime nthTime(const store::WallTime &first, int type, int n);

// What a fired alarm becomes.
struct Advance {
    int type = Disabled;       // afterwards: a one-time alarm, or one past the calendar, is switched off
    store::WallTime time;      // afterwards: ahead of now, or the last time it had
    store::WallTime firstDue;  // the time it rang for
    int due = 0;               // how many of its times had come, all caught up in this firing
    bool calendarEnd = false;  // its next time lay past the year 9999
};
// A recurring alarm moves on by one period, and by as many more as have
// also come, so that its next time lies ahead of now (counted from at, so
// the day of the month is kept across short months). Past the calendar's
// end it is switched off and keeps its last time.
Advance advanceFired(const store::WallTime &at, int type, const QDateTime &now);

} // namespace alarms
