#pragma once
// The main window's list: the categories, or the topics of one category. It
// follows every change to the notes, whoever made it.

#include "notes/Changes.h"

#include <QList>
#include <QObject>
#include <QString>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QWidget;
class Session;

class TopicList final : public QObject {
    Q_OBJECT
public:
    // list: the list box; categoryBar: what is shown only in topic mode;
    // categoryName: the label naming the category listed.
    TopicList(Session &session, QListWidget *list, QWidget *categoryBar, QLabel *categoryName, QWidget *window);

    bool isTopicMode() const;
    // The category whose topics are listed; -1 in category mode. An editor
    // opened from the results may be in another.
    int ShownCategoryId() const;
    // The category listed last, in either mode; -1 before the first.
    int lastShownCategory() const { return m_shownCategory; }

    // Lists the categories, the last one opened selected.
    void FillCategoryList();
    // Lists the topics of category; false on a database error (the list
    // then holds what could be read).
    bool FillTopicList(int category);
    // Lists the topics of the category listed last, again.
    bool FillTopicList() { return FillTopicList(m_shownCategory); }

    // Key of the selected entry, -1 when none is selected.
    int SelectedKey() const;
    // Selects the entry of key, or the first one when it is not listed.
    void SelectListItem(int key);
    // Selects the entry of key; false when it is not listed.
    bool selectKey(int key);
    bool contains(int key) const { return ListItemOf(key) != nullptr; }
    // The key of the first entry, -1 for an empty list.
    int firstKey() const;
    // Every key listed, in list order.
    QList<int> keys() const;
    // Adds an entry at its place in the list's order; returns its row.
    int AddListEntry(const QString &text, int key);
    QListWidgetItem *ListItemOf(int key) const;
    // Takes the entries of the keys out; nothing is selected after.
    void DropListEntries(const QList<int> &keys);

    void takeFocus();
    // The whole text of the entry under the pointer as the list's tooltip.
    void showTipAt(const QPoint &pos);

private:
    void TopicsChanged(const notes::TopicChange &change);
    void CategoriesChanged(const notes::CategoryChange &change);

    Session &m_session;
    QListWidget *m_list;
    QWidget *m_categoryBar;
    QLabel *m_categoryName;
    QWidget *m_window;
    int m_shownCategory = -1;
};
