#include "ExportPrint.h"

#include "notes/FileNames.h"
#include "notes/NoteStore.h"
#include "PrintRichText.h"
#include "Rtf.h"
#include "Session.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QSaveFile>
#include <QTextDocument>

void ExportTopic(Session &s, QWidget *window, const QString &title, const QTextDocument *body)
{
    const auto path = s.dialogs().GetSaveFileName(window, s.GetString(723), notes::titleToFileName(title),
                                                  s.GetString(724), QStringLiteral(".RTF"));
    if (!path || path->isEmpty())
        return;
    const auto fail = [&](const QString &why) {
        s.dialogs().MsgBox(window, s.GetString(748) + QStringLiteral("\n") + *path + QStringLiteral("\n") + why,
                           platform::vbCritical, s.GetString(507));
    };
    // Any file already there is asked about, a hidden one too (which the
    // plain existence test passes over): it is about to be replaced.
    if (store::FileExists(*path) || QFileInfo::exists(*path)) {
        if (s.dialogs().MsgBox(window, s.GetString(726), platform::vbYesNo | platform::vbQuestion, s.GetString(725))
            != platform::vbYes)
            return;
    }
    // The last three letters decide, whatever filter was chosen.
    const bool asRtf = path->right(3).toUpper() == QLatin1String("RTF");
    const QByteArray bytes = asRtf ? rtf::write(body)
                                  : rtf::plainText(body).toUtf8();
    // Written aside and moved into place, so a failure leaves any old file whole.
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        fail(file.errorString());
        return;
    }
}

void PrintTopic(Session &s, QWidget *window, const QString &title, const QTextDocument *body)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!s.dialogs().ChoosePrinter(window, &printer))
        return;
    PrintRichText(&printer, title, body, 360, 360, 360, 360);
}
