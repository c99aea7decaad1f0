#pragma once
#include "notes/NoteStore.h"
#include "QtPrinters.h"
#include "TempDir.h"
#include "StoredRows.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A new database file with the real schema in a fresh folder, opened.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString err;
        ASSERT_TRUE(store::NoteStore::createDatabase(dir.file(store::kDatabaseFileName), QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), &err))
            << err.toStdString();
        ns.DataFolder = dir.path();
        ASSERT_TRUE(ns.open()) << ns.errorText().toStdString();
    }

    int addCategory(const QString &name)
    {
        const qint64 key = stored::insert(ns.dbNotes, u"Categorie"_s, {{u"Categoria"_s, name}});
        EXPECT_GT(key, 0);
        return int(key);
    }

    int addTopic(int category, const QString &title, const QString &body = QString())
    {
        const qint64 key = stored::insert(ns.dbNotes, u"Argomenti"_s,
                                          {{u"idCategoria"_s, category}, {u"argomento"_s, title}, {u"contenuto"_s, body},
                                           {u"ContenutoTxt"_s, body}});
        EXPECT_GT(key, 0);
        return int(key);
    }

    TempDir dir;
    store::NoteStore ns;
};
