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
    // Titles and searchable texts of a category, in title order.
    QStringList topicsOf(const QString &category)
    {
        store::Statement st(session->store.dbNotes, u"SELECT argomento || '|' || ContenutoTxt FROM Argomenti a JOIN Categorie c "
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
    for (const QString &pattern : {u"O'Brien"_s, u"abc"_s, u"*"_s, u"body of [a-m]*"_s, u"Summary"_s, u"nowhere to be found"_s,
                                  u"far away"_s, u"CITTÀ"_s}) {
        QStringList wanted;
        auto rs = store::FindTopics(session->store, u'*' + pattern + u'*');
        for (; rs && !rs->eof(); rs->moveNext())
            wanted << rs->field(u"idArgomento"_s).toString();
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
    // A second topic of the same name, and one whose name no file can
    // have, each get a file of their own.
    addTopic(session->store, categories[u"Zeta"_s], u"far"_s, u"again"_s);
    addTopic(session->store, categories[u"Zeta"_s], u"a/b: c?"_s, u"x"_s);
    const QString dir = home.path() + u"/out-html"_s;
    ASSERT_EQ(cli({u"export"_s, u"--format=html"_s, dir}).code, 0);
    QStringList zeta;
    for (const QJsonValue t : QJsonDocument::fromJson(TempDir::read(dir + u"/index.json"_s)).object().value(u"topics"_s).toArray())
        if (t.toObject().value(u"category"_s).toString() == QLatin1String("Zeta"))
            zeta << t.toObject().value(u"file"_s).toString();
    EXPECT_EQ(zeta, (QStringList{u"Zeta/Far.html"_s, u"Zeta/far (2).html"_s, u"Zeta/a_b_ c_.html"_s}));
    for (const QString &f : zeta)
        EXPECT_TRUE(QFile::exists(dir + u'/' + f)) << f.toStdString();
    EXPECT_EQ(cli({u"export"_s, dir}).code, 2) << "a folder that is not empty is refused";
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
    EXPECT_EQ(copy.rsArgomenti->recordCount(), 5) << "the copy is the store as it was, without the open write";
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

TEST_F(Cli, ImportIsRefusedWhileTheProgramRunsAndPackingWhileTheToolHoldsTheStore)
{
    const QStringList args{u"import"_s, u"--category"_s, u"beta"_s, TempDir::write(home.file(u"note.txt"_s), "text")};
    {
        platform::LocalInstanceChannel running;
        ASSERT_TRUE(running.claim());
        const Result r = cli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.err.contains(QLatin1String("Quorvel is running"))) << r.err.toStdString();
        EXPECT_EQ(topicsOf(u"beta"_s).size(), 4);
    }
    EXPECT_EQ(cli(args).code, 0) << "imported once the program has ended";
    EXPECT_EQ(topicsOf(u"beta"_s).size(), 5);

    store::StoreLock tool;
    ASSERT_TRUE(tool.acquire(session->store.DatabasePath, store::StoreLock::Kind::Shared, 0) && tool.isHeld());
    services.dialogs.expectMsgBox(platform::vbYes);
    services.dialogs.expectMsgBox(platform::vbYes);
    services.dialogs.expectMsgBox();
    main->mnuCompatta_Click();
    EXPECT_EQ(services.dialogs.shown().constLast().prompt,
              u"A quorvel-cli command is using the database: try packing again when it has finished."_s);
    EXPECT_FALSE(QFile::exists(session->store.DatabasePath + u".old"_s));
    EXPECT_TRUE(session->store.isOpen());
    store::StoreLock packing;
    EXPECT_FALSE(packing.acquire(session->store.DatabasePath, store::StoreLock::Kind::Exclusive, 0));
    tool.release();
    EXPECT_TRUE(packing.acquire(session->store.DatabasePath, store::StoreLock::Kind::Exclusive, 0));
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
    EXPECT_EQ(listTexts().size(), 7);
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), u"western"_s);
}
