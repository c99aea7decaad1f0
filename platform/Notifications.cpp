// Desktop notifications through the freedesktop Notifications service.

#include "QtPlatform.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

DBusNotifier::DBusNotifier()
{
    QDBusConnection::sessionBus().connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                                          SLOT(onActionInvoked(uint, QString)));
}

void DBusNotifier::notify(const QString &title, const QString &body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    // The "default" action is what a click on the notification runs.
    call << QStringLiteral("Quorvel") << m_lastId << QStringLiteral("quorvel") << title << body
         << QStringList{QStringLiteral("default"), title} << QVariantMap{} << qint32(-1);
    // Asynchronous: a desktop without the service must not hold up the alarm.
    bus.callWithCallback(call, this, SLOT(onNotified(uint)));
}

void DBusNotifier::onNotified(uint id)
{
    m_lastId = id;
}

void DBusNotifier::onActionInvoked(uint id, const QString &action)
{
    if (id == m_lastId && action == QLatin1String("default"))
        emit activated();
}

} // namespace platform
