#pragma once
// Start of the program: the command line, the data folder, and Main.

#include "places/Places.h"

#include <QString>
#include <QStringList>

class AppEx;
class Session;

namespace Avvio {

// Splits the raw argument text into words at blanks and tabs, at most
// maxArgs of them; a per-mille sign (code 137) inside a word stands for a
// blank. Element 0 of the result is always empty; the words follow.
QStringList GetCommandLine(const QString &rawArguments, int maxArgs = 10);

// A switch begins with a slash. Here folder paths begin with one too, so
// only a slash and one letter ("/M", "/x") is a switch; "/notes" and
// "/home/me/Notes" are folders.
bool IsSwitch(const QString &word);

// The raw argument text of this run: the arguments joined by blanks.
QString RawArguments(const QStringList &arguments);

// Shows the main window and runs the program; returns the exit code.
int Main(Session &session);

} // namespace Avvio
