#include "QtPlatform.h"

#include "places/Places.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSystemTrayIcon>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

// The command travels as UTF-16LE text; the answer is one byte.
QByteArray encode(const QString &command)
{
    QByteArray bytes;
    for (QChar c : command) {
        bytes.append(char(c.unicode() & 0xff));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QString decode(const QByteArray &bytes)
{
    QString s;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        s.append(QChar(char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8))));
    return s;
}

} // namespace

LocalInstanceChannel::LocalInstanceChannel()
    : m_path(places::InstanceChannelPath(true))
{
}

LocalInstanceChannel::~LocalInstanceChannel()
{
    if (m_runLock >= 0)
        ::close(m_runLock);
}

bool LocalInstanceChannel::claim()
{
    // Two copies started together take turns here: the second finds the
    // first listening.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    lock.tryLock(5000);
    {
        QLocalSocket probe;
        probe.connectToServer(m_path);
        if (probe.waitForConnected(1000))
            return false;  // somebody answers
    }
    // Nobody answers. A copy may still be running where it cannot be
    // reached (its socket removed, or never made): the lock it holds on a
    // file for its whole run says so. The system lets go of that lock when a
    // copy ends in any way, so a crashed copy holds nothing. Where the file
    // cannot be made at all, this copy runs on without it.
    const int fd = ::open(QFile::encodeName(m_path + QStringLiteral(".run")).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                          0600);
    if (fd >= 0) {
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            ::close(fd);
            return false;
        }
        m_runLock = fd;
    }
    // A socket left by a crashed copy is removed first.
    QLocalServer::removeServer(m_path);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_path)) {
        m_server.reset();
        return true;  // this copy runs on; its lock keeps others from starting
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &LocalInstanceChannel::onConnection);
    return true;
}

void LocalInstanceChannel::onConnection()
{
    while (QLocalSocket *peer = m_server->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
            const QByteArray data = peer->readAll();
            emit commandReceived(decode(data));
            peer->write("1");
            peer->flush();
        });
    }
}

bool LocalInstanceChannel::send(const QString &command)
{
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(encode(command.isEmpty() ? QStringLiteral("Send Test String") : command));
    socket.flush();
    // Synchronous, as the running copy's handler answers when done.
    const bool answered = socket.waitForReadyRead(5000);
    socket.disconnectFromServer();
    return answered;
}

QtTray::QtTray() = default;
QtTray::~QtTray() = default;

bool QtTray::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::showIcon(const QIcon &icon, const QString &tip)
{
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>();
        connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
            // Answered on the next turn of the event loop: hiding the icon
            // while it still delivers the click crashes inside Qt.
            if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick || r == QSystemTrayIcon::Context)
                QMetaObject::invokeMethod(this, [this] { emit clicked(); }, Qt::QueuedConnection);
        });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_icon->show();
}

void QtTray::hideIcon()
{
    if (m_icon)
        m_icon->hide();
}


} // namespace platform
