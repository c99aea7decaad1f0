// Changes a topic and syncs in a loop until it is killed, saying each text
// once it is saved ("saved TEXT") and each sync once it ended ("synced"),
// for the kill test to check against.
// Usage: sync_killer FOLDER REMOTE MACHINE RUN

#include "notes/Categories.h"
#include "notes/NoteStore.h"
#include "notes/Topics.h"
#include "sync/Sync.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    store::NoteStore ns;
    ns.DataFolder = args[1];
    ns.machineName = args[3];
    if (!ns.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(ns.errorText()));
        return 1;
    }
    gitsync::SyncSettings settings;
    settings.remote = args[2];
    settings.repository = gitsync::repositoryPath(ns.DataFolder);
    notes::Topics topics(ns);
    const int category = notes::Categories(ns).insert(QStringLiteral("run %1").arg(args[4]));
    for (int n = 0;; ++n) {
        // Enough text that a write takes a while to be killed in.
        const QString text = QStringLiteral("%1 %2 %3 ").arg(args[3], args[4]).arg(n) + QString(5000, QLatin1Char('x'));
        if (topics.save({-1, category, QStringLiteral("T%1").arg(n), QStringLiteral("{\\rtf1 %1}").arg(text), text,
                         QDateTime::currentDateTime(), {}, 0}) < 0)
            return 1;
        std::printf("saved %s\n", qPrintable(text.section(QLatin1Char(' '), 0, 2)));
        gitsync::SyncOutcome outcome;
        QString error;
        if (!gitsync::syncStore(ns, settings, &outcome, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        std::printf("synced\n");
    }
}
