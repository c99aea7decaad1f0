#include "ExportPrint.h"
#include "Str.h"

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
    const auto path = s.dialogs().GetSaveFileName(window, s.GetString(Str::ExportTitle), notes::titleToFileName(title),
                                                  s.GetString(Str::ExportFilter), QStringLiteral(".RTF"));
    if (!path || path->isEmpty())
        return;
    const auto fail = [&](const QString &why) {
        s.dialogs().MsgBox(window, s.GetString(Str::ExportWriteFailed) + QStringLiteral("\n") + *path + QStringLiteral("\n") + why,
                           platform::vbCritical, s.GetString(Str::ErrorTitle));
    };
    // Any file already there is asked about, a hidden one too (which the
    // plain existence test passes over): it is about to be replaced.
    if (store::FileExists(*path) || QFileInfo::exists(*path)) {
        if (s.dialogs().MsgBox(window, s.GetString(Str::OverwriteFile), platform::vbYesNo | platform::vbQuestion, s.GetString(Str::RequestTitle))
            != platform::vbYes)
            return;
    }
    // The last three letters decide, whatever filter was chosen.
    const bool asRtf = path->right(3).toUpper() == QLatin1String("RTF");
    const QByteArray bytes = asRtf ? rtf::write(body)
                                  : rtf::alignedText(body).toUtf8();
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
