#pragma once
// Helpers shared by the windows.

#include <QString>

class QWidget;
class Session;

// One message box per entry of the engine's error list (exclamation icon,
// title "Errore"/"Error"). Shows nothing when the list is empty.
void ShowDatabaseErrors(Session &session, QWidget *parent = nullptr);

// When the database cannot be written: tells the user so (string 261 and
// the file's path, stop icon, title "Errore"/"Error") and returns true, for
// a command that would change the notes to stop before it asks anything.
bool RefusedReadOnly(Session &session, QWidget *parent = nullptr);

// Font styles as stored in Setup: "B", "I", "S", "U" for bold, italic,
// strikethrough and underline, in that order; empty for none.
QString StyleLetters(bool bold, bool italic, bool strikeOut, bool underline);
