#include "AppFixture.h"
#include "Informazioni.h"

#include <QLabel>
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
    EXPECT_EQ(services.dialogs.shown()[0].style, platform::vbCritical);
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

using About = CloseCheck;

TEST_F(About, FiveClicksOnTheNameSwapThePictureAndLinksOpen)
{
    auto driver = whenShown<Informazioni>([](Informazioni *w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Quorvel v" QUORVEL_VERSION));
        const QImage logo = w->imgOstwick->pixmap().toImage();
        for (int i = 0; i < 5; ++i)
            QTest::mouseClick(w->Label4, Qt::LeftButton);
        const QImage afterFive = w->imgOstwick->pixmap().toImage();
        EXPECT_NE(afterFive, logo);
        QTest::mouseClick(w->Label4, Qt::LeftButton);
        EXPECT_EQ(w->imgOstwick->pixmap().toImage(), afterFive) << "a sixth click changes nothing";
        QTest::mouseClick(w->Label6, Qt::LeftButton);
        QTest::mouseClick(w->Label7, Qt::LeftButton);
        QTest::mouseClick(w->Image2, Qt::LeftButton);
        QTest::mouseDClick(w->Image2, Qt::LeftButton);
        EXPECT_TRUE(w->isVisible()) << "links and the small picture leave the window open";
        QTest::keyClick(w, Qt::Key_A);  // any key closes it
    });
    main->mnuInformazioni->trigger();
    EXPECT_EQ(services.desktop.opened,
              (QStringList{QStringLiteral("mailto:") + Informazioni::kEmail, Informazioni::kWeb}));

    auto again = whenShown<Informazioni>([](Informazioni *w) {
        QTest::mouseClick(w->Label8, Qt::LeftButton);  // a click elsewhere closes it
    });
    main->mnuInformazioni_Click();
}

TEST_F(About, HasACloseButtonInTheProgramsLanguageThatClosesIt)
{
    main->mnuItaliano->trigger();
    QString caption;
    auto driver = whenShown<Informazioni>([&](Informazioni *w) {
        // Found as a person finds it: the one button of the window.
        const QList<QPushButton *> buttons = w->findChildren<QPushButton *>();
        if (buttons.size() != 1 || !buttons[0]->isVisible()) {
            ADD_FAILURE() << "no button of its own to close it (buttons: " << buttons.size() << ")";
            w->close();
            return;
        }
        caption = buttons[0]->text();
        QTest::mouseClick(buttons[0], Qt::LeftButton);
        if (w->isVisible()) {
            ADD_FAILURE() << "the click left the window open";
            w->close();
        }
    });
    main->mnuInformazioni->trigger();
    EXPECT_TRUE(driver->ran());
    EXPECT_EQ(caption, QStringLiteral("Chiudi"));
}
