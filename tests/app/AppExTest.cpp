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
    EXPECT_EQ(Avvio::ResolveDataFolder(ex, exePath, &createNew), defaultFolder());
    EXPECT_TRUE(createNew);
    QDir(defaultFolder()).removeRecursively();
    makeDatabase(besideExe());
    EXPECT_EQ(Avvio::ResolveDataFolder(ex, exePath, &createNew), besideExe());
    EXPECT_FALSE(createNew);
    EXPECT_TRUE(QFileInfo(defaultFolder()).isDir());
    makeDatabase(defaultFolder());
    createNew = true;
    EXPECT_EQ(Avvio::ResolveDataFolder(ex, exePath, &createNew), defaultFolder());
    EXPECT_FALSE(createNew);
}

namespace {
class NoVersion : public AppEx {
public:
    NoVersion() { reread(); }
    bool queryVersion(int *, int *, int *) const override { return false; }
};
} // namespace

TEST_F(Environment, UnknownSystemVersionStopsTheStartWithItsText)
{
    auto ex = std::make_unique<NoVersion>();
    EXPECT_EQ(errorNumber([&] { ex->OSVersion(7); }), 0x8004B106u);
    session = std::make_unique<Session>(services.services(), QStringList{}, exePath);
    session->setAppEx(std::move(ex));
    services.dialogs.expectMsgBox();
    EXPECT_EQ(Avvio::Main(*session), 1);
    ASSERT_EQ(services.dialogs.shown().size(), 1);
    EXPECT_TRUE(services.dialogs.shown()[0].prompt.startsWith(QLatin1String("System error retrieving information")));
    EXPECT_FALSE(QFileInfo::exists(defaultFolder())) << "nothing was created";
}
