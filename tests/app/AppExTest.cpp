#include "AppFixture.h"
#include "Avvio.h"

#include <QFile>

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

TEST_F(Environment, FoldersAreMadeOrRefusedWithTheirErrorNumbers)
{
    AppEx ex;
    const QString p = ex.PathAndSubDir(AppEx::kCommonAppData, QStringLiteral("Ostwick\\quorvel"), true, 0);
    EXPECT_EQ(p, defaultFolder());
    EXPECT_TRUE(QFileInfo(p).isDir());
    EXPECT_EQ(errorNumber([&] { ex.PathAndSubDir(AppEx::kCommonAppData, QStringLiteral("Not\\There"), false, 0); }),
              0x8004B122u) << "a missing folder, not to be created";
    EXPECT_EQ(ex.Path(AppEx::kCommonAppData, false, 0), home.path() + QStringLiteral("/share"));
}

// With no database anywhere the data folder is a new one in the default
// folder; one beside the program is used (the default folder still made);
// the default folder's wins.
TEST_F(Environment, TheDataFolderIsTheDefaultUnlessOnlyTheProgramsHasADatabase)
{
    AppEx ex;
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
