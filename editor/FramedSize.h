#pragma once
// A window's remembered outer size, frame included, given back when it is
// shown. Until the window manager has framed the window its frame is unknown:
// the size is applied again once it is, shortly after showing.

#include <QElapsedTimer>
#include <QSize>

class QWidget;

class FramedSize final {
public:
    explicit FramedSize(QWidget *window) : m_window(window) {}

    // The outer size to give the window when it is shown.
    void remember(const QSize &outer);
    // From the window's show and move events.
    void shown();
    void moved();

private:
    QWidget *m_window;
    QSize m_outer;
    QSize m_pending;
    QElapsedTimer m_shownAt;
};
