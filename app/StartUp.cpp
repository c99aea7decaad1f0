#include "StartUp.h"
#include "Str.h"

#include "Avvio.h"
#include "AlarmRinging.h"
#include "LongWork.h"
#include "SyncRunner.h"
#include "QtLanguage.h"
#include "Session.h"
#include "StringTable.h"
#include "TopicClipboard.h"
#include "TopicList.h"
#include "Utility.h"
#include "frmConfermaData.h"
#include "frmLanguage.h"
#include "frmPrincipale.h"
#include "places/AppError.h"
#include "places/Places.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRadioButton>

namespace {

// Before the language is chosen: the file's own choice, read aside (0 for
// Italian, 1000 for English).
int fileLanguage(const QString &databasePath)
{
    return notes::Settings::languageOfFile(databasePath) == 1 ? 1000 : 0;
}

// The load step could not go on past a question the user answered.
struct Cancelled {};

} // namespace

StartUp::Result StartUp::run()
{
    Session &s = m_session;
    // Nothing made from here on can be read by other users.
    places::KeepFilesPrivate();
    // The command line; "/M" counts only as the first word.
    const QStringList args = m_window.GetCommandLine();
    s.StartMinimized = args.size() > 1 && (args[1] == QLatin1String("/M") || args[1] == QLatin1String("/m"));
    s.AppTitle = QStringLiteral(" Quorvel");

    // Another copy runs: it gets the command and this one ends. The running
    // copy is found through the per-user channel, not by title.
    if (!s.instance().claim()) {
        s.instance().send(s.StartMinimized ? QStringLiteral("MIN") : QStringLiteral("RES"));
        return Result::OtherInstance;
    }
    m_window.setWindowTitle(s.AppTitle);

    // Shared state starts empty.
    s.LanguageOffset = 0;
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
    if (!holdDataFolder())
        return Result::OtherInstance;

    // From here on any error is reported and ends the program.
    try {
        openAndShow();
    } catch (const Cancelled &) {
        s.store.close();
        return Result::Cancelled;
    } catch (const AppError &e) {
        s.dialogs().MsgBox(&m_window, e.description(), platform::vbCritical, s.GetString(Str::ErrorTitle));
        s.dialogs().MsgBox(&m_window, s.GetString(Str::DatabaseNotAvailable), platform::vbCritical, s.GetString(Str::ErrorTitle));
        s.store.close();
        return Result::Failed;
    }
    return Result::Running;
}

void StartUp::openAndShow()
{
    Session &s = m_session;
    if (s.CreateNewDatabase)
        createDatabase();
    if (!openStoreShowingProgress())
        throw AppError(0, QStringLiteral("dbNotes"), s.store.errorText());

    // The language, asked at the first start.
    chooseLanguage();
    // A file that cannot be changed is said at once, not at the first save
    // after the user has typed for nothing.
    if (s.store.isReadOnly())
        RefusedReadOnly(s, &m_window);
    if (!runDateCheck())
        throw Cancelled();

    reopenLastCategory();
    m_window.ApplyMainWindowFont();
    m_window.SyncToolbar();
    // No category to open: the list shows the categories.
    if (s.NoCategory)
        m_window.cmdCambia_Click();

    // Alarms that could not be looked up would never ring.
    if (!m_window.alarms().RestartTimer())
        throw AppError(0, QStringLiteral("Timer1"), s.store.errorText());
    m_window.Loaded = true;
    m_window.syncer().started();
}

void StartUp::createDatabase()
{
    Session &s = m_session;
    QString error;
    const QString path = store::JoinPath(s.store.DataFolder, store::kDatabaseFileName);
    if (!store::NoteStore::createDatabase(path, s.clock().now(), &error))
        throw AppError(0, QStringLiteral("Avvio"), error);
    // The alarm sound goes beside a new database; a failure here only
    // leaves the alarms silent.
    const QString sound = store::JoinPath(s.store.DataFolder, QStringLiteral("ALARM.WAV"));
    if (!QFile::exists(sound))
        QFile::copy(QStringLiteral(":/quorvel/ALARM.WAV"), sound);
}

bool StartUp::holdDataFolder()
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
        ? s.GetString(Str::DataFolderUnusable + language - s.LanguageOffset).arg(m_runLock.error())
        : s.GetString((importing ? Str::ImportRunning : Str::AlreadyRunning) + language - s.LanguageOffset)
              .arg(QDir::toNativeSeparators(s.store.DataFolder));
    // Said where no window can be seen too: a start from a script.
    qWarning("%s", qPrintable(text));
    s.dialogs().MsgBox(nullptr, text, platform::vbExclamation, s.AppTitle);
    return false;
}

bool StartUp::openStoreShowingProgress()
{
    Session &s = m_session;
    LongWork building(&m_window, QString(), s.LongWorkShowAfterMs);
    // The language is not chosen yet: the file's own choice is read aside,
    // once, when there is something to show.
    int language = -1;
    const auto text = [&](int id) {
        if (language < 0)
            language = fileLanguage(s.store.DatabasePath);
        return s.GetString(id + language - s.LanguageOffset);
    };
    s.store.onProgress = [&](store::NoteStore::Work work, qint64 done, qint64 total) {
        const int id = work == store::NoteStore::Work::IndexingTopics ? Str::OpeningIndexing : Str::OpeningPreparing;
        const QString what = text(id).arg(QLocale().toString(done), QLocale().toString(total));
        building.setTitle(text(Str::OpeningTitle));
        building.step(what, done, total);
    };
    const bool opened = s.store.open();
    s.store.onProgress = nullptr;
    return opened;
}

void StartUp::chooseLanguage()
{
    Session &s = m_session;
    std::optional<int> lingua = s.settings.language();
    // An empty field asks nothing (and means English).
    if (lingua && *lingua != 0 && *lingua != 1) {
        frmLanguage window(s, &m_window);
        window.exec();
        if (!window.saveFailed())
            lingua = s.settings.language();
        else if (s.store.isReadOnly())
            lingua = window.optEnglish->isChecked() ? 1 : 0;  // for this run only
        else
            throw AppError(0, QStringLiteral("frmLanguage"), s.store.errorText());
    }
    s.LanguageOffset = lingua == 0 ? 0 : i18n::kEnglishOffset;
    i18n::ApplyQtLanguage(s.LanguageOffset != 0);
    m_window.AggiornaLingua();
}

bool StartUp::runDateCheck()
{
    Session &s = m_session;
    const QDateTime last = s.settings.lastRun();
    if (last.isValid() && last > s.clock().now()) {
        if (s.dialogs().MsgBox(&m_window, s.GetString(Str::ClockBeforeLastRun), platform::vbOKCancel | platform::vbCritical, s.GetString(Str::ClockWarningTitle))
            != platform::vbOK)
            return false;
        frmConfermaData confirm(s, &m_window);
        confirm.exec();
    }
    // The time of this run, so that the next start can compare: the check
    // could never fire if only a fatal error recorded it.
    RecordRunTime(s);
    return true;
}

void StartUp::reopenLastCategory()
{
    Session &s = m_session;
    TopicList &list = m_window.list();
    const std::optional<int> last = s.settings.lastCategory();
    // A database error here is no "not found": it ends the start.
    const auto listTopics = [&](int category) {
        if (!list.FillTopicList(category))
            throw AppError(0, QStringLiteral("Argomenti"), s.store.errorText());
    };
    QString name;
    const notes::Found found = last ? s.categories.name(*last, &name) : notes::Found::No;
    if (found == notes::Found::Failed)
        throw AppError(0, QStringLiteral("Categorie"), s.store.errorText());
    bool ok = true;
    const QList<notes::ListEntry> all = found == notes::Found::Yes ? QList<notes::ListEntry>() : s.categories.inListOrder(&ok);
    if (!ok)
        throw AppError(0, QStringLiteral("Categorie"), s.store.errorText());
    if (found == notes::Found::Yes) {
        listTopics(*last);
        m_window.mnuRinomina->setEnabled(false);
        list.SelectListItem(s.settings.lastTopic().value_or(0));
    } else if (!all.isEmpty()) {
        listTopics(all.first().key);
    } else {
        s.NoCategory = true;
    }
}

void RecordRunTime(Session &session)
{
    // A time not recorded only leaves the next start's check without it.
    if (!session.settings.setLastRun(session.clock().now()) && session.store.isOpen() && !session.store.isReadOnly())
        qWarning("Quorvel: the time of this run could not be recorded: %s", qPrintable(session.store.errorText()));
}
