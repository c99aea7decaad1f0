#pragma once
// How the windows show dates and times: every format in one place. A moment
// in a message is day, month, two-digit year, hours and minutes
// ("dd/MM/yy HH:mm"), the same in every message.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace shown {
inline QString date() { return QStringLiteral("dd/MM/yy"); }
inline QString time() { return QStringLiteral("HH:mm"); }
// The clock window: the running clock, and the fields it is set in.
inline QString clockDate() { return QStringLiteral("dd/MM/yyyy"); }
inline QString clockTime() { return QStringLiteral("HH:mm:ss"); }
inline QString clockTimeField() { return QStringLiteral("HH.mm.ss"); }
} // namespace shown

// From a date and a time apart: a time the clocks skipped is shown as set.
inline QString ShownMoment(const QDate &date, const QTime &time)
{
    return date.toString(shown::date()) + QLatin1Char(' ') + time.toString(shown::time());
}

inline QString ShownMoment(const QDateTime &moment)
{
    return ShownMoment(moment.date(), moment.time());
}
