// The editor's handlers: each hands its work to the part that does it.

#include "frmNuovoArg.h"
#include "HistoryWindow.h"

#include "BodyFormatting.h"
#include "ExportPrint.h"
#include "FindBar.h"
#include "Session.h"
#include "Str.h"
#include "Utility.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

void frmNuovoArg::connectHandlers()
{
    connect(txtArgomento, &QLineEdit::textChanged, this, &frmNuovoArg::txtArgomento_Change);
    connect(cmdSalva, &QPushButton::clicked, this, &frmNuovoArg::cmdSalva_Click);
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmNuovoArg::cmdAnnulla_Click);
    connect(cmdTimer, &QToolButton::clicked, this, &frmNuovoArg::cmdTimer_Click);
    // A topic moved meanwhile is saved where it is now.
    connect(&m_session.store.changes, &notes::Changes::topicsChanged, this, [this](const notes::TopicChange &change) {
        if (change.kind == notes::TopicChange::Kind::Moved && m_topic != -1 && change.keys.contains(m_topic))
            m_category = change.category;
    });
    // Another machine's state of this topic, written by a sync while it is
    // open: the window keeps what it shows, and its save is merged with it.
    connect(&m_session.store.changes, &notes::Changes::changedElsewhere, this, [this](const QHash<int, QString> &from) {
        if (m_topic != -1 && from.contains(m_topic))
            m_arrivedFrom = from.value(m_topic);
    });
    txtArgomento->installEventFilter(this);
    rtfContenuto->installEventFilter(this);

    m_formatting->setNeighbours(txtArgomento, cmdTimer);
    m_formatting->setOtherCommands([this](int code) { FormatCommand(code); });
    connect(Toolbar1, &QToolBar::actionTriggered, this, &frmNuovoArg::Toolbar1_ButtonClick);
    connect(rtfContenuto, &QTextEdit::cursorPositionChanged, this, [this] { m_formatting->refreshButtons(); });
    connect(rtfContenuto, &QTextEdit::selectionChanged, this, [this] { m_formatting->refreshButtons(); });
    const auto on = [this](QAction *entry, void (frmNuovoArg::*handler)()) {
        connect(entry, &QAction::triggered, this, handler);
    };
    on(mnuAnnullaNA, &frmNuovoArg::mnuAnnullaNA_Click);
    on(mnuTagliaNA, &frmNuovoArg::mnuTagliaNA_Click);
    on(mnuCopiaNA, &frmNuovoArg::mnuCopiaNA_Click);
    on(mnuIncollaNA, &frmNuovoArg::mnuIncollaNA_Click);
    on(mnuEsporta, &frmNuovoArg::mnuEsporta_Click);
    on(mnuStampa, &frmNuovoArg::mnuStampa_Click);
    on(mnuTrovaNA, &frmNuovoArg::mnuTrovaNA_Click);
    on(mnuTrovaSuccessivoNA, &frmNuovoArg::mnuTrovaSuccessivoNA_Click);
    on(mnuTrovaPrecedenteNA, &frmNuovoArg::mnuTrovaPrecedenteNA_Click);
    on(mnuCronologiaNA, &frmNuovoArg::mnuCronologiaNA_Click);
}

void frmNuovoArg::FormatCommand(int code)
{
    // Ctrl+P prints and Ctrl+Y exports; the other codes format.
    if (code == 16)
        mnuStampa_Click();
    else if (code == 25)
        mnuEsporta_Click();
    else if (!m_formatting->run(code))
        return;
    m_formatting->refreshButtons();
}

void frmNuovoArg::Toolbar1_ButtonClick(QAction *button)
{
    static const QHash<QString, int> codes = {
        {QStringLiteral("Esporta"), 25},        {QStringLiteral("Stampa"), 16},
        {QStringLiteral("Grassetto"), 2},       {QStringLiteral("Corsivo"), 15},       {QStringLiteral("Sottolineato"), 21},
        {QStringLiteral("Rientro"), 17},        {QStringLiteral("EliminaRientro"), 4}, {QStringLiteral("ElencoPuntato"), 14},
        {QStringLiteral("Sinistra"), 12},       {QStringLiteral("Centro"), 20},        {QStringLiteral("Destra"), 18},
        {QStringLiteral("Font"), 6},            {QStringLiteral("Ingrandisci"), 7},    {QStringLiteral("Rimpicciolisci"), 19},
        {QStringLiteral("Colore"), 23},
    };
    const QString key = button->data().toString();
    if (key == QLatin1String("Taglia"))
        rtfContenuto->cut();
    else if (key == QLatin1String("Copia"))
        rtfContenuto->copy();
    else if (key == QLatin1String("Incolla"))
        rtfContenuto->paste();
    else if (codes.contains(key))
        FormatCommand(codes.value(key));
    m_formatting->refreshButtons();
    rtfContenuto->setFocus();
}

void frmNuovoArg::mnuAnnullaNA_Click()
{
    rtfContenuto->setFocus();
    rtfContenuto->undo();
}

void frmNuovoArg::mnuTagliaNA_Click()
{
    rtfContenuto->setFocus();
    rtfContenuto->cut();
}

void frmNuovoArg::mnuCopiaNA_Click()
{
    rtfContenuto->setFocus();
    rtfContenuto->copy();
}

void frmNuovoArg::mnuIncollaNA_Click()
{
    rtfContenuto->setFocus();
    rtfContenuto->paste();
}

void frmNuovoArg::mnuEsporta_Click()
{
    ExportTopic(m_session, this, txtArgomento->text(), rtfContenuto->document());
}

void frmNuovoArg::mnuStampa_Click()
{
    PrintTopic(m_session, this, txtArgomento->text(), rtfContenuto->document());
}

void frmNuovoArg::mnuTrovaNA_Click()
{
    barTrova->OpenWithSelection();
}

void frmNuovoArg::mnuTrovaSuccessivoNA_Click()
{
    barTrova->FindNextOrOpen();
}

void frmNuovoArg::mnuTrovaPrecedenteNA_Click()
{
    barTrova->FindPreviousOrOpen();
}

void frmNuovoArg::mnuCronologiaNA_Click()
{
    Session &s = m_session;
    // Unsaved work is never replaced by a version: it is saved or undone first.
    const auto mayRestore = [this, &s] {
        if (!HasUnsavedChanges())
            return true;
        s.dialogs().MsgBox(this, s.GetString(Str::HistorySaveFirst), platform::vbExclamation, s.GetString(Str::RequestTitle));
        return false;
    };
    HistoryWindow history(s, m_topic, txtArgomento->text(), mayRestore, this);
    if (history.exec() != HistoryWindow::Restored)
        return;
    m_loading = true;
    if (!loadTopic())
        ShowDatabaseErrors(s, this);
    m_loading = false;
    s.finestre.RenameEditorWindow(m_number, txtArgomento->text());
    m_formatting->applyEditorFont();
    rememberLoaded();
}

void frmNuovoArg::ShowFound(const QString &pattern)
{
    barTrova->Open(pattern, true);
    // The text is what the user came for: the keyboard goes to it.
    rtfContenuto->setFocus(Qt::OtherFocusReason);
}
