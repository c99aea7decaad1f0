#include "BodyLinks.h"

#include "Session.h"
#include "Str.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QTextEdit>
#include <QToolTip>
#include <QUrl>

BodyLinks::BodyLinks(Session &session, QTextEdit *body) : QObject(body), m_session(session), m_body(body)
{
    body->viewport()->installEventFilter(this);
    body->viewport()->setMouseTracking(true);
}

void BodyLinks::open(const QString &href)
{
    // A link came with text from anywhere: only what a browser or a mail
    // program takes is handed on, never a file or a program to run.
    const QUrl url(href);
    const QString scheme = url.scheme().toLower();
    const bool web = url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp"));
    const bool mail = url.isValid() && scheme == QLatin1String("mailto") && !url.path().isEmpty();
    const QString title = m_session.GetString(Str::ErrorTitle);
    if (!web && !mail)
        m_session.dialogs().MsgBox(m_body->window(), m_session.GetString(Str::LinkNotOpened).arg(href), platform::vbExclamation,
                                   title);
    else if (!m_session.desktop().openUrl(url.toString()))
        m_session.dialogs().MsgBox(m_body->window(), m_session.GetString(Str::LinkFailed).arg(href), platform::vbExclamation,
                                   title);
}

bool BodyLinks::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_body->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool onLink = mouse->modifiers().testFlag(Qt::ControlModifier)
            && !m_body->anchorAt(mouse->position().toPoint()).isEmpty();
        m_body->viewport()->setCursor(onLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
        return false;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !mouse->modifiers().testFlag(Qt::ControlModifier))
            return false;
        const QString href = m_body->anchorAt(mouse->position().toPoint());
        if (href.isEmpty())
            return false;
        open(href);
        return true;  // no selection starts from it
    }
    case QEvent::ToolTip: {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString href = m_body->anchorAt(help->pos());
        if (href.isEmpty())
            return false;
        QToolTip::showText(help->globalPos(), m_session.GetString(Str::LinkOpenTip).arg(href), m_body->viewport());
        return true;
    }
    default:
        return false;
    }
}
