#pragma once
// The registry of open editor windows, and the Window menu that shows it:
// each editor registers on load under a window number that is never given
// again during a run, and unregisters on unload.

#include <QList>
#include <QStringList>

#include <array>

class QAction;
class Forms;
class frmNuovoArg;

class Finestre final {
public:
    explicit Finestre(Forms &forms) : m_forms(forms) {}

    // The Window menu entries kept in step with the registry: the separator,
    // mnuFinestra(1) to (9) at indexes 1-9, and "Others..".
    void attachMenu(QAction *bar10, const std::array<QAction *, 10> &entries, QAction *others);
    // Empties the registry (start-up); the menu is left as it is.
    void reset();

    void RegisterEditorWindow(const QString &caption);
    void UnregisterEditorWindow(int windowNumber);
    void RenameEditorWindow(int windowNumber, const QString &caption);
    void RebuildWindowMenu();
    // Brings forward the editor showing the topic (or, for key -1, the one
    // whose title is exactly title); false when there is none.
    bool ActivateTopicWindow(int topicId, const QString &title);
    // True when no window but the main one is loaded.
    bool AllWindowsClosed() const;

    // The loaded editor windows, in load order.
    QList<frmNuovoArg *> editors() const;
    // The first loaded editor showing that topic, or null.
    frmNuovoArg *editorOfTopic(int topicId) const;
    // The first loaded editor with that window number, or null.
    frmNuovoArg *editorByNumber(int windowNumber) const;

    int OpenWindowCount = 0;
    QList<int> OpenWindowNumbers;
    QStringList OpenWindowCaptions;
    int NextWindowNumber = 0;

private:
    Forms &m_forms;
    QAction *m_bar10 = nullptr;
    std::array<QAction *, 10> m_entries{};
    QAction *m_others = nullptr;
};
