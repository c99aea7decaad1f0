#pragma once
// A data folder as one machine holds it, syncing its notes with a remote.

#include "db/Sqlite.h"
#include "notes/Categories.h"
#include "notes/NoteStore.h"
#include "notes/Topics.h"
#include "sync/Git.h"
#include "sync/Sync.h"
#include "TempDir.h"

#include <QDateTime>
#include <QStringList>

#include <gtest/gtest.h>

class SyncMachine {
public:
    // A new store in folder, or the one there when existing.
    SyncMachine(const QString &folder, const QString &name, const QString &remote, bool existing = false)
    {
        QString error;
        if (!existing) {
            EXPECT_TRUE(store::NoteStore::createDatabase(folder + u"/quorvel.mdb"_qs, QDateTime::currentDateTime(), &error))
                << error.toStdString();
        }
        ns.DataFolder = folder;
        ns.machineName = name;
        EXPECT_TRUE(ns.open()) << ns.errorText().toStdString();
        settings.remote = remote;
        settings.repository = gitsync::repositoryPath(folder);
    }

    // One sync; false, with the reason as the test's failure, when it fails.
    bool sync()
    {
        QString error;
        const bool ok = gitsync::syncStore(ns, settings, &outcome, &error);
        EXPECT_TRUE(ok) << ns.machineName.toStdString() << ": " << error.toStdString();
        return ok;
    }

    // Through the operations a window uses.
    int category(const QString &name) { return notes::Categories(ns).insert(name); }
    int add(int category, const QString &title, const QString &text)
    {
        return notes::Topics(ns).save({-1, category, title, u"{\\rtf1 "_qs + text + u'}', text,
                                       QDateTime::currentDateTime(), {}, 0});
    }
    bool edit(int key, const QString &text)
    {
        notes::StoredTopic stored;
        if (notes::Topics(ns).load(key, &stored) != notes::Found::Yes)
            return false;
        return notes::Topics(ns).save({key, stored.category, stored.title.value_or(QString()), u"{\\rtf1 "_qs + text + u'}', text,
                                       QDateTime::currentDateTime(), {}, 0}) == key;
    }
    // The key of the category of that name, or -1.
    int categoryKey(const QString &name)
    {
        store::Statement st(ns.dbNotes, u"SELECT idCategoria FROM Categorie WHERE Categoria = ?1"_qs);
        st.bind(1, name);
        return st.step() ? int(st.columnInt(0)) : -1;
    }
    // The key of the topic of that title, or -1.
    int key(const QString &title)
    {
        store::Statement st(ns.dbNotes, u"SELECT idArgomento FROM Argomenti WHERE argomento = ?1"_qs);
        st.bind(1, title);
        return st.step() ? int(st.columnInt(0)) : -1;
    }
    // Every topic as "category/title: text", sorted; deleted ones after,
    // as "deleted title".
    QStringList notes()
    {
        QStringList out;
        store::Statement st(ns.dbNotes, u"SELECT coalesce(c.Categoria, '?') || '/' || a.argomento || ': ' || "
                                        "coalesce(a.ContenutoTxt, '') FROM Argomenti a LEFT JOIN Categorie c "
                                        "USING (idCategoria) UNION ALL SELECT 'deleted ' || argomento FROM Eliminati "
                                        "ORDER BY 1"_qs);
        while (st.step())
            out << st.columnText(0);
        return out;
    }

    store::NoteStore ns;
    gitsync::SyncSettings settings;
    gitsync::SyncOutcome outcome;
};
