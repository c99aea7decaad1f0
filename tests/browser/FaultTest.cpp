// Every writing operation run at each of its failure points: the disk
// refuses the n-th write, sync or truncate and every one after it (full, or
// failing), for n from 1 to the number the operation makes in a clean run.
// After each run the file must be intact, the notes either as they were or
// as the operation leaves them (never half), as they leave them whenever
// the user was not told of an error, and the program still running unless
// it said it must end.

#include "BrowserFixture.h"
#include "FaultyDisk.h"
#include "Intact.h"
#include "DeletedTopicsWindow.h"
#include "HistoryWindow.h"
#include "SyncMachine.h"
#include "SyncRunner.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

namespace {

// The notes as the user knows them, categories and topics with their keys,
// and the format of the file that holds them.
QString notesIn(const QString &path)
{
    if (!QFileInfo::exists(path))
        return QStringLiteral("<no file>");
    store::Connection db;
    if (!db.open(path, false))
        return QStringLiteral("<unreadable>");
    QString out;
    QStringList queries{QStringLiteral("SELECT idCategoria, Categoria FROM Categorie ORDER BY 1"),
                        QStringLiteral("SELECT idArgomento, idCategoria, argomento, contenuto, ContenutoTxt, "
                                       "ultimoaggiornamento FROM Argomenti ORDER BY 1"),
                        QStringLiteral("SELECT count(*) FROM Setup"),
                        QStringLiteral("SELECT user_version FROM pragma_user_version"),
                        QStringLiteral("SELECT name FROM sqlite_schema ORDER BY 1")};
    // What changes replaced and deletes took away, in a file that keeps them.
    store::Statement kept(db, QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name = 'Versioni'"));
    if (kept.step() && kept.columnInt(0) > 0)
        queries << QStringLiteral("SELECT idArgomento, idCategoria, argomento, contenuto FROM Versioni ORDER BY idVersione")
                << QStringLiteral("SELECT idArgomento, Categoria, argomento, contenuto FROM Eliminati ORDER BY 1");
    for (const QString &sql : std::as_const(queries)) {
        store::Statement st(db, sql);
        while (st.step()) {
            for (int c = 0; c < st.columnCount(); ++c)
                out += st.column(c).toString() + QLatin1Char('|');
            out += QLatin1Char('\n');
        }
        if (st.failed())
            return QStringLiteral("<unreadable>");
    }
    return out;
}

} // namespace

class Faults : public BrowserFixture {
protected:
    struct Operation {
        const char *name;
        std::function<void()> prepare;  // not counted: getting there
        std::function<void()> run;      // the write, at every failure point
        bool runIsStart = false;        // nothing runs before run, a start
    };

    QString path() const { return defaultFolder() + QStringLiteral("/quorvel.mdb"); }

    void SetUp() override
    {
        BrowserFixture::SetUp();
        services.dialogs.answerEveryMsgBox(platform::vbYes);
        stop();
        m_pristine = TempDir::read(path());
        ASSERT_FALSE(m_pristine.isEmpty());
    }

    // The program as it was at the start of the test, or on no database.
    void relaunch(bool withDatabase)
    {
        stop();
        for (const QString &p : {path(), path() + QStringLiteral(".old"), path() + QStringLiteral(".new")})
            ASSERT_TRUE(store::NoteStore::removeDatabaseFile(p));
        endedWith = -1;
        if (!withDatabase)
            return;
        ASSERT_FALSE(TempDir::write(path(), m_pristine).isEmpty());
        ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
        main->show();
    }

    bool toldOfError(qsizetype from) const
    {
        const auto &shown = services.dialogs.shown();
        return std::any_of(shown.begin() + from, shown.end(), [](const auto &box) {
            return box.title == QLatin1String("Error") || box.title == QLatin1String("Errore");
        });
    }

    // Runs op cleanly (failing from call 0: never), then at each failure
    // point; returns how many there were. doneThoughTold counts the runs that
    // told of an error and yet were found done: a log synced in vain still
    // holds the whole change.
    int walk(const Operation &op, int *doneThoughTold)
    {
        FaultyDisk disk;
        QString before, after;
        int points = 0;
        for (const auto fault : {FaultyDisk::Fault::Full, FaultyDisk::Fault::IoError}) {
            for (int n = fault == FaultyDisk::Fault::Full ? 0 : 1; n <= points; ++n) {
                SCOPED_TRACE(testing::Message() << op.name << ", failing from call " << n << " of " << points
                                                << (fault == FaultyDisk::Fault::Full ? " (disk full)" : " (I/O error)"));
                relaunch(!op.runIsStart);
                op.prepare();
                if (n == 0)
                    before = notesIn(path());
                const qsizetype boxes = services.dialogs.shown().size();
                disk.failFrom(n, fault);
                {
                    // The language window of a first start, when it comes.
                    auto language = whenShown<frmLanguage>([](frmLanguage *d) { d->cmdOk->click(); }, 2000, false);
                    op.run();
                }
                if (n == 0)
                    points = disk.calls();
                disk.heal();
                const bool told = toldOfError(boxes);
                EXPECT_TRUE(op.runIsStart || endedWith != -1 || session->store.isOpen()) << "the program goes on";
                stop();
                const QString now = notesIn(path());
                if (n == 0) {
                    after = now;
                    EXPECT_FALSE(told) << "the clean run told of an error";
                    // Packing changes no note.
                    EXPECT_TRUE(std::string(op.name) == "packing" || before != after) << "the clean run changed nothing";
                    continue;
                }
                EXPECT_EQ(now == QLatin1String("<no file>") ? QString() : damageOf(path()), QString());
                // No journal, log or half copy that a later file could meet.
                for (const QString &left :
                     QDir(defaultFolder()).entryList({QStringLiteral("quorvel.mdb?*")}, QDir::Files | QDir::Hidden))
                    EXPECT_TRUE(left == QLatin1String("quorvel.mdb.old") || left == QLatin1String("quorvel.mdb.lock")
                                || left == QLatin1String("quorvel.mdb.run"))
                        << left.toStdString() << " left behind";
                EXPECT_TRUE(now == before || now == after) << "half done:\n" << now.toStdString();
                EXPECT_TRUE(told || now == after) << "not told, so it must be done:\n" << now.toStdString();
                if (told && now == after && before != after)
                    ++*doneThoughTold;
            }
        }
        return points;
    }

    // Agenda saved with another text through its editor: a version.
    void saveAgenda()
    {
        frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
        e->rtfContenuto->setPlainText(QStringLiteral("A new body for the agenda"));
        e->cmdSalva_Click();
    }

    QByteArray m_pristine;
};

TEST_F(Faults, EveryWriteFailsCleanlyAtEachOfItsFailurePoints)
{
    const auto nothing = [] {};
    const Operation operations[] = {
        {"save a topic", [this] { openTopic(QStringLiteral("Agenda")); },
         [this] {
             frmNuovoArg *e = editorOf(topics.value(QStringLiteral("Agenda")));
             e->rtfContenuto->setPlainText(QStringLiteral("A new body for the agenda"));
             e->cmdSalva_Click();
         }},
        {"save a new topic", [this] { main->cmdInserisci_Click(); },
         [this] {
             frmNuovoArg *e = Editors(*session).value(0);
             e->txtArgomento->setText(QStringLiteral("Fresh"));
             e->rtfContenuto->setPlainText(QStringLiteral("fresh body"));
             e->cmdSalva_Click();
         }},
        {"move", [this] { select(QStringLiteral("Agenda")); },
         [this] {
             const auto chooser = chooseCategory(QStringLiteral("Zeta"));
             main->mnuSposta_Click();
         }},
        {"move all", nothing,
         [this] {
             const auto chooser = chooseCategory(QStringLiteral("Zeta"));
             main->mnuSpostaTutti_Click();
         }},
        {"paste after cut",
         [this] {
             select(QStringLiteral("Agenda"));
             main->mnuTaglia_Click();
             openCategory(QStringLiteral("Zeta"));
         },
         [this] { main->mnuIncolla_Click(); }},
        {"delete", [this] { select(QStringLiteral("Agenda")); }, [this] { main->cmdCancella_Click(); }},
        {"restore a version", [this] { saveAgenda(); },
         [this] {
             auto history = whenShown<HistoryWindow>([](HistoryWindow *w) {
                 w->restoreButton()->click();
                 if (w->isVisible())  // the restore failed and said so
                     w->reject();
             });
             openTopic(QStringLiteral("Agenda"))->mnuCronologiaNA_Click();
         }},
        {"undelete",
         [this] {
             select(QStringLiteral("Agenda"));
             main->cmdCancella_Click();
         },
         [this] {
             auto deleted = whenShown<DeletedTopicsWindow>([](DeletedTopicsWindow *w) {
                 w->list()->topLevelItem(0)->setSelected(true);
                 w->restoreButton()->click();
                 w->reject();
             });
             main->mnuEliminati_Click();
         }},
        {"packing", nothing, [this] { main->mnuCompatta_Click(); }},
        {"packing away old versions",
         [this] {
             // Two versions of one month long ago: the month's last stays.
             saveAgenda();
             ASSERT_TRUE(session->store.dbNotes.exec(QStringLiteral(
                 "UPDATE Versioni SET DataOraVersione = '2001-01-02 00:00:00'; "
                 "INSERT INTO Versioni (idArgomento, DataOraVersione, idCategoria, argomento, contenuto, ContenutoTxt) "
                 "SELECT idArgomento, '2001-01-01 00:00:00', idCategoria, argomento, contenuto, ContenutoTxt FROM Versioni")));
         },
         [this] { main->mnuCompatta_Click(); }},
        {"first-start creation", nothing, [this] { start(); }, true},
        // A file of the first format: every table added since is built at its opening.
        {"opening an older file",
         [this] {
             ASSERT_FALSE(TempDir::write(path(), m_pristine).isEmpty());
             store::Connection db;
             ASSERT_TRUE(db.open(path(), false));
             QString older = QStringLiteral("DROP TABLE ArgomentiFts; DROP TABLE Bozze; DROP TABLE ArgomentiTesto; "
                                            "DROP TABLE ArgomentiInizio; DROP TABLE Versioni; DROP TABLE Eliminati; "
                                            "DROP TABLE ArgomentiId; DROP TABLE CategorieId; DROP TRIGGER Argomenti_id_insert; "
                                            "DROP TRIGGER Argomenti_id_delete; DROP TRIGGER Categorie_id_insert; "
                                            "DROP TRIGGER Categorie_id_delete; "
                                            "PRAGMA user_version = 1;");
             for (const char *copy : {"fts", "testo", "inizio"})
                 for (const char *on : {"insert", "delete", "update"})
                     older += QStringLiteral(" DROP TRIGGER Argomenti_%1_%2;").arg(QLatin1String(copy), QLatin1String(on));
             ASSERT_TRUE(db.exec(older));
         },
         [this] { start(); }, true},
    };
    for (const Operation &op : operations) {
        int doneThoughTold = 0;
        const int points = walk(op, &doneThoughTold);
        EXPECT_GT(points, 0) << op.name;
        std::printf("[ failure points ] %s: %d, each as disk full and as I/O error; told yet done: %d\n", op.name,
                    points, doneThoughTold);
    }
}

// Its own test: a sync's walk is long enough to be timed apart.
TEST_F(Faults, MergingAnotherMachinesNotesFailsCleanlyAtEachOfItsFailurePoints)
{
    TempDir elsewhere;
    const QString remote = elsewhere.path() + QStringLiteral("/remote.git");
    const Operation merging =
        {"merging another machine's notes",
         [&] {
             // A remote holding another machine's category and topic, the same each time.
             for (const QString &gone : {remote, elsewhere.path() + QStringLiteral("/laptop"),
                                         gitsync::repositoryPath(defaultFolder())})
                 QDir(gone).removeRecursively();
             ASSERT_TRUE(gitsync::Git(elsewhere.path()).run({QStringLiteral("init"), QStringLiteral("-q"),
                                                             QStringLiteral("--bare"), remote}).ok());
             SyncMachine laptop(elsewhere.mkdir(QStringLiteral("laptop")), QStringLiteral("laptop"), remote);
             ASSERT_GT(notes::Topics(laptop.ns).save({-1, laptop.category(QStringLiteral("Travel")),
                                                      QStringLiteral("Tickets"), QStringLiteral("{\\rtf1 two}"),
                                                      QStringLiteral("two"), QDateTime(QDate(2026, 1, 2), QTime(9, 0)),
                                                      {}, 0}),
                       0);
             ASSERT_TRUE(laptop.sync());
             gitsync::SyncConfig config;
             config.remote = remote;
             config.automatic = false;
             ASSERT_TRUE(gitsync::writeConfig(session->store, config));
         },
         [this] {
             QSignalSpy ended(&main->syncer(), &SyncRunner::ended);
             main->mnuSync_Click();
             ASSERT_TRUE(ended.wait(30000));
         }};
    int doneThoughTold = 0;
    const int points = walk(merging, &doneThoughTold);
    EXPECT_GT(points, 0);
    std::printf("[ failure points ] %s: %d, each as disk full and as I/O error; told yet done: %d\n", merging.name,
                points, doneThoughTold);
}

TEST_F(Faults, AFailingDraftNeverTouchesTheTopicIsTriedAgainAndIsToldWhenItKeepsFailing)
{
    FaultyDisk disk;
    const auto typed = [this] {
        frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
        e->rtfContenuto->textCursor().insertText(QStringLiteral("typed, not saved"));
        return e;
    };
    relaunch(true);
    const QString before = notesIn(path());
    frmNuovoArg *e = typed();
    disk.failFrom(0);
    ASSERT_TRUE(e->WriteDraft());
    const int points = disk.calls();
    disk.heal();
    for (int n = 1; n <= points; ++n) {
        SCOPED_TRACE(testing::Message() << "failing from call " << n << " of " << points);
        relaunch(true);
        e = typed();
        const qsizetype boxes = services.dialogs.shown().size();
        disk.failFrom(n);
        EXPECT_FALSE(e->WriteDraft());
        disk.heal();
        EXPECT_EQ(services.dialogs.shown().size(), boxes) << "one failure is not worth a word";
        EXPECT_TRUE(e->WriteDraft()) << "tried again";
        store::Statement drafts(session->store.dbNotes, QStringLiteral("SELECT count(*) FROM Bozze"));
        EXPECT_EQ(drafts.step() ? drafts.columnInt(0) : -1, 1) << "one draft";
        stop();
        EXPECT_EQ(damageOf(path()), QString());
        EXPECT_EQ(notesIn(path()), before) << "a draft never touches the topics";
    }
    // A disk that keeps refusing: the user hears of it once.
    relaunch(true);
    e = typed();
    const qsizetype boxes = services.dialogs.shown().size();
    disk.failFrom(1);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(e->WriteDraft());
    disk.heal();
    EXPECT_EQ(services.dialogs.shown().size(), boxes + 1);
    EXPECT_TRUE(toldOfError(boxes));
    std::printf("[ failure points ] write a draft: %d\n", points);
}
