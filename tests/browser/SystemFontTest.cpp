#include "BrowserFixture.h"

using SystemFont = BrowserFixture;

TEST_F(SystemFont, ChosenFontIsStoredAndShownAndBadFieldsAreReset)
{
    const SetupRow setup = setupRow();
    // Fields written behind the window's back, then the font applied again.
    const auto reapply = [&](std::initializer_list<std::pair<const char *, QVariant>> fields) {
        stored::Fields named;
        for (const auto &[name, value] : fields)
            named.append({QString::fromLatin1(name), value});
        ASSERT_TRUE(stored::set(session->store.dbNotes, QStringLiteral("Setup"), named));
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
    reapply({{"SysFontAttributi", QStringLiteral("UB")}});
    EXPECT_TRUE(main->txtCerca->font().bold());
    EXPECT_TRUE(main->txtCerca->font().underline());

    reapply({{"SysFontAltezza", QVariant()}});
    EXPECT_EQ(setup.field(QStringLiteral("SysFont")).toString(), QStringLiteral("MS Sans Serif"));
    EXPECT_DOUBLE_EQ(setup.field(QStringLiteral("SysFontAltezza")).toDouble(), 8);
    EXPECT_EQ(setup.field(QStringLiteral("SysFontAttributi")).toString(), QString());
    EXPECT_FALSE(main->txtCerca->font().bold());

    // Style letters with no value at all are a bad field too; an empty text
    // is no style.
    reapply({{"SysFont", QStringLiteral("DejaVu Serif")}, {"SysFontAttributi", QVariant()}});
    EXPECT_EQ(setup.field(QStringLiteral("SysFont")).toString(), QStringLiteral("MS Sans Serif"));
    EXPECT_FALSE(setup.field(QStringLiteral("SysFontAttributi")).isNull()) << "reset to an empty text";
    main->ApplyMainWindowFont();
    EXPECT_EQ(setup.field(QStringLiteral("SysFont")).toString(), QStringLiteral("MS Sans Serif"));
}
