#pragma once
// The editor's alarm: its type and next time, the panel that sets them, and
// the button that opens the panel and shows whether an alarm is set.

#include "db/WallTime.h"

class QCalendarWidget;
class QComboBox;
class QLabel;
class QToolButton;
class QWidget;
class Session;

class AlarmPanel final {
public:
    struct Controls {
        QWidget *panel;
        QCalendarWidget *date;
        QLabel *hoursLabel;
        QComboBox *hours;
        QComboBox *minutes;
        QLabel *typeLabel;
        QComboBox *type;
    };
    // Builds the panel in client, hidden until asked for; button opens it
    // and shows whether an alarm is set, over body.
    AlarmPanel(Session &session, QWidget *client, QToolButton *button, QWidget *body);
    const Controls &controls() const { return c; }
    // Captions in the current language.
    void caption();

    int type() const { return m_type; }
    // The next time as set: a time of day that local time skips on the
    // spring night is kept, and rings at the first moment after the skip.
    const store::WallTime &time() const { return m_time; }
    // The topic's alarm as loaded or recovered; type 0 is none.
    void set(int type, const store::WallTime &time);

    bool isOpen() const;
    // Opens the panel over the body, or closes it taking what it shows.
    void toggle();
    // The type and time the open panel shows, not yet taken.
    int panelType() const;
    store::WallTime panelTime() const;
    // The alarm rang and was moved on in the store.
    void movedOn(int type, const store::WallTime &time);

private:
    void fill();
    void read();
    void showIndicator();

    Session &m_session;
    Controls c;
    QToolButton *m_button;
    QWidget *m_body;
    int m_type = 0;
    store::WallTime m_time;
};
