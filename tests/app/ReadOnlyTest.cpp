#include "BrowserFixture.h"
#include "SmallDisk.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

using ReadOnly = BrowserFixture;

// Root writes through file permissions, so there a read-only mount stands
// for them; elsewhere the permissions themselves are taken away.
TEST_F(ReadOnly, DatabaseIsSaidAtStartAndNothingCanBeChangedOrLeftBehind)
{
    stop();  // the database is closed, its log folded back
    for (const bool wholeFolder : {true, false}) {
        SCOPED_TRACE(wholeFolder ? "read-only folder" : "read-only file");
        SmallDisk disk(8);
        TempDir plain;
        const bool root = ::geteuid() == 0;
        if (root && !disk.mounted())
            GTEST_SKIP() << disk.why().toStdString();
        const QString folder = root ? disk.path() : plain.path();
        const QString path = folder + QStringLiteral("/quorvel.mdb");
        ASSERT_TRUE(QFile::copy(defaultFolder() + QStringLiteral("/quorvel.mdb"), path));
        if (root)
            ASSERT_TRUE(wholeFolder ? disk.remountReadOnly() : disk.makeFileReadOnly(path));
        else
            ASSERT_EQ(::chmod(QFile::encodeName(wholeFolder ? folder : path).constData(), wholeFolder ? 0555 : 0444), 0);
        const auto before = TempDir::contents(folder);

        services.dialogs.expectMsgBox();
        ASSERT_EQ(start({folder}), frmPrincipale::LoadResult::Running);
        EXPECT_TRUE(session->store.isReadOnly());
        const QString said = QStringLiteral("The database is read-only: it can be read, but no change can be saved.\n\n")
            + path;
        EXPECT_EQ(services.dialogs.shown().constLast().prompt, said) << "said at start";
        EXPECT_EQ(listTexts().size(), 3) << "the notes are there to read";

        // Refused before anything is asked: no question, no chooser.
        const auto boxes = services.dialogs.shown().size();
        select(QStringLiteral("Agenda"));
        services.dialogs.expectMsgBox();
        main->cmdCancella_Click();
        services.dialogs.expectMsgBox();
        main->mnuSposta_Click();
        ASSERT_EQ(services.dialogs.shown().size(), boxes + 2);
        EXPECT_EQ(services.dialogs.shown().constLast().prompt, said);
        EXPECT_EQ(listTexts().size(), 3);

        // The editor shows the topic and offers nothing to save into.
        frmNuovoArg *editor = openTopic(QStringLiteral("Agenda"));
        EXPECT_FALSE(editor->cmdSalva->isEnabled());
        EXPECT_TRUE(editor->rtfContenuto->isReadOnly());
        EXPECT_TRUE(editor->ProvaChiusura()) << "nothing held that could be lost";
        main->close();
        stop();
        auto after = TempDir::contents(folder);
        after.remove(folder + QStringLiteral("/quorvel.mdb.run"));  // the lock of a program running on it
        EXPECT_TRUE(after == before) << "no log, no index, no byte changed";
        if (!root)
            ::chmod(QFile::encodeName(wholeFolder ? folder : path).constData(), wholeFolder ? 0755 : 0644);
    }
}
