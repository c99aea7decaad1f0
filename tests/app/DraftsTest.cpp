#include "Str.h"
#include "BrowserFixture.h"

#include <QDialog>
#include <QDialogButtonBox>

using namespace Qt::StringLiterals;

class RecoveredDrafts : public BrowserFixture {
protected:
    // A draft left by a run that ended unsaved, as the editor writes it.
    void leaveDraft(int topic, const QString &title, const QDateTime &topicUpdated)
    {
        notes::Draft d;
        d.topicId = topic;
        d.categoryId = categories[u"beta"_s];
        d.title = title;
        d.body = u"{\\rtf1 typed}"_s;
        d.topicUpdated = topicUpdated;
        d.taken = QDateTime(QDate(2026, 6, 14), QTime(9, 15));
        ASSERT_TRUE(session->drafts.write(d));
    }
};

TEST_F(RecoveredDrafts, AreToldInOneWindowOverTheMainWindowWithTheirEditorsOpenBehind)
{
    const QDateTime asLoaded(QDate(2025, 5, 4), QTime(3, 2));
    leaveDraft(topics[u"Summary"_s], u"Summary"_s, asLoaded);
    leaveDraft(topics[u"Agenda"_s], u"Agenda"_s, asLoaded.addDays(-1));  // saved again since
    leaveDraft(9999, u"Lost"_s, asLoaded);                                // deleted since
    main->setGeometry(120, 90, 560, 420);

    int windows = 0;
    QStringList texts;
    ModalDriver driver([](QWidget *w) { return w->inherits("QDialog"); },
                       [&](QWidget *w) {
                           ++windows;
                           for (const QLabel *l : w->findChildren<QLabel *>())
                               texts << l->text();
                           const QPoint off = w->frameGeometry().center() - main->frameGeometry().center();
                           EXPECT_LE(off.manhattanLength(), 2) << "centred on the main window, off by " << off.x()
                                                               << "," << off.y();
                           EXPECT_EQ(QApplication::activeModalWidget(), w) << "above the editors";
                           const QList<frmNuovoArg *> editors = Editors(*session);
                           EXPECT_EQ(editors.size(), 3) << "every editor is open before the window shows";
                           for (const frmNuovoArg *e : editors)
                               EXPECT_TRUE(e->isVisible()) << e->windowTitle().toStdString();
                           static_cast<QDialog *>(w)->accept();
                       },
                       5000);
    main->RecoverDrafts();
    EXPECT_EQ(windows, 1);
    const QString all = texts.join(u'\n');
    const auto s = [&](int id) { return session->GetString(id); };
    for (const QString &told : {u"Summary"_s, u"Agenda"_s, u"Lost"_s, s(Str::DraftRecoveredAt).arg(u"14/06/26 09:15"_s), s(Str::DraftTopicChangedSince), s(Str::DraftTopicDeleted)})
        EXPECT_TRUE(all.contains(told)) << "not listed: " << told.toStdString() << "\nin:\n" << all.toStdString();
    EXPECT_EQ(all.count(s(Str::DraftRecoveredAt).arg(u"14/06/26 09:15"_s)), 3) << "once per draft";
}
