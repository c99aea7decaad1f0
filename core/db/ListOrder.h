#pragma once
// The order in which names are listed: by text without regard to case, in
// the user's locale, or the Unicode root order where the locale has none.
// The lists on screen and the store's "Categoria" order use this one rule,
// so the first category listed is the first one read.

#include <QCollator>

struct sqlite3;

namespace store {

const QCollator &ListCollator();

// Registers the rule as the collation LISTORDER of a connection.
bool registerListOrder(sqlite3 *db);

} // namespace store
