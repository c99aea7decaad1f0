#pragma once
// Operations on categories by key. Failures leave the engine's error list in
// the store (NoteStore::errors()) for the caller to show.

#include "notes/Topics.h"

namespace notes {

class Categories final {
public:
    // The store is not owned and must outlive this object.
    explicit Categories(store::NoteStore &store) : m_store(store) {}

    // Every category, in the order the lists show them. Empty on an engine
    // error, with ok false.
    [[nodiscard]] QList<ListEntry> inListOrder(bool *ok);
    [[nodiscard]] Found name(int key, QString *name);
    // A new category, its name cut to the width the store gives names; its
    // key, or -1 on failure.
    [[nodiscard]] int insert(const QString &name);
    [[nodiscard]] Found rename(int key, const QString &name);
    // Whether any topic is in the category (Yes), none (No).
    [[nodiscard]] Found hasTopics(int key);
    [[nodiscard]] Found remove(int key);

private:
    QString cut(const QString &name) const;
    store::NoteStore &m_store;
};

} // namespace notes
