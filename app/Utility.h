#pragma once
// Helpers shared by the windows.

class QWidget;
class Session;

// One message box per entry of the engine's error list (exclamation icon,
// title "Errore"/"Error"). Shows nothing when the list is empty.
void ShowDatabaseErrors(Session &session, QWidget *parent = nullptr);
