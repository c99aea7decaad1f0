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

    int addCategory(const QString &name) { return stored::addCategory(ns.dbNotes, name); }

    TempDir dir;
    store::NoteStore ns;
};
