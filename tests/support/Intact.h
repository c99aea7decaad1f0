#pragma once
#include <QString>

// What is wrong with the database file at path; empty when it opens, passes
// SQLite's integrity check and the search index's own check.
QString damageOf(const QString &path);
