#include "frmPrincipale.h"

#include "AlarmRinging.h"
#include "Avvio.h"
#include "DraftRecovery.h"
#include "DropImport.h"
#include "FindInTopics.h"
#include "Informazioni.h"
#include "ListCommands.h"
#include "MainKeys.h"
#include "Pictures.h"
#include "QtLanguage.h"
#include "Session.h"
#include "StartUp.h"
#include "StringTable.h"
#include "TopicClipboard.h"
#include "TopicList.h"
#include "TopicMoves.h"
#include "TrayKeeper.h"
#include "Utility.h"
#include "WindowMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QSessionManager>
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
    m_windowMenu = new WindowMenu(session, bar10, mnuFinestra, mnuFinestraAltre, this);
    m_moves = std::make_unique<TopicMoves>(session, *m_list, this);
    m_commands = std::make_unique<ListCommands>(session, *m_list, this);
    m_drop = std::make_unique<DropImport>(session, this);
    m_keys = std::make_unique<MainKeys>(session, *this);
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
    bool result = true;
    for (Form *f : m_session.forms.all()) {
        if (f == this || f->Tag() == QLatin1String("main"))
            continue;
        if (!f->isEditor() || f->ProvaChiusura())
            f->Unload();
        else
            result = false;
    }
    return result;
}

bool frmPrincipale::QueryEndSession(bool mayAsk)
{
    for (Form *f : m_session.forms.all()) {
        if (f != this && f->isEditor() && !f->ProvaChiusura()) {
            if (mayAsk)
                m_session.dialogs().MsgBox(this, m_session.GetString(232), platform::vbCritical,
                                           m_session.GetString(507));
            return false;
        }
    }
    return true;
}

void frmPrincipale::commitDataRequest(QSessionManager &manager)
{
    // Nothing unsaved: nothing to ask, and nothing is closed, since the
    // session may yet go on.
    if (QueryEndSession(false))
        return;
    // Unsaved work is written down first: if the session ends without
    // asking, the next start brings it back.
    WriteAllDrafts(m_session);
    // The user is told before the ending is stopped. No release() here:
    // that would end the interaction before the cancel reaches the session
    // manager, and the session would end all the same.
    if (manager.allowsInteraction()) {
        QueryEndSession(true);
        manager.cancel();
    }
}

void frmPrincipale::RecoverDrafts()
{
    ::RecoverDrafts(m_session, this, [this] { BringBackFromTray(); });
}

void frmPrincipale::EndBySignal()
{
    // Like a logout where nobody can be asked: nothing typed is lost, and
    // the program ends as after a normal run.
    WriteAllDrafts(m_session);
    RecordRunTime(m_session);
    m_session.store.close();
    m_session.EndProgram(0);
}

bool frmPrincipale::Form_Unload()
{
    if (!CloseOtherWindows()) {
        m_session.dialogs().MsgBox(this, m_session.GetString(232), platform::vbCritical, m_session.GetString(507));
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
    // Each window goes through its own unloading; one that would refuse is
    // taken out all the same, since the program cannot go on.
    for (Form *f : m_session.forms.all()) {
        if (f == this)
            continue;
        QPointer<QWidget> w = f->widget();
        if (w && !f->Unload() && w)
            w->deleteLater();
    }
    hide();
    RecordRunTime(m_session);
    m_session.store.close();
    m_session.EndProgram(1);
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
