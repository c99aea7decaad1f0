#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// Places a test in a zone whose clocks change, and back.
struct InRome {
    const QByteArray old = qgetenv("TZ");
    const bool had = qEnvironmentVariableIsSet("TZ");
    InRome()
    {
        qputenv("TZ", "Europe/Rome");
        tzset();
    }
    ~InRome()
    {
        had ? qputenv("TZ", old) : qunsetenv("TZ");
        tzset();
    }
};
