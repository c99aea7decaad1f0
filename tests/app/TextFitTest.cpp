// Every caption, label, list entry and window title of every window shows
// whole, in both languages, and every window has the program's icon. Run once per screen scale (see CMakeLists.txt).
#include "Str.h"
#include "BrowserFixture.h"
#include "Informazioni.h"
#include "QtPlatform.h"
#include "SyncSettingsWindow.h"
#include "TextFit.h"
#include "frmConfermaData.h"
#include "frmListaFinestre.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QStyleOptionComboBox>

namespace {

// What a window manager puts in a title bar besides the title: the icon and
// three buttons, with the bar's margins.
constexpr int kTitleBarChrome = 110;

int advance(const QWidget *, const QString &text, const QFont &font)
{
    return QFontMetrics(font).horizontalAdvance(textfit::shownText(text));
}

// Names each control whose text does not fit its width.
QStringList clipped(QWidget *window)
{
    QStringList out;
    auto report = [&](QWidget *w, const QString &text, int need, int have) {
        if (need > have)
            out << QStringLiteral("%1 %2 \"%3\": needs %4 px, has %5")
                       .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text)
                       .arg(need)
                       .arg(have);
    };
    const QString title = window->windowTitle();
    if (!title.isEmpty()) {
        QFont bold = window->font();
        bold.setBold(true);
        report(window, title, advance(window, title, bold) + kTitleBarChrome, window->width());
    }
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        if (auto *l = qobject_cast<QLabel *>(w); l && !l->text().isEmpty() && l->textFormat() != Qt::RichText) {
            const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
            if (l->wordWrap())
                report(l, l->text(), l->heightForWidth(l->width()), l->height());
            else
                for (const QString &line : l->text().split(QLatin1Char('\n')))
                    report(l, line, advance(l, line, l->font()), room.width());
        } else if (auto *b = qobject_cast<QAbstractButton *>(w); b && !b->text().isEmpty()) {
            // A tick box's text beside its box; a button's text and the frame's bevel on each side.
            const bool box = qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w);
            report(b, b->text(), box ? b->sizeHint().width() : advance(b, b->text(), b->font()) + 8, b->width());
        } else if (auto *g = qobject_cast<QGroupBox *>(w); g && !g->title().isEmpty()) {
            report(g, g->title(), advance(g, g->title(), g->font()) + 12, g->width());
        } else if (auto *cb = qobject_cast<QComboBox *>(w)) {
            QStyleOptionComboBox opt;
            opt.initFrom(cb);
            for (int i = 0; i < cb->count(); ++i) {
                const QSize text(advance(cb, cb->itemText(i), cb->font()), cb->fontMetrics().height());
                report(cb, cb->itemText(i), cb->style()->sizeFromContents(QStyle::CT_ComboBox, &opt, text, cb).width(), cb->width());
            }
        } else if (auto *list = qobject_cast<QListView *>(w)) {
            const int margins = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
            for (int i = 0; i < list->model()->rowCount(); ++i) {
                const QString text = list->model()->index(i, 0).data().toString();
                report(list, text, advance(list, text, list->font()) + margins, list->viewport()->width());
            }
        }
    }
    return out;
}

class TextFit : public BrowserFixture {
protected:
    // Shows a window of ours as it is shown to the user and checks it.
    void check(const char *what, QWidget *window)
    {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << what;
        EXPECT_FALSE(window->windowIcon().isNull()) << what << " shows the window manager's generic icon";
        const QStringList bad = clipped(window);
        EXPECT_TRUE(bad.isEmpty()) << what << " in language " << session->LanguageOffset << ":\n"
                                   << bad.join(QLatin1Char('\n')).toStdString();
    }

    // A box of the production dialogs, checked while it waits for an answer.
    void checkModal(const char *what, const std::function<void()> &open)
    {
        ModalDriver driver([](QWidget *w) { return w->inherits("QDialog"); },
                           [&](QWidget *w) {
                               check(what, w);
                               w->close();
                           },
                           5000);
        open();
        EXPECT_TRUE(driver.ran()) << what;
    }
};

TEST_F(TextFit, EveryWindowShowsItsTextsWholeInBothLanguages)
{
    platform::QtDialogs dialogs;
    for (QAction *language : {main->mnuItaliano, main->mnuEnglish}) {
        language->trigger();
        const auto s = [&](int id) { return session->GetString(id); };

        check("the topic list", main.get());
        main->cmdCambia_Click();
        check("the category list", main.get());
        select(QStringLiteral("beta"));
        main->lstArgomenti_DblClick();

        frmNuovoArg *editor = openTopic(QStringLiteral("Agenda"));
        editor->SetToolbarVisible(false);
        check("the editor with its legend", editor);
        editor->SetToolbarVisible(true);
        editor->cmdTimer_Click();
        check("the editor with its alarm panel", editor);
        editor->cmdTimer_Click();

        // Drafts brought back at start: their window, and the status line of
        // an editor they filled.
        QList<qint64> drafts;
        for (auto [topic, category] : {std::pair{topics["Summary"], categories["beta"]}, {-1, 9999}}) {
            notes::Draft draft;
            draft.topicId = topic;
            draft.categoryId = category;  // 9999: gone, so it opens in another, named
            draft.title = QStringLiteral("Summary");
            draft.body = QStringLiteral("{\\rtf1 typed}");
            draft.topicUpdated = QDateTime(QDate(2020, 1, 1), QTime(0, 0));  // the topic was saved since
            draft.taken = QDateTime(QDate(2026, 12, 28), QTime(23, 58));
            ASSERT_TRUE(session->drafts.write(draft));
            drafts << draft.id;
        }
        checkModal("the recovered drafts", [&] { main->RecoverDrafts(); });
        ASSERT_NE(editorOf(topics["Summary"]), nullptr);
        check("an editor filled from a draft", editorOf(topics["Summary"]));
        for (frmNuovoArg *e : Editors(*session))
            if (e != editor)
                delete e;
        for (qint64 id : drafts)
            ASSERT_TRUE(session->drafts.remove(id));

        services.dialogs.expectInputBox(QStringLiteral("a"));
        main->mnuTrovaArgomenti_Click();
        ASSERT_NE(results(), nullptr);
        check("the find results", results());
        delete results();

        check("the destination chooser", std::make_unique<frmCategorie>(*session, main.get(), -1).get());
        check("the window list", std::make_unique<frmListaFinestre>(*session, main.get()).get());
        check("the date confirmation", std::make_unique<frmConfermaData>(*session, main.get()).get());
        check("the About window", std::make_unique<Informazioni>(*session, main.get()).get());
        check("the language window", std::make_unique<frmLanguage>(*session, main.get()).get());
        check("the sync settings", std::make_unique<SyncSettingsWindow>(*session, main.get()).get());
        delete editor;

        // Rename and insert ask in an input box; refusals tell in a message box.
        for (auto [prompt, title] : {std::pair{227, 228}, {239, 240}, {239, 241}, {242, 243}})
            checkModal("an input box", [&] { dialogs.InputBox(main.get(), s(prompt), s(title), QString()); });
        checkModal("a message box", [&] { dialogs.MsgBox(main.get(), s(Str::CloseAllWindowsFirst), platform::vbCritical, s(Str::ErrorTitle)); });
    }
}

} // namespace
