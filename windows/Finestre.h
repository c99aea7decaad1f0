#pragma once
// The registry of open editor windows: each editor registers on load under a
// window number that is never given again during a run, and unregisters on
// unload. The Window menu follows it through its signals.

#include <QList>
#include <QObject>
#include <QString>

class Forms;
class TopicWindow;

class Finestre final : public QObject {
    Q_OBJECT
public:
    explicit Finestre(Forms &forms) : m_forms(forms) {}

    struct Entry {
        int number;
        QString caption;
    };

    // Empties the registry (start-up).
    void reset();

    // Registers an editor under the next window number, which it returns.
    int RegisterEditorWindow(const QString &caption);
    void UnregisterEditorWindow(int windowNumber);
    void RenameEditorWindow(int windowNumber, const QString &caption);
    // The registered editors, in registration order.
    const QList<Entry> &entries() const { return m_entries; }

    // Brings forward the editor showing the topic (or, for key -1, the one
    // whose title is exactly title); false when there is none.
    bool ActivateTopicWindow(int topicId, const QString &title);
    // True when no window but the main one is loaded.
    bool AllWindowsClosed() const;

    // The loaded editor windows, in load order.
    QList<TopicWindow *> editors() const;
    // The first loaded editor showing that topic, or null.
    TopicWindow *editorOfTopic(int topicId) const;
    // The first loaded editor with that window number, or null.
    TopicWindow *editorByNumber(int windowNumber) const;

signals:
    // An editor came or went.
    void windowsChanged();
    // An editor's caption changed.
    void windowRenamed(int windowNumber, const QString &caption);

private:
    Forms &m_forms;
    QList<Entry> m_entries;
    int m_nextNumber = 0;
};
