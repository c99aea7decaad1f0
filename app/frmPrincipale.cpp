#include "frmPrincipale.h"
#include "Str.h"

#include "AlarmRinging.h"
#include "Avvio.h"
#include "DraftRecovery.h"
#include "DropImport.h"
#include "FindInTopics.h"
#include "Informazioni.h"
#include "ListCommands.h"
#include "MainKeys.h"
#include "ProgramEnd.h"
#include "Pictures.h"
#include "QtLanguage.h"
#include "Session.h"
#include "StartUp.h"
#include "StringTable.h"
#include "SyncRunner.h"
#include "TopicClipboard.h"
#include "TopicList.h"
#include "TopicMoves.h"
#include "TrayKeeper.h"
#include "Utility.h"
#include "WindowMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QToolButton>

frmPrincipale::frmPrincipale(Session &session, QWidget *parent)
    : QMainWindow(parent), Form(session.forms, this, QStringLiteral("main")), m_session(session)
{
    setObjectName(QStringLiteral("frmPrincipale"));
    // Every window of the program, message boxes included, takes this icon
    // unless it sets its own.
    QApplication::setWindowIcon(appIcon());
    buildControls();
    buildMenus();
    buildToolbar();

    m_list = new TopicList(session, lstArgomenti, frmCategoria, labCategoria, this);
    m_clipboard = new TopicClipboard(session, *m_list, this);
    m_find = new FindInTopics(session, this);
    m_alarms = new AlarmRinging(session, this);
    m_tray = new TrayKeeper(session, this);
    m_sync = new SyncRunner(session, this, StatusSync);
    m_windowMenu = new WindowMenu(session, bar10, mnuFinestra, mnuFinestraAltre, this);
    m_moves = std::make_unique<TopicMoves>(session, *m_list, this);
    m_commands = std::make_unique<ListCommands>(session, *m_list, this);
    m_drop = std::make_unique<DropImport>(session, this);
    m_keys = std::make_unique<MainKeys>(session, *this);
    m_end = std::make_unique<ProgramEnd>(session, this);
    connectHandlers();
    connectMenus();
}

frmPrincipale::~frmPrincipale() = default;

QStringList frmPrincipale::GetCommandLine(int maxArgs) const
{
    return Avvio::GetCommandLine(Avvio::RawArguments(m_session.arguments()), maxArgs);
}

frmPrincipale::LoadResult frmPrincipale::Form_Load()
{
    switch (StartUp(m_session, *this, m_runLock).run()) {
    case StartUp::Result::Running:
        return LoadResult::Running;
    case StartUp::Result::OtherInstance:
        return LoadResult::OtherInstance;
    case StartUp::Result::Failed:
        return LoadResult::Failed;
    case StartUp::Result::Cancelled:
        break;
    }
    return LoadResult::Cancelled;
}

void frmPrincipale::SetLanguage(int lingua)
{
    const bool refused = RefusedReadOnly(m_session, this);
    if (refused || !m_session.settings.setLanguage(lingua)) {
        if (!refused)
            ShowDatabaseErrors(m_session, this);
        // The menu ticked its entry itself: the tick goes back to the
        // language still in use.
        mnuEnglish->setChecked(m_session.LanguageOffset != 0);
        mnuItaliano->setChecked(m_session.LanguageOffset == 0);
        return;
    }
    m_session.LanguageOffset = lingua == 0 ? 0 : i18n::kEnglishOffset;
    // Before the windows relabel themselves, so that they read the new locale.
    i18n::ApplyQtLanguage(lingua != 0);
    AggiornaTutteLingue();
}

void frmPrincipale::mnuItaliano_Click()
{
    SetLanguage(0);
}

void frmPrincipale::mnuEnglish_Click()
{
    SetLanguage(1);
}

void frmPrincipale::AggiornaTutteLingue()
{
    for (Form *f : m_session.forms.all())
        f->AggiornaLingua();
}

bool frmPrincipale::CloseOtherWindows()
{
    return m_end->closeOtherWindows();
}

bool frmPrincipale::QueryEndSession(bool mayAsk)
{
    return m_end->mayEndSession(mayAsk);
}

void frmPrincipale::commitDataRequest(QSessionManager &manager)
{
    m_end->commitData(manager);
}

void frmPrincipale::RecoverDrafts()
{
    ::RecoverDrafts(m_session, this, [this] { BringBackFromTray(); });
}

void frmPrincipale::EndBySignal()
{
    m_end->endBySignal();
}

bool frmPrincipale::Form_Unload()
{
    if (!CloseOtherWindows()) {
        m_session.dialogs().MsgBox(this, m_session.GetString(Str::CloseAllWindowsFirst), platform::vbCritical, m_session.GetString(Str::ErrorTitle));
        return false;
    }
    return cmdChiudi->isEnabled();
}

void frmPrincipale::closeEvent(QCloseEvent *event)
{
    if (!Form_Unload()) {
        event->ignore();
        return;
    }
    event->accept();
    formClosed();
    RecordRunTime(m_session);
    // What changed here goes out before the program ends, within seconds.
    m_sync->finish(5000);
}

void frmPrincipale::mnuInformazioni_Click()
{
    Informazioni about(m_session, this);
    about.exec();
}

void frmPrincipale::cmdChiudi_Click()
{
    close();
}

void frmPrincipale::mnuFileExit_Click()
{
    close();
}

void frmPrincipale::ShutdownProgram()
{
    m_end->shutDown();
}

void frmPrincipale::BringBackFromTray()
{
    m_tray->bringBack();
}

void frmPrincipale::PutInTray()
{
    m_tray->putAway();
}

void frmPrincipale::CommandReceived(const QString &command)
{
    qInfo("Command from another copy: %s", qPrintable(command));
    // Until the load step has finished the main window is half built: a
    // command meanwhile only brings forward the question being asked.
    if (!Loaded) {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
        return;
    }
    if (command == QLatin1String("MIN")) {
        if (isVisible())
            setWindowState(windowState() | Qt::WindowMinimized);
    } else if (command == QLatin1String("RES")) {
        BringBackFromTray();
    }
    // Any other text is answered and ignored.
}

void frmPrincipale::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        m_tray->windowMinimized();
}
