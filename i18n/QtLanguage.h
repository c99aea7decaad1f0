#pragma once
// Qt's own texts (the buttons of message and input boxes, the font, colour,
// file and print dialogs) and the default locale (month and day names, date
// and number formats) follow the program's language, not the system's.

namespace i18n {

// Installs Qt's translation for the language (none for English, Qt's own)
// and makes it the default locale; widgets built afterwards take it, and
// those already shown get a LanguageChange event. A missing translation
// file leaves Qt's texts in English.
void ApplyQtLanguage(bool english);

} // namespace i18n
