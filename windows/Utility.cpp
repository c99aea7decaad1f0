#include "Utility.h"
#include "Str.h"

#include "Session.h"

void ShowDatabaseErrors(Session &session, QWidget *parent)
{
    const auto errors = session.store.errors();
    for (const store::EngineError &e : errors)
        session.dialogs().MsgBox(parent, e.description, platform::vbExclamation, session.GetString(Str::ErrorTitle));
}

bool RefusedReadOnly(Session &session, QWidget *parent)
{
    if (!session.store.isReadOnly())
        return false;
    session.dialogs().MsgBox(parent, session.GetString(Str::DatabaseReadOnly).arg(session.store.DatabasePath),
                             platform::vbCritical, session.GetString(Str::ErrorTitle));
    return true;
}

QString StyleLetters(bool bold, bool italic, bool strikeOut, bool underline)
{
    QString s;
    if (bold)
        s += QLatin1Char('B');
    if (italic)
        s += QLatin1Char('I');
    if (strikeOut)
        s += QLatin1Char('S');
    if (underline)
        s += QLatin1Char('U');
    return s;
}
