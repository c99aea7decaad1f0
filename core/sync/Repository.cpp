#include "sync/Repository.h"

#include <QDir>
#include <QFileInfo>

namespace gitsync {

namespace {
const QString kBranch = QStringLiteral("notes");
} // namespace

Repository::Repository(QString workTree, QString remote, QString machine)
    : m_workTree(std::move(workTree)), m_remote(std::move(remote)), m_machine(std::move(machine)), m_git(m_workTree)
{
}

bool Repository::run(const QStringList &args, QString *error, int deadlineMs) const
{
    const Git::Result r = m_git.run(args, deadlineMs);
    if (!r.ok())
        *error = r.error.isEmpty() ? QStringLiteral("git %1 failed").arg(args.value(0)) : r.error;
    return r.ok();
}

bool Repository::prepare(QString *error)
{
    if (QFileInfo::exists(m_workTree + QStringLiteral("/.git")))
        return true;
    // Only the user can read the notes' copy.
    if (!QDir().mkpath(m_workTree)
        || !QFile::setPermissions(m_workTree, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        *error = QStringLiteral("cannot make %1").arg(m_workTree);
        return false;
    }
    return run({QStringLiteral("init"), QStringLiteral("-q"), QStringLiteral("-b"), kBranch}, error)
        && run({QStringLiteral("config"), QStringLiteral("user.name"), m_machine}, error)
        && run({QStringLiteral("config"), QStringLiteral("user.email"), QStringLiteral("quorvel@localhost")}, error)
        && run({QStringLiteral("remote"), QStringLiteral("add"), QStringLiteral("origin"), m_remote}, error)
        && run({QStringLiteral("fetch"), QStringLiteral("-q"), QStringLiteral("origin")}, error, 300000)
        // A remote that has the branch already: the copy starts from it.
        && (!m_git.run({QStringLiteral("rev-parse"), QStringLiteral("-q"), QStringLiteral("--verify"),
                        QStringLiteral("origin/") + kBranch}).ok()
            || run({QStringLiteral("reset"), QStringLiteral("-q"), QStringLiteral("--hard"), QStringLiteral("origin/") + kBranch},
                   error));
}

bool Repository::publish(const Notes &notes, bool *committed, QString *error)
{
    *committed = false;
    if (!writeTree(m_workTree, notes, error) || !run({QStringLiteral("add"), QStringLiteral("-A")}, error))
        return false;
    // "diff --cached --quiet" ends with 1 when something is staged.
    const Git::Result staged = m_git.run({QStringLiteral("diff"), QStringLiteral("--cached"), QStringLiteral("--quiet")});
    if (staged.code != 0 && staged.code != 1) {
        *error = staged.error;
        return false;
    }
    if (staged.code == 1) {
        if (!run({QStringLiteral("commit"), QStringLiteral("-q"), QStringLiteral("-m"),
                  QStringLiteral("Notes from %1").arg(m_machine)},
                 error))
            return false;
        *committed = true;
    } else if (!m_git.run({QStringLiteral("rev-parse"), QStringLiteral("-q"), QStringLiteral("--verify"),
                           QStringLiteral("HEAD")}).ok()) {
        return true;  // no notes yet, here or there: nothing to push
    }
    return run({QStringLiteral("push"), QStringLiteral("-q"), QStringLiteral("origin"), kBranch}, error, 300000);
}

} // namespace gitsync
