// quorvel-rtf --text FILE | --rtf FILE
// Reads an RTF file the way the editor does and prints either the plain
// text stored for searching or the document as the editor writes it back.

#include "Rtf.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    // Fonts need a GUI application, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3 || (args[1] != QLatin1String("--text") && args[1] != QLatin1String("--rtf"))) {
        std::fprintf(stderr, "usage: quorvel-rtf --text FILE | --rtf FILE\n");
        return 2;
    }
    QFile file(args[2]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "quorvel-rtf: cannot read %s: %s\n", qPrintable(args[2]),
                     qPrintable(file.errorString()));
        return 1;
    }
    const QByteArray data = file.readAll();
    QTextDocument doc;
    QString error;
    if (!rtf::read(data, &doc, &error)) {
        // Text that is not RTF is shown by the editor as it is, as a
        // rich-text box does; binary data cannot be shown at all.
        if (data.contains('\0')) {
            std::fprintf(stderr, "quorvel-rtf: %s: %s, and not text either\n", qPrintable(args[2]), qPrintable(error));
            return 1;
        }
        std::fprintf(stderr, "quorvel-rtf: %s: %s; read as plain text\n", qPrintable(args[2]), qPrintable(error));
        doc.setPlainText(QString::fromUtf8(data));
    }
    QByteArray out;
    if (args[1] == QLatin1String("--text")) {
        out = rtf::plainText(&doc).toUtf8();
        out += '\n';
    } else {
        out = rtf::write(&doc);
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return 0;
}
