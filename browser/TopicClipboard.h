#pragma once
// The topic clipboard of the main window: a topic copied or cut from the list
// is pasted, as a new topic, into the category listed.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>

class QWidget;
class Session;
class TopicList;

class TopicClipboard final : public QObject {
    Q_OBJECT
public:
    TopicClipboard(Session &session, TopicList &list, QWidget *window);

    // Takes the selected topic; a cut one leaves its category when it is
    // pasted into another.
    void copyOrCut(bool cut);
    void paste();
    // Something was copied or cut.
    bool holdsTopic() const { return m_full; }
    // Empties the clipboard (start-up).
    void clear();

signals:
    // Paste became possible.
    void filled();

private:
    // Copies the topic's title, body, text and date; false when it is not
    // found or could not be read.
    bool readClip(int key);

    Session &m_session;
    TopicList &m_list;
    QWidget *m_window;
    bool m_full = false;
    int m_cutFrom = -1;  // the cut topic, -1 for a copy
    QString m_title;
    QVariant m_body;
    QString m_plainText;
    QDateTime m_updated;
};
