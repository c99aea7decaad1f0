#include "Pictures.h"

#include <QFile>

QIcon picture(const QString &name)
{
    QIcon icon(QStringLiteral(":/quorvel/pictures/%1.png").arg(name));
    const QString large = QStringLiteral(":/quorvel/pictures/%1@32.png").arg(name);
    if (QFile::exists(large))
        icon.addFile(large);
    return icon;
}

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/quorvel/icon/hicolor/%1x%1/apps/quorvel.png").arg(size));
    return icon;
}
