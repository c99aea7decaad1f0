// Every topic and category has an id of its own that no other machine's
// record shares, and keeps it through whatever makes it the same topic.

#include "db/StoreFixture.h"
#include "notes/Categories.h"
#include "notes/History.h"
#include "notes/Topics.h"

#include <QRegularExpression>

namespace {

class GlobalIds : public StoreFixture {
protected:
    QString idOf(int key) { return stored::field(ns.dbNotes, u"ArgomentiId"_s, u"Guid"_s, u"idArgomento"_s, key).toString(); }
    // Every id of the table: one per record, each well formed, none twice.
    void expectOnePerRecord(const QString &ids, const QString &records)
    {
        store::Statement st(ns.dbNotes, u"SELECT count(*), count(DISTINCT Guid), (SELECT count(*) FROM %2), "
                                        "sum(Guid GLOB '[0-9a-f]*' AND length(Guid) = 32) FROM %1"_s.arg(ids, records));
        ASSERT_TRUE(st.step());
        EXPECT_EQ(st.columnInt(0), st.columnInt(2)) << ids.toStdString();
        EXPECT_EQ(st.columnInt(1), st.columnInt(2)) << ids.toStdString();
        EXPECT_EQ(st.columnInt(3), st.columnInt(2)) << ids.toStdString();
    }
    notes::Topics topics{ns};
};

} // namespace

TEST_F(GlobalIds, AnOlderFileGetsAnIdForEveryTopicAndCategoryWhenOpened)
{
    const int home = addCategory(u"Home"_s);
    for (const char *title : {"Milk", "Eggs", "Tea"})
        stored::addTopic(ns.dbNotes, home, QString::fromLatin1(title));
    addCategory(u"Work"_s);
    ASSERT_TRUE(ns.dbNotes.exec(u"DROP TRIGGER Argomenti_sync_update; DROP TRIGGER Eliminati_sync_insert; "
                                "DROP TRIGGER Categorie_sync_update; DROP TABLE Sincronia; DROP TABLE DaSincronizzare; "
                                "DROP TRIGGER Argomenti_id_insert; DROP TRIGGER Argomenti_id_delete; "
                                "DROP TRIGGER Categorie_id_insert; DROP TRIGGER Categorie_id_delete; "
                                "DROP TABLE ArgomentiId; DROP TABLE CategorieId; ALTER TABLE Eliminati DROP COLUMN Guid; "
                                "PRAGMA user_version = 6"_s))
        << ns.errorText().toStdString();
    ns.close();
    ASSERT_TRUE(ns.open()) << ns.errorText().toStdString();
    ASSERT_TRUE(ns.hasGlobalIds());
    expectOnePerRecord(u"ArgomentiId"_s, u"Argomenti"_s);
    expectOnePerRecord(u"CategorieId"_s, u"Categorie"_s);
}

TEST_F(GlobalIds, ACutAndPasteOrADeleteAndUndeleteKeepsTheTopicsId)
{
    const int home = addCategory(u"Home"_s);
    const int work = addCategory(u"Work"_s);
    const int key = stored::addTopic(ns.dbNotes, home, u"Milk"_s);
    const QString id = idOf(key);
    ASSERT_FALSE(id.isEmpty());
    notes::TopicCopy copy;
    ASSERT_EQ(topics.readCopy(key, &copy), notes::Topics::Read::Ok);
    bool removed = false;
    const int pasted = topics.paste(copy, work, key, &removed);
    ASSERT_TRUE(removed);
    EXPECT_EQ(idOf(pasted), id) << "cut and pasted";
    ASSERT_EQ(topics.remove(pasted), notes::Found::Yes);
    EXPECT_EQ(stored::count(ns.dbNotes, u"ArgomentiId"_s), 0);
    QList<int> back;
    ASSERT_TRUE(notes::History(ns).undelete({pasted}, -1, &back));
    EXPECT_EQ(idOf(pasted), id) << "deleted and undeleted";
}
