#pragma once
// quorvel-cli: find, export, import, back up and check the notes from a
// shell, beside the program or without it. Messages are English only: the
// tool has no language choice.

#include <QStringList>

class QTextStream;

namespace cli {

// Exit codes.
inline constexpr int kDone = 0;
inline constexpr int kNothingFound = 1;
inline constexpr int kError = 2;  // bad usage or error, told on err

// Runs one command line (the arguments after the program's name). terminal
// says that err is a terminal, which gets progress lines.
int run(const QStringList &args, QTextStream &out, QTextStream &err, bool terminal);

// True when the command reads or writes RTF, which needs a QGuiApplication.
bool needsGui(const QStringList &args);

} // namespace cli
