#include "sync/Layout.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace gitsync {

namespace {

// The folder of a guid: two levels of 256, from its first four digits.
QString shard(const QString &guid)
{
    return guid.left(2) + QLatin1Char('/') + guid.mid(2, 2) + QLatin1Char('/');
}

QByteArray encode(const QJsonObject &object)
{
    // QJsonObject keeps its keys sorted; indented, each is a line of its own.
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

bool decode(const QByteArray &json, QJsonObject *object, QString *error)
{
    QJsonParseError parsed{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parsed);
    if (parsed.error != QJsonParseError::NoError || !doc.isObject()) {
        *error = parsed.error != QJsonParseError::NoError ? parsed.errorString() : QStringLiteral("not a JSON object");
        return false;
    }
    *object = doc.object();
    const QString guid = object->value(QStringLiteral("guid")).toString();
    if (!isGuid(guid)) {
        *error = QStringLiteral("no valid guid");
        return false;
    }
    return true;
}

} // namespace

bool isGuid(const QString &text)
{
    if (text.size() != 32)
        return false;
    for (const QChar c : text)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    return true;
}

QString topicMetaPath(const QString &guid)
{
    return QStringLiteral("topics/") + shard(guid) + guid + QStringLiteral(".json");
}

QString topicBodyPath(const QString &guid)
{
    return QStringLiteral("topics/") + shard(guid) + guid + QStringLiteral(".rtf");
}

QString categoryPath(const QString &guid)
{
    return QStringLiteral("categories/") + guid + QStringLiteral(".json");
}

QByteArray encodeTopic(const TopicRecord &t)
{
    return encode({{QStringLiteral("guid"), t.guid},
                   {QStringLiteral("category"), t.category},
                   {QStringLiteral("title"), t.title},
                   {QStringLiteral("updated"), t.updated},
                   {QStringLiteral("alarmType"), t.alarmType},
                   {QStringLiteral("alarmTime"), t.alarmTime},
                   {QStringLiteral("deleted"), t.deleted},
                   {QStringLiteral("text"), t.text},
                   {QStringLiteral("machine"), t.machine}});
}

bool decodeTopic(const QByteArray &json, TopicRecord *t, QString *error)
{
    QJsonObject o;
    if (!decode(json, &o, error))
        return false;
    t->guid = o.value(QStringLiteral("guid")).toString();
    t->category = o.value(QStringLiteral("category")).toString();
    t->title = o.value(QStringLiteral("title")).toString();
    t->updated = o.value(QStringLiteral("updated")).toString();
    t->alarmType = o.value(QStringLiteral("alarmType")).toInt();
    t->alarmTime = o.value(QStringLiteral("alarmTime")).toString();
    t->deleted = o.value(QStringLiteral("deleted")).toString();
    t->text = o.value(QStringLiteral("text")).toString();
    t->machine = o.value(QStringLiteral("machine")).toString();
    return true;
}

QByteArray encodeCategory(const CategoryRecord &c)
{
    return encode({{QStringLiteral("guid"), c.guid}, {QStringLiteral("name"), c.name}, {QStringLiteral("renamed"), c.renamed}});
}

bool decodeCategory(const QByteArray &json, CategoryRecord *c, QString *error)
{
    QJsonObject o;
    if (!decode(json, &o, error))
        return false;
    c->guid = o.value(QStringLiteral("guid")).toString();
    c->name = o.value(QStringLiteral("name")).toString();
    c->renamed = o.value(QStringLiteral("renamed")).toString();
    return true;
}

} // namespace gitsync
