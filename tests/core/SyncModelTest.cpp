// Three machines change their notes at random, each way a person can, and
// sync in random order with one remote. After a last round they hold the
// same notes, and every text ever saved on any of them is still there: as a
// topic, a version or a deleted topic on some machine.
//
// SYNC_MODEL_FIRST and SYNC_MODEL_COUNT choose the sequences (seeds); a
// failure names its seed, which SYNC_MODEL_FIRST=<seed> SYNC_MODEL_COUNT=1
// runs again alone.

#include "alarms/AlarmQueue.h"
#include "notes/History.h"
#include "SyncMachine.h"
#include "TempDir.h"

#include <QSet>

#include <memory>
#include <random>

using namespace Qt::StringLiterals;

namespace {

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariable(name).toInt(&ok);
    return ok ? value : fallback;
}

class Model {
public:
    explicit Model(unsigned seed) : m_seed(seed), m_random(seed)
    {
        m_remote = m_dir.mkdir(u"remote.git"_s);
        EXPECT_TRUE(gitsync::Git(m_remote).run({u"init"_s, u"-q"_s, u"--bare"_s}).ok());
        for (const QString &name : {u"desk"_s, u"laptop"_s, u"phone"_s})
            m_machines.push_back(std::make_unique<SyncMachine>(m_dir.mkdir(name), name, m_remote));
    }

    void run(int steps)
    {
        for (int step = 0; step < steps && !::testing::Test::HasFatalFailure(); ++step)
            act(*m_machines[pick(m_machines.size())]);
        // The last round: until no machine has anything left to send.
        for (int round = 0; round < 6; ++round) {
            int sent = 0;
            for (auto &m : m_machines) {
                if (!m->sync())
                    return;
                sent += m->outcome.sent + m->outcome.arrived.conflicts.size();
            }
            if (sent == 0)
                break;
        }
        expectSameNotes();
        expectNoTextLost();
    }

private:
    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_random); }
    template <typename T>
    T any(const QList<T> &from) { return from[qsizetype(pick(size_t(from.size())))]; }

    QList<int> keysOf(SyncMachine &m, const QString &table, const QString &column)
    {
        QList<int> keys;
        store::Statement st(m.ns.dbNotes, u"SELECT %1 FROM %2 ORDER BY %1"_s.arg(column, table));
        while (st.step())
            keys << int(st.columnInt(0));
        return keys;
    }
    QString newText() { return u"text %1-%2"_s.arg(m_seed).arg(++m_count); }
    QString remember(const QString &text)
    {
        m_saved.insert(text);
        return text;
    }

    void act(SyncMachine &m)
    {
        notes::Topics topics(m.ns);
        notes::Categories categories(m.ns);
        const QList<int> cats = keysOf(m, u"Categorie"_s, u"idCategoria"_s);
        const QList<int> keys = keysOf(m, u"Argomenti"_s, u"idArgomento"_s);
        const QStringList names{u"Home"_s, u"Work"_s, u"Ideas"_s};
        const int what = int(pick(17));  // 13 to 16: a sync
        if (qEnvironmentVariableIsSet("SYNC_MODEL_TRACE"))
            qInfo("%s: %d", qPrintable(m.ns.machineName), what);
        if (cats.isEmpty() || what == 0) {
            m.category(any(names));
        } else if (what == 1) {
            ASSERT_NE(categories.rename(any(cats), any(names) + QString::number(pick(2))), notes::Found::Failed);
        } else if (what == 2) {
            const int c = any(cats);
            if (categories.hasTopics(c) == notes::Found::No) {
                ASSERT_NE(categories.remove(c), notes::Found::Failed);
            }
        } else if (keys.isEmpty() || what == 3) {
            ASSERT_GT(m.add(any(cats), u"T%1"_s.arg(++m_count), remember(newText())), 0);
        } else if (what == 4 || what == 5) {
            ASSERT_TRUE(m.edit(any(keys), remember(newText())));
        } else if (what == 6) {
            ASSERT_EQ(topics.rename(any(keys), u"R%1"_s.arg(++m_count)), notes::Found::Yes);
        } else if (what == 7) {
            ASSERT_TRUE(topics.move(any(keys), any(cats)));
        } else if (what == 8) {
            ASSERT_TRUE(topics.moveAll(keys.mid(0, qsizetype(pick(size_t(keys.size())) + 1)), any(cats)));
        } else if (what == 9) {
            ASSERT_EQ(topics.remove(any(keys)), notes::Found::Yes);
        } else if (what == 10) {
            notes::TopicCopy copy;
            const int key = any(keys);
            ASSERT_EQ(topics.readCopy(key, &copy), notes::Topics::Read::Ok);
            bool removed = false;
            ASSERT_GT(topics.paste(copy, any(cats), pick(2) ? key : -1, &removed), 0);
        } else if (what == 11) {
            bool ok = false;
            const QList<notes::DeletedTopic> gone = notes::History(m.ns).deleted(QString(), &ok);
            QList<int> restored;
            if (!gone.isEmpty()) {
                ASSERT_TRUE(notes::History(m.ns).undelete({any(gone).key}, -1, &restored));
            }
        } else if (what == 12) {
            // An alarm set, or one that rings.
            const int key = any(keys);
            notes::StoredTopic t;
            ASSERT_EQ(topics.load(key, &t), notes::Found::Yes);
            if (t.alarmType.value_or(0) != 0 && pick(2)) {
                (void)alarms::AlarmQueue(m.ns).advance(key, QDateTime::currentDateTime());
            } else {
                const store::WallTime at = store::WallTime::of(QDateTime::currentDateTime().addSecs(qint64(pick(3)) * 3600));
                ASSERT_EQ(topics.save({key, t.category, t.title.value_or(QString()), t.body,
                                       t.plainText.value_or(QString()), QDateTime::currentDateTime(), at,
                                       int(pick(2)) + 1}),
                          key);
            }
        } else {
            m.sync();
        }
    }

    // Every topic with every field that travels, and every category.
    QStringList notesOf(SyncMachine &m)
    {
        QStringList out;
        store::Statement st(m.ns.dbNotes,
                            u"SELECT 'topic ' || coalesce(c.Categoria, '?') || '/' || a.argomento || ': ' || "
                            "coalesce(a.ContenutoTxt, '') || ' alarm ' || a.TipoAllarme || ' ' || "
                            "coalesce(a.DataOraAllarme, '') FROM Argomenti a LEFT JOIN Categorie c USING (idCategoria) "
                            "UNION ALL SELECT 'category ' || Categoria FROM Categorie ORDER BY 1"_s);
        while (st.step())
            out << st.columnText(0);
        return out;
    }

    void expectSameNotes()
    {
        const QStringList desk = notesOf(*m_machines[0]);
        for (size_t i = 1; i < m_machines.size(); ++i)
            EXPECT_EQ(notesOf(*m_machines[i]).join(u'\n').toStdString(), desk.join(u'\n').toStdString())
                << m_machines[i]->ns.machineName.toStdString() << " and desk differ";
    }

    void expectNoTextLost()
    {
        QSet<QString> kept;
        for (auto &m : m_machines) {
            store::Statement st(m->ns.dbNotes, u"SELECT ContenutoTxt FROM Argomenti UNION SELECT ContenutoTxt FROM "
                                               "Versioni UNION SELECT ContenutoTxt FROM Eliminati"_s);
            while (st.step())
                kept.insert(st.columnText(0));
        }
        for (const QString &text : std::as_const(m_saved))
            EXPECT_TRUE(kept.contains(text)) << "lost: " << text.toStdString();
    }

    const unsigned m_seed;
    std::mt19937 m_random;
    TempDir m_dir;
    QString m_remote;
    std::vector<std::unique_ptr<SyncMachine>> m_machines;
    QSet<QString> m_saved;
    int m_count = 0;
};

} // namespace

TEST(SyncModel, MachinesThatChangeAndSyncAtRandomEndWithTheSameNotesAndNoTextLost)
{
    const int first = fromEnvironment("SYNC_MODEL_FIRST", 1);
    const int count = fromEnvironment("SYNC_MODEL_COUNT", 20);
    const int steps = fromEnvironment("SYNC_MODEL_STEPS", 40);
    for (int seed = first; seed < first + count && !HasFailure(); ++seed) {
        SCOPED_TRACE(::testing::Message() << "SYNC_MODEL_FIRST=" << seed << " SYNC_MODEL_COUNT=1");
        Model(unsigned(seed)).run(steps);
    }
}
