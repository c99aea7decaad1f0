#include "BrowserFixture.h"

using SystemFont = BrowserFixture;

TEST_F(SystemFont, ChosenFontIsStoredAndShownAndBadFieldsAreReset)
{
    const SetupRow setup = setupRow();
    // Fields written behind the window's back, then the font applied again.
    const auto reapply = [&](const stored::Fields &fields) {
        ASSERT_TRUE(stored::set(session->store.dbNotes, QStringLiteral("Setup"), fields));
        main->ApplyMainWindowFont();
    };
    services.dialogs.expectFont(platform::Dialogs::FontChoice{QStringLiteral("DejaVu Serif"), 12, false, true, false, false});
    QTest::keyClick(main->lstArgomenti, Qt::Key_F10);
    EXPECT_EQ(setup.field(QStringLiteral("SysFont")).toString(), QStringLiteral("DejaVu Serif"));
    EXPECT_DOUBLE_EQ(setup.field(QStringLiteral("SysFontAltezza")).toDouble(), 12);
    EXPECT_EQ(setup.field(QStringLiteral("SysFontAttributi")).toString(), QStringLiteral("I"));
    EXPECT_EQ(main->txtCerca->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_TRUE(main->lstArgomenti->font().italic());
    EXPECT_TRUE(main->labCategoria->font().bold()) << "the category label stays bold";
    EXPECT_DOUBLE_EQ(main->txtCerca->font().pointSizeF(), 12);

    frmNuovoArg *e = openTopic(QStringLiteral("Agenda"));
    EXPECT_EQ(e->txtArgomento->font().family(), QStringLiteral("DejaVu Serif")) << "editors opened later use it";

    services.dialogs.expectFont(std::nullopt);
    main->mnuFontSistema_Click();
    EXPECT_EQ(setup.field(QStringLiteral("SysFont")).toString(), QStringLiteral("DejaVu Serif")) << "cancel changes nothing";

    // Style letters are read by their presence.
    reapply({{QStringLiteral("SysFontAttributi"), QStringLiteral("UB")}});
    EXPECT_TRUE(main->txtCerca->font().bold());
    EXPECT_TRUE(main->txtCerca->font().underline());

    reapply({{QStringLiteral("SysFontAltezza"), QVariant()}});
    EXPECT_EQ(setup.field(QStringLiteral("SysFont")).toString(), QStringLiteral("MS Sans Serif"));
    EXPECT_DOUBLE_EQ(setup.field(QStringLiteral("SysFontAltezza")).toDouble(), 8);
    EXPECT_EQ(setup.field(QStringLiteral("SysFontAttributi")).toString(), QString());
    EXPECT_FALSE(main->txtCerca->font().bold());

    // Style letters with no value at all are a bad field too.
    reapply({{QStringLiteral("SysFont"), QStringLiteral("DejaVu Serif")}, {QStringLiteral("SysFontAttributi"), QVariant()}});
    EXPECT_EQ(setup.field(QStringLiteral("SysFont")).toString(), QStringLiteral("MS Sans Serif"));
    EXPECT_FALSE(setup.field(QStringLiteral("SysFontAttributi")).isNull()) << "reset to an empty text";
}
