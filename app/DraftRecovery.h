#pragma once
// Drafts at the program's level: every open editor's written down at once
// when the program is ended from outside, and those of a run that ended
// without saving brought back at the next start.

#include <functional>

class QWidget;
class Session;

// Writes the draft of every open editor now; false if one failed.
bool WriteAllDrafts(Session &session);
// Opens an editor for each draft left by a run that ended without saving,
// holding the draft as its unsaved change, and tells them all in one window
// over window; comeForward brings the program's windows back first when
// window is hidden.
void RecoverDrafts(Session &session, QWidget *window, const std::function<void()> &comeForward);
