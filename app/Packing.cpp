// Packing the database in place: the file is moved to a backup name, a
// compacted copy is written under its own name, and the store reopened.
// At every step a complete database stays at the database path or at the
// backup path, and the user is told which when the program cannot go on.

#include "frmPrincipale.h"

#include "Finestre.h"
#include "Session.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QListWidget>

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
    const auto fatal = [&](const QString &whereTheDataIs) {
        busy.pause();
        s.dialogs().MsgBox(this, s.GetString(238) + QStringLiteral("\n\n") + whereTheDataIs, platform::vbCritical,
                           s.GetString(507));
        ShutdownProgram();
    };

    const int shownCategory = ShownCategoryId();
    // 4. Closing the store also folds its write-ahead log into the file.
    s.store.close();
    QFile::remove(backup);
    if (!QFile::rename(path, backup)) {
        // Nothing moved: the database is where it was, whole; it is opened
        // again and packing is given up.
        busy.pause();
        box(237, platform::vbCritical, 507);
        busy.resume();
    } else {
        // 5.
        QString error;
        if (s.CompactDatabase(backup, path, &error)) {
            busy.pause();
            box(235, platform::vbInformation, 236);
            busy.resume();
        } else {
            // 8. Only the incomplete copy is deleted: the backup is the
            // database as it was.
            busy.pause();
            box(237, platform::vbCritical, 507);
            busy.resume();
            QFile::remove(path);
            if (QFile::exists(path) || !QFile::rename(backup, path)) {
                fatal(backup);
                return;
            }
        }
    }
    // 7.
    if (!s.store.open()) {
        fatal(QFile::exists(path) ? path : backup);
        return;
    }
    // The open category is the current record of rsCategorie again.
    if (shownCategory != -1) {
        s.store.rsCategorie->setIndex(QStringLiteral("PrimaryKey"));
        s.store.rsCategorie->seek(shownCategory);
    }
}
