#include "frmNuovoArg.h"

#include "Finestre.h"
#include "SystemFont.h"
#include "Rtf.h"
#include "Session.h"
#include "Twips.h"
#include "Utility.h"
#include "notes/FileNames.h"
#include "ShownDates.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

namespace {
constexpr int kRecoveredDraft = 842;  // "Recovered draft: %1"
} // namespace

frmNuovoArg::frmNuovoArg(Session &session, int topicId, int categoryId)
    : QMainWindow(nullptr), TopicWindow(session.forms, this, QString()), m_session(session)
{
    setObjectName(QStringLiteral("frmNuovoArg"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    buildMenus();
    buildToolbar();

    connect(txtArgomento, &QLineEdit::textChanged, this, &frmNuovoArg::txtArgomento_Change);
    connect(cmdSalva, &QPushButton::clicked, this, &frmNuovoArg::cmdSalva_Click);
    // A topic moved meanwhile is saved where it is now.
    connect(&session.store.changes, &notes::Changes::topicsChanged, this, [this](const notes::TopicChange &change) {
        if (change.kind == notes::TopicChange::Kind::Moved && idArgomento != -1 && change.keys.contains(idArgomento))
            idCategoria = change.category;
    });
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmNuovoArg::cmdAnnulla_Click);
    connect(imgChiudi, &QToolButton::clicked, this, &frmNuovoArg::imgChiudi_Click);
    connect(cmdTimer, &QToolButton::clicked, this, &frmNuovoArg::cmdTimer_Click);
    connect(imgApri, &QToolButton::clicked, this, &frmNuovoArg::imgApri_Click);
    txtArgomento->installEventFilter(this);
    connectFormatting();

    Form_Load(topicId, categoryId);
    connectDrafts();
    connectFind();
}

frmNuovoArg::~frmNuovoArg()
{
    // A window destroyed without closing (at the end of the program) still
    // leaves the registry.
    Form_Unload();
}

QString frmNuovoArg::stampText(const QDateTime &when) const
{
    return m_session.GetString(722) + ShownMoment(when);
}

QString frmNuovoArg::recoveredText() const
{
    return m_session.GetString(kRecoveredDraft).arg(ShownMoment(m_recoveredAt));
}

void frmNuovoArg::Form_Load(int topicId, int categoryId)
{
    Session &s = m_session;
    // The toolbar's pictures were set as its buttons were built.
    AggiornaLingua();
    // Until loading ends, no change counts as the user's.
    IsLoading = true;
    idArgomento = topicId;
    idCategoria = categoryId;
    AlarmDateTime = store::WallTime::of(s.clock().now());
    AlarmType = 0;

    // A new topic starts empty and stamped now; another is read whole.
    if (idArgomento == -1) {
        labModifica->setText(stampText(s.clock().now()));
        rtfContenuto->clear();
        txtArgomento->clear();
    } else {
        notes::StoredTopic topic;
        const notes::Found found = s.topics.load(idArgomento, &topic);
        // A topic that could not be read is not shown as an empty one: a
        // save would put the emptiness in place of the stored text.
        m_loadFailed = found == notes::Found::Failed;
        if (found == notes::Found::Yes) {
            txtArgomento->setText(topic.title.value_or(QString()));
            m_loadedUpdated = topic.updated;
            labModifica->setText(topic.updated.isValid() ? stampText(topic.updated) : s.GetString(722));
            // A body that is not RTF (written by hand or by an older tool) is
            // shown as the text it is.
            if (!rtf::read(topic.body, rtfContenuto->document()))
                rtfContenuto->setPlainText(topic.body);
            AlarmType = topic.alarmType.value_or(0);
            // An empty time, or one that cannot be read, loads as the moment
            // of loading: a save then stores a time that can.
            if (topic.alarmTime && topic.alarmTime->isValid())
                AlarmDateTime = *topic.alarmTime;
        }
    }
    if (m_loadFailed)
        ShowDatabaseErrors(s, this);
    // Nothing can be saved: nothing is typed for nothing.
    if (m_loadFailed || s.store.isReadOnly()) {
        cmdSalva->setEnabled(false);
        txtArgomento->setReadOnly(true);
        rtfContenuto->setReadOnly(true);
    }
    ShowAlarmIndicator();

    // Numbered, captioned and listed in the Window menu.
    setWindowTitle(idArgomento == -1 ? s.GetString(700) : txtArgomento->text());
    NumFinestra = s.finestre.RegisterEditorWindow(txtArgomento->text().isEmpty() ? QStringLiteral("<NA>") : txtArgomento->text());

    // The remembered size and the toolbar-or-legend choice.
    const auto size = s.settings.editorSize();
    const double w = size ? size->first : 0;
    const double h = size ? size->second : 0;
    // The stored size is the outer one; the frame is known once the window
    // is shown, so the size is applied then (showEvent).
    m_outerSize = (w > 0 && h > 0) ? QSize(twips::toPixels(w), twips::toPixels(h)) : QSize(608, 480);
    resize(m_outerSize);
    // An empty choice counts as the legend.
    SetToolbarVisible(s.settings.showButtons());

    // The title in the program's font, the body in the editor's.
    ApplySystemFont(s.settings, txtArgomento);
    ApplyEditorFont();
    RefreshFormatButtons();

    // The body as loaded, to tell later whether anything changed.
    // Loading, the editor font included, is not an edit to take back.
    rtfContenuto->document()->clearUndoRedoStacks();
    rtfContenuto->document()->setModified(false);
    m_loadedBody = rtfContenuto->document()->toHtml();
    m_loadedText = bodyPlainText();
    m_loadedTitle = txtArgomento->text();
    m_loadedAlarmType = AlarmType;
    m_loadedAlarmTime = AlarmDateTime;
    IsLoading = false;
}

frmNuovoArg *frmNuovoArg::Open(Session &session, int topicId, int categoryId)
{
    auto *editor = new frmNuovoArg(session, topicId, categoryId);
    editor->BringForward();
    if (topicId != -1)
        editor->rtfContenuto->setFocus();
    return editor;
}

QString frmNuovoArg::title() const
{
    return txtArgomento->text();
}

void frmNuovoArg::BringForward()
{
    show();
    raise();
    activateWindow();
    QWidget *target = focusWidget();
    if (!target || target == this)
        target = txtArgomento;
    target->setFocus();
}

void frmNuovoArg::txtArgomento_Change()
{
    setWindowTitle(txtArgomento->text());
    if (IsLoading)
        return;
    m_session.finestre.RenameEditorWindow(NumFinestra, txtArgomento->text());
}

bool frmNuovoArg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == rtfContenuto && eventFilterBody(event))
        return true;
    // Enter in the title moves on to the body.
    if (watched == txtArgomento && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            rtfContenuto->setFocus();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QString frmNuovoArg::bodyPlainText() const
{
    return rtf::plainText(rtfContenuto->document());
}

void frmNuovoArg::cmdSalva_Click()
{
    Session &s = m_session;
    if (m_loadFailed || s.store.isReadOnly())
        return;
    // An open alarm panel is closed first, taking its values.
    if (!frmAllarme->isHidden())
        cmdTimer_Click();
    // A body the reader would read back cut short is not stored at all:
    // the next save would make the loss permanent.
    const bool bodyAsLoaded = idArgomento != -1 && !rtfContenuto->document()->isModified()
        && bodyPlainText() == m_loadedText && rtfContenuto->document()->toHtml() == m_loadedBody;
    QString body;
    if (!bodyAsLoaded) {
        bool whole = true;
        body = QString::fromLatin1(rtf::write(rtfContenuto->document(), &whole));
        if (!whole) {
            s.dialogs().MsgBox(this, s.GetString(765), platform::vbCritical, s.GetString(507));
            return;
        }
    }
    // A body left as it was loaded is kept as it was stored: what this
    // program cannot show (a picture of an old kind, an object) is not lost
    // to a change of title or alarm. A topic deleted meanwhile is an error.
    const int key = s.topics.save({idArgomento, idCategoria, txtArgomento->text(),
                                   bodyAsLoaded ? std::nullopt : std::optional<QString>(body), bodyPlainText(),
                                   s.clock().now(), AlarmDateTime, AlarmType});
    if (key == -1) {
        ShowDatabaseErrors(s, this);
        return;
    }

    // The main window's list and the alarms follow the save themselves
    // (the store announces it).
    close();
}

void frmNuovoArg::cmdAnnulla_Click()
{
    close();
}

void frmNuovoArg::closeEvent(QCloseEvent *event)
{
    // Saved or deliberately abandoned: the draft has nothing left to keep.
    if (m_draftId != -1 && m_session.drafts.remove(m_draftId))
        m_draftId = -1;
    Form_Unload();
    event->accept();
    formClosed();
}

void frmNuovoArg::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // The size of the last editor closed is the size of the next one.
    // The outer size, whatever the window state; one not kept (a store
    // closed or read-only) only leaves the next editor at the last one.
    static_cast<void>(m_session.settings.setEditorSize(twips::fromPixels(frameGeometry().width()),
                                                       twips::fromPixels(frameGeometry().height())));
    m_session.finestre.UnregisterEditorWindow(NumFinestra);
}

bool frmNuovoArg::ProvaChiusura()
{
    // A topic that could not be read, or a file that cannot be written,
    // leaves nothing that could be saved.
    if (m_loadFailed || m_session.store.isReadOnly())
        return true;
    if (idArgomento == -1 || !frmAllarme->isHidden())
        return false;
    notes::StoredTopic stored;
    if (m_session.topics.load(idArgomento, &stored) != notes::Found::Yes)
        return false;  // the record is gone: closing would lose the window's contents
    // An empty field is not a difference.
    const auto differs = [](const auto &field, const auto &mine) { return field && *field != mine; };
    const bool changed = differs(stored.title, store::CutToWidth(txtArgomento->text(), m_session.topics.titleWidth()))
        || differs(stored.plainText, bodyPlainText()) || differs(stored.alarmTime, AlarmDateTime)
        || differs(stored.alarmType, AlarmType)
        // Formatting alone changes no plain text; it is work all the same.
        || rtfContenuto->document()->toHtml() != m_loadedBody;
    return !changed;
}

QString frmNuovoArg::TitleToFileName(const QString &title)
{
    return notes::titleToFileName(title);
}
