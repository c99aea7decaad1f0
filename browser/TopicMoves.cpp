#include "TopicMoves.h"

#include "Session.h"
#include "TopicList.h"
#include "Utility.h"
#include "frmCategorie.h"

int TopicMoves::chooseDestination()
{
    // At first the category of the topics listed is preselected; then the
    // last one chosen.
    if (m_lastTarget == -1 && m_list.firstKey() != -1) {
        int category = -1;
        if (m_session.topics.categoryOf(m_list.firstKey(), &category) == notes::Found::Yes)
            m_lastTarget = category;
    }
    frmCategorie chooser(m_session, m_window, m_lastTarget);
    if (chooser.exec() != QDialog::Accepted)
        return -1;
    m_lastTarget = chooser.chosen();
    // Moving into the category the topics are in would change nothing.
    return m_lastTarget != m_list.ShownCategoryId() ? m_lastTarget : -1;
}

void TopicMoves::moveSelected()
{
    const int key = m_list.SelectedKey();
    if (key == -1 || RefusedReadOnly(m_session, m_window))
        return;
    const int target = chooseDestination();
    if (target != -1 && !m_session.topics.move(key, target))
        ShowDatabaseErrors(m_session, m_window);
}

void TopicMoves::moveAll()
{
    const QList<int> keys = m_list.keys();
    if (keys.isEmpty() || RefusedReadOnly(m_session, m_window))
        return;
    const int target = chooseDestination();
    if (target == -1)
        return;
    // One write for the whole list: thousands of topics move at once, and
    // an error leaves them all where they were.
    if (!m_session.topics.moveAll(keys, target))
        ShowDatabaseErrors(m_session, m_window);
}
