#include "frmNuovoArg.h"
#include "Str.h"

#include "AlarmPanel.h"
#include "BodyFormatting.h"
#include "BodyLinks.h"
#include "DraftWriter.h"
#include "FindBar.h"
#include "Finestre.h"
#include "FramedSize.h"
#include "Rtf.h"
#include "Session.h"
#include "ShownDates.h"
#include "SystemFont.h"
#include "Twips.h"
#include "Utility.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

frmNuovoArg::frmNuovoArg(Session &session, int topicId, int categoryId)
    : QMainWindow(nullptr), TopicWindow(session.forms, this, QString()), m_session(session)
{
    setObjectName(QStringLiteral("frmNuovoArg"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    buildMenus();
    m_formatting = std::make_unique<BodyFormatting>(session, rtfContenuto, ToolbarButtons, this);
    new BodyLinks(session, rtfContenuto);
    m_size = std::make_unique<FramedSize>(this);
    connectHandlers();
    Form_Load(topicId, categoryId);
    m_drafts = new DraftWriter(session, this, [this] { return unsavedState(); });
    const auto changed = [this] {
        if (!m_loading && !m_loadFailed)
            m_drafts->changed();
    };
    connect(rtfContenuto->document(), &QTextDocument::contentsChanged, this, changed);
    connect(txtArgomento, &QLineEdit::textChanged, this, changed);
    for (QComboBox *list : {cmbTipoAllarme, cmbOre, cmbMinuti})
        connect(list, &QComboBox::currentIndexChanged, this, changed);
    connect(Calendar1, &QCalendarWidget::selectionChanged, this, changed);
}

frmNuovoArg::~frmNuovoArg()
{
    // A window destroyed without closing (at the end of the program) still
    // leaves the registry.
    Form_Unload();
}

frmNuovoArg *frmNuovoArg::Open(Session &session, int topicId, int categoryId)
{
    auto *editor = new frmNuovoArg(session, topicId, categoryId);
    editor->BringForward();
    if (topicId != -1)
        editor->rtfContenuto->setFocus();
    return editor;
}

QString frmNuovoArg::stampText(const QDateTime &when) const
{
    return m_session.GetString(Str::LastUpdate) + ShownMoment(when);
}

QString frmNuovoArg::recoveredText() const
{
    return m_session.GetString(Str::DraftRecovered).arg(ShownMoment(m_recoveredAt));
}

void frmNuovoArg::Form_Load(int topicId, int categoryId)
{
    Session &s = m_session;
    // The toolbar's pictures were set as its buttons were built.
    AggiornaLingua();
    m_loading = true;
    m_topic = topicId;
    m_category = categoryId;
    m_alarm->set(0, store::WallTime::of(s.clock().now()));
    // A new topic starts empty and stamped now; another is read whole.
    if (m_topic == -1)
        labModifica->setText(stampText(s.clock().now()));
    else if (!loadTopic())
        ShowDatabaseErrors(s, this);
    // Nothing can be saved: nothing is typed for nothing.
    if (m_loadFailed || s.store.isReadOnly()) {
        cmdSalva->setEnabled(false);
        txtArgomento->setReadOnly(true);
        rtfContenuto->setReadOnly(true);
    }

    // Numbered, captioned and listed in the Window menu.
    setWindowTitle(m_topic == -1 ? s.GetString(Str::NewTopicTitle) : txtArgomento->text());
    m_number = s.finestre.RegisterEditorWindow(txtArgomento->text().isEmpty() ? QStringLiteral("<NA>") : txtArgomento->text());

    // The remembered size and the toolbar-or-legend choice; an empty
    // choice counts as the legend.
    const auto size = s.settings.editorSize();
    m_size->remember(size && size->first > 0 && size->second > 0
                         ? QSize(twips::toPixels(size->first), twips::toPixels(size->second))
                         : QSize(608, 480));
    SetToolbarVisible(s.settings.showButtons());

    // The title in the program's font, the body in the editor's.
    ApplySystemFont(s.settings, txtArgomento);
    m_formatting->applyEditorFont();
    m_formatting->refreshButtons();
    rememberLoaded();
    m_loading = false;
}

bool frmNuovoArg::loadTopic()
{
    notes::StoredTopic topic;
    const notes::Found found = m_session.topics.load(m_topic, &topic);
    // A topic that could not be read is not shown as an empty one: a save
    // would put the emptiness in place of the stored text.
    m_loadFailed = found == notes::Found::Failed;
    if (found != notes::Found::Yes)
        return !m_loadFailed;
    txtArgomento->setText(topic.title.value_or(QString()));
    m_loadedUpdated = topic.updated;
    labModifica->setText(topic.updated.isValid() ? stampText(topic.updated) : m_session.GetString(Str::LastUpdate));
    // A body that is not RTF (written by hand or by an older tool) is shown
    // as the text it is.
    if (!rtf::read(topic.body, rtfContenuto->document()))
        rtfContenuto->setPlainText(topic.body);
    // An empty time, or one that cannot be read, loads as the moment of
    // loading: a save then stores a time that can.
    m_alarm->set(topic.alarmType.value_or(0), topic.alarmTime && topic.alarmTime->isValid() ? *topic.alarmTime : m_alarm->time());
    return true;
}

void frmNuovoArg::rememberLoaded()
{
    // Loading, the editor font included, is not an edit to take back.
    rtfContenuto->document()->clearUndoRedoStacks();
    rtfContenuto->document()->setModified(false);
    m_loadedBody = rtfContenuto->document()->toHtml();
    m_loadedText = bodyPlainText();
    m_loadedTitle = txtArgomento->text();
    m_loadedAlarmType = m_alarm->type();
    m_loadedAlarmTime = m_alarm->time();
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
    if (m_loading)
        return;
    m_session.finestre.RenameEditorWindow(m_number, txtArgomento->text());
}

bool frmNuovoArg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == rtfContenuto && m_formatting->bodyEvent(event))
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
    if (m_alarm->isOpen())
        cmdTimer_Click();
    // A body the reader would read back cut short is not stored at all:
    // the next save would make the loss permanent.
    const bool bodyAsLoaded = m_topic != -1 && !rtfContenuto->document()->isModified()
        && bodyPlainText() == m_loadedText && rtfContenuto->document()->toHtml() == m_loadedBody;
    QString body;
    if (!bodyAsLoaded) {
        bool whole = true;
        body = QString::fromLatin1(rtf::write(rtfContenuto->document(), &whole));
        if (!whole) {
            s.dialogs().MsgBox(this, s.GetString(Str::TextTooLarge), platform::vbCritical, s.GetString(Str::ErrorTitle));
            return;
        }
    }
    // A body left as it was loaded is kept as it was stored: what this
    // program cannot show (a picture of an old kind, an object) is not lost
    // to a change of title or alarm. A topic deleted meanwhile is an error.
    // The main window's list and the alarms follow the save themselves.
    const notes::TopicSave save{m_topic, m_category, txtArgomento->text(),
                                bodyAsLoaded ? std::nullopt : std::optional<QString>(body), bodyPlainText(),
                                s.clock().now(), m_alarm->time(), m_alarm->type()};
    int kept = -1;
    QString keptTitle;
    const int key = m_arrivedFrom
        ? s.topics.saveAgainst(save, {m_loadedTitle, m_loadedText, m_loadedAlarmType, m_loadedAlarmTime},
                               [&](const QString &stored) {
                                   keptTitle = QStringLiteral("%1 (conflict, %2, %3)")
                                                   .arg(stored, *m_arrivedFrom,
                                                        store::WallTime::of(s.clock().now()).text().left(16));
                                   return keptTitle;
                               },
                               &kept)
        : s.topics.save(save);
    if (key == -1) {
        ShowDatabaseErrors(s, this);
        return;
    }
    if (kept != -1)
        s.dialogs().Notice(this, s.GetString(Str::SyncConflicts).arg(QStringLiteral("• ") + keptTitle),
                           platform::vbExclamation, s.GetString(Str::SyncTitle));
    close();
}

void frmNuovoArg::cmdAnnulla_Click()
{
    close();
}

void frmNuovoArg::closeEvent(QCloseEvent *event)
{
    // Saved or deliberately abandoned: the draft has nothing left to keep.
    m_drafts->discard();
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
    m_session.finestre.UnregisterEditorWindow(m_number);
}

bool frmNuovoArg::ProvaChiusura()
{
    // A topic that could not be read, or a file that cannot be written,
    // leaves nothing that could be saved.
    if (m_loadFailed || m_session.store.isReadOnly())
        return true;
    if (m_topic == -1 || m_alarm->isOpen())
        return false;
    notes::StoredTopic stored;
    if (m_session.topics.load(m_topic, &stored) != notes::Found::Yes)
        return false;  // the record is gone: closing would lose the window's contents
    // An empty field is not a difference.
    const auto differs = [](const auto &field, const auto &mine) { return field && *field != mine; };
    const bool changed = differs(stored.title, store::CutToWidth(txtArgomento->text(), m_session.topics.titleWidth()))
        || differs(stored.plainText, bodyPlainText()) || differs(stored.alarmTime, m_alarm->time())
        || differs(stored.alarmType, m_alarm->type())
        // Formatting alone changes no plain text; it is work all the same.
        || rtfContenuto->document()->toHtml() != m_loadedBody;
    return !changed;
}

bool frmNuovoArg::HasUnsavedChanges() const
{
    return rtfContenuto->document()->isModified() || txtArgomento->text() != m_loadedTitle || m_alarm->isOpen()
        || m_alarm->type() != m_loadedAlarmType || m_alarm->time() != m_loadedAlarmTime;
}

std::optional<notes::Draft> frmNuovoArg::unsavedState() const
{
    if (!HasUnsavedChanges())
        return std::nullopt;
    notes::Draft draft;
    draft.topicId = m_topic;
    draft.categoryId = m_category;
    draft.title = txtArgomento->text();
    draft.body = rtf::writeText(rtfContenuto->document());
    // An open panel holds what the user is choosing, not yet taken.
    draft.alarmType = m_alarm->isOpen() ? m_alarm->panelType() : m_alarm->type();
    draft.alarmTime = m_alarm->isOpen() ? m_alarm->panelTime() : m_alarm->time();
    draft.topicUpdated = m_loadedUpdated;
    return draft;
}

bool frmNuovoArg::WriteDraft()
{
    return m_drafts->write();
}

qint64 frmNuovoArg::DraftId() const
{
    return m_drafts->id();
}

void frmNuovoArg::AdoptDraft(const notes::Draft &draft)
{
    // Filled as typed: the changes count as the user's, unsaved.
    txtArgomento->setText(draft.title);
    if (!rtf::read(draft.body, rtfContenuto->document()))
        rtfContenuto->setPlainText(draft.body);
    rtfContenuto->document()->setModified(true);
    m_alarm->set(draft.alarmType, draft.alarmTime.isValid() ? draft.alarmTime : m_alarm->time());
    m_formatting->applyEditorFont();
    m_drafts->adopt(draft.id);
    // Short, unlike the recovery notice, so that it fits beside the alarm
    // button in both languages.
    m_recoveredAt = draft.taken;
    labModifica->setText(recoveredText());
}

void frmNuovoArg::AlarmMovedOn(int type, const store::WallTime &time)
{
    m_alarm->movedOn(type, time);
}

void frmNuovoArg::cmdTimer_Click()
{
    m_alarm->toggle();
}
