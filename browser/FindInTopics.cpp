#include "FindInTopics.h"
#include "Str.h"

#include "Session.h"
#include "Utility.h"
#include "db/Like.h"
#include "frmListaArgomenti.h"
#include "notes/Search.h"

FindInTopics::FindInTopics(Session &session, QWidget *window) : QObject(window), m_session(session), m_window(window)
{
}

void FindInTopics::run()
{
    Session &s = m_session;
    const auto answer = s.dialogs().InputBox(m_window, s.GetString(Str::FindInTopicsPrompt), s.GetString(Str::FindInTopicsTitle), QString());
    if (!answer || answer->isEmpty())
        return;
    // The pattern travels as a bound value, so a quote in it is only a
    // character; the result is what the quoted statement gave.
    const QString pattern = store::LikePattern::anywhere(*answer);
    // The lines go into the results list batch by batch as they are found;
    // the list shown so far stays until the first of them.
    bool any = false;
    const bool ok = store::FindTopicsInBatches(s.store, pattern, [&](store::FoundTopics &&found) {
        if (!any) {
            any = true;
            if (!m_results) {
                m_results = new frmListaArgomenti(s);
                connect(m_results, &frmListaArgomenti::locate, this, &FindInTopics::locate);
            }
            m_results->lstArgomenti->lines()->clear();
        }
        m_results->lstArgomenti->lines()->append(std::move(found));
    });
    if (!ok) {
        ShowDatabaseErrors(s, m_window);
        return;
    }
    if (!any) {
        s.dialogs().MsgBox(m_window, s.GetString(Str::NoTopicFound), platform::vbOKOnly | platform::vbInformation, s.GetString(Str::NoTopicFoundTitle));
        return;
    }
    // Each topic shown from the list shows what was looked for.
    m_results->Pattern = *answer;
    if (m_results->lstArgomenti->count() > 0)
        m_results->lstArgomenti->setCurrentRow(0);
    m_results->show();
    m_results->raise();
    m_results->activateWindow();
}
