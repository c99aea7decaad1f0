#include "AppFixture.h"
#include "Avvio.h"
#include "QtPlatform.h"

#include <QAction>
#include <QListWidget>

using Startup = AppFixture;

TEST_F(Startup, FirstStartCreatesTheDatabaseAndAsksTheLanguage)
{
    auto driver = whenShown<frmLanguage>([](frmLanguage *w) {
        EXPECT_TRUE(w->optEnglish->isChecked()) << "English is preselected";
        w->cmdOk->click();
    });
    ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
    EXPECT_TRUE(store::FileExists(defaultFolder() + QStringLiteral("/quorvel.mdb")));
    // The alarm sound goes beside it; played with no device, or a missing
    // file, it neither fails nor blocks, and may be asked again while playing.
    const QString wav = defaultFolder() + QStringLiteral("/ALARM.WAV");
    EXPECT_TRUE(TempDir::read(wav).startsWith("RIFF"));
    platform::QtSound sound;
    for (const QString &path : {wav + QStringLiteral(".missing"), wav, wav})
        sound.play(path);
    EXPECT_EQ(setupRow().field(QStringLiteral("lingua")).toInt(), 1);
    EXPECT_EQ(session->LanguageOffset, 1000);
    // No categories yet: the window ends on the category list.
    EXPECT_TRUE(session->NoCategory);
    EXPECT_FALSE(main->list().isTopicMode());
}

TEST_F(Startup, ItalianChosenAtFirstStartIsStoredAndShown)
{
    auto driver = whenShown<frmLanguage>([](frmLanguage *w) {
        w->Image1_Click();
        EXPECT_TRUE(w->optItalian->isChecked());
        w->optItalian->click();
        w->cmdOk->click();
    });
    ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
    EXPECT_EQ(setupRow().field(QStringLiteral("lingua")).toInt(), 0);
    EXPECT_EQ(session->LanguageOffset, 0);
    EXPECT_TRUE(main->mnuItaliano->isChecked());
    EXPECT_FALSE(main->mnuEnglish->isChecked());
}

TEST_F(Startup, AFolderNamedOnTheCommandLineIsUsedWithItsBlanks)
{
    const QString folder = home.path() + QStringLiteral("/My Notes");
    makeDatabase(folder, 0);
    makeDatabase(defaultFolder(), QVariant());
    auto never = neverShown<frmLanguage>();
    // A blank inside a word travels as a per-mille sign.
    const QString word = QString(folder).replace(QLatin1Char(' '), QChar(0x2030));
    ASSERT_EQ(start({QStringLiteral("/x"), QStringLiteral("/elsewhere"), word}), frmPrincipale::LoadResult::Running);
    EXPECT_EQ(session->store.DataFolder, folder);
    EXPECT_EQ(session->LanguageOffset, 0);
    EXPECT_FALSE(session->StartMinimized);
}

TEST_F(Startup, TheLastFolderNamedWinsAndSlashMCountsOnlyAsTheFirstWord)
{
    const QString a = home.path() + QStringLiteral("/a");
    const QString b = home.path() + QStringLiteral("/b");
    makeDatabase(b);
    makeDatabase(defaultFolder());
    auto never = neverShown<frmLanguage>();
    ASSERT_EQ(start({QStringLiteral("/M"), a, b}), frmPrincipale::LoadResult::Running);
    EXPECT_EQ(session->store.DataFolder, b);
    EXPECT_TRUE(session->StartMinimized);
    ASSERT_EQ(start({b, QStringLiteral("/m")}), frmPrincipale::LoadResult::Running);
    EXPECT_FALSE(session->StartMinimized) << "a switch after the first word has no effect";
    ASSERT_EQ(start({QStringLiteral("/m")}), frmPrincipale::LoadResult::Running);
    EXPECT_TRUE(session->StartMinimized);
}

TEST_F(Startup, AnEmptyLanguageAsksNothingAndMeansEnglish)
{
    makeDatabase(defaultFolder(), QVariant());
    auto never = neverShown<frmLanguage>();
    // Per-mille signs alone are no folder.
    ASSERT_EQ(start({QStringLiteral("‰‰")}), frmPrincipale::LoadResult::Running);
    EXPECT_EQ(session->store.DataFolder, defaultFolder());
    EXPECT_EQ(session->LanguageOffset, 1000);
}

TEST_F(Startup, AFolderWithoutADatabaseEndsWithTwoMessagesAndIsNotCreated)
{
    const QString missing = home.path() + QStringLiteral("/nothing/here");
    services.dialogs.expectMsgBox();
    services.dialogs.expectMsgBox();
    EXPECT_EQ(start({missing}), frmPrincipale::LoadResult::Failed);
    const auto &shown = services.dialogs.shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].prompt.contains(missing)) << shown[0].prompt.toStdString();
    // Italian: the language is not known yet.
    EXPECT_EQ(shown[1].prompt, QStringLiteral("Database non disponibile!"));
    for (const auto &box : shown) {
        EXPECT_EQ(box.title, QStringLiteral("Errore"));
        EXPECT_EQ(box.style, platform::vbCritical);
    }
    EXPECT_FALSE(QFileInfo::exists(missing)) << "a named folder is never created";
    EXPECT_FALSE(session->store.isOpen());
}

// The tests run under C.UTF-8, the locale that carries no collation: the
// lists and the name index still sort accented names among their letters.
TEST_F(Startup, AMissingLastCategoryFallsBackToTheFirstOneListed)
{
    makeDatabase(defaultFolder());
    {
        store::Connection db;
        ASSERT_TRUE(db.open(store::JoinPath(defaultFolder(), store::kDatabaseFileName), false));
        ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO Categorie (Categoria) VALUES ('Éb'), ('éa'), ('Zeta'), ('_x'), ('Éc')")));
    }
    setSetup(QStringLiteral("UltimaCat"), 9999);  // a category gone since
    ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
    EXPECT_TRUE(main->list().isTopicMode());
    const int opened = main->list().ShownCategoryId();
    main->cmdCambia_Click();
    const QStringList sorted{QStringLiteral("_x"), QStringLiteral("éa"), QStringLiteral("Éb"), QStringLiteral("Éc"),
                             QStringLiteral("Zeta")};
    QStringList listed;
    for (int i = 0; i < main->lstArgomenti->count(); ++i)
        listed << main->lstArgomenti->item(i)->text();
    EXPECT_EQ(listed, sorted);
    EXPECT_EQ(main->lstArgomenti->item(0)->data(Qt::UserRole).toInt(), opened) << "opened at start: the first listed";
}

TEST(CommandLine, APerMilleSignReadAsALatin1ByteIsABlankInsideAWord)
{
    // The sign's code-137 byte, read raw as Latin-1, stands for the sign.
    EXPECT_EQ(Avvio::GetCommandLine(QStringLiteral("a") + QChar(0x89) + QStringLiteral("b"))[1], QStringLiteral("a b"));
}

TEST(CommandLine, OnlyASlashAndOneLetterIsASwitch)
{
    // Slash words are switches unless they are folder paths: a folder at the
    // root (/notes) is a folder; a lone slash is none.
    for (const char *word : {"/M", " /x ", "/"})
        EXPECT_TRUE(Avvio::IsSwitch(QString::fromLatin1(word))) << word;
    for (const char *word : {"/notes", "/home/me/Notes", "/data/", "notes"})
        EXPECT_FALSE(Avvio::IsSwitch(QString::fromLatin1(word))) << word;
}
