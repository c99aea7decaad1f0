#include "sync/Repository.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace gitsync {

namespace {

const QString kRemoteBranch = QStringLiteral("refs/remotes/origin/notes");
// Where a new commit is made before it is pushed: never a branch with a
// past of its own, so that a first commit has no parent.
const QString kNewCommit = QStringLiteral("refs/quorvel/new");
constexpr int kNetworkDeadline = 300000;

// The id a record's file is named by: "topics/01/23/<id>.json" -> "<id>".
QString idOfPath(const QByteArray &path)
{
    const QString name = QString::fromUtf8(path).section(QLatin1Char('/'), -1);
    const QString id = name.section(QLatin1Char('.'), 0, 0);
    return isGuid(id) ? id : QString();
}

// A name git takes in an author line.
QString authorName(const QString &machine)
{
    QString name = machine;
    name.remove(QLatin1Char('<')).remove(QLatin1Char('>')).remove(QLatin1Char('\n'));
    return name.trimmed().isEmpty() ? QStringLiteral("unknown") : name.trimmed();
}

} // namespace

Repository::Repository(QString gitDir, QString remote)
    : m_gitDir(std::move(gitDir)), m_remote(std::move(remote)), m_git(m_gitDir)
{
}

bool Repository::run(const QStringList &args, QString *error, QByteArray *out, int deadlineMs, const QByteArray &input) const
{
    const Git::Result r = m_git.run(args, deadlineMs, input);
    if (!r.ok()) {
        *error = r.error.isEmpty() ? QStringLiteral("git %1 failed").arg(args.value(0)) : r.error;
        return false;
    }
    if (out)
        *out = r.out;
    return true;
}

bool Repository::prepare(QString *error)
{
    if (!QFileInfo::exists(m_gitDir + QStringLiteral("/HEAD"))) {
        // Only the user can read the notes' copy.
        if (!QDir().mkpath(m_gitDir)
            || !QFile::setPermissions(m_gitDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
            *error = QStringLiteral("cannot make %1").arg(m_gitDir);
            return false;
        }
        if (!run({QStringLiteral("init"), QStringLiteral("-q"), QStringLiteral("--bare"), QStringLiteral("-b"),
                  QStringLiteral("notes")},
                 error))
            return false;
    }
    const Git::Result url = m_git.run({QStringLiteral("remote"), QStringLiteral("get-url"), QStringLiteral("origin")});
    if (url.ok() && QString::fromUtf8(url.out).trimmed() == m_remote)
        return true;
    return run({QStringLiteral("remote"), url.ok() ? QStringLiteral("set-url") : QStringLiteral("add"),
                QStringLiteral("origin"), m_remote},
               error);
}

void Repository::removeStaleLocks() const
{
    QDirIterator locks(m_gitDir, {QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (locks.hasNext()) {
        const QString path = locks.next();
        if (!path.endsWith(QLatin1String("/quorvel.lock")))
            QFile::remove(path);
    }
}

bool Repository::fetch(QString *error)
{
    // Its progress is its sign of life on a slow link.
    return run({QStringLiteral("fetch"), QStringLiteral("--progress"), QStringLiteral("--prune"), QStringLiteral("origin")},
               error, nullptr, kNetworkDeadline);
}

bool Repository::remoteHead(QString *commit, QString *error) const
{
    const Git::Result r = m_git.run({QStringLiteral("rev-parse"), QStringLiteral("-q"), QStringLiteral("--verify"),
                                     kRemoteBranch + QStringLiteral("^{commit}")});
    // rev-parse ends with 1, saying nothing, for a branch that is not there.
    if (r.code != 0 && (r.code != 1 || !r.error.isEmpty())) {
        *error = r.error.isEmpty() ? QStringLiteral("git rev-parse failed") : r.error;
        return false;
    }
    *commit = r.ok() ? QString::fromLatin1(r.out).trimmed() : QString();
    return true;
}

bool Repository::hasCommit(const QString &commit) const
{
    return !commit.isEmpty()
        && m_git.run({QStringLiteral("cat-file"), QStringLiteral("-e"), commit + QStringLiteral("^{commit}")}).ok();
}

bool Repository::changedIds(const QString &from, const QString &to, QSet<QString> *topics, QSet<QString> *categories,
                            QString *error) const
{
    topics->clear();
    categories->clear();
    if (to.isEmpty() || from == to)
        return true;
    QByteArray out;
    const QStringList args = from.isEmpty()
        ? QStringList{QStringLiteral("ls-tree"), QStringLiteral("-r"), QStringLiteral("--name-only"), QStringLiteral("-z"), to}
        : QStringList{QStringLiteral("diff-tree"), QStringLiteral("-r"), QStringLiteral("--name-only"),
                      QStringLiteral("--no-renames"), QStringLiteral("-z"), from, to};
    if (!run(args, error, &out))
        return false;
    for (const QByteArray &path : out.split('\0')) {
        const QString id = idOfPath(path);
        if (!id.isEmpty())
            (path.startsWith("categories/") ? categories : topics)->insert(id);
    }
    return true;
}

bool Repository::read(const QString &commit, const QSet<QString> &ids, Records *records, QString *error) const
{
    *records = {};
    if (commit.isEmpty() || ids.isEmpty())
        return true;
    // Three files may hold an id: a topic's two, or a category's.
    QList<QString> asked;
    QByteArray input;
    for (const QString &id : ids)
        for (const QString &path : {topicMetaPath(id), topicBodyPath(id), categoryPath(id)}) {
            asked.append(path);
            input += (commit + QLatin1Char(':') + path + QLatin1Char('\n')).toUtf8();
        }
    QByteArray out;
    if (!run({QStringLiteral("cat-file"), QStringLiteral("--batch")}, error, &out, kNetworkDeadline, input))
        return false;
    // Each answer: "<id> blob <size>\n<bytes>\n", or "<what> missing\n".
    QHash<QString, QByteArray> files;
    qsizetype at = 0;
    for (const QString &path : asked) {
        const qsizetype end = out.indexOf('\n', at);
        if (end < 0) {
            *error = QStringLiteral("git cat-file ended early");
            return false;
        }
        const QList<QByteArray> head = out.mid(at, end - at).split(' ');
        at = end + 1;
        if (head.size() != 3)
            continue;  // not in that commit
        const qsizetype size = head[2].toLongLong();
        files.insert(path, out.mid(at, size));
        at += size + 1;
    }
    for (const QString &id : ids) {
        QString why;
        if (files.contains(topicMetaPath(id))) {
            TopicRecord t;
            if (!decodeTopic(files.value(topicMetaPath(id)), &t, &why) || t.guid != id) {
                *error = QStringLiteral("%1: %2").arg(topicMetaPath(id), why.isEmpty() ? QStringLiteral("another id") : why);
                return false;
            }
            t.body = QString::fromUtf8(files.value(topicBodyPath(id)));
            records->topics.insert(id, t);
        } else if (files.contains(categoryPath(id))) {
            CategoryRecord c;
            if (!decodeCategory(files.value(categoryPath(id)), &c, &why) || c.guid != id) {
                *error = QStringLiteral("%1: %2").arg(categoryPath(id), why.isEmpty() ? QStringLiteral("another id") : why);
                return false;
            }
            records->categories.insert(id, c);
        }
    }
    return true;
}

bool Repository::commit(const QString &parent, const Files &files, const QString &machine, QString *commit,
                        QString *error) const
{
    commit->clear();
    // fast-import reads only the trees the changed paths lie in.
    const QByteArray who = QStringLiteral("%1 <quorvel@localhost> %2 +0000")
                               .arg(authorName(machine))
                               .arg(QDateTime::currentSecsSinceEpoch())
                               .toUtf8();
    const QByteArray message = QStringLiteral("Notes from %1\n").arg(authorName(machine)).toUtf8();
    QByteArray header = "reset " + kNewCommit.toUtf8() + "\n\ncommit " + kNewCommit.toUtf8() + "\nmark :1\nauthor " + who
        + "\ncommitter " + who + "\ndata " + QByteArray::number(message.size()) + "\n" + message;
    if (!parent.isEmpty())
        header += "from " + parent.toLatin1() + "\n";
    // Nothing is started for a commit without a file.
    QList<FileChange> first;
    bool failed = false;
    while (first.isEmpty() && files(&first, &failed)) {
    }
    if (failed) {
        *error = QStringLiteral("the files of the commit could not be read");
        return false;
    }
    if (first.isEmpty())
        return true;
    const auto encode = [](const QList<FileChange> &part) {
        QByteArray out;
        for (const FileChange &f : part) {
            if (f.remove)
                out += "D " + f.path.toUtf8() + "\n";
            else
                out += "M 100644 inline " + f.path.toUtf8() + "\ndata " + QByteArray::number(f.bytes.size()) + "\n"
                    + f.bytes + "\n";
        }
        return out;
    };
    enum class Stage { Header, Parts, Done } stage = Stage::Header;
    const Git::Result r = m_git.run(
        {QStringLiteral("fast-import"), QStringLiteral("--quiet"), QStringLiteral("--force"), QStringLiteral("--done"),
         QStringLiteral("--export-marks=") + m_gitDir + QStringLiteral("/quorvel-marks")},
        kNetworkDeadline, [&](QByteArray *part, bool *stop) {
            if (stage == Stage::Header) {
                *part = header + encode(first);
                stage = Stage::Parts;
                return true;
            }
            if (stage == Stage::Done)
                return false;
            QList<FileChange> next;
            if (files(&next, stop)) {
                *part = encode(next);
                return true;
            }
            if (*stop)
                return false;
            stage = Stage::Done;
            *part = "\ndone\n";
            return true;
        });
    if (!r.ok()) {
        *error = r.error.isEmpty() ? QStringLiteral("git fast-import failed") : r.error;
        return false;
    }
    QFile file(m_gitDir + QStringLiteral("/quorvel-marks"));
    const QByteArray mark = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
    if (!mark.startsWith(":1 ")) {
        *error = QStringLiteral("git fast-import made no commit");
        return false;
    }
    *commit = QString::fromLatin1(mark.mid(3));
    return true;
}

Repository::Push Repository::push(const QString &commit, QString *error) const
{
    const Git::Result r = m_git.run({QStringLiteral("push"), QStringLiteral("--progress"), QStringLiteral("origin"),
                                     commit + QStringLiteral(":refs/heads/notes")},
                                    kNetworkDeadline);
    if (!r.ok()) {
        *error = r.error.isEmpty() ? QStringLiteral("git push failed") : r.error;
        const bool moved = r.error.contains(QLatin1String("[rejected]")) || r.error.contains(QLatin1String("fetch first"))
            || r.error.contains(QLatin1String("non-fast-forward"));
        return moved ? Push::Refused : Push::Failed;
    }
    return Push::Done;
}

} // namespace gitsync
