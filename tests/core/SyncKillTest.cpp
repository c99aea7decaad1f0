// A machine killed at random moments while it saves and syncs, again and
// again, while another changes the same notes: its file stays intact, the
// next sync completes, both machines end with the same notes, and every
// text it said it saved is on one of them.
// QUORVEL_SYNC_KILLS sets the number of kills.

#include "Intact.h"
#include "SyncMachine.h"
#include "TempDir.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>

#include <csignal>

using namespace Qt::StringLiterals;

TEST(SyncKilling, AMachineKilledMidSyncKeepsItsFileAndEverySavedTextAndSyncsAfter)
{
    const int runs = qEnvironmentVariableIsSet("QUORVEL_SYNC_KILLS") ? qEnvironmentVariableIntValue("QUORVEL_SYNC_KILLS") : 12;
    TempDir dir;
    const QString remote = dir.mkdir(u"remote.git"_s);
    ASSERT_TRUE(gitsync::Git(remote).run({u"init"_s, u"-q"_s, u"--bare"_s}).ok());
    const QString deskFolder = dir.mkdir(u"desk"_s);
    {
        SyncMachine made(deskFolder, u"desk"_s, remote);
    }
    SyncMachine laptop(dir.mkdir(u"laptop"_s), u"laptop"_s, remote);
    const int inbox = laptop.category(u"Inbox"_s);
    QRandomGenerator random(QRandomGenerator::global()->generate());
    QSet<QString> saved;
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE(testing::Message() << "kill " << run + 1);
        QProcess desk;
        desk.start(QStringLiteral(SYNC_KILLER), {deskFolder, remote, u"desk"_s, QString::number(run)});
        ASSERT_TRUE(desk.waitForStarted());
        const int lines = int(random.bounded(1, 6));
        for (int heard = 0; heard < lines;) {
            if (!desk.canReadLine() && !desk.waitForReadyRead(30000))
                FAIL() << "the desk stopped: " << desk.readAllStandardError().toStdString();
            for (; desk.canReadLine() && heard < lines; ++heard) {
                const QByteArray line = desk.readLine().trimmed();
                if (line.startsWith("saved "))
                    saved.insert(QString::fromUtf8(line.mid(6)));
            }
        }
        QThread::usleep(random.bounded(30000));
        ::kill(pid_t(desk.processId()), SIGKILL);
        desk.waitForFinished();
        for (const QByteArray &line : desk.readAllStandardOutput().split('\n'))
            if (line.startsWith("saved "))
                saved.insert(QString::fromUtf8(line.mid(6).trimmed()));
        ASSERT_EQ(damageOf(deskFolder + u"/quorvel.mdb"_s), QString());
        // Meanwhile the other machine adds and syncs.
        ASSERT_GT(laptop.add(inbox, u"L%1"_s.arg(run), u"laptop %1"_s.arg(run)), 0);
        ASSERT_TRUE(laptop.sync());
    }
    SyncMachine desk(deskFolder, u"desk"_s, remote, true);
    ASSERT_TRUE(desk.sync());
    ASSERT_TRUE(laptop.sync());
    EXPECT_EQ(desk.notes(), laptop.notes());
    // Each text the desk said it saved, on the laptop now.
    QSet<QString> there;
    store::Statement st(laptop.ns.dbNotes, u"SELECT ContenutoTxt FROM Argomenti UNION SELECT ContenutoTxt FROM Versioni"_s);
    while (st.step())
        there.insert(st.columnText(0).section(u' ', 0, 2));
    for (const QString &text : std::as_const(saved))
        EXPECT_TRUE(there.contains(text)) << "lost: " << text.toStdString();
}
