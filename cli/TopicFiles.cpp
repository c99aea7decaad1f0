#include "TopicFiles.h"

#include "notes/NoteStore.h"
#include "notes/Topics.h"
#include "Rtf.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextDocument>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace topicfiles {

namespace {

// Text files: a byte-order mark says the encoding; otherwise UTF-8 when the
// bytes are valid UTF-8, else the Western Windows code page, which every
// byte sequence is.
QString decodeText(const QByteArray &data)
{
    if (const auto bom = QStringConverter::encodingForData(data)) {
        QStringDecoder decoder(*bom);
        return decoder.decode(data);
    }
    // Stateless: a sequence cut short at the end is an error, not one
    // held back for more data.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    QStringDecoder western("windows-1252");
    return western.decode(data);
}

} // namespace

bool isImportable(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("rtf") || suffix == QLatin1String("txt");
}

bool readTopicFile(const QString &path, TopicFile *topic, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    if (!isImportable(path))
        return fail(QStringLiteral("only .rtf and .txt files can be imported"));
    // Only a regular file: a pipe or a device would hold the read, and the
    // store with it, for as long as nobody writes to it, and opening some
    // devices does something. Seen before it is opened, and checked again on
    // what was opened, without waiting for a writer, so nothing put in its
    // place meanwhile gets through.
    const QByteArray name = QFile::encodeName(path);
    struct stat seen {};
    if (::stat(name.constData(), &seen) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(seen.st_mode))
        return fail(QStringLiteral("not a regular file"));
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != seen.st_dev || st.st_ino != seen.st_ino) {
        ::close(fd);
        return fail(QStringLiteral("not a regular file"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file.errorString());
    }
    // Far more than a topic keeps (its text and a few pictures): not read
    // into memory at all.
    if (file.size() > (qint64(1) << 29))
        return fail(QStringLiteral("too large for a topic"));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    QTextDocument doc;
    const bool asRtf = QFileInfo(path).suffix().toLower() == QLatin1String("rtf") && rtf::looksLikeRtf(data);
    if (asRtf) {
        rtf::read(data, &doc);
    } else {
        const bool utf16 = data.startsWith("\xff\xfe") || data.startsWith("\xfe\xff");
        if (!utf16 && data.contains('\0'))
            return fail(QStringLiteral("not a text file"));
        QString text = decodeText(data);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        if (text.size() > rtf::kMaxText)
            return fail(QStringLiteral("too large for a topic"));
        doc.setPlainText(text);
    }
    bool whole = true;
    topic->body = QString::fromLatin1(rtf::write(&doc, &whole));
    if (!whole)
        return fail(QStringLiteral("too large for a topic"));
    topic->text = rtf::plainText(&doc);
    topic->title = QFileInfo(path).completeBaseName();
    return true;
}

bool readTopicFiles(const QStringList &paths, QList<TopicFile> *topics, QString *error)
{
    for (const QString &path : paths) {
        TopicFile topic;
        if (!readTopicFile(path, &topic, error))
            return false;
        *topics << topic;
    }
    return true;
}

bool importFiles(store::NoteStore &store, int categoryId, const QStringList &paths, const QDateTime &now,
                 QList<int> *keys, QString *error)
{
    QList<TopicFile> topics;
    return readTopicFiles(paths, &topics, error) && addTopics(store, categoryId, topics, now, keys, error);
}

namespace {

bool add(store::NoteStore &store, int categoryId, const QString &categoryName, const QList<TopicFile> &topics,
         const QDateTime &now, QList<int> *keys, QString *error)
{
    QList<notes::NewTopic> adding;
    for (const TopicFile &topic : topics)
        adding.append({topic.title, topic.body, topic.text});
    if (notes::Topics(store).addMany(categoryId, categoryName, adding, now, keys))
        return true;
    if (error)
        *error = store.errorText();
    return false;
}

} // namespace

bool addTopics(store::NoteStore &store, int categoryId, const QList<TopicFile> &topics, const QDateTime &now,
               QList<int> *keys, QString *error)
{
    return add(store, categoryId, QString(), topics, now, keys, error);
}

bool addTopicsNamed(store::NoteStore &store, const QString &category, const QList<TopicFile> &topics,
                    const QDateTime &now, QList<int> *keys, QString *error)
{
    return add(store, -1, category, topics, now, keys, error);
}

} // namespace topicfiles
