#pragma once
// A date and a time of day as the clock on the wall shows them: the form in
// which the store keeps its dates ("yyyy-MM-dd HH:mm:ss", local time). Not
// every reading names a moment: local time skips an hour in spring, and an
// alarm set in that hour keeps its time of day for the days after it.

#include <QDate>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QTime>

namespace store {

struct WallTime {
    QDate date;
    QTime time;

    // The local reading of a moment, to the second.
    static WallTime of(const QDateTime &moment);
    // Reads stored text; an invalid reading when the text is none of the
    // stored forms or lies outside the years the form can hold.
    static WallTime fromText(const QString &text);

    // A date of four-digit years (1 to 9999) and a time of day: what the
    // stored form can hold and read back.
    bool isValid() const;
    QString text() const;
    // The local moment the reading stands for. A reading in the hour skipped
    // in spring stands for the first moment after the skip; one in the hour
    // repeated in autumn for its first pass. Invalid for an invalid reading.
    QDateTime moment() const;

    bool operator==(const WallTime &) const = default;
};

} // namespace store

Q_DECLARE_METATYPE(store::WallTime)
