#include "Avvio.h"
#include "places/Places.h"
#include "QtPlatform.h"
#include "Session.h"

#include <QApplication>

int main(int argc, char **argv)
{
    places::KeepFilesPrivate();
    places::UsePrivateRuntimeFolder();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel"));
    platform::QtServices services;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    Session session(services.services(), arguments, QApplication::applicationFilePath());
    return Avvio::Main(session);
}
