#include "Avvio.h"
#include "QtPlatform.h"
#include "Session.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel"));
    platform::QtServices services;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    Session session(services.services(), arguments, QApplication::applicationFilePath());
    return Avvio::Main(session);
}
