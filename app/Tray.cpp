// The running copy, the notification-area icon and the commands another
// copy hands over.

#include "frmPrincipale.h"

#include "Session.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <QWindowStateChangeEvent>

void frmPrincipale::ActivatePreviousInstance(const QString & /*title*/, const QString &command)
{
    // The running copy is found through the per-user channel, not by title.
    m_session.instance().send(command);
}

void frmPrincipale::CommandReceived(const QString &command)
{
    qInfo("Command from another copy: %s", qPrintable(command));
    // Until the load step has finished the main window is half built: a
    // command meanwhile only brings forward the question being asked.
    if (!Loaded) {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
        return;
    }
    if (command == QLatin1String("MIN")) {
        if (isVisible())
            setWindowState(windowState() | Qt::WindowMinimized);
    } else if (command == QLatin1String("RES")) {
        BringBackFromTray();
    }
    // Any other text is answered and ignored.
}

void frmPrincipale::TrayClicked()
{
    BringBackFromTray();
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
        if (isMinimized() && !isHidden())
            HideInTray();
    });
}

void frmPrincipale::HideInTray()
{
    // The state goes back to normal while the window is still mapped: a
    // state change on a hidden window leaves an empty frame on screen.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    PutInTray();
}

void frmPrincipale::BringBackFromTray()
{
    Session &s = m_session;
    s.tray().hideIcon();
    // Each window comes back where it stood, not where the window
    // manager would place a new one: a position set on the window itself
    // goes to the window manager as the user's choice (a widget's move()
    // to where it already was would hand it nothing).
    for (const auto &[window, position] : std::as_const(m_trayPositions))
        if (window && window->windowHandle())
            window->windowHandle()->setPosition(position);
    m_trayPositions.clear();
    for (Form *f : s.forms.all())
        if (QWidget *w = f->widget(); w && f != this)
            w->show();
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    QMainWindow::show();
    raise();
    activateWindow();
}

void frmPrincipale::PutInTray()
{
    Session &s = m_session;
    if (!s.tray().isAvailable())
        return;
    s.tray().showIcon(windowIcon(), QStringLiteral("Quorvel"));
    for (Form *f : s.forms.all()) {
        if (QWidget *w = f->widget()) {
            if (w->isVisible())
                m_trayPositions.append({w, w->geometry().topLeft()});
            w->hide();
        }
    }
}
