#pragma once
// The notes of a store as files of a sync working copy, and back: every
// topic and category with its global id, deleted topics as records that say
// when they were deleted (so that a deletion travels as a change).

#include "sync/Layout.h"

#include <QList>
#include <QString>

namespace store {
class NoteStore;
}

namespace gitsync {

struct Notes {
    QList<TopicRecord> topics;         // by guid
    QList<CategoryRecord> categories;  // by guid

    bool operator==(const Notes &) const = default;
};

// Every topic, deleted topic and category of the store, in one state of
// it. False, with the store's errors, on an engine error or in a file
// without global ids.
[[nodiscard]] bool readStore(store::NoteStore &store, Notes *notes);

// Makes the working copy at root hold notes and nothing else: files whose
// contents differ are written, those of records that are gone removed.
// False, with the reason, when a file cannot be written or removed.
[[nodiscard]] bool writeTree(const QString &root, const Notes &notes, QString *error);

// The records the working copy at root holds. False, with the file and the
// reason, for a file that is not a record.
[[nodiscard]] bool readTree(const QString &root, Notes *notes, QString *error);

} // namespace gitsync
