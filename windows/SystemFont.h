#pragma once
// The system-font preference: the font of the search box, the list, the
// category label and every editor's title box, kept in the Setup record.

#include "Platform.h"

#include <optional>

class QWidget;
namespace notes { class Settings; }

// The preference as stored, or nothing when a field cannot be applied.
std::optional<platform::Dialogs::FontChoice> StoredSystemFont(const notes::Settings &settings);
// Gives the control the preferred font. A preference that cannot be applied
// is reset once to the defaults; a second failure leaves the control as it is.
void ApplySystemFont(notes::Settings &settings, QWidget *control);
// The font dialog on the preference; false when nothing was chosen or it
// could not be stored.
bool ChooseSystemFont(notes::Settings &settings, platform::Dialogs &dialogs, QWidget *parent);
