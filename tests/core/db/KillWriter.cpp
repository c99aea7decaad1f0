// Saves and moves in a loop until it is killed, saying after each commit
// what it committed ("saved N", "moved N"), for the kill test to check the
// file against. Usage: kill_writer FOLDER TOPIC FROM TO
//   TOPIC is saved with the count N in its body; every topic of FROM or TO
//   is moved to the other one, all in one write.

#include "notes/NoteStore.h"
#include "db/Sqlite.h"
#include "db/Recordset.h"

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
    // One cursor saves the topic, the other moves a category's topics.
    store::TableRecordset &rs = *ns.rsArgomenti;
    const auto mover = store::TableRecordset::open(ns.dbNotes, QStringLiteral("Argomenti"));
    if (!mover || !mover->setIndex(QStringLiteral("Categorie")) || !rs.setIndex(QStringLiteral("PrimaryKey")) || !rs.seek(topic))
        return 1;
    // Bodies large enough that a commit takes a while to be killed in.
    const QString filler(20000, QLatin1Char('x'));
    for (qint64 n = rs.field(QStringLiteral("ContenutoTxt")).toString().section(QLatin1Char(' '), 0, 0).toLongLong() + 1;; ++n) {
        if (!rs.seek(topic) || !rs.edit() || !rs.setField(QStringLiteral("ContenutoTxt"), QString::number(n) + QLatin1Char(' ') + filler)
            || !rs.setField(QStringLiteral("contenuto"), filler + QString::number(n)) || !rs.update())
            return 1;
        std::printf("saved %lld\n", n);

        // Whichever of the two holds the topics gives them to the other.
        store::Transaction tx(ns.dbNotes);
        const int source = mover->seek(from) ? from : to;
        const int target = source == from ? to : from;
        while (mover->seek(source)) {
            if (!mover->edit() || !mover->setField(QStringLiteral("idCategoria"), target) || !mover->update())
                return 1;
        }
        if (!tx.commit())
            return 1;
        std::printf("moved %lld to %d\n", n, target);
    }
}
