#pragma once
// Private to the notes operations: what a write replaces or deletes is
// kept, inside the write's own transaction, before the write runs.

#include <QList>
#include <QString>
#include <QVariant>

#include <initializer_list>

namespace store {
class NoteStore;
}

namespace notes {

// The columns a version and a deleted topic keep of a topic's record.
inline const QString kKeptColumns = QStringLiteral("idCategoria, argomento, contenuto, ContenutoTxt, "
                                                   "ultimoaggiornamento, TipoAllarme, DataOraAllarme");

// Keeps the stored record of topic key as a version of topic asKey,
// stamped with the store's clock and machine, when changed holds of it (SQL
// over Argomenti's columns, values bound from ?5 on): a write that leaves a
// topic as it was keeps nothing. When textKept holds too, the write leaves
// the text as it is and the version keeps none of its own (it is the next
// state's). Nothing when the topic is gone or the file keeps no history.
// False on an engine error.
[[nodiscard]] bool keepVersion(store::NoteStore &store, int key, int asKey, const QString &changed,
                               const QString &textKept, std::initializer_list<QVariant> values = {});

// The same for each of the topics keys, in one statement.
[[nodiscard]] bool keepVersions(store::NoteStore &store, const QList<int> &keys, const QString &changed,
                                const QString &textKept, std::initializer_list<QVariant> values = {});

// The global id of topic key: null when it has none (or the file keeps
// none, or an engine error, which the next write of the same transaction
// meets again).
QVariant topicGuid(store::NoteStore &store, int key);
// Gives topic key the global id guid (nothing for a null one).
[[nodiscard]] bool setTopicGuid(store::NoteStore &store, int key, const QVariant &guid);

// Keeps the record of topic key, with its category's name, among the
// deleted topics (nothing when it is gone). False on an engine error.
[[nodiscard]] bool keepDeleted(store::NoteStore &store, int key);

} // namespace notes
