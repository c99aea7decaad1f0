#pragma once
// Copies and checks of the store that leave it as it is: a backup taken
// while the program may be writing, the integrity of the file and of its
// search index.

#include <QString>
#include <QStringList>

namespace store {
class NoteStore;
}

namespace notes {

// Gives a file its final name in a folder, never over one that is there:
// false, with errno set, when something has that name or the rename fails.
// File systems that refuse the atomic form (network and user-space ones)
// get a link and an unlink, or a rename after a look where links are
// refused too.
[[nodiscard]] bool renameNoReplace(int fromFolder, const char *from, int toFolder, const char *to);

// Copies the open store's file as it stands now (one state, taken through
// SQLite's online backup while others may write) to target, a new file,
// synced to the disk. False with a reason; nothing is left at target then.
[[nodiscard]] bool copyStore(store::NoteStore &store, const QString &target, QString *error);

// What the engine finds wrong in the file, read in one state of it; empty
// when it is sound. A check that cannot run is a problem too.
QStringList integrityProblems(store::NoteStore &store);

enum class IndexCheck { None, Sound, Damaged };
// Checks the search index of the open store. Its own check is a write
// statement to SQLite, which a reader cannot run and a writer would run
// holding back the program's saves for its whole length: it runs on a
// copy, beside the store where there is room for it, else in the temporary
// folder. None when the store has no index; Damaged with the reason when
// the index or the copy failed.
[[nodiscard]] IndexCheck checkTopicIndex(store::NoteStore &store, QString *why);

} // namespace notes
