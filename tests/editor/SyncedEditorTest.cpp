// An editor open while a sync writes another machine's state of its topic:
// the window keeps what it shows, and its save is merged with that state.

#include "BrowserFixture.h"
#include "notes/Topics.h"

using namespace Qt::StringLiterals;

namespace {

class SyncedEditor : public BrowserFixture {
protected:
    // What a sync does: another connection writes, and says so.
    void arrives(const std::function<void(notes::Topics &)> &write)
    {
        store::NoteStore other;
        other.DataFolder = defaultFolder();
        ASSERT_TRUE(other.open());
        notes::Topics written(other);
        write(written);
        other.close();
        emit session->store.changes.changedElsewhere({{topics["Agenda"], u"laptop"_s}});
    }
    QString stored(const QString &field)
    {
        return stored::field(session->store.dbNotes, u"Argomenti"_s, field, u"idArgomento"_s, topics["Agenda"]).toString();
    }
};

} // namespace

TEST_F(SyncedEditor, ATitleChangedElsewhereStaysWhenTheEditorChangedOnlyTheText)
{
    frmNuovoArg *e = openTopic(u"Agenda"_s);
    e->rtfContenuto->setPlainText(u"typed here"_s);
    arrives([this](notes::Topics &t) { ASSERT_EQ(t.rename(topics["Agenda"], u"Diary"_s), notes::Found::Yes); });
    EXPECT_EQ(e->txtArgomento->text(), u"Agenda"_s) << "the window keeps what it shows";
    e->cmdSalva_Click();
    EXPECT_EQ(stored(u"argomento"_s), u"Diary"_s);
    EXPECT_EQ(stored(u"ContenutoTxt"_s), u"typed here"_s);
    EXPECT_TRUE(services.dialogs.shown().isEmpty());
}

TEST_F(SyncedEditor, ATextChangedBothHereAndElsewhereKeepsTheOtherAsATopicOfItsOwn)
{
    frmNuovoArg *e = openTopic(u"Agenda"_s);
    e->rtfContenuto->setPlainText(u"typed here"_s);
    arrives([this](notes::Topics &t) {
        ASSERT_EQ(t.save({topics["Agenda"], categories[u"beta"_s], u"Agenda"_s, u"{\\rtf1 typed there}"_s,
                          u"typed there"_s, QDateTime::currentDateTime(), {}, 0}),
                  topics["Agenda"]);
    });
    services.dialogs.expectMsgBox();
    e->cmdSalva_Click();
    EXPECT_EQ(stored(u"ContenutoTxt"_s), u"typed here"_s);
    const QStringList titles = listTexts();
    const QStringList kept = titles.filter(u"Agenda (conflict, laptop, "_s);
    ASSERT_EQ(kept.size(), 1) << titles.join(u", "_s).toStdString();
    EXPECT_TRUE(services.dialogs.shown().constLast().prompt.contains(kept[0]));
}
