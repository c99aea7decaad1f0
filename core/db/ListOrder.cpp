#include "db/ListOrder.h"

#include <sqlite3.h>

namespace store {

const QCollator &ListCollator()
{
    static const QCollator collator = [] {
        // The C and POSIX locales (C.UTF-8 is many machines' default) carry no
        // collation: Qt then compares code points and "Élan" lands after "z".
        // English has no tailoring of its own, so its collator is the Unicode
        // root order, right for names in any language.
        const QLocale system;
        QCollator c(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

namespace {

int compareListOrder(void *, int aSize, const void *a, int bSize, const void *b)
{
    return ListCollator().compare(QString::fromUtf8(static_cast<const char *>(a), aSize),
                                  QString::fromUtf8(static_cast<const char *>(b), bSize));
}

} // namespace

bool registerListOrder(sqlite3 *db)
{
    return sqlite3_create_collation(db, "LISTORDER", SQLITE_UTF8, nullptr, compareListOrder) == SQLITE_OK;
}

} // namespace store
