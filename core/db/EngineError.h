#pragma once
// An error of the database engine, or of the store's own checks, as the
// windows show it.

#include <QString>

namespace store {

struct EngineError {
    int code = 0;          // primary result code (or -1 for our own checks)
    int extendedCode = 0;  // extended result code
    QString description;   // text shown to the user
    QString statement;     // SQL that failed, empty when none
};

} // namespace store
