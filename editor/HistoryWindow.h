#pragma once
// A topic's earlier versions, newest first: the one selected shown as it
// was, read-only and formatted, to be made the topic's content again or
// added beside it as a new topic.

#include "notes/History.h"

#include <QDialog>

#include <functional>

class Session;
class QLabel;
class QListWidget;
class QPushButton;
class QTextEdit;

class HistoryWindow final : public QDialog {
    Q_OBJECT
public:
    // What exec() answers.
    enum Answer { Closed = 0, Restored, RestoredAsNew };
    // mayRestore is asked before a version replaces the topic's content
    // (false: the caller has told the user why not).
    HistoryWindow(Session &session, int topic, const QString &title, std::function<bool()> mayRestore,
                  QWidget *parent);

    // The versions listed, as they are listed.
    const QList<notes::VersionEntry> &versions() const { return m_versions; }
    void select(int row);
    // The topic added by Restore as new topic.
    int addedTopic() const { return m_added; }
    QPushButton *restoreButton() const { return m_restore; }
    QPushButton *restoreAsNewButton() const { return m_asNew; }
    QTextEdit *preview() const { return m_preview; }

private:
    void showSelected();
    void restore();
    void restoreAsNew();
    qint64 selectedVersion() const;

    Session &m_session;
    int m_topic;
    std::function<bool()> m_mayRestore;
    QList<notes::VersionEntry> m_versions;
    QLabel *m_label = nullptr;
    QListWidget *m_list = nullptr;
    QTextEdit *m_preview = nullptr;
    QPushButton *m_restore = nullptr;
    QPushButton *m_asNew = nullptr;
    int m_added = -1;
};
