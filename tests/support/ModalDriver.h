#pragma once
// Drives our own modal windows in tests: the action runs as soon as a
// visible window of the given type appears (inside its exec loop). A window
// that never appears fails the test; one left open is closed, so a test can
// not hang.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

class ModalDriver : public QObject {
public:
    // Polls for a visible top-level widget accepted by match; runs action once.
    ModalDriver(std::function<bool(QWidget *)> match, std::function<void(QWidget *)> action, int timeoutMs,
                bool mustAppear = true);
    ~ModalDriver() override;
    bool ran() const { return m_ran; }

private:
    void poll();
    std::function<bool(QWidget *)> m_match;
    std::function<void(QWidget *)> m_action;
    QTimer m_timer;
    int m_remainingMs;
    bool m_mustAppear;
    bool m_ran = false;
};

// Fails the test if a window of type T appears (and closes it).
template <typename T>
std::unique_ptr<ModalDriver> neverShown(int timeoutMs = 60000)
{
    return std::make_unique<ModalDriver>([](QWidget *w) { return qobject_cast<T *>(w) != nullptr; },
                                         [](QWidget *w) {
                                             ADD_FAILURE() << "unexpected window " << w->metaObject()->className();
                                             w->close();
                                         },
                                         timeoutMs, false);
}

// Runs action on a window of type T when it appears (if mustAppear, it must).
template <typename T>
std::unique_ptr<ModalDriver> whenShown(std::function<void(T *)> action, int timeoutMs = 5000, bool mustAppear = true)
{
    return std::make_unique<ModalDriver>([](QWidget *w) { return qobject_cast<T *>(w) != nullptr; },
                                         [action](QWidget *w) { action(qobject_cast<T *>(w)); }, timeoutMs,
                                         mustAppear);
}
