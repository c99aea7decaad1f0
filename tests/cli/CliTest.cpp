// quorvel-cli's commands run in this process against the store of a running
// main window; the drop on the main window's list; packing against the
// tool's lock.

#include "BrowserFixture.h"
#include "Cli.h"
#include "QtPlatform.h"
#include "Rtf.h"
#include "Search.h"
#include "StoreLock.h"

#include <QDropEvent>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QUrl>

class Cli : public BrowserFixture {
protected:
    void SetUp() override
    {
        // A running copy is known by a lock in the runtime folder: this
        // test's own, whatever else runs on the machine.
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QString runtime = home.mkdir(QStringLiteral("runtime"));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        BrowserFixture::SetUp();
        store::NoteStore &st = session->store;
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("Città di mare\nseconda riga, O'Brien"));
        addTopic(st, categories[QStringLiteral("beta")], QStringLiteral("Porto"), QString::fromLatin1(rtf::write(&doc)));
        st.dbNotes.exec(QStringLiteral("UPDATE Argomenti SET ContenutoTxt = 'Città di mare\nseconda riga, O''Brien' "
                                       "WHERE argomento = 'Porto'"));
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
        args << QStringLiteral("--folder") << (folder.isEmpty() ? defaultFolder() : folder);
        Result r{0, {}, {}};
        QTextStream out(&r.out), err(&r.err);
        r.code = cli::run(args, out, err, false);
        return r;
    }
    // Titles and searchable texts of a category, in title order.
    QStringList topicsOf(const QString &category)
    {
        store::Statement st(session->store.dbNotes,
                            QStringLiteral("SELECT argomento || '|' || ContenutoTxt FROM Argomenti a JOIN Categorie c "
                                           "USING (idCategoria) WHERE Categoria = ?1 ORDER BY argomento"));
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
    for (const QString &pattern : {QStringLiteral("O'Brien"), QStringLiteral("abc"), QStringLiteral("*"),
                                  QStringLiteral("body of [a-m]*"), QStringLiteral("Summary"),
                                  QStringLiteral("nowhere to be found"), QStringLiteral("far away"),
                                  QStringLiteral("CITTÀ")}) {
        QStringList wanted;
        auto rs = store::FindTopics(session->store, QLatin1Char('*') + pattern + QLatin1Char('*'));
        for (; rs && !rs->eof(); rs->moveNext())
            wanted << rs->field(QStringLiteral("idArgomento")).toString();
        const Result r = cli({QStringLiteral("find"), pattern});
        QStringList keys;
        for (const QString &line : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            keys << line.section(QLatin1Char('\t'), 2, 2);
        EXPECT_EQ(keys, wanted) << pattern.toStdString();
        EXPECT_EQ(r.code, wanted.isEmpty() ? 1 : 0) << pattern.toStdString();
    }
    const Result r = cli({QStringLiteral("find"), QStringLiteral("--json"), QStringLiteral("far"), QStringLiteral("away")});
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o.value(QStringLiteral("category")).toString(), QStringLiteral("Zeta"));
    EXPECT_EQ(o.value(QStringLiteral("title")).toString(), QStringLiteral("Far"));
    EXPECT_EQ(o.value(QStringLiteral("key")).toInt(), topics[QStringLiteral("Far")]);
    EXPECT_EQ(o.value(QStringLiteral("updated")).toString(), QStringLiteral("2025-05-04 03:02:00"));
}

TEST_F(Cli, ExportThenImportGivesBackTitlesAndTexts)
{
    for (const QString &format : {QStringLiteral("rtf"), QStringLiteral("txt")}) {
        const QString dir = home.path() + QStringLiteral("/out-") + format;
        const Result e = cli({QStringLiteral("export"), dir, QStringLiteral("--format"), format});
        ASSERT_EQ(e.code, 0) << e.err.toStdString();
        QStringList files;
        for (const char *title : {"Agenda", "marmellata", "Porto", "Summary"})
            files << dir + QStringLiteral("/beta/") + QString::fromUtf8(title) + QLatin1Char('.') + format;
        const QString copy = QStringLiteral("copy ") + format;
        const Result i = cli(QStringList{QStringLiteral("import"), QStringLiteral("--category"), copy} + files);
        ASSERT_EQ(i.code, 0) << i.err.toStdString();
        EXPECT_EQ(topicsOf(copy), topicsOf(QStringLiteral("beta"))) << format.toStdString();
    }
    // A second topic of the same name, and one whose name no file can
    // have, each get a file of their own.
    addTopic(session->store, categories[QStringLiteral("Zeta")], QStringLiteral("far"), QStringLiteral("again"));
    addTopic(session->store, categories[QStringLiteral("Zeta")], QStringLiteral("a/b: c?"), QStringLiteral("x"));
    const QString dir = home.path() + QStringLiteral("/out-html");
    ASSERT_EQ(cli({QStringLiteral("export"), QStringLiteral("--format=html"), dir}).code, 0);
    QStringList zeta;
    for (const QJsonValue t : QJsonDocument::fromJson(TempDir::read(dir + QStringLiteral("/index.json"))).object().value(QStringLiteral("topics")).toArray())
        if (t.toObject().value(QStringLiteral("category")).toString() == QLatin1String("Zeta"))
            zeta << t.toObject().value(QStringLiteral("file")).toString();
    EXPECT_EQ(zeta, (QStringList{QStringLiteral("Zeta/Far.html"), QStringLiteral("Zeta/far (2).html"),
                                 QStringLiteral("Zeta/a_b_ c_.html")}));
    for (const QString &f : zeta)
        EXPECT_TRUE(QFile::exists(dir + QLatin1Char('/') + f)) << f.toStdString();
    EXPECT_EQ(cli({QStringLiteral("export"), dir}).code, 2) << "a folder that is not empty is refused";
}

TEST_F(Cli, BackupTakenWhileAnotherConnectionWritesOpensAndPassesCheck)
{
    store::Connection writer;
    ASSERT_TRUE(writer.open(session->store.DatabasePath, false));
    ASSERT_TRUE(writer.exec(QStringLiteral("BEGIN IMMEDIATE; INSERT INTO Argomenti (idCategoria, argomento, ContenutoTxt) "
                                           "VALUES (1, 'half written', 'never committed')")));
    const QString folder = home.mkdir(QStringLiteral("copy"));
    const Result b = cli({QStringLiteral("backup"), folder + QStringLiteral("/quorvel.mdb")});
    ASSERT_EQ(b.code, 0) << b.err.toStdString();
    ASSERT_TRUE(writer.exec(QStringLiteral("COMMIT")));
    EXPECT_EQ(cli({QStringLiteral("backup"), folder + QStringLiteral("/quorvel.mdb")}).code, 2) << "never over a file";

    const Result c = cli({QStringLiteral("check")}, folder);
    EXPECT_EQ(c.code, 0) << c.err.toStdString();
    EXPECT_EQ(c.out, QStringLiteral("store: ok\nsearch index: ok\n"));
    store::NoteStore copy;
    copy.DataFolder = folder;
    ASSERT_TRUE(copy.open());
    EXPECT_EQ(copy.rsArgomenti->recordCount(), 5) << "the copy is the store as it was, without the open write";
    ASSERT_TRUE(copy.dbNotes.exec(QStringLiteral(
        "INSERT INTO ArgomentiFts(ArgomentiFts, rowid, argomento, ContenutoTxt) VALUES ('delete', 1, 'x', 'y')")));
    copy.close();
    const Result damaged = cli({QStringLiteral("check")}, folder);
    EXPECT_EQ(damaged.code, 2);
    EXPECT_TRUE(damaged.err.contains(QLatin1String("search index"))) << damaged.err.toStdString();
}

TEST_F(Cli, BadUsageEndsWithCodeTwoAndAMessage)
{
    const QList<QStringList> bad = {
        {}, {QStringLiteral("frob")}, {QStringLiteral("find")}, {QStringLiteral("find"), QStringLiteral("--bogus"), QStringLiteral("x")},
        {QStringLiteral("export")}, {QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("d")},
        {QStringLiteral("import"), QStringLiteral("a.rtf")}, {QStringLiteral("import"), QStringLiteral("--category"), QStringLiteral("x")},
        {QStringLiteral("backup")}, {QStringLiteral("check"), QStringLiteral("extra")}, {QStringLiteral("help"), QStringLiteral("frob")},
        {QStringLiteral("import"), QStringLiteral("--category"), QStringLiteral("x"), QStringLiteral("missing.rtf")},
    };
    for (const QStringList &args : bad) {
        const Result r = cli(args);
        EXPECT_EQ(r.code, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(QLatin1Char(' ')).toStdString();
    }
    const Result help = cli({QStringLiteral("find"), QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith(QLatin1String("usage: quorvel-cli find"))) << help.out.toStdString();
}

TEST_F(Cli, ImportIsRefusedWhileTheProgramRunsAndPackingWhileTheToolHoldsTheStore)
{
    const QStringList args{QStringLiteral("import"), QStringLiteral("--category"), QStringLiteral("beta"),
                           TempDir::write(home.file(QStringLiteral("note.txt")), "text")};
    {
        platform::LocalInstanceChannel running;
        ASSERT_TRUE(running.claim());
        const Result r = cli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.err.contains(QLatin1String("Quorvel is running"))) << r.err.toStdString();
        EXPECT_EQ(topicsOf(QStringLiteral("beta")).size(), 4);
    }
    EXPECT_EQ(cli(args).code, 0) << "imported once the program has ended";
    EXPECT_EQ(topicsOf(QStringLiteral("beta")).size(), 5);

    store::StoreLock tool;
    ASSERT_TRUE(tool.acquire(session->store.DatabasePath, store::StoreLock::Kind::Shared, 0));
    ASSERT_TRUE(tool.isHeld());
    services.dialogs.expectMsgBox(platform::vbYes);
    services.dialogs.expectMsgBox(platform::vbYes);
    services.dialogs.expectMsgBox();
    main->mnuCompatta_Click();
    EXPECT_EQ(services.dialogs.shown().constLast().prompt,
              QStringLiteral("A quorvel-cli command is using the database: try packing again when it has finished."));
    EXPECT_FALSE(QFile::exists(session->store.DatabasePath + QStringLiteral(".old")));
    EXPECT_TRUE(session->store.isOpen());
    store::StoreLock packing;
    EXPECT_FALSE(packing.acquire(session->store.DatabasePath, store::StoreLock::Kind::Exclusive, 0));
    tool.release();
    EXPECT_TRUE(packing.acquire(session->store.DatabasePath, store::StoreLock::Kind::Exclusive, 0));
}

TEST_F(Cli, DroppedFilesBecomeTopicsOfTheOpenCategory)
{
    const auto write = [&](const QString &name, const QByteArray &data) {
        return QUrl::fromLocalFile(TempDir::write(home.file(name), data));
    };
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Perché no"));
    QMimeData files;
    files.setUrls({write(QStringLiteral("rich.rtf"), rtf::write(&doc)), write(QStringLiteral("utf8.txt"), "citt\xc3\xa0"),
                   write(QStringLiteral("western.TXT"), "caff\xe8")});
    QMimeData other;
    other.setUrls({write(QStringLiteral("picture.png"), "x")});
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
    EXPECT_EQ(topicsOf(QStringLiteral("beta")).size(), 4);
    select(QStringLiteral("beta"));
    main->OpenCategory();
    ASSERT_TRUE(drag(&files));
    EXPECT_EQ(topicsOf(QStringLiteral("beta")),
              (QStringList{QStringLiteral("Agenda|Body of Agenda"), QStringLiteral("Porto|Città di mare\nseconda riga, O'Brien"),
                           QStringLiteral("Summary|Body of Summary"), QStringLiteral("marmellata|Body of marmellata"),
                           QStringLiteral("rich|Perché no"), QStringLiteral("utf8|città"), QStringLiteral("western|caffè")}));
    EXPECT_EQ(listTexts().size(), 7);
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), QStringLiteral("western"));
}
