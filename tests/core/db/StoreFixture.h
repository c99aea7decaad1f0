#pragma once
#include "notes/NoteStore.h"
#include "QtPrinters.h"
#include "TempDir.h"
#include "db/Recordset.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A field of the current record as text.
inline QString text(store::Recordset &rs, const char *field) { return rs.field(QString::fromLatin1(field)).toString(); }

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
        // Seeks go by key unless a test picks another index.
        ASSERT_TRUE(ns.rsArgomenti->setIndex(u"PrimaryKey"_s) && ns.rsCategorie->setIndex(u"PrimaryKey"_s));
    }

    int addCategory(const QString &name)
    {
        auto &rs = *ns.rsCategorie;
        EXPECT_TRUE(rs.addNew() && rs.setField(u"Categoria"_s, name) && rs.update() && rs.setBookmark(rs.lastModified()));
        return rs.field(u"idCategoria"_s).toInt();
    }

    int addTopic(int category, const QString &title, const QString &body = QString())
    {
        auto &rs = *ns.rsArgomenti;
        EXPECT_TRUE(rs.addNew() && rs.setField(u"idCategoria"_s, category) && rs.setField(u"argomento"_s, title)
                    && rs.setField(u"contenuto"_s, body) && rs.setField(u"ContenutoTxt"_s, body) && rs.update());
        return int(rs.lastModified());
    }

    TempDir dir;
    store::NoteStore ns;
};
