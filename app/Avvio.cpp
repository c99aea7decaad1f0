#include "Avvio.h"

#include "places/AppError.h"
#include "places/AppEx.h"
#include "notes/NoteStore.h"
#include "Session.h"
#include "frmPrincipale.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace {

// SIGTERM and SIGHUP reach the event loop through a socket: a signal
// handler may do no more than write a byte.
int g_endSignal[2] = {-1, -1};

void onEndSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_endSignal[1], &byte, 1);
}

void watchEndSignals(frmPrincipale *window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_endSignal) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_endSignal[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window, notifier] {
        notifier->setEnabled(false);
        window->EndBySignal();
    });
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

} // namespace

namespace Avvio {

QStringList GetCommandLine(const QString &rawArguments, int maxArgs)
{
    QStringList words(maxArgs + 1);
    int count = 0;
    bool inWord = false;
    for (const QChar c : rawArguments) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            inWord = false;
            continue;
        }
        if (!inWord) {
            if (count == maxArgs)
                break;
            ++count;
            inWord = true;
        }
        // Code 137 of the Western code page is the per-mille sign; as a raw
        // byte it arrives as U+0089.
        if (c == QChar(0x2030) || c == QChar(0x0089))
            words[count] += QLatin1Char(' ');
        else
            words[count] += c;
    }
    words.resize(count + 1);
    return words;
}

bool IsSwitch(const QString &word)
{
    // A switch is a slash and one letter ("/M"); any longer word beginning
    // with a slash is an absolute folder path ("/notes", "/home/me/Notes").
    const QString w = word.trimmed();
    if (w == QLatin1String("/"))
        return true;  // a lone slash names nothing
    return w.size() == 2 && w.at(0) == QLatin1Char('/') && w.at(1) != QLatin1Char('/');
}

QString RawArguments(const QStringList &arguments)
{
    return arguments.join(QLatin1Char(' '));
}

int Main(Session &session)
{
    auto main = std::make_unique<frmPrincipale>(session);
    frmPrincipale::LoadResult result;
    try {
        result = main->Form_Load();
    } catch (const AppError &e) {
        // Errors before the store is opened have no handler of their own:
        // their text is shown and the program ends.
        session.dialogs().MsgBox(nullptr, e.description(), platform::vbCritical, QStringLiteral(" Quorvel"));
        return 1;
    }
    if (result != frmPrincipale::LoadResult::Running)
        return result == frmPrincipale::LoadResult::Failed ? 1 : 0;
    frmPrincipale *window = main.release();
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The program ends with its main window, whatever else is left: a copy
    // without a main window would keep every later start from running.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(window, &QObject::destroyed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    watchEndSignals(window);
    if (session.StartMinimized && session.tray().isAvailable()) {
        // Straight into the tray: a window shown and minimized at once
        // would flash on screen and land where the window manager likes.
        window->PutInTray();
    } else if (session.StartMinimized) {
        window->showMinimized();
    } else {
        window->show();
    }
    // Work left unsaved by a run that ended without saving comes back once
    // the main window is up.
    QTimer::singleShot(0, window, &frmPrincipale::RecoverDrafts);
    // For the start-up benchmark: end as soon as the window is up, telling
    // the peak memory used so far.
    if (qEnvironmentVariableIsSet("QUORVEL_EXIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, [] {
            QFile status(QStringLiteral("/proc/self/status"));
            if (status.open(QIODevice::ReadOnly))
                for (const QByteArray &line : status.readAll().split('\n'))
                    if (line.startsWith("VmHWM"))
                        std::fprintf(stderr, "%s\n", line.constData());
            QApplication::exit(0);
        });
    }
    return QApplication::exec();
}

} // namespace Avvio
