#include "db/WallTime.h"

namespace store {

namespace {

const QDate kFirstDay(1, 1, 1);
const QDate kLastDay(9999, 12, 31);

// A reading as a moment of UTC: its fields compare as the wall clock does.
QDateTime asUtc(const QDate &date, const QTime &time)
{
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

WallTime WallTime::of(const QDateTime &moment)
{
    if (!moment.isValid())
        return WallTime();
    const QDateTime local = moment.toLocalTime();
    const QTime t = local.time();
    return {local.date(), QTime(t.hour(), t.minute(), t.second())};
}

namespace {

// The digits at [from, from + count) as a number; -1 unless all are digits.
int digitsAt(const QString &s, qsizetype from, qsizetype count)
{
    int n = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c - u'0');
    }
    return n;
}

} // namespace

WallTime WallTime::fromText(const QString &text)
{
    // The form this program writes, read without the general parser, which
    // costs microseconds a reading: the scheduler reads every alarm's time.
    if (text.size() == 19 && text[4] == u'-' && text[7] == u'-' && text[10] == u' ' && text[13] == u':'
        && text[16] == u':') {
        const int y = digitsAt(text, 0, 4), mo = digitsAt(text, 5, 2), d = digitsAt(text, 8, 2);
        const int h = digitsAt(text, 11, 2), mi = digitsAt(text, 14, 2), sec = digitsAt(text, 17, 2);
        if (y >= 0 && mo >= 0 && d >= 0 && h >= 0 && mi >= 0 && sec >= 0) {
            const WallTime w{QDate(y, mo, d), QTime(h, mi, sec)};
            return w.isValid() ? w : WallTime();
        }
    }
    const QString s = text.trimmed();
    WallTime w;
    // Date and time are read apart: together, as a local moment, a time in
    // the skipped hour would not be read at all.
    if (s.size() == 19 && (s[10] == QLatin1Char(' ') || s[10] == QLatin1Char('T'))) {
        w.date = QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
        w.time = QTime::fromString(s.mid(11), QStringLiteral("HH:mm:ss"));
    } else if (s.size() == 10) {
        w.date = QDate::fromString(s, QStringLiteral("yyyy-MM-dd"));
        w.time = QTime(0, 0);
    } else {
        // Written by another tool: with fractions of a second or an offset.
        w = of(QDateTime::fromString(s, Qt::ISODateWithMs));
    }
    return w.isValid() ? w : WallTime();
}

bool WallTime::isValid() const
{
    return date.isValid() && time.isValid() && date >= kFirstDay && date <= kLastDay;
}

QString WallTime::text() const
{
    if (!isValid())
        return QString();
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
}

QDateTime WallTime::moment() const
{
    if (!isValid())
        return QDateTime();
    // Read against the offsets in force on either side of the date: a
    // reading that both give back lies in the repeated hour, and its first
    // pass is taken (asking for the local time itself picks either pass,
    // depending on what was asked before).
    const QDateTime wall = asUtc(date, time);
    const qint64 wallSecs = wall.toSecsSinceEpoch();
    const auto reads = [](qint64 secs) {
        const QDateTime local = QDateTime::fromSecsSinceEpoch(secs, Qt::LocalTime);
        return asUtc(local.date(), local.time());
    };
    const int before = QDateTime(date.addDays(-2), QTime(12, 0)).offsetFromUtc();
    const int after = QDateTime(date.addDays(2), QTime(12, 0)).offsetFromUtc();
    qint64 lo = wallSecs - qMax(before, after);
    qint64 hi = wallSecs - qMin(before, after);
    if (reads(lo) == wall)
        return QDateTime::fromSecsSinceEpoch(lo, Qt::LocalTime);
    if (reads(hi) == wall)
        return QDateTime::fromSecsSinceEpoch(hi, Qt::LocalTime);
    const QDateTime direct(date, time);
    if (direct.isValid() || lo >= hi || reads(lo) > wall || reads(hi) < wall)
        return direct;
    // In the hour skipped in spring: the wall clock steps from before the
    // reading to after it; the moment of the step is the one wanted.
    while (hi - lo > 1) {
        const qint64 mid = lo + (hi - lo) / 2;
        (reads(mid) < wall ? lo : hi) = mid;
    }
    return QDateTime::fromSecsSinceEpoch(hi, Qt::LocalTime);
}

} // namespace store
