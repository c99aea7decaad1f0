#pragma once
// The main window: the list of categories or topics, the search box, the
// menus and the toolbar; its load step brings up the whole program.

#include "Forms.h"

#include <QMainWindow>

#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QStatusBar;
class QToolBar;
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
    // After an irreversible error: closes every window, records the run
    // time, closes the store and ends the program.
    void ShutdownProgram();

    // Read by the editor window being opened.
    int CurrentTopicId = -1;
    int CurrentCategoryId = -1;

    // Controls, named as the design names them.
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

    bool isTopicMode() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void buildToolbar();
    bool Form_Unload();
    void ChooseLanguage();
    void ReopenLastCategory();
    void SetLanguage(int lingua);

    Session &m_session;
};
