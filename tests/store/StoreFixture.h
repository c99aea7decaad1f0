#pragma once
#include "NoteStore.h"
#include "QtPrinters.h"
#include "TempDir.h"

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
        ASSERT_TRUE(store::NoteStore::createDatabase(store::JoinPath(dir.path(), store::kDatabaseFileName),
                                                     QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), &err))
            << err.toStdString();
        ns.DataFolder = dir.path();
        ASSERT_TRUE(ns.open()) << ns.errorText().toStdString();
    }

    int addCategory(const QString &name)
    {
        auto &rs = *ns.rsCategorie;
        EXPECT_TRUE(rs.addNew());
        EXPECT_TRUE(rs.setField(QStringLiteral("Categoria"), name));
        EXPECT_TRUE(rs.update());
        EXPECT_TRUE(rs.setBookmark(rs.lastModified()));
        return rs.field(QStringLiteral("idCategoria")).toInt();
    }

    int addTopic(int category, const QString &title, const QString &body = QString())
    {
        auto &rs = *ns.rsArgomenti;
        EXPECT_TRUE(rs.addNew());
        EXPECT_TRUE(rs.setField(QStringLiteral("idCategoria"), category));
        EXPECT_TRUE(rs.setField(QStringLiteral("argomento"), title));
        EXPECT_TRUE(rs.setField(QStringLiteral("contenuto"), body));
        EXPECT_TRUE(rs.setField(QStringLiteral("ContenutoTxt"), body));
        EXPECT_TRUE(rs.update());
        return int(rs.lastModified());
    }

    TempDir dir;
    store::NoteStore ns;
};
