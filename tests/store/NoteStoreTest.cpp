#include "StoreFixture.h"

#include <QDir>
#include <QFile>

using store::FileExists;
using store::JoinPath;
using store::NoteStore;

TEST(Paths, JoinPathPutsExactlyOneSeparatorAndTrims)
{
    EXPECT_EQ(JoinPath(QStringLiteral("/data"), QStringLiteral("quorvel.mdb")), QStringLiteral("/data/quorvel.mdb"));
    EXPECT_EQ(JoinPath(QStringLiteral("/data/"), QStringLiteral("quorvel.mdb")), QStringLiteral("/data/quorvel.mdb"));
    EXPECT_EQ(JoinPath(QStringLiteral("  /data"), QStringLiteral("x  ")), QStringLiteral("/data/x"));
}

TEST(Paths, CutToWidthKeepsWholeCharactersAndWholeTextWithoutAWidth)
{
    EXPECT_EQ(store::CutToWidth(QStringLiteral("abcdef"), 3), QStringLiteral("abc"));
    EXPECT_EQ(store::CutToWidth(QStringLiteral("ab\U0001F600c"), 3), QStringLiteral("ab")) << "no half character";
    EXPECT_EQ(store::CutToWidth(QStringLiteral("abcdef"), 0), QStringLiteral("abcdef")) << "no declared width";
}

TEST(Paths, FileExistsOnlyForOrdinaryVisibleFiles)
{
    TempDir dir;
    QFile f(dir.file(QStringLiteral("a.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QFile h(dir.file(QStringLiteral(".hidden")));
    ASSERT_TRUE(h.open(QIODevice::WriteOnly));
    h.close();
    EXPECT_TRUE(FileExists(dir.file(QStringLiteral("a.txt"))));
    EXPECT_FALSE(FileExists(dir.file(QStringLiteral(".hidden"))));
    EXPECT_FALSE(FileExists(dir.path())) << "a folder is not a file";
    EXPECT_FALSE(FileExists(dir.file(QStringLiteral("missing"))));
    EXPECT_FALSE(FileExists(QString()));
}

TEST(Opening, NewDatabaseHasTheSchemaAndOneSetupRecord)
{
    TempDir dir;
    QString err;
    ASSERT_TRUE(NoteStore::createDatabase(dir.file(QStringLiteral("quorvel.mdb")), QDateTime::currentDateTime(), &err));
    NoteStore ns;
    ns.DataFolder = dir.path();
    ASSERT_TRUE(ns.open());
    EXPECT_EQ(ns.DatabasePath, dir.file(QStringLiteral("quorvel.mdb")));
    EXPECT_EQ(ns.rsSetup->recordCount(), 1);
    EXPECT_EQ(ns.rsSetup->field(QStringLiteral("lingua")).toInt(), 2) << "the language is asked at the first start";
    EXPECT_EQ(ns.rsSetup->field(QStringLiteral("UltimaCat")).toInt(), 0);
    EXPECT_EQ(ns.rsSetup->field(QStringLiteral("UltimoArg")).toInt(), 0);
    EXPECT_EQ(ns.rsCategorie->recordCount(), 0);
    EXPECT_EQ(ns.rsArgomenti->recordCount(), 0);
    for (const char *ix : {"PrimaryKey", "Categoria"})
        EXPECT_TRUE(ns.rsCategorie->setIndex(QString::fromLatin1(ix))) << ix;
    for (const char *ix : {"PrimaryKey", "Categorie"})
        EXPECT_TRUE(ns.rsArgomenti->setIndex(QString::fromLatin1(ix))) << ix;
    EXPECT_FALSE(NoteStore::createDatabase(dir.file(QStringLiteral("quorvel.mdb")), QDateTime(), &err))
        << "an existing file is never overwritten";
}

TEST(Opening, MissingFileIsReportedByName)
{
    TempDir dir;
    NoteStore ns;
    ns.DataFolder = dir.path();
    EXPECT_FALSE(ns.open());
    EXPECT_FALSE(ns.isOpen());
    EXPECT_TRUE(ns.errorText().contains(dir.file(QStringLiteral("quorvel.mdb"))));
}

TEST(Opening, FileOfAnotherKindIsNotOpened)
{
    TempDir dir;
    QFile f(dir.file(QStringLiteral("quorvel.mdb")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'Z'));
    f.close();
    NoteStore ns;
    ns.DataFolder = dir.path();
    EXPECT_FALSE(ns.open());
    EXPECT_FALSE(ns.isOpen());
    EXPECT_FALSE(ns.errorText().isEmpty());
}

TEST(Opening, DatabaseWithoutATableIsNotOpened)
{
    TempDir dir;
    {
        store::Connection db;
        ASSERT_TRUE(db.open(dir.file(QStringLiteral("quorvel.mdb")), true));
        ASSERT_TRUE(db.exec(QStringLiteral("CREATE TABLE Setup (lingua SMALLINT); CREATE TABLE Argomenti (x INTEGER)")));
    }
    NoteStore ns;
    ns.DataFolder = dir.path();
    EXPECT_FALSE(ns.open());
    EXPECT_TRUE(ns.errorText().contains(QLatin1String("Categorie"))) << ns.errorText().toStdString();
    EXPECT_FALSE(ns.rsSetup) << "nothing stays half open";
}

TEST(Opening, ClosedStoreCanBeOpenedAgain)
{
    TempDir dir;
    QString err;
    ASSERT_TRUE(NoteStore::createDatabase(dir.file(QStringLiteral("quorvel.mdb")), QDateTime::currentDateTime(), &err));
    NoteStore ns;
    ns.DataFolder = dir.path();
    ASSERT_TRUE(ns.open());
    ns.close();
    EXPECT_FALSE(ns.isOpen());
    ASSERT_TRUE(ns.open());
    EXPECT_EQ(ns.rsSetup->field(QStringLiteral("lingua")).toInt(), 2);
}

TEST(Compacting, CopyKeepsEveryRecordAndLeavesTheSourceAlone)
{
    TempDir dir;
    const QString source = dir.file(QStringLiteral("quorvel.mdb"));
    QString err;
    ASSERT_TRUE(NoteStore::createDatabase(source, QDateTime::currentDateTime(), &err));
    {
        NoteStore ns;
        ns.DataFolder = dir.path();
        ASSERT_TRUE(ns.open());
        for (int i = 0; i < 50; ++i) {
            ns.rsArgomenti->addNew();
            ns.rsArgomenti->setField(QStringLiteral("argomento"), QStringLiteral("t%1").arg(i));
            ns.rsArgomenti->setField(QStringLiteral("contenuto"), QString(2000, QLatin1Char('x')));
            ASSERT_TRUE(ns.rsArgomenti->update());
        }
        ns.rsArgomenti->setIndex(QStringLiteral("PrimaryKey"));
        for (ns.rsArgomenti->moveFirst(); !ns.rsArgomenti->eof(); ns.rsArgomenti->moveNext())
            if (ns.rsArgomenti->field(QStringLiteral("idArgomento")).toInt() % 2 == 0)
                ns.rsArgomenti->remove();
    }
    const qint64 before = QFileInfo(source).size();
    const QString target = dir.file(QStringLiteral("packed.mdb"));
    ASSERT_TRUE(NoteStore::compactDatabase(source, target, &err)) << err.toStdString();
    EXPECT_EQ(QFileInfo(source).size(), before);
    EXPECT_LT(QFileInfo(target).size(), before);
    EXPECT_FALSE(NoteStore::compactDatabase(source, target, &err)) << "never overwrites";
    EXPECT_FALSE(NoteStore::compactDatabase(dir.file(QStringLiteral("none.mdb")), dir.file(QStringLiteral("n2")), &err));

    QFile::remove(source);
    QFile::rename(target, source);
    NoteStore ns;
    ns.DataFolder = dir.path();
    ASSERT_TRUE(ns.open());
    EXPECT_EQ(ns.rsArgomenti->recordCount(), 25);
    EXPECT_EQ(ns.rsSetup->recordCount(), 1);
    ns.rsArgomenti->addNew();
    ASSERT_TRUE(ns.rsArgomenti->update());
    EXPECT_EQ(ns.rsArgomenti->lastModified(), 51) << "the deleted key 50 is not given again";
}

TEST(Opening, FileFromANewerFormatIsRefused)
{
    TempDir dir;
    QString err;
    ASSERT_TRUE(NoteStore::createDatabase(dir.file(QStringLiteral("quorvel.mdb")), QDateTime::currentDateTime(), &err));
    {
        store::Connection db;
        ASSERT_TRUE(db.open(dir.file(QStringLiteral("quorvel.mdb")), false));
        ASSERT_TRUE(db.exec(QStringLiteral("PRAGMA user_version = %1").arg(store::kSchemaVersion + 1)));
    }
    NoteStore ns;
    ns.DataFolder = dir.path();
    EXPECT_FALSE(ns.open());
    EXPECT_TRUE(ns.errorText().contains(QLatin1String("newer version"))) << ns.errorText().toStdString();
}

TEST(Opening, SetupTableWithoutItsRecordIsNotOpened)
{
    TempDir dir;
    QString err;
    ASSERT_TRUE(NoteStore::createDatabase(dir.file(QStringLiteral("quorvel.mdb")), QDateTime::currentDateTime(), &err));
    {
        store::Connection db;
        ASSERT_TRUE(db.open(dir.file(QStringLiteral("quorvel.mdb")), false));
        ASSERT_TRUE(db.exec(QStringLiteral("DELETE FROM Setup")));
    }
    NoteStore ns;
    ns.DataFolder = dir.path();
    EXPECT_FALSE(ns.open());
    EXPECT_TRUE(ns.errorText().contains(QLatin1String("Setup")));
    EXPECT_FALSE(ns.isOpen());
}
