#include "TopicList.h"

#include "Session.h"
#include "Utility.h"
#include "db/ListOrder.h"

#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <QSignalBlocker>
#include <QTextDocument>

#include <algorithm>

namespace {

struct Entry {
    QString text;
    int key;
};

// Fills the list in one go, in order; equal texts keep their reading order.
void fillSorted(QListWidget *list, std::vector<Entry> &entries)
{
    const QCollator &c = store::ListCollator();
    std::stable_sort(entries.begin(), entries.end(),
                     [&c](const Entry &a, const Entry &b) { return c.compare(a.text, b.text) < 0; });
    list->setUpdatesEnabled(false);
    for (const Entry &e : entries) {
        auto *item = new QListWidgetItem(e.text);
        item->setData(Qt::UserRole, e.key);
        list->addItem(item);
    }
    list->setUpdatesEnabled(true);
}

int keyOf(const QListWidgetItem *item)
{
    return item->data(Qt::UserRole).toInt();
}

} // namespace

TopicList::TopicList(Session &session, QListWidget *list, QWidget *categoryBar, QLabel *categoryName,
                     QWidget *window)
    : QObject(window), m_session(session), m_list(list), m_categoryBar(categoryBar), m_categoryName(categoryName),
      m_window(window)
{
    connect(&session.store.changes, &notes::Changes::topicsChanged, this, &TopicList::TopicsChanged);
    connect(&session.store.changes, &notes::Changes::categoriesChanged, this, &TopicList::CategoriesChanged);
    connect(&session.store.changes, &notes::Changes::changedElsewhere, this, [this] {
        // Read again, the same entry selected while it is there.
        const int selected = SelectedKey();
        const int row = m_list->currentRow();
        if (isTopicMode())
            FillTopicList();
        else
            FillCategoryList();
        if (selected != -1 && !selectKey(selected) && m_list->count() > 0)
            m_list->setCurrentRow(std::min(row, m_list->count() - 1));
    });
}

bool TopicList::isTopicMode() const
{
    return !m_categoryBar->isHidden();
}

int TopicList::ShownCategoryId() const
{
    return isTopicMode() ? m_shownCategory : -1;
}

int TopicList::AddListEntry(const QString &text, int key)
{
    const QCollator &c = store::ListCollator();
    // After every entry that sorts before or equal to it.
    int lo = 0, hi = m_list->count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (c.compare(m_list->item(mid)->text(), text) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    auto *item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, key);
    m_list->insertItem(lo, item);
    return lo;
}

QListWidgetItem *TopicList::ListItemOf(int key) const
{
    for (int i = 0; i < m_list->count(); ++i)
        if (keyOf(m_list->item(i)) == key)
            return m_list->item(i);
    return nullptr;
}

int TopicList::firstKey() const
{
    return m_list->count() > 0 ? keyOf(m_list->item(0)) : -1;
}

QList<int> TopicList::keys() const
{
    QList<int> out;
    out.reserve(m_list->count());
    for (int i = 0; i < m_list->count(); ++i)
        out << keyOf(m_list->item(i));
    return out;
}

void TopicList::DropListEntries(const QList<int> &keys)
{
    const QSet<int> gone(keys.cbegin(), keys.cend());
    // Taking an entry out moves the selection to a neighbour on the way;
    // after a removal nothing is selected. From the end, so that a whole
    // list moved away goes in one pass.
    const QSignalBlocker quiet(m_list);
    bool any = false;
    for (int i = m_list->count() - 1; i >= 0; --i) {
        if (gone.contains(keyOf(m_list->item(i)))) {
            delete m_list->takeItem(i);
            any = true;
        }
    }
    if (any) {
        m_list->setCurrentRow(-1);
        m_list->clearSelection();
    }
}

void TopicList::TopicsChanged(const notes::TopicChange &change)
{
    using Kind = notes::TopicChange::Kind;
    const int shown = ShownCategoryId();
    if (shown == -1)
        return;
    switch (change.kind) {
    case Kind::Added:
        if (change.category != shown || change.keys.isEmpty())
            break;
        if (change.keys.size() == 1) {
            m_list->setCurrentRow(AddListEntry(change.title, change.keys.constFirst()));
        } else {
            FillTopicList();
            SelectListItem(change.keys.constLast());
        }
        break;
    case Kind::Saved:
    case Kind::Renamed:
        if (QListWidgetItem *item = ListItemOf(change.keys.constFirst()))
            item->setText(change.title);
        break;
    case Kind::Moved:
        if (change.category == shown)
            FillTopicList();
        else
            DropListEntries(change.keys);
        break;
    case Kind::Removed:
        DropListEntries(change.keys);
        break;
    }
}

void TopicList::CategoriesChanged(const notes::CategoryChange &change)
{
    if (ShownCategoryId() != -1)
        return;
    using Kind = notes::CategoryChange::Kind;
    switch (change.kind) {
    case Kind::Added:
        m_list->setCurrentRow(AddListEntry(change.name, change.key));
        break;
    case Kind::Renamed:
        if (QListWidgetItem *item = ListItemOf(change.key))
            item->setText(change.name);
        break;
    case Kind::Removed:
        DropListEntries({change.key});
        break;
    }
}

int TopicList::SelectedKey() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item && item->isSelected() ? keyOf(item) : -1;
}

void TopicList::FillCategoryList()
{
    m_list->clear();
    const int last = m_session.settings.lastCategory().value_or(0);
    bool ok = true;
    std::vector<Entry> entries;
    for (const notes::ListEntry &e : m_session.categories.inListOrder(&ok))
        entries.push_back({e.text, e.key});
    if (!ok)
        ShowDatabaseErrors(m_session, m_window);
    fillSorted(m_list, entries);
    if (m_list->count() > 0 && !selectKey(last))
        m_list->setCurrentRow(0);
}

bool TopicList::FillTopicList(int category)
{
    m_shownCategory = category;
    QString name;
    bool ok = m_session.categories.name(category, &name) != notes::Found::Failed;
    m_categoryName->setText(name);
    m_list->clear();
    std::vector<Entry> entries;
    if (ok) {
        for (const notes::ListEntry &e : m_session.topics.listOf(category, &ok))
            entries.push_back({e.text, e.key});
    }
    fillSorted(m_list, entries);
    m_list->setCurrentRow(-1);
    return ok;
}

bool TopicList::selectKey(int key)
{
    QListWidgetItem *item = ListItemOf(key);
    if (item)
        m_list->setCurrentItem(item);
    return item != nullptr;
}

void TopicList::SelectListItem(int key)
{
    if (!selectKey(key) && m_list->count() > 0)
        m_list->setCurrentRow(0);
}

void TopicList::showTipAt(const QPoint &pos)
{
    // For titles wider than the list; no tooltip elsewhere.
    const QListWidgetItem *item = m_list->itemAt(pos);
    // A tip that looks like markup would be drawn as such: it is escaped.
    const QString tip = item ? item->text() : QString();
    m_list->setToolTip(Qt::mightBeRichText(tip) ? QStringLiteral("<qt>%1</qt>").arg(tip.toHtmlEscaped()) : tip);
}

void TopicList::takeFocus()
{
    m_list->setFocus();
}
