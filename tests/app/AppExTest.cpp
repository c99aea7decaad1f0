#include "AppFixture.h"
#include "Avvio.h"

#include <QFile>

#include <cstdio>

using Environment = AppFixture;

namespace {
// The number of the error a call raises; 0 when it raises none.
template <typename Call>
quint32 errorNumber(Call call)
{
    try {
        call();
    } catch (const AppError &e) {
        return e.number();
    }
    return 0;
}
} // namespace

// PathAndSubDir creates the missing folders, each failure raising an error
// of its own number. With no database anywhere the data folder is a new one
// in the default folder; one beside the program is used (the default folder
// still made); the default folder's wins.
TEST_F(Environment, FoldersAreMadeOrRefusedWithTheirErrorNumbersAndTheDataFolderIsTheDefaultUnlessOnlyTheProgramsHasADatabase)
{
    AppEx ex;
    const QString p = ex.PathAndSubDir(AppEx::kCommonAppData, QStringLiteral("Ostwick\\quorvel"), true, 0);
    EXPECT_EQ(p, defaultFolder());
    EXPECT_TRUE(QFileInfo(p).isDir());
    EXPECT_TRUE(ex.FSPresent(p));
    EXPECT_FALSE(ex.FSPresent(p + QStringLiteral("/nothing")));
    EXPECT_EQ(errorNumber([&] { ex.PathAndSubDir(4242, QStringLiteral("x"), true, 0); }), 0x8004B124u) << "invalid id";
    EXPECT_EQ(errorNumber([&] { ex.PathAndSubDir(AppEx::kCommonAppData, QStringLiteral("Not\\There"), false, 0); }),
              0x8004B122u) << "a missing folder, not to be created";
    EXPECT_EQ(errorNumber([&] { ex.Path(4242, false, 0); }), 0x8004B114u) << "invalid id";
    EXPECT_EQ(ex.Path(AppEx::kCommonAppData, false, 0), home.path() + QStringLiteral("/share"));
    EXPECT_FALSE(ex.OSVersion(99).isValid());
    EXPECT_GE(ex.OSVersion(7).toFloat(), 5.1f);

    bool createNew = false;
    QDir(defaultFolder()).removeRecursively();
    EXPECT_EQ(places::ResolveDataFolder(ex, exePath, &createNew), defaultFolder());
    EXPECT_TRUE(createNew);
    QDir(defaultFolder()).removeRecursively();
    makeDatabase(besideExe());
    EXPECT_EQ(places::ResolveDataFolder(ex, exePath, &createNew), besideExe());
    EXPECT_FALSE(createNew);
    EXPECT_TRUE(QFileInfo(defaultFolder()).isDir());
    makeDatabase(defaultFolder());
    createNew = true;
    EXPECT_EQ(places::ResolveDataFolder(ex, exePath, &createNew), defaultFolder());
    EXPECT_FALSE(createNew);
}

namespace {
// A system that cannot tell its version, or tells one below what another
// system's folder query needed.
class Version : public AppEx {
public:
    explicit Version(const char *text) : m_text(text) { reread(); }
    bool queryVersion(int *major, int *minor, int *build) const override
    {
        *build = 0;
        return m_text && std::sscanf(m_text, "%d.%d", major, minor) == 2;
    }

private:
    const char *m_text;
};
} // namespace

TEST_F(Environment, TheSystemsVersionNeverStopsTheStart)
{
    for (const char *version : {static_cast<const char *>(nullptr), "3.19"}) {
        SCOPED_TRACE(version ? version : "none");
        Version ex(version);
        bool createNew = false;
        EXPECT_EQ(places::ResolveDataFolder(ex, exePath, &createNew), defaultFolder());
    }
    EXPECT_EQ(errorNumber([] { Version(nullptr).OSVersion(7); }), 0x8004B106u) << "asked for it, the version says why";
}
