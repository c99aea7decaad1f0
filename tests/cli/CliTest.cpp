// quorvel-cli's commands run in this process against the store of a running
// main window; the drop on the main window's list; packing against the
// tool's lock.

#include "BrowserFixture.h"
#include "Cli.h"
#include "FaultyDisk.h"
#include "Intact.h"
#include "QtPlatform.h"
#include "Rtf.h"
#include "db/Like.h"
#include "notes/Search.h"
#include "db/StoreLock.h"

#include <QDropEvent>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QUrl>

#include <atomic>
#include <csignal>
#include <sys/stat.h>
#include <thread>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class Cli : public BrowserFixture {
protected:
    void SetUp() override
    {
        // A running copy is known by a lock in the runtime folder: this
        // test's own, whatever else runs on the machine.
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QString runtime = home.mkdir(u"runtime"_s);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        BrowserFixture::SetUp();
        QTextDocument doc;
        doc.setPlainText(u"Città di mare\nseconda riga, O'Brien"_s);
        addTopic(session->store, categories[u"beta"_s], u"Porto"_s, QString::fromLatin1(rtf::write(&doc)));
        session->store.dbNotes.exec(u"UPDATE Argomenti SET ContenutoTxt = 'Città di mare\nseconda riga, O''Brien' WHERE argomento = 'Porto'"_s);
    }
    void TearDown() override
    {
        BrowserFixture::TearDown();
        qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
    }
    struct Result {
        int code;
        QString out, err;
    };
    Result cli(QStringList args, const QString &folder = QString())
    {
        args << u"--folder"_s << (folder.isEmpty() ? defaultFolder() : folder);
        Result r{0, {}, {}};
        QTextStream out(&r.out), err(&r.err);
        r.code = cli::run(args, out, err, false);
        return r;
    }
    // Arguments without spaces of their own, as one text.
    Result cli(const char *words, const QString &folder = QString()) { return cli(QString::fromUtf8(words).split(u' ', Qt::SkipEmptyParts), folder); }
    // Titles and searchable texts of a category, in title order, read
    // whether or not the program runs.
    QStringList topicsOf(const QString &category)
    {
        store::Connection db;
        EXPECT_TRUE(db.openReader(defaultFolder() + u"/quorvel.mdb"_s));
        store::Statement st(db, u"SELECT argomento || '|' || ContenutoTxt FROM Argomenti a JOIN Categorie c "
                                                    "USING (idCategoria) WHERE Categoria = ?1 ORDER BY argomento"_s);
        st.bind(1, category);
        QStringList out;
        while (st.step())
            out << st.columnText(0);
        return out;
    }

private:
    QByteArray m_oldRuntime;
};

TEST_F(Cli, FindGivesWhatFindInTopicsGivesInItsOrder)
{
    for (const QString &pattern : {u"body of [a-m]*"_s, u"CITTÀ"_s, u"nowhere to be found"_s}) {
        QStringList wanted;
        ASSERT_TRUE(store::FindTopicsInBatches(session->store, store::LikePattern::anywhere(pattern),
                                               [&](store::FoundTopics &&found) {
                                                   for (qsizetype i = 0; i < found.size(); ++i)
                                                       wanted << QString::number(found.key(i));
                                               }));
        const Result r = cli({u"find"_s, pattern});
        QStringList keys;
        for (const QString &line : r.out.split(u'\n', Qt::SkipEmptyParts))
            keys << line.section(u'\t', 2, 2);
        EXPECT_EQ(keys, wanted) << pattern.toStdString();
        EXPECT_EQ(r.code, wanted.isEmpty() ? 1 : 0) << pattern.toStdString();
    }
    const QJsonObject far{{u"category"_s, u"Zeta"_s}, {u"title"_s, u"Far"_s}, {u"key"_s, topics[u"Far"_s]}, {u"updated"_s, u"2025-05-04 03:02:00"_s}};
    EXPECT_EQ(QJsonDocument::fromJson(cli("find --json far away").out.toUtf8()).toJson(QJsonDocument::Compact).toStdString(),
              QJsonDocument(far).toJson(QJsonDocument::Compact).toStdString());
}

TEST_F(Cli, ExportThenImportGivesBackTitlesAndTexts)
{
    // A second topic of the same name, and one whose name no file can
    // have, each get a file of their own, named as the editor's export
    // would propose.
    addTopic(session->store, categories[u"Zeta"_s], u"far"_s, u"again"_s);
    addTopic(session->store, categories[u"Zeta"_s], u"a/b: c?"_s, u"x"_s);
    const QString html = home.path() + u"/out-html"_s;
    ASSERT_EQ(cli({u"export"_s, u"--format=html"_s, html}).code, 0);
    QStringList zeta;
    for (const QJsonValue t : QJsonDocument::fromJson(TempDir::read(html + u"/index.json"_s)).object().value(u"topics"_s).toArray())
        if (t.toObject().value(u"category"_s).toString() == QLatin1String("Zeta"))
            zeta << t.toObject().value(u"file"_s).toString();
    EXPECT_EQ(zeta, (QStringList{u"Zeta/Far.html"_s, u"Zeta/far (2).html"_s, u"Zeta/ab c.html"_s}));
    for (const QString &f : zeta)
        EXPECT_TRUE(QFile::exists(html + u'/' + f)) << f.toStdString();
    EXPECT_EQ(cli({u"export"_s, html}).code, 2) << "a folder that is not empty is refused";

    stop();  // import waits for the program to end
    for (const QString &format : {u"rtf"_s, u"txt"_s}) {
        const QString dir = home.path() + u"/out-"_s + format;
        const Result e = cli({u"export"_s, dir, u"--format"_s, format});
        ASSERT_EQ(e.code, 0) << e.err.toStdString();
        QStringList files;
        for (const char *title : {"Agenda", "marmellata", "Porto", "Summary"})
            files << dir + u"/beta/"_s + QString::fromUtf8(title) + u'.' + format;
        const QString copy = u"copy "_s + format;
        const Result i = cli(QStringList{u"import"_s, u"--category"_s, copy} + files);
        ASSERT_EQ(i.code, 0) << i.err.toStdString();
        EXPECT_EQ(topicsOf(copy), topicsOf(u"beta"_s)) << format.toStdString();
    }
}

// A device that does something once, the first time it is written to.
class Tripwire final : public QIODevice {
public:
    explicit Tripwire(std::function<void()> trip) : m_trip(std::move(trip)) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        if (m_trip)
            std::exchange(m_trip, nullptr)();
        return size;
    }

private:
    std::function<void()> m_trip;
};

TEST_F(Cli, ExportMakesNothingOutsideItsFolderThroughALinkPutThereDuringTheRun)
{
    // beta's topics fill the first 250 (the progress shown), then Zeta's
    // folder is made: the link goes in between.
    ASSERT_TRUE(session->store.dbNotes.exec(u"BEGIN"_s));
    for (int i = 0; i < 246; ++i)
        addTopic(session->store, categories[u"beta"_s], u"filler %1"_s.arg(i), u"x"_s);
    ASSERT_TRUE(session->store.dbNotes.exec(u"COMMIT"_s));
    const QString dir = home.mkdir(u"export"_s);
    const QString outside = home.mkdir(u"someone else's"_s);
    Tripwire progress([&] { ASSERT_TRUE(QFile::link(outside, dir + u"/Zeta"_s)); });
    QString out;
    QTextStream outStream(&out), errStream(&progress);
    const int code = cli::run({u"export"_s, dir, u"--folder"_s, defaultFolder()}, outStream, errStream, true);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    EXPECT_FALSE(QFile::exists(dir + u"/index.json"_s)) << "no index of an export cut short";
}

TEST_F(Cli, FindWritesATitlesControlCharactersEscaped)
{
    addTopic(session->store, categories[u"beta"_s], u"bell\a, then \x1b[2Jclear, a\\b, \u202Etxt.exe"_s, u"ctl"_s);
    const Result r = cli("find ctl");
    EXPECT_EQ(r.out.section(u'\t', 1, 1), u"bell\\u0007, then \\u001b[2Jclear, a\\\\b, \\u202etxt.exe"_s);
}

TEST_F(Cli, BackupTakenWhileAnotherConnectionWritesOpensAndPassesCheck)
{
    store::Connection writer;
    ASSERT_TRUE(writer.open(session->store.DatabasePath, false));
    ASSERT_TRUE(writer.exec(u"BEGIN IMMEDIATE; INSERT INTO Argomenti (idCategoria, argomento, ContenutoTxt) "
                            "VALUES (1, 'half written', 'never committed')"_s));
    const QString folder = home.mkdir(u"copy"_s);
    const QStringList backup{u"backup"_s, folder + u"/quorvel.mdb"_s};
    const Result b = cli(backup);
    ASSERT_EQ(b.code, 0) << b.err.toStdString();
    ASSERT_TRUE(writer.exec(u"COMMIT"_s));
    EXPECT_EQ(cli(backup).code, 2) << "never over a file";

    const Result c = cli("check", folder);
    EXPECT_EQ(c.code, 0) << c.err.toStdString();
    EXPECT_EQ(c.out, u"store: ok\nsearch index: ok\n"_s);
    store::NoteStore copy;
    copy.DataFolder = folder;
    ASSERT_TRUE(copy.open());
    EXPECT_EQ(stored::count(copy.dbNotes, QStringLiteral("Argomenti")), 5) << "the copy is the store as it was, without the open write";
    ASSERT_TRUE(copy.dbNotes.exec(u"INSERT INTO ArgomentiFts(ArgomentiFts, rowid, argomento, ContenutoTxt) VALUES ('delete', 1, 'x', 'y')"_s));
    copy.close();
    const Result damaged = cli("check", folder);
    EXPECT_EQ(damaged.code, 2);
    EXPECT_TRUE(damaged.err.contains(QLatin1String("search index"))) << damaged.err.toStdString();
}

TEST_F(Cli, BadUsageEndsWithCodeTwoAndAMessage)
{
    for (const char *args : {"", "frob", "find", "find --bogus x", "export", "export --format pdf d", "import a.rtf",
                             "import --category x", "backup", "check extra", "help frob", "import --category x missing.rtf"}) {
        const Result r = cli(args);
        EXPECT_EQ(r.code, 2) << args;
        EXPECT_FALSE(r.err.isEmpty()) << args;
        EXPECT_TRUE(r.out.isEmpty()) << args;
    }
    const Result help = cli("find --help");
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith(QLatin1String("usage: quorvel-cli find"))) << help.out.toStdString();
}

TEST_F(Cli, ImportIsRefusedWhileTheProgramRunsOnTheFolderWhateverTheShellsRuntimeFolder)
{
    const QStringList args{u"import"_s, u"--category"_s, u"beta"_s, TempDir::write(home.file(u"note.txt"_s), "text")};
    for (const char *runtime : {static_cast<const char *>("from ssh"), static_cast<const char *>(nullptr)}) {
        if (runtime)
            qputenv("XDG_RUNTIME_DIR", home.mkdir(QString::fromLatin1(runtime)).toUtf8());
        else
            qunsetenv("XDG_RUNTIME_DIR");
        const Result r = cli(args);
        EXPECT_EQ(r.code, 2) << (runtime ? runtime : "unset");
        EXPECT_TRUE(r.err.contains(QLatin1String("Quorvel is running"))) << r.err.toStdString();
    }
    EXPECT_EQ(topicsOf(u"beta"_s).size(), 4);
    stop();
    EXPECT_EQ(cli(args).code, 0) << "imported once the program has ended";
    EXPECT_EQ(topicsOf(u"beta"_s).size(), 5);
}

TEST_F(Cli, PackingWaitsForTheToolsHoldOnTheStore)
{
    store::StoreLock tool;
    ASSERT_EQ(tool.acquire(store::StoreLock::lockPath(session->store.DatabasePath), store::StoreLock::Kind::Shared, 0),
              store::StoreLock::Outcome::Taken);
    services.dialogs.expectMsgBox(platform::vbYes);
    services.dialogs.expectMsgBox(platform::vbYes);
    services.dialogs.expectMsgBox();
    main->mnuCompatta_Click();
    EXPECT_EQ(services.dialogs.shown().constLast().prompt,
              u"A quorvel-cli command is using the database: try packing again when it has finished."_s);
    EXPECT_FALSE(QFile::exists(session->store.DatabasePath + u".old"_s));
    EXPECT_TRUE(session->store.isOpen());
}

TEST_F(Cli, ALockFileThatIsNotAFileOfTheUsersOwnIsRefusedWithAClearMessage)
{
    const QString lock = session->store.DatabasePath + u".lock"_s;
    const QString elsewhere = home.file(u"elsewhere"_s);
    struct Case {
        const char *what;
        std::function<bool()> make;
    };
    std::vector<Case> cases = {
        {"a folder", [&] { return QDir().mkdir(lock); }},
        {"a link", [&] { return QFile::link(elsewhere, lock); }},
        {"a pipe", [&] { return ::mkfifo(QFile::encodeName(lock).constData(), 0600) == 0; }},
    };
    if (::geteuid() == 0)
        cases.push_back({"another user's file", [&] {
                             return !TempDir::write(lock, "").isEmpty() && ::chown(QFile::encodeName(lock).constData(), 65534, 65534) == 0;
                         }});
    for (const Case &c : cases) {
        QFile::remove(lock);
        QDir().rmdir(lock);
        ASSERT_TRUE(c.make()) << c.what;
        const Result r = cli("find abc");
        EXPECT_EQ(r.code, 2) << c.what;
        EXPECT_TRUE(r.err.contains(u"the lock file %1 cannot be used"_s.arg(lock))) << c.what << ": " << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(elsewhere)) << c.what;
    }
}

TEST_F(Cli, ImportingAPipeIsRefusedBeforeItIsReadFrom)
{
    stop();
    const QString pipe = home.file(u"pipe.txt"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Something to read, should the import open it: the test never hangs.
    // The import may close it before the text is written.
    const auto oldPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        while (!done) {
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                [[maybe_unused]] const ssize_t n = ::write(fd, "text", 4);
                ::close(fd);
                return;
            }
            std::this_thread::yield();
        }
    });
    const Result r = cli({u"import"_s, u"--category"_s, u"piped"_s, pipe});
    done = true;
    writer.join();
    std::signal(SIGPIPE, oldPipeHandler);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QLatin1String("not a regular file"))) << r.err.toStdString();
    EXPECT_EQ(topicsOf(u"piped"_s), QStringList());
}

TEST_F(Cli, BackupsAndExportsAreTheUsersAloneWhateverTheUmask)
{
    const mode_t old = ::umask(022);
    const Result b = cli({u"backup"_s, home.file(u"copy.mdb"_s)});
    const Result e = cli({u"export"_s, home.file(u"out"_s)});
    ::umask(old);
    ASSERT_EQ(b.code, 0) << b.err.toStdString();
    ASSERT_EQ(e.code, 0) << e.err.toStdString();
    EXPECT_EQ(TempDir::modeOf(home.file(u"copy.mdb"_s)), 0600);
    EXPECT_EQ(TempDir::modeOf(home.file(u"out/index.json"_s)), 0600);
    EXPECT_EQ(TempDir::modeOf(home.file(u"out/beta"_s)), 0700);
    EXPECT_EQ(TempDir::modeOf(home.file(u"out/beta/Agenda.rtf"_s)), 0600);
}

TEST_F(Cli, DroppedFilesBecomeTopicsOfTheOpenCategory)
{
    const auto write = [&](const QString &name, const QByteArray &data) { return QUrl::fromLocalFile(TempDir::write(home.file(name), data)); };
    QTextDocument doc;
    doc.setPlainText(u"Perché no"_s);
    QMimeData files;
    files.setUrls({write(u"rich.rtf"_s, rtf::write(&doc)), write(u"utf8.txt"_s, "citt\xc3\xa0"), write(u"western.TXT"_s, "caff\xe8")});
    QMimeData other;
    other.setUrls({write(u"picture.png"_s, "x")});
    const auto drag = [&](const QMimeData *data) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QCoreApplication::sendEvent(main->lstArgomenti->viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        drop.ignore();
        QCoreApplication::sendEvent(main->lstArgomenti->viewport(), &drop);
        return enter.isAccepted() && drop.isAccepted();
    };
    EXPECT_FALSE(drag(&other)) << "not a text file";
    main->cmdCambia_Click();
    EXPECT_FALSE(drag(&files)) << "categories mode";
    EXPECT_EQ(topicsOf(u"beta"_s).size(), 4);
    select(u"beta"_s);
    main->OpenCategory();
    ASSERT_TRUE(drag(&files));
    EXPECT_EQ(topicsOf(u"beta"_s), (QStringList{u"Agenda|Body of Agenda"_s, u"Porto|Città di mare\nseconda riga, O'Brien"_s,
                                                u"Summary|Body of Summary"_s, u"marmellata|Body of marmellata"_s,
                                                u"rich|Perché no"_s, u"utf8|città"_s, u"western|caffè"_s}));
}

// The disk refuses the n-th write and every one after it, for every n: an
// import into a new category leaves the store as it was or whole.
TEST_F(Cli, AnImportIntoANewCategoryIsAllOrNothingAtEachFailurePoint)
{
    stop();
    const QString file = TempDir::write(home.file(u"note.txt"_s), "text");
    const QString path = defaultFolder() + u"/quorvel.mdb"_s;
    const QByteArray pristine = TempDir::read(path);
    // The categories, and the new one's topics.
    const auto contents = [&] {
        store::Connection db;
        EXPECT_TRUE(db.openReader(path));
        store::Statement st(db, u"SELECT group_concat(Categoria, '|') FROM (SELECT Categoria FROM Categorie ORDER BY 1)"_s);
        return (st.step() ? st.columnText(0) : u"<unreadable>"_s) + u'#' + topicsOf(u"new"_s).join(u'\n');
    };
    const QString before = contents();
    FaultyDisk disk;
    disk.failFrom(0);
    ASSERT_EQ(cli({u"import"_s, u"--category"_s, u"new"_s, file}).code, 0);
    const int points = disk.calls();
    disk.heal();
    const QString after = contents();
    ASSERT_NE(before, after);
    for (const auto fault : {FaultyDisk::Fault::Full, FaultyDisk::Fault::IoError}) {
        for (int n = 1; n <= points; ++n) {
            SCOPED_TRACE(testing::Message() << "failing from call " << n << " of " << points);
            ASSERT_TRUE(store::NoteStore::removeDatabaseFile(path));
            ASSERT_FALSE(TempDir::write(path, pristine).isEmpty());
            disk.failFrom(n, fault);
            const int code = cli({u"import"_s, u"--category"_s, u"new"_s, file}).code;
            disk.heal();
            EXPECT_EQ(damageOf(path), QString());
            const QString now = contents();
            EXPECT_TRUE(now == before || now == after) << "half done: " << now.toStdString();
            EXPECT_TRUE(code != 0 || now == after) << "said done, yet not done";
        }
    }
}

// quorvel-cli backup killed at random moments: under the name asked for
// there is either nothing or a whole copy.
TEST_F(Cli, ABackupKilledAtAnyMomentLeavesNothingUnderItsNameOrAWholeCopy)
{
    ASSERT_TRUE(session->store.dbNotes.exec(
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
        "INSERT INTO Argomenti (idCategoria, argomento, contenuto, ContenutoTxt) "
        "SELECT 1, 'bulk ' || i, hex(randomblob(4000)), 'bulk' FROM n"_s));
    const QString target = home.file(u"backup.mdb"_s);
    const auto backup = [&] {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(QUORVEL_CLI_EXE), {u"backup"_s, u"--folder"_s, defaultFolder(), target});
        EXPECT_TRUE(p->waitForStarted());
        return p;
    };
    QElapsedTimer clean;
    clean.start();
    {
        auto p = backup();
        ASSERT_TRUE(p->waitForFinished(60000));
        ASSERT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    const qint64 took = std::max<qint64>(clean.elapsed(), 1);
    QRandomGenerator random(QRandomGenerator::global()->generate());
    for (int run = 0; run < 12; ++run) {
        SCOPED_TRACE(testing::Message() << "kill " << run + 1);
        ASSERT_TRUE(store::NoteStore::removeDatabaseFile(target));
        auto p = backup();
        // Anywhere within a clean run's length: the pause is the randomness.
        QThread::usleep(random.bounded(quint32(took * 1000)));
        ::kill(pid_t(p->processId()), SIGKILL);
        p->waitForFinished();
        if (QFile::exists(target)) {
            EXPECT_FALSE(QFile::exists(target + u"-journal"_s));
            EXPECT_EQ(damageOf(target), QString());
        }
    }
}

TEST_F(Cli, RestoreUndeleteAndSyncAreRefusedWhileTheProgramRuns)
{
    for (const char *command : {"restore 1 1", "undelete 1", "sync --remote /nowhere"}) {
        const Result r = cli(command);
        EXPECT_EQ(r.code, 2) << command;
        EXPECT_TRUE(r.err.startsWith(u"quorvel-cli: Quorvel is running: close it first"_s)) << r.err.toStdString();
    }
}

TEST_F(Cli, RestoreMakesAVersionThatHistoryListsCurrentAgain)
{
    const int key = topics[u"Agenda"_s];
    ASSERT_EQ(session->topics.rename(key, u"Diary"_s), notes::Found::Yes);
    stop();
    const Result listed = cli({u"history"_s, QString::number(key)});
    ASSERT_EQ(listed.code, 0) << listed.err.toStdString();
    const QStringList fields = listed.out.trimmed().split(u'\t');
    ASSERT_EQ(fields.size(), 5) << listed.out.toStdString();
    EXPECT_EQ(fields.mid(3), (QStringList{u"Agenda"_s, u"Body of Agenda"_s}));
    const Result restored = cli({u"restore"_s, QString::number(key), fields[0]});
    ASSERT_EQ(restored.code, 0) << restored.err.toStdString();
    EXPECT_TRUE(topicsOf(u"beta"_s).contains(u"Agenda|Body of Agenda"_s));
    EXPECT_EQ(cli({u"restore"_s, QString::number(key + 1), fields[0]}).code, 2) << "a version of another topic";
}

TEST_F(Cli, UndeleteBringsBackWhatDeletedListsByItsKey)
{
    const int key = topics[u"Agenda"_s];
    ASSERT_EQ(session->topics.remove(key), notes::Found::Yes);
    stop();
    const Result listed = cli("deleted agen*");
    ASSERT_EQ(listed.code, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out.section(u'\t', 0, 2), u"%1\tbeta\tAgenda"_s.arg(key));
    EXPECT_EQ(cli("deleted nothing-like-it").code, 1);
    const Result back = cli({u"undelete"_s, QString::number(key)});
    ASSERT_EQ(back.code, 0) << back.err.toStdString();
    EXPECT_TRUE(topicsOf(u"beta"_s).contains(u"Agenda|Body of Agenda"_s));
    EXPECT_EQ(cli("deleted").code, 1);
}

TEST_F(Cli, HistoryCommandsTakeOnlyKeysAndSayWhichAreNotDeleted)
{
    stop();
    for (const char *words : {"history", "history abc", "history 1 2", "restore 1", "restore x 1", "undelete",
                              "undelete 0", "deleted --json"})
        EXPECT_EQ(cli(words).code, 2) << words;
    const Result r = cli({u"undelete"_s, QString::number(topics[u"Agenda"_s])});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(u"is not among the deleted topics"_s)) << r.err.toStdString();
    EXPECT_EQ(cli({u"history"_s, QString::number(topics[u"Agenda"_s])}).code, 1) << "no versions yet";
}

TEST_F(Cli, SyncKeepsTheRemoteItIsGivenAndAFolderPointedAtItGetsEveryTopic)
{
    stop();
    const QString remote = home.mkdir(u"remote.git"_s);
    ASSERT_TRUE(QProcess::execute(u"git"_s, {u"init"_s, u"-q"_s, u"--bare"_s, remote}) == 0);
    const Result first = cli({u"sync"_s, u"--remote"_s, remote, u"--machine"_s, u"desk"_s});
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.startsWith(u"received 0, sent "_s)) << first.out.toStdString();
    const Result again = cli("sync");
    ASSERT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_EQ(again.out, u"received 0, sent 0\n"_s);
    const QString laptop = home.mkdir(u"laptop"_s);
    QString error;
    ASSERT_TRUE(store::NoteStore::createDatabase(laptop + u"/quorvel.mdb"_s, QDateTime::currentDateTime(), &error));
    ASSERT_EQ(cli({u"sync"_s, u"--remote"_s, remote}, laptop).code, 0);
    const Result found = cli({u"find"_s, u"Porto"_s}, laptop);
    EXPECT_EQ(found.code, 0) << "a topic typed on the first folder";
    const Result status = cli("sync --status");
    ASSERT_EQ(status.code, 0) << status.err.toStdString();
    EXPECT_TRUE(status.out.contains(u"remote\t"_s + remote + u'\n')) << status.out.toStdString();
    EXPECT_TRUE(status.out.contains(u"machine\tdesk\n"_s)) << status.out.toStdString();
    EXPECT_TRUE(status.out.contains(u"waiting\t0\n"_s)) << status.out.toStdString();
    EXPECT_FALSE(status.out.contains(u"last synced\tnever"_s)) << status.out.toStdString();
}

TEST_F(Cli, SyncWithoutARemoteOrWithExtraWordsIsBadUsage)
{
    stop();
    for (const char *words : {"sync", "sync now", "sync --status now", "sync --remote"}) {
        const Result r = cli(words);
        EXPECT_EQ(r.code, 2) << words;
    }
    EXPECT_TRUE(cli("sync").err.contains(u"no remote yet"_s));
}

// A table goes out as columns in a text file and as a table in HTML.
TEST_F(Cli, ATableIsExportedAsColumnsInTextAndAsATableInHtml)
{
    addTopic(session->store, categories[u"Zeta"_s], u"Prices"_s,
             uR"({\rtf1 Prices\par\trowd\cellx1000\cellx3000\pard\intbl Apples\cell 2.10\cell\row)"
             uR"(\trowd\cellx1000\cellx3000\pard\intbl Figs\cell 12.50\par per box\cell\row\pard after\par})"_s);
    for (const QString &format : {u"txt"_s, u"html"_s}) {
        const QString dir = home.path() + u"/table-"_s + format;
        ASSERT_EQ(cli({u"export"_s, dir, u"--format"_s, format}).code, 0);
        const QString out = QString::fromUtf8(TempDir::read(dir + u"/Zeta/Prices."_s + format));
        if (format == u"txt"_s)
            EXPECT_EQ(out, u"Prices\nApples  2.10\nFigs    12.50\n        per box\nafter"_s);
        else
            EXPECT_EQ(out.count(u"<td"_s), 4) << out.toStdString();
    }
}
