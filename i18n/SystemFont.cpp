// The system-font preference: the font of the search box, the list, the
// category label and every editor's title box, kept in the Setup record.

#include "frmPrincipale.h"

#include "Session.h"
#include "Utility.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace {

// The preference as stored, or nothing when a field cannot be applied.
std::optional<platform::Dialogs::FontChoice> storedFont(const notes::Settings &settings)
{
    const auto font = settings.systemFont();
    if (!font || font->size <= 0 || font->face.isEmpty())
        return std::nullopt;
    const QString &a = font->style;  // an empty text is no style
    return platform::Dialogs::FontChoice{font->face, font->size, a.contains(QLatin1Char('B')),
                                         a.contains(QLatin1Char('I')), a.contains(QLatin1Char('S')),
                                         a.contains(QLatin1Char('U'))};
}

} // namespace

void frmPrincipale::AggiornaFontElemento(QWidget *element)
{
    notes::Settings &settings = m_session.settings;
    auto choice = storedFont(settings);
    if (!choice) {
        // Reset the preference once to the defaults and try again; a second
        // failure leaves the control as it is.
        if (!settings.setSystemFont({QStringLiteral("MS Sans Serif"), 8, QString()}))
            return;
        choice = storedFont(settings);
        if (!choice)
            return;
    }
    QFont f = element->font();
    f.setFamilies({choice->family});
    f.setPointSizeF(choice->pointSize);
    f.setBold(choice->bold);
    f.setItalic(choice->italic);
    f.setStrikeOut(choice->strikeOut);
    f.setUnderline(choice->underline);
    element->setFont(f);
}

void frmPrincipale::ApplyMainWindowFont()
{
    AggiornaFontElemento(txtCerca);
    AggiornaFontElemento(lstArgomenti);
    AggiornaFontElemento(labCategoria);
    QFont bold = labCategoria->font();
    bold.setBold(true);
    labCategoria->setFont(bold);
}

void frmPrincipale::mnuFontSistema_Click()
{
    if (RefusedReadOnly(m_session, this))
        return;
    const auto current = storedFont(m_session.settings).value_or(
        platform::Dialogs::FontChoice{QStringLiteral("MS Sans Serif"), 8, false, false, false, false});
    const auto chosen = m_session.dialogs().ChooseFont(this, current);
    if (!chosen)
        return;
    if (!m_session.settings.setSystemFont(
            {chosen->family, chosen->pointSize, StyleLetters(chosen->bold, chosen->italic, chosen->strikeOut, chosen->underline)}))
        return;
    ApplyMainWindowFont();
}
