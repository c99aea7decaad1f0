#include "Cli.h"

#include "places/AppEx.h"
#include "CliCommand.h"
#include "places/Places.h"

#include <QCoreApplication>
#include <QDir>

namespace cli {

namespace {

struct Help {
    const char *name;
    int (*run)(Command &);
    const char *synopsis;
    const char *text;
};

const Help kCommands[] = {
    {"find", find, "find [--json] PATTERN",
     "Prints the topics whose title or text matches PATTERN, as Find in topics\n"
     "shows them: * any characters, ? one character, # one digit, [a-z] one of,\n"
     "[!a-z] none of; case is ignored. Several words are one pattern, joined by\n"
     "blanks. One line per topic: category, title, key and last update,\n"
     "separated by tabs; with --json one JSON object per line. Exit code 1 when\n"
     "nothing matches. Runs while Quorvel runs."},
    {"export", exportTopics, "export [--format rtf|txt|html] DIR",
     "Writes every topic to DIR/<category>/<title>.<ext> (rtf by default), with\n"
     "names made safe for any file system and duplicates numbered, and\n"
     "DIR/index.json listing keys, titles, dates and alarms. DIR must be new or\n"
     "empty. The store is read as it stood at one moment, even while Quorvel\n"
     "saves."},
    {"import", importFiles, "import --category NAME FILE...",
     "Adds each RTF or text file as a topic of the category NAME, made when\n"
     "missing: the title is the file's name, a text file is read as UTF-8, else\n"
     "Windows-1252. All files or none. Refused while Quorvel runs."},
    {"backup", backup, "backup FILE",
     "Copies the store to FILE, a new file, as it stands at one moment (safe\n"
     "while Quorvel runs), and syncs it to the disk before it ends."},
    {"history", history, "history KEY",
     "Lists the earlier versions of the topic KEY, newest first: version, when\n"
     "a change replaced it, on which machine, its title and its first line,\n"
     "separated by tabs. Exit code 1 when it has none."},
    {"restore", restoreVersion, "restore KEY VERSION",
     "Makes VERSION (from 'history KEY') the topic's title, text, category and\n"
     "alarm again; what it replaces becomes a version. Refused while Quorvel\n"
     "runs."},
    {"deleted", deleted, "deleted [PATTERN]",
     "Lists the deleted topics whose title or text matches PATTERN (as find\n"
     "takes it; all without one), the last deleted first: key, category, title\n"
     "and when, separated by tabs. Exit code 1 when there are none."},
    {"undelete", undelete, "undelete KEY...",
     "Brings the deleted topics back, each into its category (made again when\n"
     "it is gone). Refused while Quorvel runs."},
    {"sync", sync, "sync [--remote URL] [--machine NAME] | sync --status",
     "Brings this machine's notes and those of the git repository at URL\n"
     "together: what either side changed is taken, and where both changed a\n"
     "topic's title or text, the other side's becomes a topic of its own,\n"
     "named \"Title (conflict, MACHINE, date)\". URL is anything git reaches\n"
     "(ssh://, https://, a path), with the keys and helpers git uses; it is\n"
     "kept, as is the machine's NAME that its changes carry. The first sync of\n"
     "a machine with notes adds them to the remote's. Refused while Quorvel\n"
     "runs. --status tells the remote, the machine, when the last sync\n"
     "succeeded and how many changes wait to be sent."},
    {"check", check, "check",
     "Checks the integrity of the store and of its search index; exit code 2\n"
     "when either fails."},
};

const Help *commandNamed(const QString &name)
{
    for (const Help &h : kCommands)
        if (name == QLatin1String(h.name))
            return &h;
    return nullptr;
}

void printOverview(QTextStream &s)
{
    s << "usage: quorvel-cli COMMAND [--folder DIR] [ARGUMENTS]\n\ncommands:\n";
    for (const Help &h : kCommands)
        s << "  " << h.synopsis << '\n';
    s << "  help [COMMAND]\n\n"
         "--folder DIR names the data folder; without it, the one Quorvel uses.\n"
         "Exit codes: 0 done, 1 nothing found, 2 bad usage or error.\n"
         "'quorvel-cli help COMMAND' or 'quorvel-cli COMMAND --help' tells more.\n";
}

void printHelp(QTextStream &s, const Help &h)
{
    s << "usage: quorvel-cli " << h.synopsis << " [--folder DIR]\n\n" << h.text << '\n';
}

} // namespace

// A title or category on one line of tab-separated output. Other control
// characters, and those that turn the direction of the text, are written
// escaped as JSON writes them (and so is the backslash): raw, a title could
// send the terminal commands of its own, or show as another.
QString oneLine(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            out += QLatin1Char(' ');
        else if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (u < 0x20 || (u >= 0x7f && u <= 0x9f) || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069)
                 || u == 0x2028 || u == 0x2029 || u == 0x200e || u == 0x200f)
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

bool Command::keepProgramOff(store::StoreLock &running, const char *instead)
{
    // The running program holds the store's records in its windows and
    // would not show changes made under it. It is known from its lock in
    // the data folder, whichever session or runtime folder it was started
    // from; held here for the command's length, no program starts meanwhile.
    folder = dataFolder();
    if (folder.isEmpty())
        return false;
    switch (running.acquire(places::RunLockPath(folder), store::StoreLock::Kind::Shared, 0)) {
    case store::StoreLock::Outcome::Taken:
        return true;
    case store::StoreLock::Outcome::Busy:
        fail(QStringLiteral("Quorvel is running: close it first, or %1").arg(QLatin1String(instead)));
        return false;
    case store::StoreLock::Outcome::Unusable:
        fail(running.error());
        return false;
    }
    return false;
}

bool Command::openStoreAlone(WritingStore &store, const char *instead)
{
    return keepProgramOff(store.running, instead) && openStore(store.ns, store.lock, true);
}

int Command::fail(const QString &message) const
{
    err << "quorvel-cli: " << message << '\n';
    err.flush();
    return kError;
}

int Command::usage(const QString &message) const
{
    err << "quorvel-cli: " << message << "\nTry 'quorvel-cli help" << (name.isEmpty() ? "" : " ") << name
        << "'.\n";
    err.flush();
    return kError;
}

bool Command::takeFlag(const QString &flag)
{
    const qsizetype end = words.indexOf(QStringLiteral("--"));
    const qsizetype at = words.indexOf(flag);
    if (at < 0 || (end >= 0 && at > end))
        return false;
    words.removeAt(at);
    return true;
}

bool Command::takeValue(const QString &option, QString *value)
{
    const qsizetype end = words.indexOf(QStringLiteral("--"));
    for (qsizetype i = 0; i < words.size() && (end < 0 || i < end); ++i) {
        if (words[i] == option) {
            if (i + 1 >= words.size()) {
                usage(QStringLiteral("%1 needs a value").arg(option));
                return false;
            }
            *value = words[i + 1];
            words.remove(i, 2);
            return true;
        }
        if (words[i].startsWith(option + QLatin1Char('='))) {
            *value = words[i].mid(option.size() + 1);
            words.removeAt(i);
            return true;
        }
    }
    return true;
}

bool Command::unknownOption() const
{
    for (const QString &w : words) {
        if (w == QLatin1String("--"))
            return false;
        if (w.startsWith(QLatin1Char('-')) && w.size() > 1) {
            usage(QStringLiteral("unknown option %1").arg(w));
            return true;
        }
    }
    return false;
}

QString Command::dataFolder() const
{
    if (!folder.isEmpty())
        return QDir(folder).absolutePath();
    // Beside the program when it is installed with it; its data folder is
    // named after it, not after this tool.
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvel");
    AppEx appEx;
    bool none = false;
    QString found;
    try {
        found = places::ResolveDataFolder(appEx, program, &none, false);
    } catch (const AppError &e) {
        fail(e.description());
        return QString();
    }
    if (none) {
        fail(QStringLiteral("no notes found: Quorvel has not made its database yet, or name its folder with --folder"));
        return QString();
    }
    return found;
}

bool Command::openStore(store::NoteStore &ns, store::StoreLock &lock, bool forWriting) const
{
    ns.DataFolder = dataFolder();
    if (ns.DataFolder.isEmpty())
        return false;
    const QString path = store::JoinPath(ns.DataFolder, store::kDatabaseFileName);
    if (!store::FileExists(path)) {
        fail(QStringLiteral("no notes in %1: %2 is missing").arg(ns.DataFolder, store::kDatabaseFileName));
        return false;
    }
    // Packing puts a new file under the database's name; it is not started
    // while this lock is held, and one under way is waited for.
    switch (lock.acquire(store::StoreLock::lockPath(path), store::StoreLock::Kind::Shared, 10000)) {
    case store::StoreLock::Outcome::Taken:
        break;
    case store::StoreLock::Outcome::Busy:
        fail(QStringLiteral("Quorvel is packing the notes; try again when it has finished"));
        return false;
    case store::StoreLock::Outcome::Unusable:
        fail(lock.error());
        return false;
    }
    const bool opened = forWriting ? ns.open() : ns.openForReading();
    if (!opened) {
        fail(ns.errorText());
        return false;
    }
    if (forWriting && ns.isReadOnly()) {
        fail(QStringLiteral("%1 cannot be written").arg(ns.DatabasePath));
        return false;
    }
    return true;
}

bool needsGui(const QStringList &args)
{
    // The command is the first word that is neither an option nor the
    // folder named by --folder.
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--folder"))
            ++i;
        else if (!args[i].startsWith(QLatin1Char('-')))
            return args[i] == QLatin1String("import") || args[i] == QLatin1String("export");
    }
    return false;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err, bool terminal)
{
    // Backups and exports hold the notes: they are the user's alone.
    places::KeepFilesPrivate();
    Command c{QString(), args, QString(), out, err, terminal};
    if (!c.takeValue(QStringLiteral("--folder"), &c.folder))
        return kError;
    const bool help = c.takeFlag(QStringLiteral("--help")) || c.takeFlag(QStringLiteral("-h"));
    if (c.words.isEmpty() || c.words.first().startsWith(QLatin1Char('-'))) {
        if (help) {
            printOverview(out);
            return kDone;
        }
        if (!c.words.isEmpty())
            return c.usage(QStringLiteral("unknown option %1").arg(c.words.first()));
        printOverview(err);
        return kError;
    }
    c.name = c.words.takeFirst();
    if (c.name == QLatin1String("help")) {
        c.name.clear();
        if (c.words.isEmpty()) {
            printOverview(out);
            return kDone;
        }
        const Help *h = commandNamed(c.words.first());
        if (!h || c.words.size() > 1)
            return c.usage(QStringLiteral("no such command: %1").arg(c.words.join(QLatin1Char(' '))));
        printHelp(out, *h);
        return kDone;
    }
    const Help *h = commandNamed(c.name);
    if (!h) {
        const QString name = c.name;
        c.name.clear();
        return c.usage(QStringLiteral("no such command: %1").arg(name));
    }
    if (help) {
        printHelp(out, *h);
        return kDone;
    }
    const int code = h->run(c);
    out.flush();
    err.flush();
    return code;
}

} // namespace cli
