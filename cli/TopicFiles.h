#pragma once
// Topics to and from files, shared by the command-line tool and by a drop
// on the main window's list: an RTF or text file becomes a topic the way the
// editor would have saved it, and a title becomes a file name any file
// system takes. Reading RTF needs a QGuiApplication (fonts), not a display.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace store {
class NoteStore;
}

namespace topicfiles {

// True for the files import takes: names ending in .rtf or .txt, any case.
bool isImportable(const QString &path);

struct TopicFile {
    QString title;  // the file's name without its extension
    QString body;   // RTF, as the editor stores it
    QString text;   // the plain text kept for searching
};

// Reads an RTF file (one that is not RTF inside is read as text) or a text
// file in UTF-8, else Windows-1252. False, with a reason in English, when it
// cannot be read, is not text, or holds more than a topic keeps.
bool readTopicFile(const QString &path, TopicFile *topic, QString *error);

// Reads every file; false at the first that cannot be read.
bool readTopicFiles(const QStringList &paths, QList<TopicFile> *topics, QString *error);
// Adds the topics to the category in one transaction through the store's
// topic cursor, stamped with now: all of them or none. keys receives their
// keys in order. On failure error holds the engine's reason.
bool addTopics(store::NoteStore &store, int categoryId, const QList<TopicFile> &topics, const QDateTime &now,
               QList<int> *keys, QString *error);
// As addTopics, into the first category of that name, made in the same
// transaction when there is none: a failure leaves no empty category.
bool addTopicsNamed(store::NoteStore &store, const QString &category, const QList<TopicFile> &topics,
                    const QDateTime &now, QList<int> *keys, QString *error);
// Both: every file read, then all added, or nothing added.
bool importFiles(store::NoteStore &store, int categoryId, const QStringList &paths, const QDateTime &now,
                 QList<int> *keys, QString *error);

} // namespace topicfiles
