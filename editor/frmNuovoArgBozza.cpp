// Drafts of the editor: its unsaved title, body and alarm written down a
// little after each change, in a table of their own, so that a crash, a kill
// or a power cut loses a few seconds of typing at most.

#include "frmNuovoArg.h"

#include "Rtf.h"
#include "Session.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {
// Written once typing pauses this long, and at the latest this long after
// the first change not yet written, so that steady typing is kept too.
constexpr int kQuietMs = 2000;
constexpr int kLatestMs = 10000;
// A refused write is tried again after this long; the user hears of it
// once writes have failed this many times in a row.
constexpr int kRetryMs = 5000;
constexpr int kFailuresTold = 3;
constexpr int kDraftFailing = 784;
} // namespace

void frmNuovoArg::connectDrafts()
{
    m_draftTimer = new QTimer(this);
    m_draftTimer->setSingleShot(true);
    connect(m_draftTimer, &QTimer::timeout, this, &frmNuovoArg::WriteDraft);
    connect(rtfContenuto->document(), &QTextDocument::contentsChanged, this, &frmNuovoArg::DraftChanged);
    connect(txtArgomento, &QLineEdit::textChanged, this, &frmNuovoArg::DraftChanged);
    for (QComboBox *list : {cmbTipoAllarme, cmbOre, cmbMinuti})
        connect(list, &QComboBox::currentIndexChanged, this, &frmNuovoArg::DraftChanged);
    connect(Calendar1, &QCalendarWidget::selectionChanged, this, &frmNuovoArg::DraftChanged);
}

void frmNuovoArg::DraftChanged()
{
    if (IsLoading || m_loadFailed || !m_draftTimer || !m_session.drafts.available())
        return;
    m_draftDirty = true;
    if (!m_draftTimer->isActive())
        m_draftSince.start();
    const qint64 latest = std::max<qint64>(0, kLatestMs - m_draftSince.elapsed());
    m_draftTimer->start(int(std::min<qint64>(kQuietMs, latest)));
}

bool frmNuovoArg::HasUnsavedChanges() const
{
    const bool panelOpen = !frmAllarme->isHidden();
    return rtfContenuto->document()->isModified() || txtArgomento->text() != m_loadedTitle || panelOpen
        || AlarmType != m_loadedAlarmType || AlarmDateTime != m_loadedAlarmTime;
}

bool frmNuovoArg::WriteDraft()
{
    notes::Drafts &drafts = m_session.drafts;
    if (!m_draftDirty || m_loadFailed || !drafts.available())
        return true;
    // Changes taken back one by one leave nothing to keep.
    if (!HasUnsavedChanges()) {
        if (!drafts.remove(m_draftId))
            return false;
        m_draftId = -1;
        m_draftDirty = false;
        return true;
    }
    // Another write is under way (a modal question inside a command): the
    // draft waits for it, without counting as a failure.
    if (drafts.otherWriteUnderWay()) {
        m_draftTimer->start(kQuietMs);
        return false;
    }
    notes::Draft draft;
    draft.id = m_draftId;
    draft.topicId = idArgomento;
    draft.categoryId = idCategoria;
    draft.title = txtArgomento->text();
    draft.body = rtf::writeText(rtfContenuto->document());
    draft.alarmType = AlarmType;
    draft.alarmTime = AlarmDateTime;
    // An open panel holds what the user is choosing, not yet taken.
    if (!frmAllarme->isHidden()) {
        draft.alarmType = cmbTipoAllarme->currentIndex();
        draft.alarmTime = PanelAlarmTime();
    }
    draft.topicUpdated = m_loadedUpdated;
    draft.taken = m_session.clock().now();
    if (!drafts.write(draft)) {
        // The topic itself is untouched; the draft is tried again, and the
        // user told once it keeps failing, since unsaved work is then at risk.
        if (++m_draftFailures == kFailuresTold)
            m_session.dialogs().MsgBox(this, m_session.GetString(kDraftFailing) + QStringLiteral("\n\n") + m_session.store.errorText(),
                                       platform::vbExclamation, m_session.GetString(507));
        m_draftTimer->start(kRetryMs);
        return false;
    }
    m_draftId = draft.id;
    m_draftDirty = false;
    m_draftFailures = 0;
    return true;
}

void frmNuovoArg::AdoptDraft(const notes::Draft &draft)
{
    m_draftId = draft.id;
    // Filled as typed: the changes count as the user's, unsaved.
    txtArgomento->setText(draft.title);
    if (!rtf::read(draft.body, rtfContenuto->document()))
        rtfContenuto->setPlainText(draft.body);
    rtfContenuto->document()->setModified(true);
    AlarmType = draft.alarmType;
    if (draft.alarmTime.isValid())
        AlarmDateTime = draft.alarmTime;
    ShowAlarmIndicator();
    ApplyEditorFont();
    m_draftDirty = false;
    if (m_draftTimer)
        m_draftTimer->stop();
    // Short, unlike the recovery notice, so that it fits beside the alarm
    // button in both languages.
    m_recoveredAt = draft.taken;
    labModifica->setText(recoveredText());
}
