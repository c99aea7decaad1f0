#pragma once
// The deleted topics, the last deleted first, found by the same patterns as
// Find in topics, to be brought back into their own category (made again
// if it is gone) or into another one.

#include "notes/History.h"

#include <QDialog>

class Session;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class DeletedTopicsWindow final : public QDialog {
    Q_OBJECT
public:
    DeletedTopicsWindow(Session &session, QWidget *parent);

    QLineEdit *findBox() const { return m_find; }
    QTreeWidget *list() const { return m_list; }
    QPushButton *restoreButton() const { return m_restore; }
    QPushButton *restoreIntoButton() const { return m_restoreInto; }
    // The topics brought back while the window was open.
    const QList<int> &restored() const { return m_restored; }

private:
    void fill();
    void selectionChanged();
    // Brings the selected topics back into category (-1: each into its own).
    void restoreSelected(int category);
    void restoreInto();

    Session &m_session;
    QList<notes::DeletedTopic> m_shown;
    QLineEdit *m_find = nullptr;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_restore = nullptr;
    QPushButton *m_restoreInto = nullptr;
    QList<int> m_restored;
};
