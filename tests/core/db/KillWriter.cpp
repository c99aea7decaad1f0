// Saves and moves in a loop until it is killed, saying after each commit
// what it committed ("saved N", "moved N"), for the kill test to check the
// file against. Usage: kill_writer FOLDER TOPIC FROM TO
//   TOPIC is saved with the count N in its body; every topic of FROM or TO
//   is moved to the other one, all in one write.

#include "notes/NoteStore.h"
#include "notes/Topics.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each line out as soon as it is said
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    store::NoteStore ns;
    ns.DataFolder = args[1];
    if (!ns.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(ns.errorText()));
        return 1;
    }
    const int topic = args[2].toInt(), from = args[3].toInt(), to = args[4].toInt();
    // The program's own writes: a save of the topic, a move of a category's
    // topics.
    notes::Topics topics(ns);
    notes::StoredTopic stored;
    if (topics.load(topic, &stored) != notes::Found::Yes)
        return 1;
    // Bodies large enough that a commit takes a while to be killed in.
    const QString filler(20000, QLatin1Char('x'));
    for (qint64 n = stored.plainText.value_or(QString()).section(QLatin1Char(' '), 0, 0).toLongLong() + 1;; ++n) {
        int category = -1;
        if (topics.categoryOf(topic, &category) != notes::Found::Yes
            || topics.save({topic, category, stored.title.value_or(QString()), filler + QString::number(n),
                            QString::number(n) + QLatin1Char(' ') + filler, QDateTime::currentDateTime(), {}, 0})
                == -1)
            return 1;
        std::printf("saved %lld\n", n);

        // Whichever of the two holds the topics gives them to the other.
        bool ok = true;
        QList<notes::ListEntry> listed = topics.listOf(from, &ok);
        const int source = ok && !listed.isEmpty() ? from : to;
        const int target = source == from ? to : from;
        if (source == to)
            listed = topics.listOf(to, &ok);
        QList<int> keys;
        for (const notes::ListEntry &e : listed)
            keys << e.key;
        if (!ok || !topics.moveAll(keys, target))
            return 1;
        std::printf("moved %lld to %d\n", n, target);
    }
}
