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
