#pragma once
// A moment as the windows show it: day, month, two-digit year, hours and
// minutes ("dd/MM/yy HH:mm"), the same in every message.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// From a date and a time apart: a time the clocks skipped is shown as set.
inline QString ShownMoment(const QDate &date, const QTime &time)
{
    return date.toString(QStringLiteral("dd/MM/yy ")) + time.toString(QStringLiteral("HH:mm"));
}

inline QString ShownMoment(const QDateTime &moment)
{
    return ShownMoment(moment.date(), moment.time());
}
