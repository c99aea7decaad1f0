#include "AppFixture.h"

#include <QTest>
#include <QToolButton>

#include "Utility.h"

namespace {
// An editor window as the close check sees it: it may refuse to go. Tagged
// "main2" it stands for the find results, which are closed without asking.
class FakeEditor : public QWidget, public Form {
public:
    FakeEditor(Forms &forms, bool agree, const QString &tag = {}) : Form(forms, this, tag), m_agree(agree) {}
    bool ProvaChiusura() override
    {
        ++asked;
        return m_agree;
    }
    int asked = 0;

private:
    bool m_agree;
};
} // namespace

// The program started over a new database, its main window shown.
class CloseCheck : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        makeDatabase(defaultFolder(), 1);
        ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
        main->show();
    }
};

TEST_F(CloseCheck, ARefusingEditorOrDisabledExitKeepsTheProgramUntilAShutdown)
{
    // A disabled Exit button refuses without a word.
    main->cmdChiudi->setEnabled(false);
    EXPECT_FALSE(main->close());
    main->cmdChiudi->setEnabled(true);
    EXPECT_TRUE(services.dialogs.shown().isEmpty());

    QPointer<FakeEditor> aux = new FakeEditor(session->forms, false, QStringLiteral("main2"));
    QPointer<FakeEditor> agrees = new FakeEditor(session->forms, true);
    QPointer<FakeEditor> refuses = new FakeEditor(session->forms, false);
    aux->show();
    services.dialogs.expectMsgBox();
    EXPECT_FALSE(main->close());
    ASSERT_EQ(services.dialogs.shown().size(), 1);
    EXPECT_EQ(services.dialogs.shown()[0].prompt, QStringLiteral("Close all windows first."));
    EXPECT_TRUE(main->isVisible());
    // The others went before the refusal was known.
    EXPECT_TRUE(QTest::qWaitFor([&] { return aux.isNull() && agrees.isNull(); }));
    EXPECT_EQ(refuses->asked, 1);
    EXPECT_EQ(session->forms.count(), 2);

    // A shutdown takes out the one that refuses, records the run time and closes the store.
    services.clock.current = QDateTime(QDate(2031, 3, 4), QTime(5, 6, 7));
    main->ShutdownProgram();
    EXPECT_EQ(endedWith, 1);
    EXPECT_EQ(session->forms.count(), 1) << "only the main window is left";
    EXPECT_TRUE(QTest::qWaitFor([&] { return refuses.isNull(); }));
    EXPECT_FALSE(session->store.isOpen());
    EXPECT_EQ(setup(QStringLiteral("UltimoAvvio")).toDateTime(), services.clock.current);
}

TEST_F(CloseCheck, DatabaseErrorsAreShownOneBoxEach)
{
    EXPECT_FALSE(session->settings.setSystemFont({QStringLiteral("Sans"), 9, QString(200, QLatin1Char('B'))}));
    session->store.dbNotes.addError(QStringLiteral("second problem"));
    services.dialogs.expectMsgBox();
    services.dialogs.expectMsgBox();
    ShowDatabaseErrors(*session, main.get());
    const auto &shown = services.dialogs.shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].prompt.contains(QLatin1String("SysFontAttributi")));
    EXPECT_EQ(shown[1].prompt, QStringLiteral("second problem"));
    for (const auto &box : shown)
        EXPECT_EQ(box.style, platform::vbExclamation);
}
