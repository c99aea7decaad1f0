#pragma once
// Find in topics: every topic whose plain-text body or title matches a
// wildcard pattern, in key order — what "SELECT * FROM Argomenti WHERE
// ContenutoTxt LIKE pattern OR Argomento LIKE pattern" gives — found through
// a trigram index of the two fields when the pattern holds a literal run of
// three characters, each candidate then checked by the LIKE matcher.

#include "Recordset.h"

#include <memory>

namespace store {

class NoteStore;

// nullptr on a database error (the error list says why).
std::unique_ptr<SnapshotRecordset> FindTopics(NoteStore &store, const QString &pattern);

// The index query for a pattern: the AND of the trigrams of its literal
// runs, or empty when it has no run of three plain characters.
QString TrigramQuery(const QString &pattern);

} // namespace store
