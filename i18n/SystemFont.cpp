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
std::optional<platform::Dialogs::FontChoice> storedFont(store::TableRecordset &setup)
{
    const QVariant face = setup.field(QStringLiteral("SysFont"));
    const QVariant size = setup.field(QStringLiteral("SysFontAltezza"));
    const QVariant letters = setup.field(QStringLiteral("SysFontAttributi"));
    if (face.isNull() || size.isNull() || letters.isNull() || size.toDouble() <= 0 || face.toString().isEmpty())
        return std::nullopt;
    const QString a = letters.toString();  // an empty text is no style
    return platform::Dialogs::FontChoice{face.toString(), size.toDouble(), a.contains(QLatin1Char('B')),
                                         a.contains(QLatin1Char('I')), a.contains(QLatin1Char('S')),
                                         a.contains(QLatin1Char('U'))};
}

} // namespace

void frmPrincipale::AggiornaFontElemento(QWidget *element)
{
    store::TableRecordset &setup = *m_session.store.rsSetup;
    auto choice = storedFont(setup);
    if (!choice) {
        // Reset the preference once to the defaults and try again; a second
        // failure leaves the control as it is.
        if (setup.edit()) {
            setup.setField(QStringLiteral("SysFont"), QStringLiteral("MS Sans Serif"));
            setup.setField(QStringLiteral("SysFontAltezza"), 8);
            setup.setField(QStringLiteral("SysFontAttributi"), QString());
            if (!setup.update())
                setup.cancelUpdate();
        }
        choice = storedFont(setup);
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
    store::TableRecordset &setup = *m_session.store.rsSetup;
    const auto current = storedFont(setup).value_or(
        platform::Dialogs::FontChoice{QStringLiteral("MS Sans Serif"), 8, false, false, false, false});
    const auto chosen = m_session.dialogs().ChooseFont(this, current);
    if (!chosen)
        return;
    if (!setup.edit() || !setup.setField(QStringLiteral("SysFont"), chosen->family)
        || !setup.setField(QStringLiteral("SysFontAltezza"), chosen->pointSize)
        || !setup.setField(QStringLiteral("SysFontAttributi"), StyleLetters(chosen->bold, chosen->italic, chosen->strikeOut, chosen->underline)) || !setup.update()) {
        setup.cancelUpdate();
        return;
    }
    ApplyMainWindowFont();
}
