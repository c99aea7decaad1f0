#include "DatabasePacking.h"
#include "Str.h"

#include "Finestre.h"
#include "LongWork.h"
#include "Session.h"
#include "Utility.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

namespace {
// A busy cursor for as long as the packing runs, whatever way it ends.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

bool DatabasePacking::confirmed()
{
    Session &s = m_session;
    const auto box = [&](int id, int style, int title) {
        return s.dialogs().MsgBox(m_window, s.GetString(id), style, s.GetString(title));
    };
    if (RefusedReadOnly(s, m_window))
        return false;
    if (!s.finestre.AllWindowsClosed()) {
        box(Str::CloseAllWindowsFirst, platform::vbCritical, Str::ErrorTitle);
        return false;
    }
    return box(Str::PackBackupFirst, platform::vbYesNo | platform::vbExclamation, Str::RequestTitle) == platform::vbYes
        && box(Str::PackSure, platform::vbYesNo | platform::vbQuestion, Str::RequestTitle) == platform::vbYes;
}

bool DatabasePacking::lockToolsOut()
{
    Session &s = m_session;
    // The command-line tool reads the file under this lock, and would go on
    // reading the old file after the rename. Its commands are short: packing
    // waits a moment for them.
    switch (m_toolsOut.acquire(store::StoreLock::lockPath(s.store.DatabasePath), store::StoreLock::Kind::Exclusive, 3000)) {
    case store::StoreLock::Outcome::Taken:
        return true;
    case store::StoreLock::Outcome::Busy:
        QApplication::restoreOverrideCursor();
        s.dialogs().MsgBox(m_window, s.GetString(Str::PackToolBusy), platform::vbCritical, s.GetString(Str::ErrorTitle));
        break;
    case store::StoreLock::Outcome::Unusable:
        QApplication::restoreOverrideCursor();
        s.dialogs().MsgBox(m_window, s.GetString(Str::DataFolderUnusable).arg(m_toolsOut.error()), platform::vbCritical, s.GetString(Str::ErrorTitle));
        break;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return false;
}

bool DatabasePacking::run()
{
    if (!confirmed())
        return true;
    BusyCursor busy;
    if (!lockToolsOut())
        return true;
    packClosedStore();
    if (m_fatal)
        return false;
    // A compacted copy that cannot be opened leaves the backup as the
    // database the user had.
    const QString path = m_session.store.DatabasePath;
    if (!m_session.store.open()) {
        fatal(m_replaced || !QFile::exists(path) ? path + QStringLiteral(".old") : path);
        return false;
    }
    return true;
}

void DatabasePacking::tell(int id, int style, int title, const QString &why)
{
    Session &s = m_session;
    // Once the new file is in place (or the packing failed) the lock goes,
    // before any message waits for the user. The engine's reason, when
    // there is one, goes with the message.
    m_toolsOut.release();
    QApplication::restoreOverrideCursor();
    s.dialogs().MsgBox(m_window, why.isEmpty() ? s.GetString(id) : s.GetString(id) + QStringLiteral("\n\n") + why,
                       style, s.GetString(title));
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void DatabasePacking::fatal(const QString &whereTheDataIs)
{
    // The user is told where the data is when the program cannot go on.
    m_fatal = true;
    tell(Str::IrreversibleError, platform::vbCritical, Str::ErrorTitle, whereTheDataIs);
}

void DatabasePacking::packClosedStore()
{
    Session &s = m_session;
    const QString path = s.store.DatabasePath;
    const QString backup = path + QStringLiteral(".old");
    // Old versions and long-deleted topics go by the rule first; a store
    // that cannot let them go now (a full disk) is packed all the same.
    notes::History::Pruned pruned;
    static_cast<void>(s.history.prune(s.clock().now(), notes::Retention{}, &pruned));
    // The copy holds every page in use; the room it needs is said before
    // it starts, beside the room there is.
    const qint64 needed = s.store.bytesInUse();
    const QString room = s.GetString(Str::PackRoom).arg(QLocale().formattedDataSize(needed),
                                              QLocale().formattedDataSize(QStorageInfo(QFileInfo(path).absolutePath()).bytesAvailable()));
    // Closing the store also folds its write-ahead log into the file.
    s.store.close();
    const qint64 before = QFileInfo(path).size();
    // Whatever an earlier try left under the copy's name goes first.
    const QString packed = path + QStringLiteral(".new");
    QString error;
    // The copy is written on a thread of its own, so the windows stay drawn
    // while the dialog shows how far it has come.
    bool copied = false;
    if (store::NoteStore::removeDatabaseFile(packed)) {
        LongWork packing(m_window, s.GetString(Str::PackTitle), 0);
        copied = packing.runInBackground([&] { return s.CompactDatabase(path, packed, &error); }, room,
                                         [&] { return QFileInfo(packed).size(); }, needed);
    }
    if (!copied) {
        // The database has not moved: only the incomplete copy goes.
        // What is told is the copy's failure; a piece left behind harms nothing.
        static_cast<void>(store::NoteStore::removeDatabaseFile(packed));
        tell(Str::PackFailed, platform::vbCritical, Str::ErrorTitle, error);
    } else if (!store::NoteStore::replaceDatabaseFile(path, packed, backup)) {
        static_cast<void>(store::NoteStore::removeDatabaseFile(packed));
        if (!QFile::exists(path))
            fatal(backup);
        else
            tell(Str::PackFailed, platform::vbCritical, Str::ErrorTitle);
    } else {
        m_replaced = true;
        const qint64 freed = qMax<qint64>(0, before - QFileInfo(path).size());
        tell(Str::PackDone, platform::vbInformation, Str::PackDoneTitle,
             s.GetString(Str::PackRoomFreed).arg(QLocale().formattedDataSize(freed)));
    }
}
