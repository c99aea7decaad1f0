#include "Utility.h"

#include "Session.h"

void ShowDatabaseErrors(Session &session, QWidget *parent)
{
    const auto errors = session.store.errors();
    for (const store::EngineError &e : errors)
        session.dialogs().MsgBox(parent, e.description, platform::vbExclamation, session.GetString(507));
}
