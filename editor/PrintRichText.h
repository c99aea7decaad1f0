#pragma once
// Prints a rich-text body with its title and a rule at the top of every page.

#include <QString>

class QPrinter;
class QTextDocument;

struct PrintedPages {
    int pages = 0;
    bool ok = false;
};

// Margins in twips. The body is laid out for the printer and cut into pages
// between lines; every page repeats the title (Arial 10) and the rule under
// it. Returns the pages printed; ok is false when the printer could not be
// started (nothing is printed then).
PrintedPages PrintRichText(QPrinter *printer, const QString &title, const QTextDocument *body, int leftMargin,
                           int topMargin, int rightMargin, int bottomMargin);
