#pragma once
// The main window's Window menu: the open editors, nine at most with "Others.."
// for the rest, kept in step with the registry; minimize and restore all.

#include <QObject>

#include <array>

class QAction;
class QWidget;
class Session;

class WindowMenu final : public QObject {
    Q_OBJECT
public:
    // separator: shown while any editor is open; entries: the editors'
    // entries at indexes 1 to 9; others: "Others..".
    WindowMenu(Session &session, QAction *separator, const std::array<QAction *, 10> &entries, QAction *others,
               QWidget *window);

    void minimizeAll();
    void restoreAll();
    // Brings forward the editor of the entry at index (1 to 9).
    void activate(int index);
    // The window list, and the editor chosen in it brought forward.
    void chooseFromList();

private:
    void rebuild();
    void rename(int windowNumber, const QString &caption);

    Session &m_session;
    QAction *m_separator;
    std::array<QAction *, 10> m_entries;
    QAction *m_others;
    QWidget *m_window;
};
