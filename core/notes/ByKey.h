#pragma once
// Private to the notes operations: one write to the record of a key.

#include "notes/NoteStore.h"
#include "db/Sqlite.h"
#include "notes/Topics.h"

#include <initializer_list>

namespace notes {

// Runs sql with values bound as ?1, ?2, ...: Yes when it changed a row, No
// when no row had that key, Failed (the store's error list saying why) on
// an engine error.
inline Found writeByKey(store::NoteStore &store, const QString &sql, std::initializer_list<QVariant> values)
{
    store.dbNotes.clearErrors();
    store::Statement st(store.dbNotes, sql);
    int index = 0;
    for (const QVariant &value : values)
        st.bind(++index, value);
    if (!st.run())
        return Found::Failed;
    return store.dbNotes.lastChanges() > 0 ? Found::Yes : Found::No;
}

} // namespace notes
