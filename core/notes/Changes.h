#pragma once
// What changed in the notes, told to whoever lists or shows them, whoever
// made the change: a window, a drop of files, the command channel. Every
// write of the operations on topics and categories is announced once it is
// in the file (a refused write announces nothing).

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

namespace notes {

struct TopicChange {
    enum class Kind {
        Added,    // new topics in category (a paste, an import, a first save)
        Saved,    // an editor wrote every field of one topic
        Renamed,  // only the title
        Moved,    // the topics are in category now
        Removed,  // the topics are gone (or were already)
    };
    Kind kind = Kind::Saved;
    QList<int> keys;
    int category = -1;  // Added, Saved, Moved: the category they are in now
    QString title;      // Added (one topic), Saved, Renamed: as the user gave it
    bool alarm = false; // the alarm fields were written (an editor's save)
};

struct CategoryChange {
    enum class Kind { Added, Renamed, Removed };
    Kind kind = Kind::Added;
    int key = -1;
    QString name;  // Added, Renamed: as the user gave it
};

class Changes final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void topicsChanged(const notes::TopicChange &change);
    void categoriesChanged(const notes::CategoryChange &change);
    // Any topic or category may have changed, written by another connection
    // (a sync merging another machine's notes): what is shown is read again.
    // from: the topics whose state another machine made, each with its name.
    void changedElsewhere(const QHash<int, QString> &from);
};

} // namespace notes
