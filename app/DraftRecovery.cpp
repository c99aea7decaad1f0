#include "DraftRecovery.h"
#include "Str.h"

#include "Finestre.h"
#include "Session.h"
#include "Utility.h"
#include "frmBozze.h"
#include "frmNuovoArg.h"
#include "ShownDates.h"

bool WriteAllDrafts(Session &session)
{
    bool ok = true;
    for (TopicWindow *editor : session.finestre.editors())
        ok = editor->WriteDraft() && ok;
    return ok;
}

void RecoverDrafts(Session &s, QWidget *window, const std::function<void()> &comeForward)
{
    if (!s.drafts.available())
        return;
    bool ok = true;
    const QList<notes::Draft> drafts = s.drafts.all(&ok);
    if (!ok) {
        ShowDatabaseErrors(s, window);
        return;
    }
    if (!drafts.isEmpty() && window->isHidden())
        comeForward();
    // Told all at once, after every editor is open: one box per draft made
    // the user click through them one by one.
    QList<frmBozze::Line> told;
    for (const notes::Draft &draft : drafts) {
        QStringList said{s.GetString(Str::DraftRecoveredAt).arg(ShownMoment(draft.taken))};
        int topic = draft.topicId;
        int category = draft.categoryId;
        if (topic != -1) {
            notes::StoredTopic stored;
            switch (s.topics.load(topic, &stored)) {
            case notes::Found::Yes:
                category = stored.category;
                if (stored.updated != draft.topicUpdated)
                    said << s.GetString(Str::DraftTopicChangedSince);
                break;
            case notes::Found::No:
                topic = -1;
                said << s.GetString(Str::DraftTopicDeleted);
                break;
            case notes::Found::Failed:
                // Left for the next start rather than opened wrongly.
                ShowDatabaseErrors(s, window);
                continue;
            }
        }
        QString name;
        if (topic == -1 && s.categories.name(category, &name) != notes::Found::Yes) {
            bool listed = true;
            const QList<notes::ListEntry> all = s.categories.inListOrder(&listed);
            if (all.isEmpty())
                continue;  // no category at all: the draft waits for one
            category = all.first().key;
            said << s.GetString(Str::DraftCategoryGone).arg(all.first().text);
        }
        auto *editor = dynamic_cast<frmNuovoArg *>(s.finestre.editorOfTopic(topic));
        if (!editor || topic == -1)
            editor = frmNuovoArg::Open(s, topic, category);
        editor->AdoptDraft(draft);
        told.append({editor->windowTitle().trimmed(), said});
    }
    if (told.isEmpty())
        return;
    // Over the main window, the editors behind it.
    frmBozze list(s, told, window);
    list.exec();
}
