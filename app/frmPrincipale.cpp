#include "frmPrincipale.h"

#include "places/AppEx.h"
#include "places/Places.h"
#include "places/AppError.h"
#include "Avvio.h"
#include "Session.h"
#include "StringTable.h"
#include "Utility.h"
#include "Informazioni.h"
#include "LongWork.h"
#include "QtLanguage.h"
#include "Pictures.h"
#include "frmConfermaData.h"
#include "frmLanguage.h"

#include <QAction>
#include <QApplication>
#include <QSessionManager>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

frmPrincipale::frmPrincipale(Session &session, QWidget *parent)
    : QMainWindow(parent), Form(session.forms, this, QStringLiteral("main")), m_session(session), m_alarms(session.store)
{
    setObjectName(QStringLiteral("frmPrincipale"));
    // Every window of the program, message boxes included, takes this icon
    // unless it sets its own.
    QApplication::setWindowIcon(appIcon());
    buildControls();
    buildMenus();
    buildToolbar();

    connectHandlers();
    Timer1 = new QTimer(this);
    Timer1->setInterval(10000);
    connect(Timer1, &QTimer::timeout, this, &frmPrincipale::Timer1_Timer);
    session.MainWindow = this;
    session.finestre.attachMenu(bar10, mnuFinestra, mnuFinestraAltre);
}

frmPrincipale::~frmPrincipale()
{
    // The Window menu goes with this window.
    m_session.finestre.attachMenu(nullptr, {}, nullptr);
}

QStringList frmPrincipale::GetCommandLine(int maxArgs) const
{
    return Avvio::GetCommandLine(Avvio::RawArguments(m_session.arguments()), maxArgs);
}

frmPrincipale::LoadResult frmPrincipale::Form_Load()
{
    Session &s = m_session;
    // Nothing made from here on can be read by other users.
    places::KeepFilesPrivate();
    // The command line; "/M" counts only as the first word.
    const QStringList args = GetCommandLine();
    s.StartMinimized = args.size() > 1 && (args[1] == QLatin1String("/M") || args[1] == QLatin1String("/m"));

    // The title of the running copy.
    s.AppTitle = QStringLiteral(" Quorvel");

    // Another copy runs: it gets the command and this one ends.
    if (!s.instance().claim()) {
        ActivatePreviousInstance(s.AppTitle, s.StartMinimized ? QStringLiteral("MIN") : QStringLiteral("RES"));
        return LoadResult::OtherInstance;
    }

    // Commands from later copies.
    setWindowTitle(s.AppTitle);
    connect(&s.instance(), &platform::InstanceChannel::commandReceived, this, &frmPrincipale::CommandReceived,
            Qt::UniqueConnection);
    connect(&s.tray(), &platform::Tray::clicked, this, &frmPrincipale::TrayClicked, Qt::UniqueConnection);
    connect(&s.notifier(), &platform::Notifier::activated, this, &frmPrincipale::AlarmNotification_Activated,
            Qt::UniqueConnection);
    // The desktop session ending asks to close the program like any close:
    // a window holding changes keeps the session from ending.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmPrincipale::commitDataRequest,
            Qt::UniqueConnection);

    // Toolbar pictures are set as the buttons are built; Paste starts off.
    ToolbarButtons[8]->setEnabled(false);

    // Shared state starts empty.
    ClipboardState = 0;
    ClipSourceId = -1;
    s.LanguageOffset = 0;
    m_lastMoveTarget = -1;
    s.finestre.reset();
    s.NoCategory = false;
    s.CreateNewDatabase = false;
    s.store.DataFolder.clear();

    // The last word that is not a switch names the data folder.
    for (const QString &word : args) {
        if (!word.trimmed().isEmpty() && !Avvio::IsSwitch(word))
            s.store.DataFolder = word;
    }

    // Errors here are not caught: they end the program with their text.
    if (s.store.DataFolder.isEmpty())
        s.store.DataFolder = places::ResolveDataFolder(s.appEx(), s.executablePath(), &s.CreateNewDatabase);
    if (!HoldDataFolder())
        return LoadResult::OtherInstance;

    // From here on any error is reported and ends the program.
    try {
        // A new database where none was found, then the store opened.
        if (s.CreateNewDatabase) {
            QString error;
            const QString path = store::JoinPath(s.store.DataFolder, store::kDatabaseFileName);
            if (!store::NoteStore::createDatabase(path, s.clock().now(), &error))
                throw AppError(0, QStringLiteral("Avvio"), error);
            // The alarm sound goes beside a new database; a failure here
            // only leaves the alarms silent.
            const QString sound = store::JoinPath(s.store.DataFolder, QStringLiteral("ALARM.WAV"));
            if (!QFile::exists(sound))
                QFile::copy(QStringLiteral(":/quorvel/ALARM.WAV"), sound);
        }
        if (!OpenStoreShowingProgress())
            throw AppError(0, QStringLiteral("dbNotes"), s.store.errorText());

        // The language, asked at the first start.
        ChooseLanguage();
        // A file that cannot be changed is said at once, not at the first
        // save after the user has typed for nothing.
        if (s.store.isReadOnly())
            RefusedReadOnly(s, this);

        // A clock set before the last run is confirmed or the start ends.
        if (!RunDateCheck()) {
            s.store.close();
            return LoadResult::Cancelled;
        }

        ReopenLastCategory();
        ApplyMainWindowFont();
        SyncToolbar();

        // No category to open: the list shows the categories.
        if (s.NoCategory)
            cmdCambia_Click();

        // Alarms that could not be looked up would never ring.
        if (!RestartTimer())
            throw AppError(0, QStringLiteral("Timer1"), s.store.errorText());
        Loaded = true;
    } catch (const AppError &e) {
        s.dialogs().MsgBox(this, e.description(), platform::vbCritical, s.GetString(507));
        s.dialogs().MsgBox(this, s.GetString(229), platform::vbCritical, s.GetString(507));
        s.store.close();
        return LoadResult::Failed;
    }
    return LoadResult::Running;
}

namespace {

// Before the language is chosen: the file's own choice, read aside (0 for
// Italian, 1000 for English).
int fileLanguage(const QString &databasePath)
{
    return notes::Settings::languageOfFile(databasePath) == 1 ? 1000 : 0;
}

} // namespace

bool frmPrincipale::HoldDataFolder()
{
    Session &s = m_session;
    const QString database = store::JoinPath(s.store.DataFolder, store::kDatabaseFileName);
    // A program starting while an import runs waits for it a moment.
    const auto outcome = m_runLock.acquire(places::RunLockPath(s.store.DataFolder), store::StoreLock::Kind::Exclusive, 3000);
    if (outcome == store::StoreLock::Outcome::Taken)
        return true;
    const int language = fileLanguage(database);
    // Held shared, it is an import of quorvel-cli, not another program.
    store::StoreLock probe;
    const bool importing = outcome == store::StoreLock::Outcome::Busy
        && probe.acquire(places::RunLockPath(s.store.DataFolder), store::StoreLock::Kind::Shared, 0)
            == store::StoreLock::Outcome::Taken;
    probe.release();
    const QString text = outcome == store::StoreLock::Outcome::Unusable
        ? s.GetString(861 + language - s.LanguageOffset).arg(m_runLock.error())
        : s.GetString((importing ? 863 : 860) + language - s.LanguageOffset)
              .arg(QDir::toNativeSeparators(s.store.DataFolder));
    // Said where no window can be seen too: a start from a script.
    qWarning("%s", qPrintable(text));
    s.dialogs().MsgBox(nullptr, text, platform::vbExclamation, s.AppTitle);
    return false;
}

bool frmPrincipale::OpenStoreShowingProgress()
{
    Session &s = m_session;
    LongWork building(this, QString(), s.LongWorkShowAfterMs);
    // The language is not chosen yet: the file's own choice is read aside,
    // once, when there is something to show.
    int language = -1;
    const auto text = [&](int id) {
        if (language < 0)
            language = fileLanguage(s.store.DatabasePath);
        return s.GetString(id + language - s.LanguageOffset);
    };
    s.store.onProgress = [&](store::NoteStore::Work work, qint64 done, qint64 total) {
        const int id = work == store::NoteStore::Work::IndexingTopics ? 831 : 832;
        const QString what = text(id).arg(QLocale().toString(done), QLocale().toString(total));
        building.setTitle(text(830));
        building.step(what, done, total);
    };
    const bool opened = s.store.open();
    s.store.onProgress = nullptr;
    return opened;
}

void frmPrincipale::ChooseLanguage()
{
    std::optional<int> lingua = m_session.settings.language();
    // An empty field asks nothing (and means English).
    if (lingua && *lingua != 0 && *lingua != 1) {
        frmLanguage window(m_session, this);
        window.exec();
        if (!window.saveFailed())
            lingua = m_session.settings.language();
        else if (m_session.store.isReadOnly())
            lingua = window.optEnglish->isChecked() ? 1 : 0;  // for this run only
        else
            throw AppError(0, QStringLiteral("frmLanguage"), m_session.store.errorText());
    }
    m_session.LanguageOffset = lingua == 0 ? 0 : i18n::kEnglishOffset;
    i18n::ApplyQtLanguage(m_session.LanguageOffset != 0);
    AggiornaLingua();
}

bool frmPrincipale::RunDateCheck()
{
    Session &s = m_session;
    const QDateTime last = s.settings.lastRun();
    if (last.isValid() && last > s.clock().now()) {
        if (s.dialogs().MsgBox(this, s.GetString(231), platform::vbOKCancel | platform::vbCritical, s.GetString(230))
            != platform::vbOK)
            return false;
        frmConfermaData confirm(s, this);
        confirm.exec();
    }
    // The time of this run, so that the next start can compare: the check
    // could never fire if only a fatal error recorded it.
    RecordRunTime();
    return true;
}

void frmPrincipale::RecordRunTime()
{
    // A time not recorded only leaves the next start's check without it.
    if (!m_session.settings.setLastRun(m_session.clock().now()) && m_session.store.isOpen() && !m_session.store.isReadOnly())
        qWarning("Quorvel: the time of this run could not be recorded: %s", qPrintable(m_session.store.errorText()));
}

void frmPrincipale::ReopenLastCategory()
{
    store::NoteStore &st = m_session.store;
    const std::optional<int> last = m_session.settings.lastCategory();
    // A database error here is no "not found": it ends the start.
    const auto listTopics = [&](int category) {
        m_shownCategory = category;
        if (!FillTopicList())
            throw AppError(0, QStringLiteral("Argomenti"), st.errorText());
    };
    QString name;
    const notes::Found found = last ? m_session.categories.name(*last, &name) : notes::Found::No;
    if (found == notes::Found::Failed)
        throw AppError(0, QStringLiteral("Categorie"), st.errorText());
    bool ok = true;
    const QList<notes::ListEntry> all = found == notes::Found::Yes ? QList<notes::ListEntry>() : m_session.categories.inListOrder(&ok);
    if (!ok)
        throw AppError(0, QStringLiteral("Categorie"), st.errorText());
    if (found == notes::Found::Yes) {
        listTopics(*last);
        mnuRinomina->setEnabled(false);
        SelectListItem(m_session.settings.lastTopic().value_or(0));
    } else if (!all.isEmpty()) {
        listTopics(all.first().key);
    } else {
        m_session.NoCategory = true;
    }
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
        if (!f->isEditor()) {
            f->Unload();
        } else if (f->ProvaChiusura()) {
            f->Unload();
        } else {
            result = false;
        }
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
    WriteAllDrafts();
    // The user is told before the ending is stopped. No release() here:
    // that would end the interaction before the cancel reaches the session
    // manager, and the session would end all the same.
    if (manager.allowsInteraction()) {
        QueryEndSession(true);
        manager.cancel();
    }
}

bool frmPrincipale::Form_Unload()
{
    if (!CloseOtherWindows()) {
        m_session.dialogs().MsgBox(this, m_session.GetString(232), platform::vbCritical, m_session.GetString(507));
        return false;
    }
    if (!cmdChiudi->isEnabled())
        return false;
    return true;
}

void frmPrincipale::closeEvent(QCloseEvent *event)
{
    if (!Form_Unload()) {
        event->ignore();
        return;
    }
    event->accept();
    formClosed();
    RecordRunTime();
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
    store::NoteStore &st = m_session.store;
    RecordRunTime();
    st.close();
    m_session.EndProgram(1);
}
