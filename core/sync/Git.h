#pragma once
// The user's own git program, run in a working copy: whatever reaches a
// remote on the user's command line (ssh agent and keys, ~/.ssh/config,
// credential helpers, URL rewrites) reaches it here the same way. It never
// asks anything: it runs without a terminal and within a deadline.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace gitsync {

class Git final {
public:
    // workTree: the folder git runs in (it need not exist before a clone).
    explicit Git(QString workTree) : m_workTree(std::move(workTree)) {}

    struct Result {
        int code = -1;      // git's exit code; -1 when it did not run or end
        QByteArray out;     // standard output
        QString error;      // standard error, or why it did not run or end
        bool ok() const { return code == 0; }
    };
    // Runs "git args" in the work tree, with input on its standard input,
    // and ends it once it has shown no progress (no output taken, no input
    // read) for deadlineMs.
    Result run(const QStringList &args, int deadlineMs = 60000, const QByteArray &input = {}) const;
    // The same with the input given in parts as the program takes them:
    // next fills its argument and says false when there is no more (or it
    // failed: *failed says so, and the program is ended).
    Result run(const QStringList &args, int deadlineMs, const std::function<bool(QByteArray *part, bool *failed)> &next) const;

    // The git program's version ("git version 2.39.5"); empty, with the
    // reason in *error, when there is no git to run.
    static QString version(QString *error);

private:
    QString m_workTree;
};

} // namespace gitsync
