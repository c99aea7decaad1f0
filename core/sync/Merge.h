#pragma once
// How two machines' changes to the same notes come together, record by
// record and field by field, from the state both last agreed on (base),
// this machine's (ours) and the remote's (theirs). Nothing either side
// saved is dropped: where both changed a topic's title or text, the remote's
// state becomes a topic of its own.

#include "sync/Layout.h"
#include "sync/Repository.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

#include <optional>

namespace gitsync {

struct TopicMerge {
    std::optional<TopicRecord> result;    // what both sides hold afterwards
    std::optional<TopicRecord> conflict;  // the remote's state, to be kept as a new topic
};
// An absent state is a record this side never had or let go of: it changes
// nothing. A deleted topic is a record with its deletion time.
TopicMerge mergeTopic(const std::optional<TopicRecord> &base, std::optional<TopicRecord> ours,
                      std::optional<TopicRecord> theirs);

// An absent category is one deleted on that side. *otherName: the name that
// lost when both sides renamed it (empty otherwise).
std::optional<CategoryRecord> mergeCategory(const std::optional<CategoryRecord> &base,
                                            const std::optional<CategoryRecord> &ours,
                                            const std::optional<CategoryRecord> &theirs, QString *otherName);

struct CategoriesMerged {
    QHash<QString, CategoryRecord> result;  // each id's category afterwards; absent: none
    QStringList namesLost;                  // a category's names that a later one replaced
    QHash<QString, QString> joined;         // a category made apart -> the one it became
};
// Merges the categories of ids; two of one name, each made on one side
// since the last merge, become one: the one of the lower id.
CategoriesMerged mergeCategories(const QSet<QString> &ids, const Records &base, const Records &ours,
                                 const Records &theirs);

} // namespace gitsync
