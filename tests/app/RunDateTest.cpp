#include "AppFixture.h"
#include "frmConfermaData.h"

#include <QLabel>
#include <QLineEdit>

using RunDate = AppFixture;

TEST_F(RunDate, APastRunAsksNothingAndThisRunIsRecorded)
{
    makeDatabase(defaultFolder(), 1);
    ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
    EXPECT_TRUE(services.dialogs.shown().isEmpty());
    EXPECT_EQ(setup(QStringLiteral("UltimoAvvio")).toDateTime(), services.clock.current) << "recorded so the next start can compare";
}

TEST_F(RunDate, ALaterRunIsWarnedOfAndCancelEndsTheStart)
{
    makeDatabase(defaultFolder(), 1);
    setSetup(QStringLiteral("UltimoAvvio"), services.clock.current.addSecs(60));
    services.dialogs.expectMsgBox(platform::vbCancel);
    auto never = neverShown<frmConfermaData>();
    EXPECT_EQ(start(), frmPrincipale::LoadResult::Cancelled);
    const auto &warning = services.dialogs.shown().first();
    EXPECT_EQ(warning.title, QStringLiteral("WARNING"));
    EXPECT_EQ(warning.style, platform::vbOKCancel | platform::vbCritical);
    EXPECT_TRUE(warning.prompt.startsWith(QLatin1String("The date/time when Quorvel was last run")));
    EXPECT_FALSE(session->store.isOpen());
}

TEST_F(RunDate, TheConfirmationWindowChecksWhatIsTypedAndSetsTheClock)
{
    makeDatabase(defaultFolder(), 1);
    setSetup(QStringLiteral("UltimoAvvio"), services.clock.current.addSecs(60));
    // OK on the warning: the date is confirmed or set.
    services.dialogs.expectMsgBox(platform::vbOK);
    services.dialogs.expectMsgBox();  // 410
    services.dialogs.expectMsgBox();  // 411
    services.dialogs.expectMsgBox();  // refused by the system
    auto driver = whenShown<frmConfermaData>([&](frmConfermaData *w) {
        w->close();
        EXPECT_TRUE(w->isVisible()) << "the close box is refused";
        w->cmdModifica->click();
        EXPECT_TRUE(w->EditMode);
        EXPECT_EQ(w->mskData->displayText(), QStringLiteral("15/06/26"));
        w->mskData->setText(QStringLiteral("12/0"));
        w->cmdConferma->click();  // incomplete date: 410
        w->mskData->setText(QStringLiteral("01/07/26"));
        w->mskOra->setText(QStringLiteral("25.00.00"));
        w->cmdConferma->click();  // hour 25: 411
        w->mskOra->setText(QStringLiteral("09.15.30"));
        services.clock.refuse = true;
        w->cmdConferma->click();  // refused: reported, nothing changed
        EXPECT_TRUE(w->EditMode);
        services.clock.refuse = false;
        w->cmdConferma->click();
        EXPECT_FALSE(w->EditMode) << "back to the running clock";
        EXPECT_EQ(w->labOra->text(), QStringLiteral("09:15:30"));
        w->cmdModifica->click();
        w->cmdModifica->click();  // Abort: back to view mode, nothing set
        EXPECT_TRUE(w->Timer1->isActive());
        w->cmdConferma->click();
    });
    ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
    const auto &shown = services.dialogs.shown();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[1].prompt, QStringLiteral("Incorrect date."));
    EXPECT_EQ(shown[2].prompt, QStringLiteral("Incorrect time."));
    EXPECT_TRUE(shown[3].prompt.contains(QLatin1String("Operation not permitted")));
    ASSERT_EQ(services.clock.setTimes.size(), 1);
    EXPECT_EQ(services.clock.setTimes.first(), QDateTime(QDate(2026, 7, 1), QTime(9, 15, 30)));
}

TEST(ConfirmationMasks, AcceptExactlyTwoDigitsEach)
{
    EXPECT_EQ(frmConfermaData::parseDate(QStringLiteral("29/02/28")), QDate(2028, 2, 29));
    EXPECT_FALSE(frmConfermaData::parseDate(QStringLiteral("29/02/27")).isValid());
    EXPECT_FALSE(frmConfermaData::parseDate(QStringLiteral("1/2/26")).isValid());
    EXPECT_EQ(frmConfermaData::parseDate(QStringLiteral("31/12/99")), QDate(1999, 12, 31));
    EXPECT_EQ(frmConfermaData::parseTime(QStringLiteral("23.59.59")), QTime(23, 59, 59));
    EXPECT_FALSE(frmConfermaData::parseTime(QStringLiteral("09:15:30")).isValid());
}
