#include "SystemFont.h"

#include "Utility.h"
#include "notes/Settings.h"

#include <QWidget>

std::optional<platform::Dialogs::FontChoice> StoredSystemFont(const notes::Settings &settings)
{
    const auto font = settings.systemFont();
    if (!font || font->size <= 0 || font->face.isEmpty())
        return std::nullopt;
    const QString &a = font->style;  // an empty text is no style
    return platform::Dialogs::FontChoice{font->face, font->size, a.contains(QLatin1Char('B')),
                                         a.contains(QLatin1Char('I')), a.contains(QLatin1Char('S')),
                                         a.contains(QLatin1Char('U'))};
}

void ApplySystemFont(notes::Settings &settings, QWidget *control)
{
    auto choice = StoredSystemFont(settings);
    if (!choice) {
        if (!settings.setSystemFont({QStringLiteral("MS Sans Serif"), 8, QString()}))
            return;
        choice = StoredSystemFont(settings);
        if (!choice)
            return;
    }
    QFont f = control->font();
    f.setFamilies({choice->family});
    f.setPointSizeF(choice->pointSize);
    f.setBold(choice->bold);
    f.setItalic(choice->italic);
    f.setStrikeOut(choice->strikeOut);
    f.setUnderline(choice->underline);
    control->setFont(f);
}

bool ChooseSystemFont(notes::Settings &settings, platform::Dialogs &dialogs, QWidget *parent)
{
    const auto current = StoredSystemFont(settings).value_or(
        platform::Dialogs::FontChoice{QStringLiteral("MS Sans Serif"), 8, false, false, false, false});
    const auto chosen = dialogs.ChooseFont(parent, current);
    if (!chosen)
        return false;
    return settings.setSystemFont(
        {chosen->family, chosen->pointSize, StyleLetters(chosen->bold, chosen->italic, chosen->strikeOut, chosen->underline)});
}
