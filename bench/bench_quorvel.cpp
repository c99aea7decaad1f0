// quorvel benchmarks on a generated store of 100,000 topics (or as many as
// --topics says): each operation through the program's own code, beside a
// baseline doing the same work the simplest way. Prints one Markdown table.
//
//   bench_quorvel [--data FOLDER] [--topics N] [--runs N] [--only startup,open,find,cli,save,drafts,move,rtf,history]

#include "Corpus.h"
#include "notes/NoteStore.h"
#include "QtPlatform.h"
#include "Rtf.h"
#include "Session.h"
#include "frmCategorie.h"
#include "frmListaArgomenti.h"
#include "frmNuovoArg.h"
#include "HistoryWindow.h"
#include "frmPrincipale.h"
#include "SyncRunner.h"
#include "db/Sqlite.h"
#include "sync/Git.h"
#include "sync/Sync.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <sqlite3.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

// Answers the find command's question with a set text; asks nothing else.
class BenchDialogs final : public platform::Dialogs {
public:
    QString answer;
    std::optional<QString> InputBox(QWidget *, const QString &, const QString &, const QString &) override { return answer; }
    int MsgBox(QWidget *, const QString &, int, const QString &) override { return platform::vbOK; }
    void Notice(QWidget *, const QString &, int, const QString &) override {}
    std::optional<FontChoice> ChooseFont(QWidget *, const FontChoice &) override { return std::nullopt; }
    std::optional<QColor> ChooseColor(QWidget *, const QColor &) override { return std::nullopt; }
    std::optional<QString> GetSaveFileName(QWidget *, const QString &, const QString &, const QString &,
                                           const QString &) override
    {
        return std::nullopt;
    }
    bool ChoosePrinter(QWidget *, QPrinter *) override { return false; }
};

double medianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &work)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        t.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

struct Row {
    QString operation, ours, baseline, target;
};

QString ms(double v)
{
    return v < 10 ? QString::number(v, 'f', 2) + QStringLiteral(" ms") : QString::number(v, 'f', 0) + QStringLiteral(" ms");
}

void confirmDestination(const QString &name)
{
    QTimer::singleShot(0, [name] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<frmCategorie *>(w); d && d->isVisible()) {
                for (int i = 0; i < d->lstCategorie->count(); ++i)
                    if (d->lstCategorie->item(i)->text() == name)
                        d->lstCategorie->setCurrentRow(i);
                d->cmdConferma->click();
                return;
            }
        confirmDestination(name);
    });
}

// The built-in LIKE of SQLite, on a connection of its own.
int builtinLikeCount(const QString &dbPath, const QString &word)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(dbPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT idArgomento FROM Argomenti WHERE ContenutoTxt LIKE ?1 OR argomento LIKE ?1", -1, &st,
                       nullptr);
    const QByteArray pattern = (QLatin1Char('%') + word + QLatin1Char('%')).toUtf8();
    sqlite3_bind_text(st, 1, pattern.constData(), int(pattern.size()), SQLITE_TRANSIENT);
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        ++n;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return n;
}

// A search as the find command is asked it, with the plain word the
// baselines look for instead.
struct Search {
    QString label, pattern, plainWord, target;
};

// One search's figures: through the program, SQLite's LIKE and in memory.
struct FindFigures {
    int found = 0, likeCount = 0, memCount = 0;
    double ours = 0, like = 0, mem = 0;
};

// What the command line asks for, where the store and its copy are, and the
// rows measured so far.
struct Bench {
    QString folder = QDir::currentPath() + QStringLiteral("/bench-data");
    int runs = 5;
    int topics = 100000;
    QStringList only;
    QString pristine, work, data, dbPath;
    std::vector<Row> rows;

    bool parseArguments(const QStringList &args);
    bool wanted(const char *name) const { return only.isEmpty() || only.contains(QLatin1String(name)); }
    // The targets: at a million topics those set for that size where they
    // differ from the ones at 100,000.
    bool million() const { return topics >= 1000000; }
    bool prepareStore();
    void startUp();
    void rtfReadWrite();
    void printTable() const;

private:
    void dropOlderStore() const;
    bool generateStore() const;
    void copyStore();
};

// The sections run in this process, on the real windows.
class WindowBench {
public:
    explicit WindowBench(Bench &shared);
    void openCategory();
    void findInTopics();
    void cliFind();
    void cliExport();
    void saveTopic();
    void history();
    void typeWithDrafts();
    void moveTopics();
    void sync();

private:
    void showCategory(const QString &name);
    void findInMemory(std::vector<FindFigures> &measured);
    int runCli(const QStringList &toolArgs, QByteArray *output) const;

    Bench &bench;
    BenchDialogs dialogs;
    platform::QtServices qt;
    platform::Services services;
    Session session;
    frmPrincipale window;
    std::vector<Search> searches;
};

bool Bench::parseArguments(const QStringList &args)
{
    const QStringList sections = {QStringLiteral("startup"), QStringLiteral("open"), QStringLiteral("find"), QStringLiteral("cli"), QStringLiteral("drafts"),
                                  QStringLiteral("save"), QStringLiteral("move"), QStringLiteral("rtf"),
                                  QStringLiteral("history"), QStringLiteral("sync")};
    for (int i = 1; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == QLatin1String("--data") && hasValue)
            folder = args[++i];
        else if (args[i] == QLatin1String("--runs") && hasValue && args[i + 1].toInt() > 0)
            runs = args[++i].toInt();
        else if (args[i] == QLatin1String("--topics") && hasValue && args[i + 1].toInt() >= 1000)
            topics = args[++i].toInt();
        else if (args[i] == QLatin1String("--only") && hasValue)
            only = args[++i].split(QLatin1Char(','));
        else {
            std::fprintf(stderr, "usage: bench_quorvel [--data FOLDER] [--topics N (at least 1000)] [--runs N] [--only %s]\n",
                         qPrintable(sections.join(QLatin1Char(','))));
            return false;
        }
    }
    for (const QString &name : only)
        if (!sections.contains(name)) {
            std::fprintf(stderr, "unknown section: %s\n", qPrintable(name));
            return false;
        }
    return true;
}

// The generated store of this size, made if there is none, and the copy of
// it that every section works on.
bool Bench::prepareStore()
{
    // Absolute: the data home of the program must be an absolute path.
    folder = QDir(folder).absolutePath();
    // One generated store per size, kept between runs.
    pristine = folder + QStringLiteral("/pristine-%1").arg(topics);
    work = folder + QStringLiteral("/work");
    QDir().mkpath(pristine);
    dropOlderStore();
    if (!QFile::exists(pristine + QStringLiteral("/quorvel.mdb")) && !generateStore())
        return false;
    copyStore();
    return true;
}

// A store of an older format is made again: opening it would first bring
// it up to date, and what is measured is a store as this program makes it.
void Bench::dropOlderStore() const
{
    if (QFile::exists(pristine + QStringLiteral("/quorvel.mdb"))) {
        sqlite3 *db = nullptr;
        sqlite3_stmt *st = nullptr;
        int version = 0;
        if (sqlite3_open_v2((pristine + QStringLiteral("/quorvel.mdb")).toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
            && sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            version = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
        if (version < store::kSchemaVersion) {
            std::fprintf(stderr, "the store in %s is of an older format (%d)\n", qPrintable(pristine), version);
            QFile::remove(pristine + QStringLiteral("/quorvel.mdb"));
        }
    }
}

bool Bench::generateStore() const
{
    std::fprintf(stderr, "generating the store of %d topics in %s ...\n", topics, qPrintable(pristine));
    QElapsedTimer generating;
    generating.start();
    QString error;
    if (!generateCorpus(pristine, CorpusSpec::ofSize(topics), &error)) {
        std::fprintf(stderr, "cannot generate: %s\n", qPrintable(error));
        return false;
    }
    std::fprintf(stderr, "generated in %.0f s\n", generating.elapsed() / 1000.0);
    return true;
}

// Every run works on a copy, so the pristine store stays as generated.
void Bench::copyStore()
{
    QDir(work).removeRecursively();
    QDir().mkpath(work + QStringLiteral("/share/Ostwick/quorvel"));
    QDir().mkpath(work + QStringLiteral("/runtime"));
    QFile::setPermissions(work + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    data = work + QStringLiteral("/share/Ostwick/quorvel");
    QFile::copy(pristine + QStringLiteral("/quorvel.mdb"), data + QStringLiteral("/quorvel.mdb"));
    dbPath = data + QStringLiteral("/quorvel.mdb");
    // The copy goes to the disk before anything is measured: otherwise the
    // syncs of the program's writes wait behind gigabytes of it.
    ::sync();
    // A user has one store: the pristine one leaves the page cache, where at
    // a million topics the two would take 20 GB and push each other out.
    if (const int fd = ::open(QFile::encodeName(pristine + QStringLiteral("/quorvel.mdb")).constData(), O_RDONLY); fd >= 0) {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    // Every figure is taken with the store in the page cache, as on a
    // machine where it is in use; the copying itself may have pushed the
    // copy's first gigabytes out again.
    {
        QFile store(dbPath);
        if (store.open(QIODevice::ReadOnly))
            while (!store.read(1 << 20).isEmpty()) {
            }
    }
    std::fprintf(stderr, "store: %.0f MB\n", QFileInfo(dbPath).size() / 1e6);
}

// Start-up of the real executable, whole process.
void Bench::startUp()
{
    const QString exe = QStringLiteral(QUORVEL_EXE);
    QString peak;
    const auto launch = [&](const QString &program, const QStringList &programArgs) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), work + QStringLiteral("/share"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), work + QStringLiteral("/runtime"));
        env.insert(QStringLiteral("QUORVEL_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.start(program, programArgs);
        p.waitForFinished(60000);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        for (const QString &line : err.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("VmHWM")))
                peak = line.section(QLatin1Char(':'), 1).trimmed();
    };
    // Each program is started once before its measured starts, as every
    // start after a user's first: its libraries are then in memory.
    launch(exe, {});
    const double startOurs = medianMs(runs, nullptr, [&] { launch(exe, {}); });
    QFile empty(work + QStringLiteral("/empty.rtf"));
    empty.open(QIODevice::WriteOnly);
    empty.write("{\\rtf1 x}");
    empty.close();
    const auto bare = [&] { launch(QStringLiteral(QUORVEL_RTF_TOOL), {QStringLiteral("--text"), empty.fileName()}); };
    bare();
    const double startBase = medianMs(runs, nullptr, bare);
    rows.push_back({QStringLiteral("start-up to the main window (whole process)"), ms(startOurs),
                    ms(startBase) + QStringLiteral(" (a bare Qt tool starting)"), million() ? QStringLiteral("< 100 ms") : QStringLiteral("< 500 ms")});
    rows.push_back({QStringLiteral("peak resident memory after start-up"), peak, QString(), million() ? QStringLiteral("< 50 MB") : QStringLiteral("< 100 MB")});
}

// RTF reading and writing over stored bodies, taken from the store as
// generated so that the sections before do not change the sample.
void Bench::rtfReadWrite()
{
    std::vector<QString> bodies;
    qint64 bytes = 0;
    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2((pristine + QStringLiteral("/quorvel.mdb")).toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, "SELECT contenuto FROM Argomenti WHERE idArgomento % 50 = 0", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            bodies.push_back(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)),
                                               sqlite3_column_bytes(st, 0)));
            bytes += bodies.back().size();
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    std::vector<std::unique_ptr<QTextDocument>> docs;
    const double readMs = medianMs(3, [&] { docs.clear(); }, [&] {
        for (const QString &b : bodies) {
            auto d = std::make_unique<QTextDocument>();
            rtf::read(b, d.get());
            docs.push_back(std::move(d));
        }
    });
    const double writeMs = medianMs(3, nullptr, [&] {
        for (const auto &d : docs)
            rtf::write(d.get());
    });
    const double plainMs = medianMs(3, nullptr, [&] {
        for (const QString &b : bodies) {
            QTextDocument d;
            d.setPlainText(b);
        }
    });
    const auto mbps = [&](double t) { return QString::number(bytes / 1e6 / (t / 1000.0), 'f', 1) + QStringLiteral(" MB/s"); };
    rows.push_back({QStringLiteral("RTF read (%1 bodies, %2 MB)").arg(bodies.size()).arg(bytes / 1e6, 0, 'f', 1), mbps(readMs),
                    mbps(plainMs) + QStringLiteral(" (same text as plain text)"), QStringLiteral(">= 50 MB/s")});
    rows.push_back({QStringLiteral("RTF write"), mbps(writeMs), QString(), QString()});
}

void Bench::printTable() const
{
    std::printf("| operation | Quorvel (median of %d) | baseline | target |\n|---|---|---|---|\n", runs);
    for (const Row &r : rows)
        std::printf("| %s | %s | %s | %s |\n", qPrintable(r.operation), qPrintable(r.ours), qPrintable(r.baseline),
                    qPrintable(r.target));
}

// The program's services, with the dialogs answering as the sections say.
platform::Services withDialogs(platform::Services services, platform::Dialogs *dialogs)
{
    services.dialogs = dialogs;
    return services;
}

WindowBench::WindowBench(Bench &shared)
    : bench(shared), services(withDialogs(qt.services(), &dialogs)), session(services, {bench.data}, QStringLiteral("/usr/bin/quorvel")),
      window(session)
{
    window.Form_Load();
    const bool million = bench.million();
    searches = {
        {QStringLiteral("find a word in about 2% of topics"), commonMarkerWord(), commonMarkerWord(), million ? QStringLiteral("< 100 ms") : QStringLiteral("< 40 ms")},
        {QStringLiteral("find a word in fewer than ten topics"), rareMarkerWord(), rareMarkerWord(), QStringLiteral("< 10 ms")},
        {QStringLiteral("find a pattern with ? and #"), QStringLiteral("rariss?mo 20#9"), rareMarkerWord(), QStringLiteral("< 500 ms")},
        {QStringLiteral("find a pattern with no literal run of three"), QStringLiteral("gi?r?o"), QStringLiteral("giorno"), million ? QStringLiteral("< 1 s") : QStringLiteral("< 500 ms")},
    };
}

void WindowBench::showCategory(const QString &name)
{
    window.cmdCambia_Click();
    for (int i = 0; i < window.lstArgomenti->count(); ++i)
        if (window.lstArgomenti->item(i)->text() == name)
            window.lstArgomenti->setCurrentRow(i);
    window.OpenCategory();
}

void WindowBench::openCategory()
{
    const double openOurs = medianMs(bench.runs, [&] { window.cmdCambia_Click(); }, [&] { showCategory(QStringLiteral("Archivio grande")); });
    const double openBase = medianMs(bench.runs, nullptr, [&] {
        store::Statement st(session.store.dbNotes, QStringLiteral("SELECT idArgomento, argomento FROM Argomenti WHERE idCategoria = 1"));
        QStringList titles;
        while (st.step())
            titles << st.columnText(1);
        titles.sort(Qt::CaseInsensitive);
    });
    bench.rows.push_back({QStringLiteral("open a category of %1 topics").arg(window.lstArgomenti->count()), ms(openOurs),
                          ms(openBase) + QStringLiteral(" (SQL select and sort)"), QStringLiteral("< 50 ms")});
}

// Find in topics, beside SQLite's own LIKE; the practical limit is a
// search of text already in memory. That text is read in after the
// others are measured: at a million topics its 3 GB would push the
// store out of the page cache under them.
void WindowBench::findInTopics()
{
    std::vector<FindFigures> measured(searches.size());
    for (size_t i = 0; i < searches.size(); ++i) {
        const Search &s = searches[i];
        FindFigures &m = measured[i];
        dialogs.answer = s.pattern;
        m.ours = medianMs(bench.runs, nullptr, [&] {
            window.mnuTrovaArgomenti_Click();
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *l = qobject_cast<frmListaArgomenti *>(w))
                    m.found = l->lstArgomenti->count();
        });
        m.like = medianMs(bench.runs, nullptr, [&] { m.likeCount = builtinLikeCount(bench.dbPath, s.plainWord); });
    }
    findInMemory(measured);
    for (size_t i = 0; i < searches.size(); ++i) {
        const FindFigures &m = measured[i];
        bench.rows.push_back({searches[i].label + QStringLiteral(" (%1 found)").arg(m.found), ms(m.ours),
                              QStringLiteral("%1 SQLite LIKE (%2); %3 in memory (%4)").arg(ms(m.like)).arg(m.likeCount).arg(ms(m.mem)).arg(m.memCount),
                              searches[i].target});
    }
}

void WindowBench::findInMemory(std::vector<FindFigures> &measured)
{
    // All in one buffer: a hundred thousand separate strings would
    // leave the heap fragmented for the sections measured after this one.
    std::string all;
    std::vector<size_t> starts;
    {
        store::Statement st(session.store.dbNotes, QStringLiteral("SELECT argomento, ContenutoTxt FROM Argomenti"));
        while (st.step()) {
            starts.push_back(all.size());
            all += st.columnText(0).toLower().toStdString() + '\n' + st.columnText(1).toLower().toStdString();
        }
        starts.push_back(all.size());
    }
    const auto memoryScan = [&](const std::string &needle) {
        int n = 0;
        const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end());
        for (size_t i = 0; i + 1 < starts.size(); ++i) {
            const auto first = all.begin() + qsizetype(starts[i]), last = all.begin() + qsizetype(starts[i + 1]);
            if (std::search(first, last, searcher) != last)
                ++n;
        }
        return n;
    };
    for (size_t i = 0; i < searches.size(); ++i) {
        const std::string needle = searches[i].plainWord.toStdString();
        measured[i].mem = medianMs(bench.runs, nullptr, [&] { measured[i].memCount = memoryScan(needle); });
    }
}

// quorvel-cli as a shell runs it: its exit code, and its output if asked for.
int WindowBench::runCli(const QStringList &toolArgs, QByteArray *output) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), bench.work + QStringLiteral("/share"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), bench.work + QStringLiteral("/runtime"));
    p.setProcessEnvironment(env);
    if (!output)
        p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QStringLiteral(QUORVEL_CLI), toolArgs);
    p.waitForFinished(-1);
    if (output)
        *output = p.readAllStandardOutput();
    return p.exitCode();
}

// quorvel-cli as a shell runs it, whole process, beside the same search
// through the main window in this process.
void WindowBench::cliFind()
{
    for (const Search &s : searches) {
        QByteArray lines;
        runCli({QStringLiteral("find"), s.pattern}, &lines);
        const double cliMs = medianMs(bench.runs, nullptr, [&] { runCli({QStringLiteral("find"), s.pattern}, nullptr); });
        dialogs.answer = s.pattern;
        const double gui = medianMs(bench.runs, nullptr, [&] { window.mnuTrovaArgomenti_Click(); });
        const bool word = !s.pattern.contains(QLatin1Char('?'));
        bench.rows.push_back({QStringLiteral("quorvel-cli ") + s.label + QStringLiteral(" (%1 lines), whole process").arg(lines.count('\n')),
                              ms(cliMs), ms(gui) + QStringLiteral(" (Find in topics in the running program)"),
                              word ? QStringLiteral("< 100 ms") : QString()});
    }
}

// quorvel-cli's export of the whole store, once per format, whole process.
void WindowBench::cliExport()
{
    qint64 read = 0;
    const double scan = medianMs(1, nullptr, [&] {
        store::Statement st(session.store.dbNotes, QStringLiteral("SELECT argomento, contenuto, ContenutoTxt FROM Argomenti"));
        for (read = 0; st.step(); ++read)
            st.columnText(1);
    });
    const auto perSecond = [&](double t) { return QString::number(read / (t / 1000.0), 'f', 0) + QStringLiteral(" topics/s"); };
    // Into a memory file system where there is one: on a disk shared
    // with other work the figure is the disk's, varying several times
    // over from run to run. Each export goes to a folder of its own, all
    // removed at the end: files made right after a hundred thousand
    // were removed take a file system longer.
    const bool inMemory = QFileInfo(QStringLiteral("/dev/shm")).isDir() && QFileInfo(QStringLiteral("/dev/shm")).isWritable();
    const QString exportRoot = inMemory ? QStringLiteral("/dev/shm/quorvel-bench-%1").arg(QCoreApplication::applicationPid()) : bench.work;
    QStringList outs;
    for (const QString &format : {QStringLiteral("rtf"), QStringLiteral("txt"), QStringLiteral("html")}) {
        const QString out = exportRoot + QStringLiteral("/export-") + format;
        QDir(out).removeRecursively();
        outs << out;
        // Nothing of what came before is still to be written to the disk.
        ::sync();
        const double t = medianMs(1, nullptr, [&] {
            runCli({QStringLiteral("export"), QStringLiteral("--format"), format, out}, nullptr);
        });
        const bool complete = QFile::exists(out + QStringLiteral("/index.json"));
        bench.rows.push_back({QStringLiteral("quorvel-cli export --format %1 of all %2 topics%3, whole process")
                                  .arg(format).arg(bench.topics).arg(inMemory ? QStringLiteral(" into a memory file system") : QString()),
                              complete ? perSecond(t) + QStringLiteral(" (%1 s)").arg(t / 1000.0, 0, 'f', 1) : QStringLiteral("failed"),
                              perSecond(scan) + QStringLiteral(" (reading the same fields in SQL)"), QString()});
        // A million topics' exports would not fit in memory together.
        if (bench.million())
            QDir(out).removeRecursively();
    }
    for (const QString &out : std::as_const(outs))
        QDir(out).removeRecursively();
    if (inMemory)
        QDir(exportRoot).removeRecursively();
}

// Saving a topic of 100 KB and of 1 MB through the editor.
void WindowBench::saveTopic()
{
    for (int kb : {100, 1000}) {
        showCategory(QStringLiteral("Archivio grande"));
        QString body;
        for (int i = 0; i < kb * 10; ++i)
            body += QStringLiteral("Riga %1 con qualche parola e città.\n").arg(i);
        body.truncate(kb * 1000);
        frmNuovoArg *editor = nullptr;
        int run = 0;
        const double ours = medianMs(bench.runs, [&] {
            window.lstArgomenti->setCurrentRow(0);
            window.OpenTopic();
            editor = static_cast<frmNuovoArg *>(session.finestre.editors().constLast());
            // A body that differs from the stored one at every run, as
            // after real editing.
            editor->rtfContenuto->setPlainText(QString::number(++run) + body.left(body.size() - 8));
        }, [&] { editor->cmdSalva_Click(); QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); });
        const int key = window.lstArgomenti->item(0)->data(Qt::UserRole).toInt();
        const double base = medianMs(bench.runs, nullptr, [&] {
            store::Statement st(session.store.dbNotes, QStringLiteral("UPDATE Argomenti SET ContenutoTxt = ?1, contenuto = ?1 WHERE idArgomento = ?2"));
            st.bind(1, body);
            st.bind(2, qint64(key));
            st.run();
        });
        bench.rows.push_back({QStringLiteral("save a topic of %1 KB").arg(kb), ms(ours), ms(base) + QStringLiteral(" (one SQL update)"),
                              kb == 100 ? QStringLiteral("< 20 ms") : QString()});
    }
}

// 1,000 saves of one topic of 10 KB, each a different text: how much the
// store grows, how much of that packing keeps the same day and a month
// later (the pages in use: what a compacted copy holds), and how long that
// topic's History window takes to open.
void WindowBench::history()
{
    showCategory(QStringLiteral("Archivio grande"));
    const int key = window.lstArgomenti->item(1)->data(Qt::UserRole).toInt();
    const QString title = window.lstArgomenti->item(1)->text();
    int category = -1;
    static_cast<void>(session.topics.categoryOf(key, &category));
    QString text;
    for (int i = 0; text.size() < 10000; ++i)
        text += QStringLiteral("Riga %1 con qualche parola e città.\n").arg(i);
    text.truncate(10000);
    const QDateTime now = QDateTime::currentDateTime();
    // What the sections before kept is settled first, as packing a month
    // on would settle it, so that only this topic's versions are counted.
    notes::History::Pruned pruned;
    static_cast<void>(session.history.prune(now.addDays(31), notes::Retention{}, &pruned));
    const qint64 before = session.store.bytesInUse();
    for (int i = 0; i < 1000; ++i) {
        const QString plain = QString::number(i) + text.left(text.size() - 4);
        if (session.topics.save({key, category, title, QStringLiteral("{\\rtf1 %1}").arg(plain), plain, now, {}, 0}) == -1)
            std::fprintf(stderr, "save failed: %s\n", qPrintable(session.store.errorText()));
    }
    const auto grown = [&] { return QString::number(double(session.store.bytesInUse() - before) / 1e6, 'f', 2) + QStringLiteral(" MB"); };
    const QString afterSaves = grown();
    const double open = medianMs(bench.runs, nullptr, [&] {
        HistoryWindow w(session, key, title, {}, &window);
        w.show();
        QCoreApplication::processEvents();
    });
    static_cast<void>(session.history.prune(now, notes::Retention{}, &pruned));
    const QString sameDay = grown();
    static_cast<void>(session.history.prune(now.addDays(31), notes::Retention{}, &pruned));
    const QString monthLater = grown();
    const QString saved = QStringLiteral("20 MB saved (each time 10 KB of RTF and 10 KB of plain text)");
    bench.rows.push_back({QStringLiteral("store growth after 1,000 saves of one 10 KB topic"), afterSaves, saved, QString()});
    bench.rows.push_back({QStringLiteral("the same after packing that day (every version kept)"), sameDay, QString(), QString()});
    bench.rows.push_back({QStringLiteral("the same after packing 31 days later (the day's last kept)"), monthLater, QString(), QString()});
    bench.rows.push_back({QStringLiteral("open the History of a topic with 1,000 versions"), ms(open), QString(), QStringLiteral("< 100 ms")});
}

// Typing into a 1 MB topic while its drafts are written: the longest
// stall of the event loop, seen by a 5 ms timer, over 12 s of steady
// typing (a draft at the latest 10 s after the first change) and the
// pause after it (a draft 2 s after the last key).
void WindowBench::typeWithDrafts()
{
    showCategory(QStringLiteral("Archivio grande"));
    window.lstArgomenti->setCurrentRow(0);
    window.OpenTopic();
    frmNuovoArg *editor = static_cast<frmNuovoArg *>(session.finestre.editors().constLast());
    QString body;
    for (int i = 0; i < 10000; ++i)
        body += QStringLiteral("Riga %1 con qualche parola e città.\n").arg(i);
    body.truncate(1000 * 1000);
    editor->rtfContenuto->setPlainText(body);
    editor->WriteDraft();
    const auto drafts = [&] {
        store::Statement st(session.store.dbNotes, QStringLiteral("SELECT count(*) FROM Bozze"));
        return st.step() ? st.columnInt(0) : -1;
    };
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last - 5);
        last = now;
    });
    QTimer typist;
    QObject::connect(&typist, &QTimer::timeout, [&] {
        QTextCursor c = editor->rtfContenuto->textCursor();
        c.insertText(QStringLiteral("x"));
    });
    probe.start(5);
    typist.start(60);
    QEventLoop loop;
    QTimer::singleShot(12000, &loop, [&] { typist.stop(); });
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    last = clock.elapsed();
    loop.exec();
    probe.stop();
    const double write = medianMs(bench.runs, [&] { editor->rtfContenuto->textCursor().insertText(QStringLiteral("y")); },
                                  [&] { editor->WriteDraft(); });
    bench.rows.push_back({QStringLiteral("typing into a 1 MB topic, drafts on: longest stall"),
                          ms(double(longest)),
                          QStringLiteral("one draft write alone %1 (%2 draft kept)").arg(ms(write)).arg(drafts()),
                          QStringLiteral("< 50 ms")});
    editor->cmdAnnulla_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Sync with a remote on this disk, the network left out: the first sync of
// the whole store into an empty remote through the window's Sync command,
// with the longest stall of the window's event loop meanwhile (a 5 ms timer
// sees it); the first sync of a new machine from that remote; then ten
// topics changed and synced again, through the window.
void WindowBench::sync()
{
    QTemporaryDir where(bench.folder + QStringLiteral("/sync-XXXXXX"));
    const QString remote = where.path() + QStringLiteral("/remote.git");
    gitsync::Git(where.path()).run({QStringLiteral("init"), QStringLiteral("-q"), QStringLiteral("--bare"), remote});
    gitsync::SyncConfig config;
    config.remote = remote;
    config.automatic = false;
    static_cast<void>(gitsync::writeConfig(session.store, config));
    QDir(gitsync::repositoryPath(session.store.DataFolder)).removeRecursively();
    qint64 stall = 0;
    const auto throughWindow = [&] {
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        stall = 0;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            stall = std::max(stall, now - last - 5);
            last = now;
        });
        QEventLoop loop;
        const auto ended = QObject::connect(&window.syncer(), &SyncRunner::ended, &loop, [&](bool ok) {
            if (!ok)
                std::fprintf(stderr, "sync failed\n");
            loop.quit();
        });
        probe.start(5);
        window.mnuSync_Click();
        loop.exec();
        QObject::disconnect(ended);
    };
    QElapsedTimer first;
    first.start();
    throughWindow();
    const double firstMs = double(first.elapsed());
    const qint64 firstStall = stall;

    // A new machine's first sync is measured up to 100,000 topics: at a
    // million it would hold the disk and the hours of another store.
    const bool newMachine = bench.topics <= 100000;
    QTemporaryDir laptop(bench.folder + QStringLiteral("/laptop-XXXXXX"));
    QString error;
    static_cast<void>(store::NoteStore::createDatabase(laptop.path() + QStringLiteral("/quorvel.mdb"),
                                                       QDateTime::currentDateTime(), &error));
    store::NoteStore other;
    other.DataFolder = laptop.path();
    static_cast<void>(other.open());
    gitsync::SyncSettings settings;
    settings.remote = remote;
    settings.repository = gitsync::repositoryPath(laptop.path());
    gitsync::SyncOutcome outcome;
    QElapsedTimer second;
    second.start();
    if (newMachine && !gitsync::syncStore(other, settings, &outcome, &error))
        std::fprintf(stderr, "second machine: %s\n", qPrintable(error));
    const double secondMs = double(second.elapsed());
    const int arrived = outcome.arrived.changed;
    other.close();

    int round = 0;
    qint64 worstStall = 0;
    const double tenMs = medianMs(bench.runs, [&] {
        store::Statement keys(session.store.dbNotes, QStringLiteral("SELECT idArgomento, idCategoria, argomento FROM "
                                                                    "Argomenti ORDER BY idArgomento LIMIT 10 OFFSET ?1"));
        keys.bind(1, qint64(1000 + 10 * round++));
        while (keys.step()) {
            const QString text = QStringLiteral("changed in round %1").arg(round);
            static_cast<void>(session.topics.save({int(keys.columnInt(0)), int(keys.columnInt(1)), keys.columnText(2),
                                                   QStringLiteral("{\\rtf1 %1}").arg(text), text,
                                                   QDateTime::currentDateTime(), {}, 0}));
        }
    }, [&] {
        throughWindow();
        worstStall = std::max(worstStall, stall);
    });
    bench.rows.push_back({QStringLiteral("first sync of every topic into an empty remote"), ms(firstMs),
                          QStringLiteral("longest stall of the window meanwhile %1").arg(ms(double(firstStall))),
                          QStringLiteral("< 2 min")});
    if (newMachine)
        bench.rows.push_back({QStringLiteral("first sync of a new machine from that remote"), ms(secondMs),
                              QStringLiteral("%1 records arrived").arg(arrived), QString()});
    bench.rows.push_back({QStringLiteral("sync of 10 changed topics"), ms(tenMs),
                          QStringLiteral("longest stall of the window meanwhile %1").arg(ms(double(worstStall))),
                          QStringLiteral("< 1 s; stall < 50 ms")});
}

// Move all of 5,000 topics, and back; cut and paste one topic.
void WindowBench::moveTopics()
{
    bool forward = true;
    const double moveOurs = medianMs(bench.runs, [&] {
        showCategory(forward ? QStringLiteral("Archivio grande") : QStringLiteral("Categoria 0001"));
        confirmDestination(forward ? QStringLiteral("Categoria 0001") : QStringLiteral("Archivio grande"));
        forward = !forward;
    }, [&] { window.mnuSpostaTutti_Click(); });
    const double moveBase = medianMs(bench.runs, nullptr, [&] {
        session.store.dbNotes.exec(QStringLiteral("UPDATE Argomenti SET idCategoria = idCategoria WHERE idCategoria IN (1, 2)"));
    });
    bench.rows.push_back({QStringLiteral("Move all of 5,000 topics"), ms(moveOurs), ms(moveBase) + QStringLiteral(" (one SQL update)"),
                          QStringLiteral("< 1 s")});
    const double cutPaste = medianMs(bench.runs, [&] {
        showCategory(QStringLiteral("Categoria 0002"));
        window.lstArgomenti->setCurrentRow(0);
        window.mnuTaglia_Click();
        showCategory(QStringLiteral("Categoria 0003"));
    }, [&] { window.mnuIncolla_Click(); });
    bench.rows.push_back({QStringLiteral("cut and paste one topic"), ms(cutPaste), QString(), QString()});
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Bench bench;
    if (!bench.parseArguments(QApplication::arguments()))
        return 2;
    if (!bench.prepareStore())
        return 1;
    if (bench.wanted("startup"))
        bench.startUp();
    // The rest in this process, on the real windows.
    WindowBench windows(bench);
    if (bench.wanted("open"))
        windows.openCategory();
    if (bench.wanted("find"))
        windows.findInTopics();
    if (bench.wanted("cli")) {
        windows.cliFind();
        windows.cliExport();
    }
    if (bench.wanted("save"))
        windows.saveTopic();
    if (bench.wanted("history"))
        windows.history();
    if (bench.wanted("drafts"))
        windows.typeWithDrafts();
    if (bench.wanted("sync"))
        windows.sync();
    if (bench.wanted("move"))
        windows.moveTopics();
    if (bench.wanted("rtf"))
        bench.rtfReadWrite();
    bench.printTable();
    return 0;
}
