#pragma once
// The process-wide state of one run: the shared note store, the language,
// the loaded windows and the platform services. Every window is given the
// session it belongs to; tests build one per test.

#include "notes/NoteStore.h"
#include "notes/Categories.h"
#include "notes/Drafts.h"
#include "notes/History.h"
#include "notes/Settings.h"
#include "notes/Topics.h"
#include "Platform.h"
#include "Finestre.h"
#include "Forms.h"

#include <QString>

#include <functional>
#include <memory>

class AppEx;

class Session final {
public:
    Session(platform::Services services, QStringList arguments, QString executablePath);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    platform::Dialogs &dialogs() const { return *m_services.dialogs; }
    platform::Clock &clock() const { return *m_services.clock; }
    platform::Sound &sound() const { return *m_services.sound; }
    platform::Desktop &desktop() const { return *m_services.desktop; }
    platform::Notifier &notifier() const { return *m_services.notifier; }
    platform::Tray &tray() const { return *m_services.tray; }
    platform::InstanceChannel &instance() const { return *m_services.instance; }

    // The program's arguments, without the program's own name.
    const QStringList &arguments() const { return m_arguments; }
    const QString &executablePath() const { return m_executablePath; }

    // Text of string id in the current language (id + LanguageOffset).
    QString GetString(int id) const;

    AppEx &appEx();
    // Replaces the environment services (tests point them at a temporary home).
    void setAppEx(std::unique_ptr<AppEx> appEx);

    store::NoteStore store;  // the database file: where it is, opening and closing it
    notes::Settings settings{store};
    notes::Topics topics{store};
    notes::Categories categories{store};
    notes::Drafts drafts{store};
    notes::History history{store};
    Forms forms;
    Finestre finestre{forms};

    QString AppTitle;
    bool StartMinimized = false;
    int LanguageOffset = 0;
    // A new database is created at start-up when none is found anywhere.
    bool CreateNewDatabase = false;

    // Reset at start-up: no category existed when the program started.
    bool NoCategory = false;

    // How long work runs before its progress dialog appears; tests make it 0.
    int LongWorkShowAfterMs = 700;

    // Ends the process at once, skipping every handler; tests replace it.
    std::function<void(int)> EndProgram;
    // Writes a compacted copy of a closed database file; tests make it fail.
    std::function<bool(const QString &, const QString &, QString *)> CompactDatabase;

private:
    platform::Services m_services;
    QStringList m_arguments;
    QString m_executablePath;
    std::unique_ptr<AppEx> m_appEx;
};
