#include "StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <functional>

using store::FileExists;
using store::JoinPath;
using store::NoteStore;

TEST(Paths, JoinPathCutToWidthAndFileExists)
{
    EXPECT_EQ(JoinPath(QStringLiteral("/data"), QStringLiteral("quorvel.mdb")), QStringLiteral("/data/quorvel.mdb"));
    EXPECT_EQ(JoinPath(QStringLiteral("/data/"), QStringLiteral("quorvel.mdb")), QStringLiteral("/data/quorvel.mdb"));
    EXPECT_EQ(JoinPath(QStringLiteral("  /data"), QStringLiteral("x  ")), QStringLiteral("/data/x"));
    // Cutting to a width keeps whole characters, and the whole text without a width.
    EXPECT_EQ(store::CutToWidth(QStringLiteral("abcdef"), 3), QStringLiteral("abc"));
    EXPECT_EQ(store::CutToWidth(QStringLiteral("ab\U0001F600c"), 3), QStringLiteral("ab")) << "no half character";
    EXPECT_EQ(store::CutToWidth(QStringLiteral("abcdef"), 0), QStringLiteral("abcdef")) << "no declared width";

    // Only ordinary, visible files exist.
    TempDir dir;
    for (const char *name : {"a.txt", ".hidden"})
        ASSERT_TRUE(QFile(dir.file(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
    EXPECT_TRUE(FileExists(dir.file(QStringLiteral("a.txt"))));
    EXPECT_FALSE(FileExists(dir.file(QStringLiteral(".hidden"))));
    EXPECT_FALSE(FileExists(dir.path())) << "a folder is not a file";
    EXPECT_FALSE(FileExists(dir.file(QStringLiteral("missing"))));
    EXPECT_FALSE(FileExists(QString()));
}

using NewStore = StoreFixture;

TEST_F(NewStore, HasTheSchemaAndOneSetupRecordAndOpensAgain)
{
    QString err;
    EXPECT_EQ(ns.rsSetup->recordCount(), 1);
    EXPECT_EQ(ns.rsSetup->field(QStringLiteral("lingua")).toInt(), 2) << "the language is asked at the first start";
    EXPECT_EQ(ns.rsSetup->field(QStringLiteral("UltimaCat")).toInt(), 0);
    EXPECT_EQ(ns.rsSetup->field(QStringLiteral("UltimoArg")).toInt(), 0);
    EXPECT_EQ(ns.rsCategorie->recordCount(), 0);
    EXPECT_EQ(ns.rsArgomenti->recordCount(), 0);
    EXPECT_FALSE(NoteStore::createDatabase(dir.file(QStringLiteral("quorvel.mdb")), QDateTime(), &err))
        << "an existing file is never overwritten";
    // A closed store can be opened again.
    ns.close();
    EXPECT_FALSE(ns.isOpen());
    ASSERT_TRUE(ns.open());
    EXPECT_EQ(ns.rsSetup->field(QStringLiteral("lingua")).toInt(), 2);
}

TEST_F(NewStore, CompactedCopyKeepsEveryRecordAndLeavesTheSourceAlone)
{
    const QString source = dir.file(QStringLiteral("quorvel.mdb"));
    QString err;
    for (int i = 0; i < 50; ++i)
        addTopic(0, QStringLiteral("t%1").arg(i), QString(2000, QLatin1Char('x')));
    ns.rsArgomenti->setIndex(QStringLiteral("PrimaryKey"));
    for (ns.rsArgomenti->moveFirst(); !ns.rsArgomenti->eof(); ns.rsArgomenti->moveNext())
        if (ns.rsArgomenti->field(QStringLiteral("idArgomento")).toInt() % 2 == 0)
            ns.rsArgomenti->remove();
    ns.close();
    const qint64 before = QFileInfo(source).size();
    const QString target = dir.file(QStringLiteral("packed.mdb"));
    ASSERT_TRUE(NoteStore::compactDatabase(source, target, &err)) << err.toStdString();
    EXPECT_EQ(QFileInfo(source).size(), before);
    EXPECT_LT(QFileInfo(target).size(), before);
    EXPECT_FALSE(NoteStore::compactDatabase(source, target, &err)) << "never overwrites";
    EXPECT_FALSE(NoteStore::compactDatabase(dir.file(QStringLiteral("none.mdb")), dir.file(QStringLiteral("n2")), &err));

    QFile::remove(source);
    QFile::rename(target, source);
    ASSERT_TRUE(ns.open());
    EXPECT_EQ(ns.rsArgomenti->recordCount(), 25);
    EXPECT_EQ(ns.rsSetup->recordCount(), 1);
    ns.rsArgomenti->addNew();
    ASSERT_TRUE(ns.rsArgomenti->update());
    EXPECT_EQ(ns.rsArgomenti->lastModified(), 51) << "the deleted key 50 is not given again";
}

TEST(Opening, RefusedFilesAreLeftByteIdentical)
{
    const auto write = [](const QByteArray &bytes) {
        return [bytes](const QString &path) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
    };
    // A database of ours, changed by sql; inWal leaves it in write-ahead mode.
    const auto changed = [](const QString &sql, bool inWal = false) {
        return [sql, inWal](const QString &path) {
            QString err;
            ASSERT_TRUE(NoteStore::createDatabase(path, QDateTime::currentDateTime(), &err));
            store::Connection db;
            ASSERT_TRUE(db.open(path, false));
            ASSERT_TRUE(db.exec(sql));
            if (inWal)
                ASSERT_TRUE(db.exec(QStringLiteral("PRAGMA journal_mode = WAL")));
        };
    };
    QByteArray noise(8192, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    const struct {
        const char *what;
        std::function<void(const QString &)> make;
        const char *reason;
    } cases[] = {
        {"no file", [](const QString &) {}, "Could not find file"},
        {"zero bytes", write(QByteArray()), "'Setup' does not exist"},
        {"random bytes", write(noise), "not a database"},
        {"a missing table", changed(QStringLiteral("DROP TABLE Categorie")), "'Categorie' does not exist"},
        {"a missing column", changed(QStringLiteral("ALTER TABLE Setup DROP COLUMN UltimoAvvio")), "'UltimoAvvio'"},
        {"a missing column, in write-ahead mode", changed(QStringLiteral("ALTER TABLE Argomenti DROP COLUMN ultimoaggiornamento"), true),
         "'ultimoaggiornamento'"},
        {"Setup without its record", changed(QStringLiteral("DELETE FROM Setup")), "'Setup' of"},
        {"a newer format", changed(QStringLiteral("PRAGMA user_version = %1").arg(store::kSchemaVersion + 1)), "newer version"},
        {"a folder in its place", [](const QString &path) { QDir().mkpath(path + QStringLiteral("/x")); },
         "Could not find file"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        c.make(dir.file(QStringLiteral("quorvel.mdb")));
        const auto before = TempDir::contents(dir.path());
        NoteStore ns;
        ns.DataFolder = dir.path();
        EXPECT_FALSE(ns.open());
        EXPECT_FALSE(ns.isOpen());
        EXPECT_FALSE(ns.rsSetup) << "nothing stays half open";
        EXPECT_TRUE(ns.errorText().contains(QLatin1String(c.reason))) << ns.errorText().toStdString();
        EXPECT_TRUE(TempDir::contents(dir.path()) == before) << "the folder is as it was, to the byte";
    }
}
