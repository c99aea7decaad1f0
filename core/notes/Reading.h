#pragma once
// Reads for another process than the program (the command-line tool): one
// state of the file held for a whole command, every topic in the order of
// its category, the line a found topic is listed with. Nothing here writes.

#include <QHash>
#include <QString>

#include <functional>
#include <memory>

namespace store {
class NoteStore;
class Statement;
}

namespace notes {

// One state of the file for every read until it ends, however others
// write meanwhile.
class ReadSnapshot final {
public:
    explicit ReadSnapshot(store::NoteStore &store);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

private:
    store::NoteStore &m_store;
};

// A topic with every field, times as stored (empty when never set).
struct TopicRecord {
    qint64 key = 0;
    qint64 category = 0;
    QString title;
    QString body;       // RTF, or text written by another tool
    QString plainText;
    QString updated;
    int alarmType = 0;
    QString alarm;
};

// The name of every category by key. False on an engine error.
[[nodiscard]] bool categoryNames(store::NoteStore &store, QHash<qint64, QString> *names);
// How many topics there are. False on an engine error.
[[nodiscard]] bool topicCount(store::NoteStore &store, qint64 *count);
// Calls visit with every topic, by category key then topic key, one at a
// time (a million topics are never held together) until it returns false.
// False on an engine error.
[[nodiscard]] bool forEachTopic(store::NoteStore &store, const std::function<bool(const TopicRecord &)> &visit);

// What a found topic is listed with: its category's name, title and last
// update as stored (turning it into a time and back would ask the system
// for its time zone at every line).
struct TopicLine {
    QString category;
    QString title;
    QString updated;
};

// Reads the lines of many topics through one prepared statement.
class TopicLines final {
public:
    explicit TopicLines(store::NoteStore &store);
    ~TopicLines();
    TopicLines(const TopicLines &) = delete;
    TopicLines &operator=(const TopicLines &) = delete;
    // False when the topic is gone or on an engine error.
    [[nodiscard]] bool read(qint64 key, TopicLine *line);

private:
    std::unique_ptr<store::Statement> m_statement;
};

} // namespace notes
