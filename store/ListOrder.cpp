#include "ListOrder.h"

#include <sqlite3.h>

namespace store {

const QCollator &ListCollator()
{
    static const QCollator collator = [] {
        QCollator c;
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
