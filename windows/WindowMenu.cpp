#include "WindowMenu.h"

#include "Finestre.h"
#include "Session.h"
#include "frmListaFinestre.h"

#include <QAction>

namespace {
// Menu captions would take '&' as a mnemonic: show it as typed.
QString menuCaption(const QString &caption)
{
    return QString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}
} // namespace

WindowMenu::WindowMenu(Session &session, QAction *separator, const std::array<QAction *, 10> &entries,
                       QAction *others, QWidget *window)
    : QObject(window), m_session(session), m_separator(separator), m_entries(entries), m_others(others),
      m_window(window)
{
    connect(&session.finestre, &Finestre::windowsChanged, this, &WindowMenu::rebuild);
    connect(&session.finestre, &Finestre::windowRenamed, this, &WindowMenu::rename);
    rebuild();
}

void WindowMenu::rebuild()
{
    const QList<Finestre::Entry> &open = m_session.finestre.entries();
    for (int i = 1; i <= 9; ++i) {
        QAction *entry = m_entries[size_t(i)];
        if (i <= open.size()) {
            entry->setText(menuCaption(open[i - 1].caption));
            entry->setData(QString::number(open[i - 1].number));
            entry->setVisible(true);
        } else {
            entry->setVisible(false);
        }
    }
    m_others->setVisible(open.size() > 9);
    m_separator->setVisible(!open.isEmpty());
}

void WindowMenu::rename(int windowNumber, const QString &caption)
{
    // Patched in place, not rebuilt.
    for (size_t i = 1; i <= 9; ++i) {
        QAction *entry = m_entries[i];
        if (entry->isVisible() && entry->data().toInt() == windowNumber)
            entry->setText(menuCaption(caption));
    }
}

void WindowMenu::minimizeAll()
{
    for (TopicWindow *e : m_session.finestre.editors())
        e->widget()->setWindowState(e->widget()->windowState() | Qt::WindowMinimized);
}

void WindowMenu::restoreAll()
{
    for (TopicWindow *e : m_session.finestre.editors())
        e->widget()->setWindowState(e->widget()->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
}

void WindowMenu::activate(int index)
{
    if (TopicWindow *e = m_session.finestre.editorByNumber(m_entries[size_t(index)]->data().toInt()))
        e->RestoreAndBringForward();
}

void WindowMenu::chooseFromList()
{
    frmListaFinestre list(m_session, m_window);
    if (list.exec() != QDialog::Accepted)
        return;
    if (TopicWindow *e = m_session.finestre.editorByNumber(list.chosenWindow()))
        e->RestoreAndBringForward();
}
