// export: every topic to a file of its own under a folder per category,
// and an index, all read in one snapshot of the store.

#include "CliCommand.h"

#include "Cli.h"
#include "Rtf.h"
#include "TopicFiles.h"
#include "notes/FileNames.h"
#include "notes/Maintenance.h"
#include "notes/Reading.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextDocument>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace {

// Hands out names within one folder: a name taken before, in any case (some
// file systems ignore it), gets " (2)", " (3)", ... before its extension.
class Names {
public:
    QString take(const QString &stem, const QString &extension)
    {
        QString name = stem + extension;
        for (int n = 2; m_taken.contains(name.toCaseFolded()); ++n)
            name = QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(extension);
        m_taken.insert(name.toCaseFolded());
        return name;
    }

private:
    QSet<QString> m_taken;
};

struct Category {
    QString name;
    QString folder;
    Names files;
};

// The stored body as a document; a body that is not RTF is its own text.
void readBody(const QString &body, QTextDocument *doc)
{
    if (!rtf::read(body, doc))
        doc->setPlainText(body);
}

QByteArray fileContent(const QString &format, const QString &title, const QString &body, const QString &text)
{
    if (format == QLatin1String("txt")) {
        // The stored text keeps a table's cells apart with tabs; a file to
        // read shows them in columns.
        if (!rtf::looksLikeRtf(body) || !body.contains(QLatin1String("\\intbl")))
            return text.toUtf8();
        QTextDocument doc;
        readBody(body, &doc);
        return rtf::alignedText(&doc).toUtf8();
    }
    if (format == QLatin1String("rtf")) {
        // What the editor stored goes out as it is: 7-bit RTF, whose
        // characters stand for its bytes.
        bool bytes = rtf::looksLikeRtf(body);
        for (qsizetype i = 0; bytes && i < body.size(); ++i)
            bytes = body.at(i).unicode() <= 0xff;
        if (bytes)
            return body.toLatin1();
        QTextDocument doc;
        readBody(body, &doc);
        return rtf::write(&doc);
    }
    QTextDocument doc;
    readBody(body, &doc);
    doc.setMetaInformation(QTextDocument::DocumentTitle, title);
    return doc.toHtml().toUtf8();
}

// A folder of the export, reached through its descriptor: what is made in
// it is made there, never through a link someone put in its place.
class Folder final {
public:
    Folder() = default;
    ~Folder() { close(); }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    // followLink: only for the folder the user named, which may well be a
    // link to where they keep such things.
    bool openAt(int parent, const QByteArray &name, bool followLink = false)
    {
        close();
        m_fd = ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
        return m_fd >= 0;
    }
    // A new folder in this one; false when anything has that name already.
    bool makeFolder(const QString &name, Folder *made) const
    {
        const QByteArray n = QFile::encodeName(name);
        return ::mkdirat(m_fd, n.constData(), 0700) == 0 && made->openAt(m_fd, n);
    }
    // A new file in this one holding data; false when anything has that name
    // already.
    bool writeFile(const QString &name, const QByteArray &data) const
    {
        const int fd = ::openat(m_fd, QFile::encodeName(name).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        QFile f;
        const bool written = f.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) && f.write(data) == data.size()
            && f.flush();
        if (!f.isOpen())
            ::close(fd);
        return written;
    }
    int fd() const { return m_fd; }
    bool isEmpty() const
    {
        const int copy = ::dup(m_fd);
        DIR *d = copy >= 0 ? ::fdopendir(copy) : nullptr;
        if (!d) {
            if (copy >= 0)
                ::close(copy);
            return false;
        }
        bool empty = true;
        while (const dirent *e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                empty = false;
        ::closedir(d);
        return empty;
    }

private:
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    int m_fd = -1;
};

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QJsonValue orNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// One export into an empty folder: a file per topic in a folder per
// category, and the index of them all, written as the topics go.
class Export final {
public:
    Export(Command &command, QString format, QDir target, Folder &root)
        : c(command), m_format(std::move(format)), m_extension(QLatin1Char('.') + m_format), m_target(std::move(target)), m_root(root)
    {
    }

    // Writes every topic of the store and the index; the command's result.
    int run(store::NoteStore &ns);

private:
    // The index under a name of its own until it is complete.
    bool openIndex();
    int indexFailed();
    void dropIndex() { ::unlinkat(m_root.fd(), QFile::encodeName(m_partialIndex).constData(), 0); }
    // False, with m_failed set, when the topic could not be written.
    bool writeTopic(const notes::TopicRecord &topic);
    // The folder of the topic's category, made at its first topic.
    bool enterCategory(qint64 category);

    Command &c;
    const QString m_format;
    const QString m_extension;
    const QDir m_target;
    Folder &m_root;
    QHash<qint64, Category> m_categories;
    Names m_folders;
    QString m_partialIndex;
    QFile m_index;
    Folder m_current;
    qint64 m_previousCategory = std::numeric_limits<qint64>::min();
    qint64 m_done = 0;
    qint64 m_total = 0;
    int m_failed = kDone;
};

bool Export::openIndex()
{
    m_folders.take(QStringLiteral("index"), QStringLiteral(".json"));
    m_partialIndex = m_folders.take(QStringLiteral(".index"), QStringLiteral(".json.part"));
    // The index is written as the topics go, not gathered first: held
    // whole, a million entries took more than a gigabyte. It appears under
    // its name only once complete.
    const int fd = ::openat(m_root.fd(), QFile::encodeName(m_partialIndex).constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 && !m_index.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        ::close(fd);
    return m_index.isOpen()
        && m_index.write("{\"format\": " + QJsonDocument(QJsonArray{m_format}).toJson(QJsonDocument::Compact).mid(1).chopped(1)
                         + ", \"topics\": [") >= 0;
}

int Export::indexFailed()
{
    const QString why = m_index.isOpen() ? m_index.errorString() : systemError();
    dropIndex();
    return c.fail(QStringLiteral("cannot write %1: %2").arg(m_target.filePath(QStringLiteral("index.json")), why));
}

bool Export::enterCategory(qint64 category)
{
    // Topics come category by category: the names taken in the one before
    // are no longer needed.
    if (category != m_previousCategory && m_categories.contains(m_previousCategory))
        m_categories[m_previousCategory].files = Names();
    m_previousCategory = category;
    Category &cat = m_categories[category];  // a topic of no category gets a folder "_"
    if (!cat.folder.isEmpty())
        return true;
    // Anything found under the name was put there by someone else since the
    // folder was seen empty: nothing is written into it.
    cat.folder = m_folders.take(notes::fileNameFor(cat.name), QString());
    if (m_root.makeFolder(cat.folder, &m_current))
        return true;
    const QString why = systemError();
    dropIndex();
    m_failed = c.fail(QStringLiteral("cannot make %1: %2").arg(m_target.filePath(cat.folder), why));
    return false;
}

bool Export::writeTopic(const notes::TopicRecord &topic)
{
    if (!enterCategory(topic.category))
        return false;
    Category &cat = m_categories[topic.category];
    const QString name = cat.files.take(notes::fileNameFor(topic.title), m_extension);
    const QString file = cat.folder + QLatin1Char('/') + name;
    if (!m_current.writeFile(name, fileContent(m_format, topic.title, topic.body, topic.plainText))) {
        const QString why = systemError();
        dropIndex();
        m_failed = c.fail(QStringLiteral("cannot write %1: %2").arg(m_target.filePath(file), why));
        return false;
    }
    const QJsonObject entry{{QStringLiteral("key"), topic.key},
                            {QStringLiteral("categoryKey"), topic.category},
                            {QStringLiteral("category"), cat.name},
                            {QStringLiteral("title"), topic.title},
                            {QStringLiteral("file"), file},
                            {QStringLiteral("updated"), orNull(topic.updated)},
                            {QStringLiteral("alarmType"), topic.alarmType},
                            {QStringLiteral("alarm"), orNull(topic.alarm)}};
    if (m_index.write((m_done ? ",\n" : "\n") + QJsonDocument(entry).toJson(QJsonDocument::Compact)) < 0) {
        m_failed = indexFailed();
        return false;
    }
    ++m_done;
    if (c.terminal && (m_done % 250 == 0 || m_done == m_total)) {
        c.err << "\rexported " << m_done << " of " << m_total << " topics";
        c.err.flush();
    }
    return true;
}

int Export::run(store::NoteStore &ns)
{
    notes::ReadSnapshot snapshot(ns);
    QHash<qint64, QString> names;
    if (!notes::categoryNames(ns, &names) || !notes::topicCount(ns, &m_total))
        return c.fail(ns.errorText());
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        m_categories[it.key()].name = it.value();
    if (!openIndex())
        return indexFailed();
    const bool read = notes::forEachTopic(ns, [this](const notes::TopicRecord &topic) { return writeTopic(topic); });
    if (m_failed != kDone)
        return m_failed;
    if (!read) {
        dropIndex();
        return c.fail(ns.errorText());
    }
    if (c.terminal && m_done > 0)
        c.err << '\n';
    if (m_index.write("\n]}\n") < 0 || !m_index.flush())
        return indexFailed();
    m_index.close();
    if (!notes::renameNoReplace(m_root.fd(), QFile::encodeName(m_partialIndex).constData(), m_root.fd(), "index.json"))
        return indexFailed();
    c.out << "exported " << m_done << " topics to " << m_target.path() << '\n';
    return kDone;
}

} // namespace

int exportTopics(Command &c)
{
    QString format = QStringLiteral("rtf");
    if (!c.takeValue(QStringLiteral("--format"), &format))
        return kError;
    if (c.unknownOption())
        return kError;
    c.words.removeOne(QStringLiteral("--"));
    if (format != QLatin1String("rtf") && format != QLatin1String("txt") && format != QLatin1String("html"))
        return c.usage(QStringLiteral("unknown format %1: rtf, txt or html").arg(format));
    if (c.words.size() != 1)
        return c.usage(QStringLiteral("export needs one folder"));
    const QDir target(QDir(c.words.first()).absolutePath());
    // The folder named is opened once; everything after is made through it.
    QDir().mkpath(target.path());
    Folder root;
    if (!root.openAt(AT_FDCWD, QFile::encodeName(target.path()), true))
        return c.fail(QStringLiteral("cannot make %1: %2").arg(target.path(), systemError()));
    if (!root.isEmpty())
        return c.fail(QStringLiteral("%1 is not empty").arg(target.path()));
    store::NoteStore ns;
    store::StoreLock lock;
    if (!c.openStore(ns, lock, false))
        return kError;
    return Export(c, format, target, root).run(ns);
}

} // namespace cli
