#include "BrowserFixture.h"
#include "Intact.h"
#include "SmallDisk.h"

#include <QFile>

class Packing : public BrowserFixture {
protected:
    QString path() const { return session->store.DatabasePath; }
    QString backup() const { return path() + QStringLiteral(".old"); }
    // Packs with Yes to both questions; boxes message boxes follow. Returns
    // what the last box said.
    QString pack(int boxes = 1)
    {
        services.dialogs.expectMsgBox(platform::vbYes);
        services.dialogs.expectMsgBox(platform::vbYes);
        for (int i = 0; i < boxes; ++i)
            services.dialogs.expectMsgBox();
        main->mnuCompatta_Click();
        return services.dialogs.shown().constLast().prompt;
    }
    int topicCount() { return stored::count(session->store.dbNotes, QStringLiteral("Argomenti")); }
};

TEST_F(Packing, IsRefusedWithAnEditorOpenOrWithoutTwoYes)
{
    openTopic(QStringLiteral("Agenda"));
    services.dialogs.expectMsgBox();
    main->mnuCompatta_Click();
    EXPECT_EQ(services.dialogs.shown().constLast().prompt, QStringLiteral("Close all windows first."));
    delete editorOf(topics["Agenda"]);
    services.dialogs.expectMsgBox(platform::vbNo);
    main->mnuCompatta_Click();
    services.dialogs.expectMsgBox(platform::vbYes);
    services.dialogs.expectMsgBox(platform::vbNo);
    main->mnuCompatta_Click();
    EXPECT_FALSE(QFile::exists(backup()));
    EXPECT_TRUE(session->store.isOpen());
    EXPECT_EQ(services.dialogs.shown()[1].style, platform::vbYesNo | platform::vbExclamation);
    EXPECT_EQ(services.dialogs.shown()[3].style, platform::vbYesNo | platform::vbQuestion);
}

TEST_F(Packing, AFailedMoveOfTheFileChangesNothing)
{
    // A folder in the backup's place makes the move fail.
    QDir().mkpath(backup() + QStringLiteral("/blocker"));
    pack();
    EXPECT_TRUE(QFileInfo(path()).isFile());
    ASSERT_TRUE(session->store.isOpen());
    EXPECT_EQ(topicCount(), 4);
    EXPECT_EQ(endedWith, -1);
}

TEST_F(Packing, SaysItIsDoneAndKeepsTheBackupTheTopicsAndTheOpenCategory)
{
    EXPECT_TRUE(pack().startsWith(QStringLiteral("Database packed.\n\nRoom given back: ")));
    EXPECT_TRUE(QFileInfo(backup()).isFile());
    ASSERT_TRUE(session->store.isOpen());
    EXPECT_EQ(topicCount(), 4);
    main->list().FillTopicList();  // the open category is still the current one
    EXPECT_EQ(listTexts().size(), 3);
}

TEST_F(Packing, LetsLongDeletedTopicsGoAndSaysHowMuchRoomThatGaveBack)
{
    stored::set(session->store.dbNotes, QStringLiteral("Argomenti"), {{QStringLiteral("contenuto"), QString(400000, u'x')}},
                QStringLiteral("idArgomento"), topics[QStringLiteral("Agenda")]);
    select(QStringLiteral("Agenda"));
    services.dialogs.expectMsgBox(platform::vbYes);
    main->cmdCancella_Click();
    services.clock.current = services.clock.current.addDays(91);
    const QString said = pack();
    EXPECT_EQ(stored::count(session->store.dbNotes, QStringLiteral("Eliminati")), 0);
    const QString freed = said.section(QStringLiteral("Room given back: "), 1);
    EXPECT_TRUE(freed.endsWith(QStringLiteral(" KiB."))) << said.toStdString();
}

TEST_F(Packing, AFatalErrorNamesTheBackupWhichHoldsThisRunsResult)
{
    main->cmdCambia_Click();
    select(QStringLiteral("Alpha"));
    services.dialogs.expectMsgBox(platform::vbYes);
    main->cmdCancella_Click();
    EXPECT_TRUE(pack().startsWith(QStringLiteral("Database packed.\n\nRoom given back: ")));
    // The compacted copy is no database: the program cannot go on.
    session->CompactDatabase = [](const QString &, const QString &target, QString *) {
        QFile copy(target);
        return copy.open(QIODevice::WriteOnly) && copy.write(QByteArray(8192, 'x')) == 8192;
    };
    const QString last = pack(2);
    EXPECT_TRUE(last.startsWith(QLatin1String("Irreversible error - program aborted.")));
    EXPECT_TRUE(last.contains(backup()));
    EXPECT_EQ(endedWith, 1);
    store::NoteStore old;
    old.DataFolder = home.mkdir(QStringLiteral("check"));
    ASSERT_TRUE(QFile::copy(backup(), old.DataFolder + QStringLiteral("/quorvel.mdb")));
    ASSERT_TRUE(old.open());
    EXPECT_EQ(stored::count(old.dbNotes, QStringLiteral("Categorie")), 2) << "the backup holds the database as it was before this run";
    EXPECT_EQ(stored::count(old.dbNotes, QStringLiteral("Argomenti")), 4) << "nothing was lost";
}

TEST_F(Packing, FullSmallDiskKeepsEveryTopicAndPacksOnceThereIsRoom)
{
    SmallDisk disk(20);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    // About 12 MB of topics, made beside and copied in whole: written in
    // place, its log would not fit.
    const QString made = home.mkdir(QStringLiteral("made"));
    makeDatabase(made);
    {
        store::Connection db;
        ASSERT_TRUE(db.open(made + QStringLiteral("/quorvel.mdb"), false));
        ASSERT_TRUE(db.exec(QStringLiteral(
            "INSERT INTO Categorie (Categoria) VALUES ('big');"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO Argomenti (idCategoria, argomento, contenuto, ContenutoTxt) "
            "SELECT 1, 'topic ' || i, hex(randomblob(2000)), 'body ' || i FROM n")));
    }
    ASSERT_TRUE(QFile::copy(made + QStringLiteral("/quorvel.mdb"), disk.path() + QStringLiteral("/quorvel.mdb")));
    ASSERT_GT(QFileInfo(disk.path() + QStringLiteral("/quorvel.mdb")).size(), 12'000'000);
    ASSERT_EQ(start({disk.path()}), frmPrincipale::LoadResult::Running);

    // No room for a compacted copy: the database stays as it was.
    EXPECT_TRUE(pack().startsWith(QLatin1String("Error while packing the database; the old file will be recovered.\n\n")));
    ASSERT_TRUE(session->store.isOpen());
    EXPECT_EQ(topicCount(), 3000);
    EXPECT_EQ(endedWith, -1);
    session->store.close();
    EXPECT_EQ(damageOf(path()), QString());
    QStringList left = QDir(disk.path()).entryList(QDir::Files);
    left.removeOne(QStringLiteral("quorvel.mdb.lock"));  // the lock packing takes against quorvel-cli
    left.removeOne(QStringLiteral("quorvel.mdb.run"));   // the lock of the running program
    EXPECT_EQ(left, QStringList{QStringLiteral("quorvel.mdb")}) << "nothing of the failed copy is left";

    // Two topics in three deleted: now the copy fits, and the backup stays.
    ASSERT_TRUE(session->store.open());
    // A hundred at a time, so that the log is folded back as it goes.
    for (int upTo = 100; upTo <= 3000; upTo += 100)
        ASSERT_TRUE(session->store.dbNotes.exec(
            QStringLiteral("DELETE FROM Argomenti WHERE idArgomento % 3 <> 0 AND idArgomento <= %1").arg(upTo)))
            << session->store.errorText().toStdString();
    EXPECT_TRUE(pack().startsWith(QStringLiteral("Database packed.\n\nRoom given back: ")));
    ASSERT_TRUE(session->store.isOpen());
    EXPECT_EQ(topicCount(), 1000);
    session->store.close();
    EXPECT_LT(QFileInfo(path()).size(), 6'000'000);
    EXPECT_EQ(damageOf(path()), QString());
    EXPECT_EQ(damageOf(backup()), QString());
}
