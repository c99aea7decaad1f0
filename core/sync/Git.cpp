#include "sync/Git.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

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

// What git said but its progress lines ("Writing objects: 40% (4/10)").
QString withoutProgress(const QString &said)
{
    static const QRegularExpression progress(QStringLiteral(
        "^(remote: )?(Enumerating|Counting|Compressing|Writing|Receiving|Resolving|Unpacking|Total|Delta|Finding)\\b"));
    QStringList kept;
    for (const QString &line : said.split(QLatin1Char('\n'))) {
        const QString last = line.section(QLatin1Char('\r'), -1).trimmed();
        if (!last.isEmpty() && !progress.match(last).hasMatch())
            kept << last;
    }
    return kept.join(QLatin1Char('\n'));
}

} // namespace

Git::Result Git::run(const QStringList &args, int deadlineMs, const QByteArray &input) const
{
    bool given = false;
    return run(args, deadlineMs, [&](QByteArray *part, bool *) {
        if (given || input.isEmpty())
            return false;
        given = true;
        *part = input;
        return true;
    });
}

Git::Result Git::run(const QStringList &args, int deadlineMs, const std::function<bool(QByteArray *part, bool *failed)> &next) const
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
    // The deadline is for a git that shows no sign of life: a first sync
    // of a large store may write for many minutes, its progress showing.
    QElapsedTimer idle;
    idle.start();
    QByteArray out, err;
    const auto drain = [&] {
        const QByteArray o = git.readAllStandardOutput(), e = git.readAllStandardError();
        if (!o.isEmpty() || !e.isEmpty())
            idle.restart();
        out += o;
        err += e;
    };
    const auto stalled = [&] { return idle.elapsed() >= deadlineMs; };
    // Each part written before the next is made: the input is never held
    // whole, however large.
    QByteArray part;
    bool failed = false;
    while (!stalled() && next(&part, &failed)) {
        git.write(part);
        idle.restart();
        while (git.bytesToWrite() > 0 && git.state() == QProcess::Running && !stalled()) {
            const qint64 before = git.bytesToWrite();
            git.waitForBytesWritten(100);
            if (git.bytesToWrite() < before)
                idle.restart();
            drain();
        }
    }
    if (failed) {
        git.kill();
        git.waitForFinished(5000);
        r.error = QStringLiteral("git %1 was given no input").arg(commandOf(args));
        return r;
    }
    git.closeWriteChannel();
    while (git.state() != QProcess::NotRunning && !stalled()) {
        git.waitForFinished(100);
        drain();
    }
    if (git.state() != QProcess::NotRunning) {
        git.kill();
        git.waitForFinished(5000);
        r.error = QStringLiteral("git %1 showed no progress for %2 s").arg(commandOf(args)).arg(qMax(1, (deadlineMs + 999) / 1000));
        return r;
    }
    drain();
    r.out = out;
    r.error = withoutProgress(QString::fromLocal8Bit(err));
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
