#pragma once
// The main window: the list of categories or topics, the search box, the
// menus and the toolbar; its load step brings up the whole program. Each
// handler hands its work to the part that does it.

#include "Forms.h"
#include "db/StoreLock.h"

#include <QMainWindow>

#include <array>
#include <memory>

class AlarmRinging;
class DropImport;
class FindInTopics;
class ListCommands;
class MainKeys;
class ProgramEnd;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QSessionManager;
class QStatusBar;
class QToolBar;
class QToolButton;
class Session;
class SyncRunner;
class TopicClipboard;
class TopicList;
class TopicMoves;
class TrayKeeper;
class WindowMenu;

class frmPrincipale final : public QMainWindow, public Form {
    Q_OBJECT
public:
    explicit frmPrincipale(Session &session, QWidget *parent = nullptr);
    ~frmPrincipale() override;

    enum class LoadResult {
        Running,        // the program goes on
        OtherInstance,  // handed over to the copy already running
        Failed,         // an error was shown and the program ends
        Cancelled,      // the user chose to end during start-up
    };
    // The load step. AppError before the store is opened propagates.
    LoadResult Form_Load();

    QStringList GetCommandLine(int maxArgs = 10) const;
    void AggiornaLingua() override;
    void AggiornaTutteLingue();
    // Unloads every other window; false when an editor refused to close.
    bool CloseOtherWindows();
    // The desktop session is ending: true when no editor holds changes;
    // otherwise message 232 when the user may be asked. Closes nothing.
    bool QueryEndSession(bool mayAsk);
    // The session manager's request to save before the session ends.
    void commitDataRequest(QSessionManager &manager);
    // Opens an editor for each draft left by a run that ended without
    // saving, holding the draft as its unsaved change.
    void RecoverDrafts();
    // SIGTERM or SIGHUP: the drafts of every open editor are written, the
    // run time recorded, the store closed, and the program ends.
    void EndBySignal();
    // After an irreversible error: closes every window, records the run
    // time, closes the store and ends the program.
    void ShutdownProgram();
    // Every window back where it stood, the notification-area icon gone.
    void BringBackFromTray();
    // Every window hidden behind the notification-area icon.
    void PutInTray();
    // A command handed over by a later copy ("MIN", "RES").
    void CommandReceived(const QString &command);
    // True once the load step has finished: the window is whole.
    bool Loaded = false;

    // The parts, for what the handlers do not say.
    TopicList &list() const { return *m_list; }
    AlarmRinging &alarms() const { return *m_alarms; }
    SyncRunner &syncer() const { return *m_sync; }

    // Shows the topic selected in its category; nothing when it is gone.
    void Individua(int topicId);
    void OpenCategory();
    void OpenTopic();
    // The search box, the list and the category label in the system font.
    void ApplyMainWindowFont();
    // The toolbar's buttons enabled as the menus are.
    void SyncToolbar();

    // Controls.
    QToolBar *Toolbar1 = nullptr;
    std::array<QAction *, 17> ToolbarButtons{};  // 1..16; separators are null
    QLabel *labCerca = nullptr;
    QLineEdit *txtCerca = nullptr;
    QGroupBox *frmArgomenti = nullptr;
    QListWidget *lstArgomenti = nullptr;
    QWidget *frmCategoria = nullptr;
    QLabel *labTitoloCategoria = nullptr;
    QLabel *labCategoria = nullptr;
    QToolButton *cmdCambia = nullptr;
    QToolButton *cmdChiudi = nullptr;
    QToolButton *cmdInserisci = nullptr;
    QToolButton *cmdCancella = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusPanel1 = nullptr;  // the first panel: hints
    QLabel *StatusSync = nullptr;    // the last panel: how the last sync went

    QMenu *mnuFile = nullptr;
    QAction *mnuSync = nullptr, *mnuSyncSettings = nullptr;
    QAction *mnuFileExit = nullptr;
    QMenu *mnuModifica = nullptr;
    QAction *mnuRinomina = nullptr, *mnuInserisci = nullptr, *mnuCancella = nullptr;
    QAction *mnuTaglia = nullptr, *mnuCopia = nullptr, *mnuIncolla = nullptr;
    QAction *mnuSposta = nullptr, *mnuSpostaTutti = nullptr, *mnuTrovaArgomenti = nullptr;
    QAction *mnuEliminati = nullptr;
    QMenu *mnuStrumenti = nullptr;
    QAction *mnuFontSistema = nullptr, *mnuCompatta = nullptr;
    QMenu *mnuFinestre = nullptr;
    QAction *mnuMinimizza = nullptr, *mnuMassimizza = nullptr, *bar10 = nullptr;
    std::array<QAction *, 10> mnuFinestra{};  // 1..9
    QAction *mnuFinestraAltre = nullptr;
    QMenu *mnuLingue = nullptr;
    QAction *mnuItaliano = nullptr, *mnuEnglish = nullptr;
    QMenu *mnuInfo = nullptr;
    QAction *mnuInformazioni = nullptr;

    // Handlers.
    void cmdChiudi_Click();
    void mnuFileExit_Click();
    void mnuItaliano_Click();
    void mnuEnglish_Click();
    void cmdCambia_Click();
    void mnuInformazioni_Click();
    void lstArgomenti_Click();
    void lstArgomenti_DblClick();
    // Returns true when the character was used (and so swallowed).
    bool lstArgomenti_KeyPress(int character);
    void lstArgomenti_MouseMove(const QPoint &pos);
    void cmdInserisci_Click();
    void cmdCancella_Click();
    void mnuRinomina_Click();
    void mnuMinimizza_Click();
    void mnuMassimizza_Click();
    void mnuFinestra_Click(int index);
    void mnuFinestraAltre_Click();
    void mnuTaglia_Click();
    void mnuCopia_Click();
    void mnuIncolla_Click();
    void mnuSposta_Click();
    void mnuSpostaTutti_Click();
    void mnuTrovaArgomenti_Click();
    // The deleted topics, to bring some back.
    void mnuEliminati_Click();
    void mnuCompatta_Click();
    void mnuSync_Click();
    void mnuSyncSettings_Click();
    void mnuFontSistema_Click();
    // Returns true when the key was used up.
    bool Form_KeyDown(int key);
    bool txtCerca_KeyPress(int character);
    void Toolbar1_ButtonClick(QAction *button);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void buildToolbar();
    void connectHandlers();
    void connectMenus();
    // The list's drag and drop and its tooltips.
    bool listViewportEvent(QEvent *event);
    // The caption of the list's frame (206 categories, 207 topics).
    void SetListTitle(int id);
    // The commands that work on topics only follow the list's mode.
    void enableTopicCommands(bool on);
    bool Form_Unload();
    void SetLanguage(int lingua);

    Session &m_session;
    // Held for the whole run: the data folder is in use.
    store::StoreLock m_runLock;
    TopicList *m_list = nullptr;
    TopicClipboard *m_clipboard = nullptr;
    FindInTopics *m_find = nullptr;
    AlarmRinging *m_alarms = nullptr;
    TrayKeeper *m_tray = nullptr;
    SyncRunner *m_sync = nullptr;
    WindowMenu *m_windowMenu = nullptr;
    std::unique_ptr<TopicMoves> m_moves;
    std::unique_ptr<ListCommands> m_commands;
    std::unique_ptr<DropImport> m_drop;
    std::unique_ptr<MainKeys> m_keys;
    std::unique_ptr<ProgramEnd> m_end;
};
