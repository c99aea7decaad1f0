// What the operations on topics and categories announce to the lists and
// editors that follow them, without a window.

#include "db/Sqlite.h"
#include "db/StoreFixture.h"
#include "notes/Categories.h"
#include "notes/Topics.h"

namespace {

class Announced : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        if (HasFatalFailure())
            return;
        QObject::connect(&ns.changes, &notes::Changes::topicsChanged, [this](const notes::TopicChange &c) {
            static const char *const kinds[] = {"added", "saved", "renamed", "moved", "removed"};
            QStringList keys;
            for (const int key : c.keys)
                keys << QString::number(key);
            heard << u"%1 %2 in %3 '%4'%5"_s.arg(QLatin1String(kinds[int(c.kind)]), keys.join(u','))
                         .arg(c.category)
                         .arg(c.title, c.alarm ? u" with its alarm"_s : QString());
        });
        QObject::connect(&ns.changes, &notes::Changes::categoriesChanged, [this](const notes::CategoryChange &c) {
            static const char *const kinds[] = {"category added", "category renamed", "category removed"};
            heard << u"%1 %2 '%3'"_s.arg(QLatin1String(kinds[int(c.kind)])).arg(c.key).arg(c.name);
        });
    }

    QStringList heard;
};

} // namespace

TEST_F(Announced, EachWriteTellsWhichTopicsAndCategoriesChangedAndWhereTheyAreNow)
{
    notes::Topics topics(ns);
    notes::Categories categories(ns);
    const int home = categories.insert(u"Home"_s);
    const int work = categories.insert(u"Work"_s);
    const int a = topics.save({-1, home, u"Milk"_s, u"{\\rtf1 }"_s, QString(), QDateTime(), {}, 0});
    ASSERT_EQ(topics.save({a, home, u"Milk and eggs"_s, std::nullopt, QString(), QDateTime(), {}, 0}), a);
    ASSERT_EQ(topics.rename(a, u"Eggs"_s), notes::Found::Yes);
    bool removed = false;
    const int b = topics.paste({u"Copy"_s, QString(), QString(), QDateTime()}, work, a, &removed);
    ASSERT_TRUE(topics.move(b, home));
    QList<int> imported;
    ASSERT_TRUE(topics.addMany(-1, u"Inbox"_s, {{u"One"_s, QString(), QString()}, {u"Two"_s, QString(), QString()}},
                               QDateTime::currentDateTime(), &imported));
    ASSERT_TRUE(topics.moveAll(imported, work));
    ASSERT_EQ(topics.remove(b), notes::Found::Yes);
    ASSERT_EQ(topics.remove(b), notes::Found::No);
    ASSERT_EQ(categories.rename(home, u"House"_s), notes::Found::Yes);
    ASSERT_EQ(categories.remove(home), notes::Found::Yes);

    const QString keys = u"%1,%2"_s.arg(imported.value(0)).arg(imported.value(1));
    const int inbox = work + 1;
    EXPECT_EQ(heard, (QStringList{
                         u"category added %1 'Home'"_s.arg(home),
                         u"category added %1 'Work'"_s.arg(work),
                         u"added %1 in %2 'Milk' with its alarm"_s.arg(a).arg(home),
                         u"saved %1 in %2 'Milk and eggs' with its alarm"_s.arg(a).arg(home),
                         u"renamed %1 in -1 'Eggs'"_s.arg(a),
                         u"removed %1 in -1 ''"_s.arg(a),
                         u"added %1 in %2 'Copy'"_s.arg(b).arg(work),
                         u"moved %1 in %2 ''"_s.arg(b).arg(home),
                         u"category added %1 'Inbox'"_s.arg(inbox),
                         u"added %1 in %2 ''"_s.arg(keys).arg(inbox),
                         u"moved %1 in %2 ''"_s.arg(keys).arg(work),
                         u"removed %1 in -1 ''"_s.arg(b),
                         u"removed %1 in -1 ''"_s.arg(b),
                         u"category renamed %1 'House'"_s.arg(home),
                         u"category removed %1 ''"_s.arg(home),
                     }));
}

TEST_F(Announced, AWriteTheStoreRefusesAnnouncesNothing)
{
    notes::Topics topics(ns);
    const int category = addCategory(u"Home"_s);
    const int key = stored::addTopic(ns.dbNotes, category, u"Milk"_s);
    ASSERT_TRUE(ns.dbNotes.exec(u"CREATE TRIGGER refuse BEFORE UPDATE ON Argomenti BEGIN SELECT RAISE(ABORT, 'no'); END"_s));
    ASSERT_TRUE(ns.dbNotes.exec(u"CREATE TRIGGER refuseAdd BEFORE INSERT ON Argomenti BEGIN SELECT RAISE(ABORT, 'no'); END"_s));
    EXPECT_EQ(topics.rename(key, u"Eggs"_s), notes::Found::Failed);
    EXPECT_FALSE(topics.moveAll({key}, category + 1));
    EXPECT_EQ(topics.save({key, category, u"Eggs"_s, std::nullopt, QString(), QDateTime(), {}, 0}), -1);
    EXPECT_EQ(topics.save({-1, category, u"Eggs"_s, QString(), QString(), QDateTime(), {}, 0}), -1);
    bool removed = false;
    EXPECT_EQ(topics.paste({u"Copy"_s, QString(), QString(), QDateTime()}, category, key, &removed), -1);
    EXPECT_TRUE(heard.isEmpty()) << heard.join(u'\n').toStdString();
}
