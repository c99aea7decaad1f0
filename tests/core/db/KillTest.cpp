// A writer killed at random moments, again and again: every change it said
// was done is in the file with a version of what it replaced, none is there
// in part, and the file is intact.
// QUORVEL_KILL_RUNS sets the number of kills (tools/killtest.sh runs more).

#include "Intact.h"
#include "StoreFixture.h"
#include "db/Sqlite.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>

using Killing = StoreFixture;

TEST_F(Killing, WriterKilledAtRandomMomentsKeepsEveryAcknowledgedChange)
{
    const int runs = qEnvironmentVariableIsSet("QUORVEL_KILL_RUNS") ? qEnvironmentVariableIntValue("QUORVEL_KILL_RUNS") : 30;
    const QString path = dir.file(store::kDatabaseFileName);
    ASSERT_TRUE(ns.dbNotes.exec(
        u"INSERT INTO Categorie (idCategoria, Categoria) VALUES (1, 'counter'), (2, 'left'), (3, 'right');"
        "INSERT INTO Argomenti (idArgomento, idCategoria, argomento, ContenutoTxt) VALUES (1, 1, 'count', '0');"
        "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 41) "
        "INSERT INTO Argomenti (idArgomento, idCategoria, argomento, contenuto, ContenutoTxt) "
        "SELECT i, 2, 'topic ' || i, hex(randomblob(3000)), 'body ' || i FROM n"_s));
    ns.close();
    QRandomGenerator random(QRandomGenerator::global()->generate());
    qint64 lastSaved = 0;
    int lastTarget = 2, killedMidWrite = 0;
    // "saved N" and "moved A to B" lines are the writer's acknowledgements.
    const auto heard = [&](const QByteArray &line) {
        const QStringList words = QString::fromLatin1(line).split(QLatin1Char(' '));
        if (words.value(0) == QLatin1String("saved"))
            lastSaved = words.value(1).toLongLong();
        else if (words.value(0) == QLatin1String("moved"))
            lastTarget = words.value(3).toInt();
    };
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE(testing::Message() << "kill " << run + 1);
        QProcess writer;
        writer.start(QStringLiteral(KILL_WRITER), {dir.path(), u"1"_s, u"2"_s, u"3"_s});
        ASSERT_TRUE(writer.waitForStarted());
        // Killed after a random number of commits, whatever it is doing then.
        const int acks = int(random.bounded(1, 40));
        for (int seen = 0; seen < acks;) {
            if (!writer.canReadLine() && !writer.waitForReadyRead(30000))
                FAIL() << "the writer stopped: " << writer.readAllStandardError().toStdString();
            for (; writer.canReadLine() && seen < acks; ++seen)
                heard(writer.readLine().trimmed());
        }
        // A random moment within the next commits, not just after one: the
        // pause is the randomness, nothing waits on it.
        QThread::usleep(random.bounded(5000));
        ::kill(pid_t(writer.processId()), SIGKILL);
        writer.waitForFinished();
        // Lines said before the kill count as acknowledged too.
        for (const QByteArray &line : writer.readAllStandardOutput().split('\n'))
            heard(line);

        ASSERT_EQ(damageOf(path), QString());
        store::Connection db;
        ASSERT_TRUE(db.open(path, false));
        store::Statement count(db, u"SELECT ContenutoTxt, contenuto FROM Argomenti WHERE idArgomento = 1"_s);
        ASSERT_TRUE(count.step());
        const qint64 stored = count.columnText(0).section(QLatin1Char(' '), 0, 0).toLongLong();
        EXPECT_TRUE(stored == lastSaved || stored == lastSaved + 1) << stored << " stored, " << lastSaved << " said";
        EXPECT_TRUE(count.columnText(1).endsWith(QString::number(stored))) << "a save is whole";
        count.reset();
        // What each save replaced, counts 0 to stored - 1, is kept as a version.
        store::Statement kept(db, u"SELECT count(DISTINCT CAST(ContenutoTxt AS INTEGER)), max(CAST(ContenutoTxt AS INTEGER)) "
                                  "FROM Versioni WHERE idArgomento = 1 AND TestoUguale = 0"_s);
        ASSERT_TRUE(kept.step());
        EXPECT_EQ(kept.columnInt(0), stored);
        EXPECT_EQ(kept.columnInt(1), stored - 1);
        store::Statement where(db, u"SELECT group_concat(DISTINCT idCategoria), count(*) FROM Argomenti WHERE idArgomento > 1"_s);
        ASSERT_TRUE(where.step());
        EXPECT_EQ(where.columnInt(1), 40);
        const QString held = where.columnText(0);
        ASSERT_TRUE(held == QLatin1String("2") || held == QLatin1String("3")) << "moved all together: " << held.toStdString();
        // A save or move under way when killed that went through.
        killedMidWrite += (held.toInt() != lastTarget) + (stored != lastSaved);
        lastSaved = stored;
        lastTarget = held.toInt();
    }
    std::printf("[ kill test ] %d kills; %d found a write said nothing of yet done whole\n", runs, killedMidWrite);
}
