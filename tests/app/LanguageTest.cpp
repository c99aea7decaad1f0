#include "Str.h"
#include "BrowserFixture.h"
#include "QtPlatform.h"
#include "StringTable.h"
#include "TextFit.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QToolButton>

namespace {
// Another window that follows the language, as editors and the find results do.
class CountingWindow : public QWidget, public Form {
public:
    CountingWindow(Forms &forms, const QString &tag) : Form(forms, this, tag) {}
    void AggiornaLingua() override { ++calls; }
    int calls = 0;
};
} // namespace

using Languages = AppFixture;

TEST_F(Languages, MenuSwitchStoresTheChoiceAndRelabelsEveryWindow)
{
    makeDatabase(defaultFolder(), 0);
    ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
    CountingWindow editor(session->forms, QString());
    EXPECT_EQ(main->cmdChiudi->text(), QStringLiteral("&Uscita"));

    main->mnuEnglish->trigger();
    EXPECT_EQ(session->LanguageOffset, 1000);
    EXPECT_EQ(setupRow().field(QStringLiteral("lingua")).toInt(), 1);
    EXPECT_EQ(main->cmdChiudi->text(), QStringLiteral("E&xit"));
    EXPECT_TRUE(main->mnuEnglish->isChecked());
    EXPECT_FALSE(main->mnuItaliano->isChecked());
    EXPECT_EQ(editor.calls, 1);

    // Choosing the current language again still runs the whole switch.
    main->mnuEnglish->trigger();
    EXPECT_EQ(editor.calls, 2);

    main->mnuItaliano->trigger();
    EXPECT_EQ(setupRow().field(QStringLiteral("lingua")).toInt(), 0);
}

TEST_F(Languages, AFailedSwitchKeepsTheLanguageAndItsTick)
{
    makeDatabase(defaultFolder(), 1);
    ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
    ASSERT_TRUE(session->store.dbNotes.exec(
        QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Setup BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    services.dialogs.expectMsgBox();
    main->mnuItaliano->trigger();
    EXPECT_EQ(session->LanguageOffset, 1000);
    EXPECT_EQ(main->cmdChiudi->text(), QStringLiteral("E&xit"));
    EXPECT_FALSE(main->mnuItaliano->isChecked());
    EXPECT_TRUE(main->mnuEnglish->isChecked());
}

using QtTexts = BrowserFixture;

// Qt's own dialogs and the calendar speak the program's language, not the
// system's (English here), and follow a switch at once.
TEST_F(QtTexts, QtsDialogButtonsAndTheAlarmCalendarFollowTheLanguageMenu)
{
    services.clock.current = QDateTime(QDate(2026, 6, 15), QTime(10, 0));
    frmNuovoArg *editor = openTopic(QStringLiteral("Agenda"));
    editor->cmdTimer->click();
    const auto *month = editor->Calendar1->findChild<QToolButton *>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);
    platform::QtDialogs dialogs;
    const auto cancelText = [&] {
        QString text;
        auto driver = whenShown<QInputDialog>([&](QInputDialog *box) {
            text = textfit::shownText(box->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->text());
            box->reject();
        });
        (void)dialogs.InputBox(main.get(), session->GetString(Str::NewCategoryPrompt), session->GetString(Str::NewCategoryTitle), QString());
        return text;
    };
    EXPECT_EQ(month->text(), QStringLiteral("June"));
    EXPECT_EQ(cancelText(), QStringLiteral("Cancel"));

    main->mnuItaliano->trigger();
    EXPECT_EQ(month->text(), QStringLiteral("giugno")) << "the calendar of an editor already open";
    EXPECT_EQ(cancelText(), QStringLiteral("Annulla"));

    main->mnuEnglish->trigger();
    EXPECT_EQ(month->text(), QStringLiteral("June"));
    EXPECT_EQ(cancelText(), QStringLiteral("Cancel")) << "Qt's Italian texts are taken away again";
}

TEST(StringTable, EveryItalianEntryHasItsEnglishOneAndMalformedTablesAreRejected)
{
    const auto &t = i18n::StringTable::builtIn();
    int italian = 0;
    for (int id : t.ids()) {
        italian += id < 1000;
        EXPECT_GE(id % 1000, 100);
        EXPECT_TRUE(t.contains(id < 1000 ? id + 1000 : id - 1000)) << "no text in the other language for " << id;
    }
    EXPECT_GT(italian, 150);

    i18n::StringTable parsed;
    QString error;
    EXPECT_TRUE(parsed.parse("# comment\n\n100\tA\\tB\\nC\\\\\r\n", &error));
    EXPECT_EQ(parsed.text(100), QStringLiteral("A\tB\nC\\"));
    EXPECT_FALSE(parsed.parse("100\tA\n100\tB\n", &error));
    EXPECT_TRUE(error.contains(QLatin1String("twice")));
    EXPECT_FALSE(parsed.parse("abc\tA\n", &error));
    EXPECT_FALSE(parsed.parse("100 A\n", &error));
}
