#pragma once
// The open editors as editors, for tests that look inside them.

#include "Finestre.h"
#include "Session.h"
#include "AlarmPanel.h"
#include "frmNuovoArg.h"

inline QList<frmNuovoArg *> Editors(Session &session)
{
    QList<frmNuovoArg *> out;
    for (TopicWindow *w : session.finestre.editors())
        out << static_cast<frmNuovoArg *>(w);
    return out;
}
