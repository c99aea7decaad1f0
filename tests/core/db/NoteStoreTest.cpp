#include "StoreFixture.h"
#include "db/Sqlite.h"
#include "db/Fields.h"

#include <QDir>
#include <QRandomGenerator>

#include <functional>

using store::NoteStore;

TEST(Opening, RefusedFilesAreLeftByteIdentical)
{
    const auto write = [](const QByteArray &bytes) { return [bytes](const QString &path) { ASSERT_FALSE(TempDir::write(path, bytes).isEmpty()); }; };
    // A database of ours, changed by sql.
    const auto changed = [](const QString &sql) {
        return [sql](const QString &path) {
            QString err;
            ASSERT_TRUE(NoteStore::createDatabase(path, QDateTime::currentDateTime(), &err));
            store::Connection db;
            ASSERT_TRUE(db.open(path, false));
            ASSERT_TRUE(db.exec(sql));
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
        {"a missing table", changed(u"DROP TABLE Categorie"_s), "'Categorie' does not exist"},
        {"a missing column", changed(u"ALTER TABLE Setup DROP COLUMN UltimoAvvio"_s), "'UltimoAvvio'"},
        {"a missing column, in write-ahead mode", changed(u"ALTER TABLE Argomenti DROP COLUMN ultimoaggiornamento; PRAGMA journal_mode = WAL"_s),
         "'ultimoaggiornamento'"},
        {"Setup without its record", changed(u"DELETE FROM Setup"_s), "'Setup' of"},
        {"a newer format", changed(u"PRAGMA user_version = %1"_s.arg(store::kSchemaVersion + 1)), "newer version"},
        {"a folder in its place", [](const QString &path) { QDir().mkpath(path + u"/x"_s); }, "Could not find file"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        c.make(dir.file(u"quorvel.mdb"_s));
        const auto before = TempDir::contents(dir.path());
        NoteStore ns;
        ns.DataFolder = dir.path();
        EXPECT_FALSE(ns.open() || ns.isOpen());
        EXPECT_FALSE(ns.setup) << "nothing stays half open";
        EXPECT_TRUE(ns.errorText().contains(QLatin1String(c.reason))) << ns.errorText().toStdString();
        EXPECT_TRUE(TempDir::contents(dir.path()) == before) << "the folder is as it was, to the byte";
    }
}
