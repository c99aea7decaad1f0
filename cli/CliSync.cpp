// sync: the notes of this machine and of the user's remote brought
// together, from a shell; its set-up and how it last went.

#include "CliCommand.h"

#include "Cli.h"
#include "sync/Sync.h"

namespace cli {

namespace {

int status(Command &c)
{
    store::NoteStore ns;
    store::StoreLock lock;
    if (!c.openStore(ns, lock, false))
        return kError;
    gitsync::SyncConfig config;
    if (!gitsync::readConfig(ns, &config))
        return c.fail(ns.errorText());
    const auto orNone = [](const QString &value, const char *none) {
        return value.isEmpty() ? QString::fromLatin1(none) : oneLine(value);
    };
    c.out << "remote\t" << orNone(config.remote, "(none)") << '\n'
          << "machine\t" << orNone(config.machine.isEmpty() ? ns.machineName : config.machine, "(unknown)") << '\n'
          << "automatic\t" << (config.automatic ? "on" : "off") << '\n'
          << "last synced\t" << orNone(config.lastSynced, "never") << '\n'
          << "waiting\t" << config.waiting << '\n';
    if (!config.lastError.isEmpty())
        c.out << "last error\t" << oneLine(config.lastError) << '\n';
    return kDone;
}

} // namespace

int sync(Command &c)
{
    if (c.takeFlag(QStringLiteral("--status"))) {
        if (c.unknownOption())
            return kError;
        return c.words.isEmpty() ? status(c) : c.usage(QStringLiteral("sync --status takes nothing else"));
    }
    QString remote, machine;
    if (!c.takeValue(QStringLiteral("--remote"), &remote) || !c.takeValue(QStringLiteral("--machine"), &machine)
        || c.unknownOption())
        return kError;
    if (!c.words.isEmpty())
        return c.usage(QStringLiteral("sync takes no words: %1").arg(c.words.join(QLatin1Char(' '))));
    WritingStore opened;
    if (!c.openStoreAlone(opened, "use Sync in its File menu"))
        return kError;
    store::NoteStore &ns = opened.ns;
    gitsync::SyncConfig config;
    if (!gitsync::readConfig(ns, &config))
        return c.fail(ns.errorText());
    if (!remote.isEmpty() || !machine.isEmpty()) {
        if (!remote.isEmpty())
            config.remote = remote;
        if (!machine.isEmpty())
            config.machine = machine;
        if (!gitsync::writeConfig(ns, config))
            return c.fail(ns.errorText());
    }
    if (config.remote.isEmpty())
        return c.usage(QStringLiteral("no remote yet: give one with --remote URL"));
    gitsync::SyncOutcome outcome;
    QString error;
    if (!gitsync::syncConfigured(ns, &outcome, &error))
        return c.fail(error);
    c.out << "received " << outcome.arrived.changed << ", sent " << outcome.sent << '\n';
    for (const QString &title : std::as_const(outcome.arrived.conflicts))
        c.out << "conflict\t" << oneLine(title) << '\n';
    for (const QString &name : std::as_const(outcome.arrived.namesLost))
        c.out << "category renamed elsewhere later\t" << oneLine(name) << '\n';
    return kDone;
}

} // namespace cli
