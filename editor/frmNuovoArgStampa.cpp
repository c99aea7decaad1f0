// Export of the body to a file and printing with the title on every page.

#include "frmNuovoArg.h"

#include "notes/NoteStore.h"
#include "PrintRichText.h"
#include "Rtf.h"
#include "Session.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QSaveFile>
#include <QTextEdit>

void frmNuovoArg::mnuEsporta_Click()
{
    Session &s = m_session;
    const auto path = s.dialogs().GetSaveFileName(this, s.GetString(723), TitleToFileName(txtArgomento->text()),
                                                  s.GetString(724), QStringLiteral(".RTF"));
    if (!path || path->isEmpty())
        return;
    const auto fail = [&](const QString &why) {
        s.dialogs().MsgBox(this, s.GetString(748) + QStringLiteral("\n") + *path + QStringLiteral("\n") + why,
                           platform::vbCritical, s.GetString(507));
    };
    // Any file already there is asked about, a hidden one too (which the
    // plain existence test passes over): it is about to be replaced.
    if (store::FileExists(*path) || QFileInfo::exists(*path)) {
        if (s.dialogs().MsgBox(this, s.GetString(726), platform::vbYesNo | platform::vbQuestion, s.GetString(725))
            != platform::vbYes)
            return;
    }
    // The last three letters decide, whatever filter was chosen.
    const bool asRtf = path->right(3).toUpper() == QLatin1String("RTF");
    const QByteArray bytes = asRtf ? rtf::write(rtfContenuto->document())
                                  : rtf::plainText(rtfContenuto->document()).toUtf8();
    // Written aside and moved into place, so a failure leaves any old file whole.
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        fail(file.errorString());
        return;
    }
}

void frmNuovoArg::mnuStampa_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!m_session.dialogs().ChoosePrinter(this, &printer))
        return;
    PrintRichText(&printer, txtArgomento->text(), rtfContenuto->document(), 360, 360, 360, 360);
}
