#include "FramedSize.h"

#include <QWidget>

void FramedSize::remember(const QSize &outer)
{
    m_outer = outer;
    m_window->resize(outer);
}

void FramedSize::shown()
{
    if (!m_outer.isValid())
        return;
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
    m_window->resize(m_outer - frame);
    if (frame.isEmpty()) {
        m_pending = m_outer;
        m_shownAt.start();
    }
    m_outer = QSize();
}

void FramedSize::moved()
{
    // A window manager frames the window after it is shown, and moves it as
    // it does: the outer size is then made right. Later moves are the user's.
    if (!m_pending.isValid())
        return;
    if (m_shownAt.elapsed() > 2000) {
        m_pending = QSize();
        return;
    }
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
    if (frame.isEmpty())
        return;
    m_window->resize(m_pending - frame);
    m_pending = QSize();
}
