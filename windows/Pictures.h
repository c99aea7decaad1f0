#pragma once
#include <QIcon>
#include <QString>

// A picture of the program's resources, with its larger version for
// high-density screens when there is one.
QIcon picture(const QString &name);

// The program's own icon in every size it is rendered in.
QIcon appIcon();
