#pragma once
// The notification area: the program's windows hidden behind its icon, and
// brought back where they stood.

#include <QList>
#include <QObject>
#include <QPair>
#include <QPoint>
#include <QPointer>

class QWidget;
class Session;

class TrayKeeper final : public QObject {
    Q_OBJECT
public:
    TrayKeeper(Session &session, QWidget *window);

    // Every window back where it stood, the icon gone.
    void bringBack();
    // Every window hidden behind the icon (nothing where the desktop has no
    // notification area).
    void putAway();
    // The main window was minimized: where there is a notification area it
    // goes there instead, once the state change is over.
    void windowMinimized();

private:
    Session &m_session;
    QWidget *m_window;
    // Where each window stood when the program went into the tray.
    QList<QPair<QPointer<QWidget>, QPoint>> m_positions;
};
