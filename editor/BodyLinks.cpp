#include "BodyLinks.h"

#include "Rtf.h"
#include "Session.h"
#include "Str.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolTip>
#include <QUrl>

BodyLinks::BodyLinks(Session &session, QTextEdit *body) : QObject(body), m_session(session), m_body(body)
{
    body->viewport()->installEventFilter(this);
    body->viewport()->setMouseTracking(true);
    connect(body, &QTextEdit::cursorPositionChanged, this, &BodyLinks::leaveLinkAtItsEnd);
}

QString BodyLinks::noteAt(const QPoint &pos) const
{
    const QTextCursor at = m_body->cursorForPosition(pos);
    if (at.blockFormat().hasProperty(rtf::kNoteProperty))
        return {};  // in the note itself
    int mark = at.charFormat().intProperty(rtf::kNoteMarkProperty);
    if (mark == 0 && !at.atBlockEnd()) {
        QTextCursor next(at);
        next.movePosition(QTextCursor::NextCharacter);
        mark = next.charFormat().intProperty(rtf::kNoteMarkProperty);
    }
    if (mark == 0)
        return {};
    QStringList lines;
    for (QTextBlock b = m_body->document()->begin(); b.isValid(); b = b.next())
        if (b.blockFormat().intProperty(rtf::kNoteProperty) == mark)
            lines << b.text();
    return lines.join(QLatin1Char('\n'));
}

void BodyLinks::leaveLinkAtItsEnd()
{
    const QTextCursor cursor = m_body->textCursor();
    if (cursor.hasSelection())
        return;
    const QTextCharFormat before = cursor.charFormat();
    const QString href = before.isAnchor() ? before.anchorHref() : QString();
    const int mark = before.intProperty(rtf::kNoteMarkProperty);
    if (href.isEmpty() && mark == 0)
        return;
    QTextCursor next(cursor);
    if (!next.atBlockEnd()) {
        next.movePosition(QTextCursor::NextCharacter);
        const QTextCharFormat within = next.charFormat();
        if ((within.isAnchor() ? within.anchorHref() : QString()) == href
            && within.intProperty(rtf::kNoteMarkProperty) == mark)
            return;  // within the link or the mark: typing goes into it
    }
    QTextCharFormat after = before;
    after.clearProperty(rtf::kNoteMarkProperty);
    if (!href.isEmpty()) {
        after.clearProperty(QTextFormat::IsAnchor);
        after.clearProperty(QTextFormat::AnchorHref);
        after.clearProperty(QTextFormat::AnchorName);
        // Nor does it keep the look links are given.
        if (after.fontUnderline() && after.foreground().color().rgb() == rtf::kLinkRgb) {
            after.setFontUnderline(false);
            after.clearForeground();
        }
    }
    m_body->setCurrentCharFormat(after);
}

bool BodyLinks::openable(const QString &href)
{
    // A link came with text from anywhere: only what a browser or a mail
    // program takes is handed on, never a file or a program to run.
    const QUrl url(href);
    const QString scheme = url.scheme().toLower();
    const bool web = url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp"));
    const bool mail = url.isValid() && scheme == QLatin1String("mailto") && !url.path().isEmpty();
    return web || mail;
}

void BodyLinks::open(const QString &href)
{
    const QUrl url(href);
    const QString title = m_session.GetString(Str::ErrorTitle);
    if (!openable(href))
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
        if (href.isEmpty()) {
            // A note's mark shows the note.
            const QString note = noteAt(help->pos());
            if (note.isEmpty())
                return false;
            QToolTip::showText(help->globalPos(), note, m_body->viewport());
            return true;
        }
        QToolTip::showText(help->globalPos(), openable(href) ? m_session.GetString(Str::LinkOpenTip).arg(href) : href,
                           m_body->viewport());
        return true;
    }
    default:
        return false;
    }
}
