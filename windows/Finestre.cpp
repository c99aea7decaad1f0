#include "Finestre.h"

#include "Forms.h"

void Finestre::reset()
{
    m_entries.clear();
    m_nextNumber = 0;
    emit windowsChanged();
}

int Finestre::RegisterEditorWindow(const QString &caption)
{
    const int number = m_nextNumber++;
    m_entries.append({number, caption});
    emit windowsChanged();
    return number;
}

void Finestre::UnregisterEditorWindow(int windowNumber)
{
    m_entries.removeIf([windowNumber](const Entry &e) { return e.number == windowNumber; });
    emit windowsChanged();
}

void Finestre::RenameEditorWindow(int windowNumber, const QString &caption)
{
    for (Entry &e : m_entries)
        if (e.number == windowNumber)
            e.caption = caption;
    emit windowRenamed(windowNumber, caption);
}

QList<TopicWindow *> Finestre::editors() const
{
    QList<TopicWindow *> out;
    for (Form *f : m_forms.all())
        if (auto *e = dynamic_cast<TopicWindow *>(f))
            out.append(e);
    return out;
}

TopicWindow *Finestre::editorOfTopic(int topicId) const
{
    for (TopicWindow *e : editors())
        if (e->topicId() == topicId)
            return e;
    return nullptr;
}

TopicWindow *Finestre::editorByNumber(int windowNumber) const
{
    for (TopicWindow *e : editors())
        if (e->windowNumber() == windowNumber)
            return e;
    return nullptr;
}

bool Finestre::ActivateTopicWindow(int topicId, const QString &title)
{
    for (TopicWindow *e : editors()) {
        const bool match = topicId != -1 ? e->topicId() == topicId : e->title() == title;
        if (!match)
            continue;
        // A minimized window comes back normal; one that is not minimized
        // keeps its state, maximized included.
        if (e->widget()->isMinimized())
            e->RestoreAndBringForward();
        else
            e->BringForward();
        return true;
    }
    return false;
}

bool Finestre::AllWindowsClosed() const
{
    for (Form *f : m_forms.all())
        if (f->Tag() != QLatin1String("main"))
            return false;
    return true;
}
