#pragma once
// Where the program's files are, answered the same way for the program and
// for its command-line tool: the data folder when none is named, and the
// per-user runtime folder where a running copy is reached and holds its lock.

#include <QString>

#include <sys/types.h>

class AppEx;

namespace places {

// The default data folder: <data home>/Ostwick/<executable name>, created
// when missing (unless makeFolder is false); when it holds no database, the
// executable's own folder. createNew is set when neither place has a
// database: the program then makes one in the default folder, which is what
// the result names in that case (empty when it was not to be made and is
// missing). AppError from the folder query propagates.
QString ResolveDataFolder(AppEx &appEx, const QString &executablePath, bool *createNew, bool makeFolder = true);

// Every file and folder the program or its tool makes from now on is the
// user's alone, whatever umask it was started with: the notes are private.
void KeepFilesPrivate();
// The umask the program was started with, for the programs it starts (a
// mail program, a browser), whose files are the user's business.
mode_t UserUmask();
// Closes the program's own data folder when others may read or enter it (it
// was made before files were kept private), and the database files in it.
// The change is told on standard error, once, when it is made.
void TightenDataFolder(const QString &folder);

// The per-user folder of the running copy's channel and lock: one only the
// user can enter (XDG_RUNTIME_DIR, else the system's temporary folder's
// runtime-<user>, else one inside the user's data home). A folder owned by
// someone else, or open to others, is never used: another user could hold
// the lock or answer on the channel. Refusing one is told on standard error.
QString RuntimeFolder(bool create);
// Before the application object exists: points XDG_RUNTIME_DIR at the
// runtime folder when it is unset, so that Qt's own uses of it are private
// too and it has nothing to warn about.
void UsePrivateRuntimeFolder();
// The running copy's channel; its lock file is this name with ".run".
QString InstanceChannelPath(bool create);

// The lock a running program holds in its data folder for its whole run
// (the database's name with ".run"): a second program on the same folder
// and an import respect it, whatever runtime folder they were started with.
QString RunLockPath(const QString &dataFolder);

} // namespace places
