// The running copy, the notification-area icon and the commands another
// copy hands over.

#include "frmPrincipale.h"

#include "Session.h"

#include <QEvent>
#include <QTimer>
#include <QWindowStateChangeEvent>

void frmPrincipale::ActivatePreviousInstance(const QString & /*title*/, const QString &command)
{
    // The running copy is found through the per-user channel, not by title.
    m_session.instance().send(command);
}

void frmPrincipale::CommandReceived(const QString &command)
{
    qInfo("Command from another copy: %s", qPrintable(command));
    if (command == QLatin1String("MIN")) {
        if (isVisible())
            setWindowState(windowState() | Qt::WindowMinimized);
    } else if (command == QLatin1String("RES")) {
        QMainWindow::show();
        RestoreFromTray(true);
    }
    // Any other text is answered and ignored.
}

void frmPrincipale::TrayClicked()
{
    QMainWindow::show();
    RestoreFromTray(true);
}

void frmPrincipale::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized())
        return;
    // Without a notification area the program would be out of reach once
    // hidden: it is then minimized as any window.
    if (!m_session.tray().isAvailable())
        return;
    // Hidden once the state change is over.
    QTimer::singleShot(0, this, [this] {
        if (!isMinimized())
            return;
        hide();
        setWindowState(windowState() & ~Qt::WindowMinimized);
        RestoreFromTray(false);
    });
}

void frmPrincipale::RestoreFromTray(bool show)
{
    Session &s = m_session;
    if (show) {
        s.tray().hideIcon();
        for (Form *f : s.forms.all())
            if (QWidget *w = f->widget(); w && f != this)
                w->show();
        if (isMinimized())
            setWindowState(windowState() & ~Qt::WindowMinimized);
        QMainWindow::show();
        raise();
        activateWindow();
        return;
    }
    if (!s.tray().isAvailable())
        return;
    s.tray().showIcon(windowIcon(), QStringLiteral("Quorvel"));
    for (Form *f : s.forms.all())
        if (QWidget *w = f->widget())
            w->hide();
}
