#pragma once
// The main window: the list of categories or topics, the search box, the
// menus and the toolbar; its load step brings up the whole program.

#include "Forms.h"
#include "db/StoreLock.h"
#include "alarms/AlarmQueue.h"
#include "notes/Changes.h"

#include <QDateTime>
#include <QMainWindow>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QSet>
#include <QVariant>

#include <array>

class QAction;
class QSessionManager;
class frmNuovoArg;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QMimeData;
class QStatusBar;
class QToolBar;
class QTimer;
class QToolButton;
class Session;

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
    // The load step, steps 1 to 17. AppError from steps 1 to 9 propagates.
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
    // Writes the draft of every open editor now; false if one failed.
    bool WriteAllDrafts();
    // After an irreversible error: closes every window, records the run
    // time, closes the store and ends the program.
    void ShutdownProgram();

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

    QMenu *mnuFile = nullptr;
    QAction *mnuFileExit = nullptr;
    QMenu *mnuModifica = nullptr;
    QAction *mnuRinomina = nullptr, *mnuInserisci = nullptr, *mnuCancella = nullptr;
    QAction *mnuTaglia = nullptr, *mnuCopia = nullptr, *mnuIncolla = nullptr;
    QAction *mnuSposta = nullptr, *mnuSpostaTutti = nullptr, *mnuTrovaArgomenti = nullptr;
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

    // The list of categories or topics.
    bool isTopicMode() const;
    // The category whose topics the list shows in topic mode; -1 in
    // category mode. An editor opened from the results may be in another.
    int ShownCategoryId() const;
    void FillCategoryList();
    // False on a database error (the list then holds what could be read).
    bool FillTopicList();
    void SelectListItem(int key);
    void OpenCategory();
    void OpenTopic();
    // Opens a new editor on topicId (-1: a new topic) in categoryId; the
    // keyboard goes to its body or, for a new topic, its title.
    frmNuovoArg *OpenEditor(int topicId, int categoryId, bool focusBody);
    // Shows the topic selected in its category; nothing when it is gone.
    void Individua(int topicId);
    // Adds an entry at its place in the list's order; returns its row.
    int AddListEntry(const QString &text, int key);
    // Key of the selected entry, -1 when none is selected.
    int SelectedKey() const;
    // The list follows every change to the notes, whoever made it.
    void TopicsChanged(const notes::TopicChange &change);
    void CategoriesChanged(const notes::CategoryChange &change);
    QListWidgetItem *ListItemOf(int key) const;
    // Takes the entries of the keys out; nothing is selected after.
    void DropListEntries(const QList<int> &keys);
    void lstArgomenti_Click();
    void lstArgomenti_DblClick();
    // Returns true when the character was used (and so swallowed).
    bool lstArgomenti_KeyPress(int character);
    void lstArgomenti_MouseMove(const QPoint &pos);
    // Files dragged over the list: true when a drop would import them, as
    // topics of the open category (RTF and text files only).
    bool lstArgomenti_DragOver(const QMimeData *dragged) const;
    void lstArgomenti_Drop(const QMimeData *dropped);

    // Insert, delete, rename.
    void cmdInserisci_Click();
    void InsertCategory();
    void cmdCancella_Click();
    void mnuRinomina_Click();

    // Window menu.
    void mnuMinimizza_Click();
    void mnuMassimizza_Click();
    void mnuFinestra_Click(int index);
    void mnuFinestraAltre_Click();

    // Restarts the alarm scheduler after a topic's alarm may have changed.
    // False on a database error: the scheduler is then stopped.
    [[nodiscard]] bool RestartTimer();
    // RestartTimer for callers that cannot act on a failure: the next tick
    // reads the alarms again.
    void RescheduleAlarms();
    // The topic's alarm was stored by a save: one held since it could not
    // be moved on takes part again.
    void AlarmSavedAgain(int topic);
    // One tick of the scheduler: fires the alarm in view when it is due.
    void Timer1_Timer();
    // A click on the last alarm's notification: its topic comes forward.
    void AlarmNotification_Activated();
    // Every window back where it stood, the notification-area icon gone.
    void BringBackFromTray();
    // Every window hidden behind the notification-area icon (nothing where
    // the desktop has no notification area).
    void PutInTray();
    // In a second copy: hands the command to the running one.
    void ActivatePreviousInstance(const QString &title, const QString &command);
    void CommandReceived(const QString &command);
    void TrayClicked();
    // True once the load step has finished: the window is whole.
    bool Loaded = false;
    QTimer *Timer1 = nullptr;  // 10 s, running only while an alarm is in view
    QDateTime NextAlarmTime;
    int NextAlarmTopicId = -1;
    int NotifiedTopicId = -1;  // the topic of the last alarm's notification

    // The topic clipboard and moves.
    void mnuTaglia_Click();
    // Copies topic key's title, body, text and date into the clipboard
    // fields; false when it is not found.
    bool readClip(int key);
    void mnuCopia_Click();
    void mnuIncolla_Click();
    void mnuSposta_Click();
    void mnuSpostaTutti_Click();
    int ClipboardState = 0;
    int ClipSourceId = -1;
    QString ClipTitle;
    QVariant ClipContent;
    QString ClipPlainText;
    QDateTime ClipUpdated;

    // Find in topics.
    void mnuTrovaArgomenti_Click();

    // Packing the database.
    void mnuCompatta_Click();

    // The system font.
    void mnuFontSistema_Click();
    void AggiornaFontElemento(QWidget *element);
    void ApplyMainWindowFont();

    // Keys, search box, toolbar and hints.
    // Returns true when the key was used up.
    bool Form_KeyDown(int key);
    bool txtCerca_KeyPress(int character);
    void Toolbar1_ButtonClick(QAction *button);
    void SyncToolbar();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void buildToolbar();
    void connectHandlers();
    void connectRouting();
    bool routeKey(QObject *watched, QEvent *event);
    void copyOrCut(bool cut);
    void paste();
    bool moveTopic(int topicId, int target);
    // The category chosen to move into, -1 when none (or the one shown).
    int chooseDestination();
    QPointer<QWidget> m_results;  // the find results window, reused
    void HideInTray();
    // The caption of the list's frame (206 categories, 207 topics).
    void SetListTitle(int id);
    // Where each window stood when the program went into the tray.
    QList<QPair<QPointer<QWidget>, QPoint>> m_trayPositions;
    bool Form_Unload();
    void ChooseLanguage();
    // Opens the store; the building of an older file's indexes is shown.
    bool OpenStoreShowingProgress();
    // The run lock of the data folder: false, with the reason told, when
    // another program runs on it where this one cannot reach it.
    bool HoldDataFolder();
    // Start-up step 13: false when the user chose to end the program.
    bool RunDateCheck();
    void RecordRunTime();
    void ReopenLastCategory();
    void SetLanguage(int lingua);

    Session &m_session;
    // Held for the whole run: the data folder is in use.
    store::StoreLock m_runLock;
    alarms::AlarmQueue m_alarms;
    // The category whose topics the list shows, or showed last.
    int m_shownCategory = -1;
    int m_lastMoveTarget = -1;  // preselected by the destination chooser
    // The alarms could not be read: the next tick reads them again.
    bool m_alarmsUnread = false;
};
