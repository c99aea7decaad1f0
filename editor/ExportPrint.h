#pragma once
// A topic to a file (RTF, or plain text for any other name) and to the
// printer, with its title on every page.

class QString;
class QTextDocument;
class QWidget;
class Session;

// Asks for a file (the title as proposed name), asks before replacing one
// and writes it aside and into place, so a failure leaves an old file whole.
void ExportTopic(Session &session, QWidget *window, const QString &title, const QTextDocument *body);
void PrintTopic(Session &session, QWidget *window, const QString &title, const QTextDocument *body);
