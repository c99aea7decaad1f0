// quorvel-cli: the notes from a shell. See Cli.h.

#include "Cli.h"
#include "places/Places.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <unistd.h>

int main(int argc, char **argv)
{
    places::KeepFilesPrivate();
    places::UsePrivateRuntimeFolder();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Only RTF needs fonts, so only import and export pay for a GUI
    // application; it never shows anything, so it needs no display.
    std::unique_ptr<QCoreApplication> app;
    if (cli::needsGui(args)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    return cli::run(args, out, err, ::isatty(STDERR_FILENO) == 1);
}
