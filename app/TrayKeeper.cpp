#include "TrayKeeper.h"

#include "Session.h"

#include <QTimer>
#include <QWidget>
#include <QWindow>

TrayKeeper::TrayKeeper(Session &session, QWidget *window) : QObject(window), m_session(session), m_window(window)
{
    connect(&session.tray(), &platform::Tray::clicked, this, &TrayKeeper::bringBack);
}

void TrayKeeper::windowMinimized()
{
    // Without a notification area the program would be out of reach once
    // hidden: it is then minimized as any window.
    if (!m_session.tray().isAvailable())
        return;
    QTimer::singleShot(0, this, [this] {
        if (!m_window->isMinimized() || m_window->isHidden())
            return;
        // The state goes back to normal while the window is still mapped: a
        // state change on a hidden window leaves an empty frame on screen.
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
        putAway();
    });
}

void TrayKeeper::bringBack()
{
    Session &s = m_session;
    s.tray().hideIcon();
    // Each window comes back where it stood, not where the window manager
    // would place a new one: a position set on the window itself goes to
    // the window manager as the user's choice (a widget's move() to where it
    // already was would hand it nothing).
    for (const auto &[window, position] : std::as_const(m_positions))
        if (window && window->windowHandle())
            window->windowHandle()->setPosition(position);
    m_positions.clear();
    for (Form *f : s.forms.all())
        if (QWidget *w = f->widget(); w && w != m_window)
            w->show();
    if (m_window->isMinimized())
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void TrayKeeper::putAway()
{
    Session &s = m_session;
    if (!s.tray().isAvailable())
        return;
    s.tray().showIcon(m_window->windowIcon(), QStringLiteral("Quorvel"));
    for (Form *f : s.forms.all()) {
        if (QWidget *w = f->widget()) {
            if (w->isVisible())
                m_positions.append({w, w->geometry().topLeft()});
            w->hide();
        }
    }
}
