#pragma once
#include "places/AppEx.h"
#include "ModalDriver.h"
#include "notes/NoteStore.h"
#include "ScriptedPlatform.h"
#include "Session.h"
#include "QtPrinters.h"
#include "TempDir.h"
#include "InRome.h"
#include "frmLanguage.h"
#include "frmPrincipale.h"
#include "AlarmRinging.h"
#include "TopicList.h"
#include "StoredRows.h"

#include <QDir>
#include <QRadioButton>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>


// A home of its own (the data home points into a temporary folder) and an
// executable path inside it, so nothing touches the user's files.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", home.mkdir(QStringLiteral("share")).toUtf8());
        exePath = home.mkdir(QStringLiteral("bin")) + QStringLiteral("/quorvel");
    }
    void TearDown() override
    {
        // Windows closed during the test are deleted now, while the session
        // they belong to still exists.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main.reset();
        session.reset();
        qputenv("XDG_DATA_HOME", m_oldDataHome);
    }

    QString defaultFolder() const { return home.path() + QStringLiteral("/share/Ostwick/quorvel"); }
    QString besideExe() const { return home.path() + QStringLiteral("/bin"); }

    // Makes a database in folder (created when missing) with lingua set.
    void makeDatabase(const QString &folder, QVariant lingua = 1)
    {
        QDir().mkpath(folder);
        QString err;
        ASSERT_TRUE(store::NoteStore::createDatabase(store::JoinPath(folder, store::kDatabaseFileName),
                                                     services.clock.current.addDays(-1), &err))
            << err.toStdString();
        setSetup(QStringLiteral("lingua"), lingua, folder);
    }

    // A field of the Setup record, written or read while no program has the
    // database (in the default folder unless another is named) open.
    void setSetup(const QString &field, const QVariant &value, const QString &folder = {})
    {
        store::NoteStore ns;
        ns.DataFolder = folder.isEmpty() ? defaultFolder() : folder;
        ASSERT_TRUE(ns.open());
        ASSERT_TRUE(stored::set(ns.dbNotes, QStringLiteral("Setup"), {{field, value}}));
    }
    QVariant setup(const QString &field)
    {
        store::NoteStore ns;
        ns.DataFolder = defaultFolder();
        EXPECT_TRUE(ns.open());
        return stored::field(ns.dbNotes, QStringLiteral("Setup"), field);
    }

    // The running session's Setup record, read in SQL.
    struct SetupRow {
        store::Connection &db;
        QVariant field(const QString &name) const { return stored::field(db, QStringLiteral("Setup"), name); }
    };
    SetupRow setupRow() { return {session->store.dbNotes}; }

    // Builds a session with these arguments and runs the main window's load step.
    frmPrincipale::LoadResult start(const QStringList &args = {})
    {
        main.reset();
        session = std::make_unique<Session>(services.services(), args, exePath);
        session->EndProgram = [this](int code) { endedWith = code; };
        main = std::make_unique<frmPrincipale>(*session);
        return main->Form_Load();
    }

    TempDir home;
    QString exePath;
    ScriptedServices services;
    std::unique_ptr<Session> session;
    std::unique_ptr<frmPrincipale> main;
    int endedWith = -1;

private:
    QByteArray m_oldDataHome;
};
