#pragma once
// Where the program's files are, answered the same way for the program and
// for its command-line tool: the data folder when none is named, and the
// per-user runtime folder where a running copy is reached and holds its lock.

#include <QString>

class AppEx;

namespace Avvio {

// The default data folder: <data home>/Ostwick/<executable name>, created
// when missing (unless makeFolder is false); when it holds no database, the
// executable's own folder. createNew is set when neither place has a
// database: the program then makes one in the default folder, which is what
// the result names in that case (empty when it was not to be made and is
// missing). AppError from the folder query propagates.
QString ResolveDataFolder(AppEx &appEx, const QString &executablePath, bool *createNew, bool makeFolder = true);

} // namespace Avvio

namespace places {

// The per-user folder of the running copy's channel and lock.
QString RuntimeFolder(bool create);
// The running copy's channel; its lock file is this name with ".run".
QString InstanceChannelPath(bool create);
// True while a copy of the program runs for this user: it holds the lock
// on the channel's ".run" file for its whole run. Creates nothing.
bool ProgramRunning();

} // namespace places
