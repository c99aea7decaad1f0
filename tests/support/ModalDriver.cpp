#include "ModalDriver.h"

ModalDriver::ModalDriver(std::function<bool(QWidget *)> match, std::function<void(QWidget *)> action,
                         int timeoutMs, bool mustAppear)
    : m_match(std::move(match)), m_action(std::move(action)), m_remainingMs(timeoutMs), m_mustAppear(mustAppear)
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
    m_timer.start();
}

ModalDriver::~ModalDriver()
{
    if (!m_ran && m_mustAppear)
        ADD_FAILURE() << "the window the test waited for never appeared";
}

void ModalDriver::poll()
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget *w : widgets) {
        if (w->isVisible() && m_match(w)) {
            m_timer.stop();
            m_ran = true;
            m_action(w);
            return;
        }
    }
    m_remainingMs -= m_timer.interval();
    if (m_remainingMs <= 0) {
        m_timer.stop();
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    }
}
