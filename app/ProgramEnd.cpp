#include "ProgramEnd.h"
#include "Str.h"

#include "DraftRecovery.h"
#include "Session.h"
#include "StartUp.h"

#include <QPointer>
#include <QSessionManager>
#include <QWidget>

bool ProgramEnd::closeOtherWindows()
{
    bool result = true;
    for (Form *f : m_session.forms.all()) {
        if (f->widget() == m_window || f->Tag() == QLatin1String("main"))
            continue;
        if (!f->isEditor() || f->ProvaChiusura())
            f->Unload();
        else
            result = false;
    }
    return result;
}

bool ProgramEnd::mayEndSession(bool mayAsk)
{
    for (Form *f : m_session.forms.all()) {
        if (f->widget() != m_window && f->isEditor() && !f->ProvaChiusura()) {
            if (mayAsk)
                m_session.dialogs().MsgBox(m_window, m_session.GetString(Str::CloseAllWindowsFirst), platform::vbCritical,
                                           m_session.GetString(Str::ErrorTitle));
            return false;
        }
    }
    return true;
}

void ProgramEnd::commitData(QSessionManager &manager)
{
    // Nothing unsaved: nothing to ask, and nothing is closed, since the
    // session may yet go on.
    if (mayEndSession(false))
        return;
    // Unsaved work is written down first: if the session ends without
    // asking, the next start brings it back.
    WriteAllDrafts(m_session);
    // The user is told before the ending is stopped. No release() here:
    // that would end the interaction before the cancel reaches the session
    // manager, and the session would end all the same.
    if (manager.allowsInteraction()) {
        mayEndSession(true);
        manager.cancel();
    }
}

void ProgramEnd::endBySignal()
{
    // Like a logout where nobody can be asked: nothing typed is lost, and
    // the program ends as after a normal run.
    WriteAllDrafts(m_session);
    RecordRunTime(m_session);
    m_session.store.close();
    m_session.EndProgram(0);
}

void ProgramEnd::shutDown()
{
    // Each window goes through its own unloading; one that would refuse is
    // taken out all the same, since the program cannot go on.
    for (Form *f : m_session.forms.all()) {
        if (f->widget() == m_window)
            continue;
        QPointer<QWidget> w = f->widget();
        if (w && !f->Unload() && w)
            w->deleteLater();
    }
    m_window->hide();
    RecordRunTime(m_session);
    m_session.store.close();
    m_session.EndProgram(1);
}
