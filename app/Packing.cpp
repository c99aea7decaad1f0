// Packing the database in place: a compacted copy is written beside the
// file under a name of its own and synced; only then does the file take the
// backup name and the copy its place, and the store is reopened. The
// database never leaves its name before a complete copy is on the disk, so
// a full disk or a failed copy leaves it as it was; the user is told where
// the data is when the program cannot go on.

#include "frmPrincipale.h"

#include "Finestre.h"
#include "LongWork.h"
#include "Session.h"
#include "db/StoreLock.h"
#include "Utility.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QListWidget>
#include <QLocale>
#include <QStorageInfo>

namespace {
// A busy cursor for as long as the packing runs, whatever way it ends.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    void pause() { QApplication::restoreOverrideCursor(); paused = true; }
    void resume()
    {
        if (paused)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        paused = false;
    }
    bool paused = false;
};
} // namespace

void frmPrincipale::mnuCompatta_Click()
{
    Session &s = m_session;
    const auto box = [&](int id, int style, int title) { return s.dialogs().MsgBox(this, s.GetString(id), style, s.GetString(title)); };
    if (RefusedReadOnly(s, this))
        return;
    if (!s.finestre.AllWindowsClosed()) {
        box(232, platform::vbCritical, 507);
        return;
    }
    if (box(233, platform::vbYesNo | platform::vbExclamation, 725) != platform::vbYes)
        return;
    if (box(234, platform::vbYesNo | platform::vbQuestion, 725) != platform::vbYes)
        return;

    BusyCursor busy;
    const QString path = s.store.DatabasePath;
    const QString backup = path + QStringLiteral(".old");
    // The command-line tool reads the file under this lock, and would go on
    // reading the old file after the rename. Its commands are short: packing
    // waits a moment for them. Once the new file is in place (or the packing
    // failed) the lock goes, before any message waits for the user.
    store::StoreLock toolsOut;
    switch (toolsOut.acquire(store::StoreLock::lockPath(path), store::StoreLock::Kind::Exclusive, 3000)) {
    case store::StoreLock::Outcome::Taken:
        break;
    case store::StoreLock::Outcome::Busy:
        busy.pause();
        box(800, platform::vbCritical, 507);
        return;
    case store::StoreLock::Outcome::Unusable:
        busy.pause();
        s.dialogs().MsgBox(this, s.GetString(861).arg(toolsOut.error()), platform::vbCritical, s.GetString(507));
        return;
    }
    const auto fatal = [&](const QString &whereTheDataIs) {
        toolsOut.release();
        busy.pause();
        s.dialogs().MsgBox(this, s.GetString(238) + QStringLiteral("\n\n") + whereTheDataIs, platform::vbCritical,
                           s.GetString(507));
        ShutdownProgram();
    };

    // The engine's reason, when there is one, goes with the message.
    const auto tell = [&](int id, int style, int title, const QString &why = QString()) {
        toolsOut.release();
        busy.pause();
        s.dialogs().MsgBox(this, why.isEmpty() ? s.GetString(id) : s.GetString(id) + QStringLiteral("\n\n") + why,
                           style, s.GetString(title));
        busy.resume();
    };

    // The copy holds every page in use; the room it needs is said before
    // it starts, beside the room there is.
    const qint64 needed = s.store.bytesInUse();
    const QString room = s.GetString(834).arg(QLocale().formattedDataSize(needed),
                                              QLocale().formattedDataSize(QStorageInfo(QFileInfo(path).absolutePath()).bytesAvailable()));
    // Closing the store also folds its write-ahead log into the file.
    s.store.close();
    // Whatever an earlier try left under the copy's name goes first.
    const QString packed = path + QStringLiteral(".new");
    QString error;
    bool replaced = false;
    // The copy is written on a thread of its own, so the windows stay drawn
    // while the dialog shows how far it has come.
    bool copied = false;
    if (store::NoteStore::removeDatabaseFile(packed)) {
        LongWork packing(this, s.GetString(833), 0);
        copied = packing.runInBackground([&] { return s.CompactDatabase(path, packed, &error); }, room,
                                         [&] { return QFileInfo(packed).size(); }, needed);
    }
    if (!copied) {
        // The database has not moved: only the incomplete copy goes.
        // What is told is the copy's failure; a piece left behind harms nothing.
        static_cast<void>(store::NoteStore::removeDatabaseFile(packed));
        tell(237, platform::vbCritical, 507, error);
    } else if (!store::NoteStore::replaceDatabaseFile(path, packed, backup)) {
        static_cast<void>(store::NoteStore::removeDatabaseFile(packed));
        if (!QFile::exists(path)) {
            fatal(backup);
            return;
        }
        tell(237, platform::vbCritical, 507);
    } else {
        replaced = true;
        tell(235, platform::vbInformation, 236);
    }
    // A compacted copy that cannot be opened leaves the backup as the
    // database the user had.
    if (!s.store.open()) {
        fatal(replaced || !QFile::exists(path) ? backup : path);
        return;
    }
}
