// Finding inside the topic: the editor's side of the find bar.

#include "frmNuovoArg.h"

#include "FindBar.h"

#include <QAction>
#include <QLineEdit>
#include <QTextCursor>
#include <QTextEdit>

void frmNuovoArg::connectFind()
{
    connect(mnuTrovaNA, &QAction::triggered, this, &frmNuovoArg::mnuTrovaNA_Click);
    connect(mnuTrovaSuccessivoNA, &QAction::triggered, this, &frmNuovoArg::mnuTrovaSuccessivoNA_Click);
    connect(mnuTrovaPrecedenteNA, &QAction::triggered, this, &frmNuovoArg::mnuTrovaPrecedenteNA_Click);
}

void frmNuovoArg::mnuTrovaNA_Click()
{
    // A word selected in one paragraph is what the user wants found.
    const QString selected = rtfContenuto->textCursor().selectedText();
    const bool oneLine = !selected.contains(QChar::ParagraphSeparator) && !selected.contains(QChar::LineSeparator);
    barTrova->Open(oneLine ? selected : QString(), false);
}

void frmNuovoArg::mnuTrovaSuccessivoNA_Click()
{
    if (!barTrova->isVisible() || barTrova->txtTrova->text().isEmpty()) {
        mnuTrovaNA_Click();
        return;
    }
    barTrova->FindNext();
}

void frmNuovoArg::mnuTrovaPrecedenteNA_Click()
{
    if (!barTrova->isVisible() || barTrova->txtTrova->text().isEmpty()) {
        mnuTrovaNA_Click();
        return;
    }
    barTrova->FindPrevious();
}

void frmNuovoArg::ShowFound(const QString &pattern)
{
    barTrova->Open(pattern, true);
    // The text is what the user came for: the keyboard goes to it.
    rtfContenuto->setFocus(Qt::OtherFocusReason);
}
