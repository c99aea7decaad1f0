#pragma once
// The sync working copy of a data folder, a clone of the user's remote on
// the branch "notes": made when it is missing, and the notes published to
// it. Merging what other machines published comes before any of this is
// reachable from a window or the tool.

#include "sync/Git.h"
#include "sync/Snapshot.h"

#include <QString>

namespace gitsync {

class Repository final {
public:
    // machine names the commits made here.
    Repository(QString workTree, QString remote, QString machine);

    // A clone of the remote at the work tree when there is none yet; of an
    // empty remote, a working copy whose first push makes its branch.
    [[nodiscard]] bool prepare(QString *error);
    // Makes the working copy hold notes, commits what changed (nothing when
    // nothing did; *committed says which) and pushes it.
    [[nodiscard]] bool publish(const Notes &notes, bool *committed, QString *error);

private:
    bool run(const QStringList &args, QString *error, int deadlineMs = 60000) const;
    QString m_workTree;
    QString m_remote;
    QString m_machine;
    Git m_git;
};

} // namespace gitsync
