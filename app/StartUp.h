#pragma once
// The main window's load step, which brings up the whole program: the
// running copy claimed, the data folder found and held, the store opened, the
// language chosen, the clock checked, the last category listed and the
// alarms started.

class Session;
class frmPrincipale;
namespace store { class StoreLock; }

class StartUp final {
public:
    enum class Result {
        Running,        // the program goes on
        OtherInstance,  // handed over to the copy already running
        Failed,         // an error was shown and the program ends
        Cancelled,      // the user chose to end during start-up
    };

    // runLock is held for the whole run once taken: the data folder is in use.
    StartUp(Session &session, frmPrincipale &window, store::StoreLock &runLock)
        : m_session(session), m_window(window), m_runLock(runLock) {}

    // AppError before the store is opened propagates.
    Result run();

private:
    // Everything once the data folder is held; AppError ends the start.
    void openAndShow();
    // The run lock of the data folder: false, with the reason told, when
    // another program runs on it where this one cannot reach it.
    bool holdDataFolder();
    // Opens the store; the building of an older file's indexes is shown.
    bool openStoreShowingProgress();
    // Creates a new database, with the alarm sound beside it.
    void createDatabase();
    void chooseLanguage();
    // A clock set before the last run is confirmed; false when the user
    // chose to end the program.
    bool runDateCheck();
    void reopenLastCategory();

    Session &m_session;
    frmPrincipale &m_window;
    store::StoreLock &m_runLock;
};

// Records the time of this run, for the next start's clock check.
void RecordRunTime(Session &session);
