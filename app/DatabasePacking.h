#pragma once
// Packing the database in place: a compacted copy is written beside the file
// under a name of its own and synced; only then does the file take the
// backup name and the copy its place, and the store is reopened. The database
// never leaves its name before a complete copy is on the disk, so a full disk
// or a failed copy leaves it as it was.

#include "db/StoreLock.h"

#include <QString>

class QWidget;
class Session;

class DatabasePacking final {
public:
    DatabasePacking(Session &session, QWidget *window) : m_session(session), m_window(window) {}

    // Asks, packs and tells how it went. False when the program cannot go
    // on: the user has been told where the data is.
    [[nodiscard]] bool run();

private:
    // The user's two confirmations, once nothing is open that packing
    // would close.
    bool confirmed();
    // Keeps the command-line tool off the file while it is replaced.
    bool lockToolsOut();
    // Writes the compacted copy and puts it in the file's place; the
    // message of how it went.
    void packClosedStore();
    void tell(int id, int style, int title, const QString &why = QString());
    void fatal(const QString &whereTheDataIs);

    Session &m_session;
    QWidget *m_window;
    store::StoreLock m_toolsOut;
    bool m_fatal = false;
    bool m_replaced = false;  // the compacted copy took the file's place
};
