#include "sync/Git.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include <unistd.h>

namespace gitsync {

namespace {

QProcessEnvironment quietEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No question on a terminal, none from a credential prompt: a remote
    // that wants one is an error to tell, not a wait.
    env.insert(QStringLiteral("GIT_TERMINAL_PROMPT"), QStringLiteral("0"));
    // Messages in English, whatever the locale: they are shown as reasons.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.remove(QStringLiteral("GIT_DIR"));
    env.remove(QStringLiteral("GIT_WORK_TREE"));
    return env;
}

// The git command of args ("push" in "-c a=b push origin"), to name it in a
// message without its arguments, which may hold a remote's address.
QString commandOf(const QStringList &args)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("-c") || args[i] == QLatin1String("-C"))
            ++i;
        else if (!args[i].startsWith(QLatin1Char('-')))
            return args[i];
    }
    return QString();
}

} // namespace

Git::Result Git::run(const QStringList &args, int deadlineMs, const QByteArray &input) const
{
    Result r;
    QProcess git;
    git.setProgram(QStringLiteral("git"));
    git.setArguments(args);
    if (QDir(m_workTree).exists())
        git.setWorkingDirectory(m_workTree);
    git.setProcessEnvironment(quietEnvironment());
    // A session of its own: ssh finds no terminal to ask a password on.
    git.setChildProcessModifier([] { ::setsid(); });
    git.start();
    if (!git.waitForStarted(10000)) {
        r.error = git.errorString();
        return r;
    }
    if (!input.isEmpty())
        git.write(input);
    git.closeWriteChannel();
    if (!git.waitForFinished(deadlineMs)) {
        git.kill();
        git.waitForFinished(5000);
        r.error = QStringLiteral("git %1 did not end within %2 s").arg(commandOf(args)).arg(qMax(1, (deadlineMs + 999) / 1000));
        return r;
    }
    r.out = git.readAllStandardOutput();
    r.error = QString::fromLocal8Bit(git.readAllStandardError()).trimmed();
    r.code = git.exitStatus() == QProcess::NormalExit ? git.exitCode() : -1;
    return r;
}

QString Git::version(QString *error)
{
    const Result r = Git(QDir::tempPath()).run({QStringLiteral("--version")}, 10000);
    if (!r.ok()) {
        *error = r.error;
        return QString();
    }
    return QString::fromUtf8(r.out).trimmed();
}

} // namespace gitsync
