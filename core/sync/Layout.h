#pragma once
// How the notes stand in a sync repository, by global id, so that a change
// of a few topics rewrites a few small trees whatever the number of topics:
//   topics/<g0g1>/<g2g3>/<guid>.json   title, category, times, alarm, deletion,
//                                      plain text
//   topics/<g0g1>/<g2g3>/<guid>.rtf    the body as stored
//   categories/<guid>.json             name
// The JSON files hold one field a line, keys sorted, so that a person reading
// the host's history sees which field changed.

#include <QByteArray>
#include <QString>

namespace gitsync {

// A topic's fields as the repository holds them; times as the store writes
// them ("yyyy-MM-dd HH:mm:ss"), empty when there is none.
struct TopicRecord {
    QString guid;
    QString category;   // the category's guid
    QString title;
    QString updated;
    int alarmType = 0;
    QString alarmTime;
    QString deleted;    // when it was deleted: a topic deleted on one machine
    QString body;       // the stored body (RTF, or text another tool wrote)
    QString text;       // the body's plain text, as searches read it
    QString machine;    // where its state was last made; not part of it

    // The same state, wherever it was made.
    bool operator==(const TopicRecord &o) const
    {
        return guid == o.guid && category == o.category && title == o.title && updated == o.updated
            && alarmType == o.alarmType && alarmTime == o.alarmTime && deleted == o.deleted && body == o.body
            && text == o.text;
    }
};

struct CategoryRecord {
    QString guid;
    QString name;
    QString renamed;    // when the name was last given

    bool operator==(const CategoryRecord &) const = default;
};

// True for a global id as the store makes them: 32 lowercase hex digits.
bool isGuid(const QString &text);

// Paths inside the repository, from its root, with '/' separators.
QString topicMetaPath(const QString &guid);
QString topicBodyPath(const QString &guid);
QString categoryPath(const QString &guid);

QByteArray encodeTopic(const TopicRecord &topic);
// Reads the JSON of a topic (its body is read apart). False, with the
// reason, for a file that is not one.
[[nodiscard]] bool decodeTopic(const QByteArray &json, TopicRecord *topic, QString *error);

QByteArray encodeCategory(const CategoryRecord &category);
[[nodiscard]] bool decodeCategory(const QByteArray &json, CategoryRecord *category, QString *error);

} // namespace gitsync
