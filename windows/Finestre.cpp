#include "Finestre.h"

#include "Forms.h"
#include "frmNuovoArg.h"

#include <QAction>
#include <QLineEdit>

namespace {
// Menu captions would take '&' as a mnemonic: show it as typed.
QString menuCaption(const QString &caption)
{
    return QString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}
} // namespace

void Finestre::attachMenu(QAction *bar10, const std::array<QAction *, 10> &entries, QAction *others)
{
    m_bar10 = bar10;
    m_entries = entries;
    m_others = others;
}

void Finestre::reset()
{
    OpenWindowCount = 0;
    OpenWindowNumbers.clear();
    OpenWindowCaptions.clear();
    NextWindowNumber = 0;
}

void Finestre::RegisterEditorWindow(const QString &caption)
{
    ++OpenWindowCount;
    OpenWindowNumbers.append(NextWindowNumber);
    OpenWindowCaptions.append(caption);
    ++NextWindowNumber;
    RebuildWindowMenu();
}

void Finestre::UnregisterEditorWindow(int windowNumber)
{
    const qsizetype p = OpenWindowNumbers.indexOf(windowNumber);
    if (p >= 0) {
        OpenWindowNumbers.removeAt(p);
        OpenWindowCaptions.removeAt(p);
        --OpenWindowCount;
    }
    RebuildWindowMenu();
}

void Finestre::RenameEditorWindow(int windowNumber, const QString &caption)
{
    const qsizetype p = OpenWindowNumbers.indexOf(windowNumber);
    if (p >= 0)
        OpenWindowCaptions[p] = caption;
    // The menu is patched in place, not rebuilt.
    for (size_t i = 1; i <= 9; ++i) {
        QAction *entry = m_entries[i];
        if (entry && entry->isVisible() && entry->data().toInt() == windowNumber)
            entry->setText(menuCaption(caption));
    }
}

void Finestre::RebuildWindowMenu()
{
    if (!m_bar10)
        return;
    const int n = std::min(OpenWindowCount, 9);
    for (int i = 1; i <= 9; ++i) {
        QAction *entry = m_entries[size_t(i)];
        if (i <= n) {
            entry->setText(menuCaption(OpenWindowCaptions[i - 1]));
            entry->setData(QString::number(OpenWindowNumbers[i - 1]));
            entry->setVisible(true);
        } else {
            entry->setVisible(false);
        }
    }
    m_others->setVisible(OpenWindowCount > 9);
    m_bar10->setVisible(OpenWindowCount >= 1);
}

QList<frmNuovoArg *> Finestre::editors() const
{
    QList<frmNuovoArg *> out;
    for (Form *f : m_forms.all())
        if (f->isEditor())
            if (auto *e = dynamic_cast<frmNuovoArg *>(f))
                out.append(e);
    return out;
}

frmNuovoArg *Finestre::editorOfTopic(int topicId) const
{
    for (frmNuovoArg *e : editors())
        if (e->idArgomento == topicId)
            return e;
    return nullptr;
}

frmNuovoArg *Finestre::editorByNumber(int windowNumber) const
{
    for (frmNuovoArg *e : editors())
        if (e->NumFinestra == windowNumber)
            return e;
    return nullptr;
}

bool Finestre::ActivateTopicWindow(int topicId, const QString &title)
{
    for (frmNuovoArg *e : editors()) {
        const bool match = topicId != -1 ? e->idArgomento == topicId : e->txtArgomento->text() == title;
        if (!match)
            continue;
        // A minimized window comes back normal; one that is not minimized
        // keeps its state, maximized included.
        if (e->isMinimized())
            e->setWindowState(e->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
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
