// The main window's list: categories or the topics of one category, opening
// an entry, locating a topic, and the Window menu.

#include "frmPrincipale.h"

#include "Finestre.h"
#include "db/ListOrder.h"
#include "Utility.h"
#include "Session.h"
#include "frmListaFinestre.h"
#include "frmNuovoArg.h"

#include <QAction>
#include <QDropEvent>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QSet>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

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

} // namespace

void frmPrincipale::connectHandlers()
{
    connect(cmdChiudi, &QToolButton::clicked, this, &frmPrincipale::cmdChiudi_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmPrincipale::mnuFileExit_Click);
    connect(mnuItaliano, &QAction::triggered, this, &frmPrincipale::mnuItaliano_Click);
    connect(mnuEnglish, &QAction::triggered, this, &frmPrincipale::mnuEnglish_Click);
    connect(cmdCambia, &QToolButton::clicked, this, &frmPrincipale::cmdCambia_Click);

    // Click runs on every click and on every change of selection, also one
    // made by code, as the search box follows the selected entry.
    connect(lstArgomenti, &QListWidget::itemClicked, this, &frmPrincipale::lstArgomenti_Click);
    connect(lstArgomenti, &QListWidget::itemSelectionChanged, this, &frmPrincipale::lstArgomenti_Click);
    connect(lstArgomenti, &QListWidget::itemDoubleClicked, this, &frmPrincipale::lstArgomenti_DblClick);
    lstArgomenti->viewport()->setMouseTracking(true);
    lstArgomenti->viewport()->installEventFilter(this);
    lstArgomenti->viewport()->setAcceptDrops(true);

    connect(cmdInserisci, &QToolButton::clicked, this, &frmPrincipale::cmdInserisci_Click);
    connect(mnuInserisci, &QAction::triggered, this, &frmPrincipale::cmdInserisci_Click);
    connect(cmdCancella, &QToolButton::clicked, this, &frmPrincipale::cmdCancella_Click);
    connect(mnuCancella, &QAction::triggered, this, &frmPrincipale::cmdCancella_Click);
    connect(mnuRinomina, &QAction::triggered, this, &frmPrincipale::mnuRinomina_Click);

    connect(mnuMinimizza, &QAction::triggered, this, &frmPrincipale::mnuMinimizza_Click);
    connect(mnuMassimizza, &QAction::triggered, this, &frmPrincipale::mnuMassimizza_Click);
    for (int i = 1; i <= 9; ++i)
        connect(mnuFinestra[size_t(i)], &QAction::triggered, this, [this, i] { mnuFinestra_Click(i); });
    connect(mnuFinestraAltre, &QAction::triggered, this, &frmPrincipale::mnuFinestraAltre_Click);
    connect(&m_session.store.changes, &notes::Changes::topicsChanged, this, &frmPrincipale::TopicsChanged);
    connect(&m_session.store.changes, &notes::Changes::categoriesChanged, this, &frmPrincipale::CategoriesChanged);
    connectRouting();
}

bool frmPrincipale::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != lstArgomenti->viewport() && routeKey(watched, event))
        return true;
    if (watched == lstArgomenti->viewport()
        && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove)) {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (lstArgomenti_DragOver(drag->mimeData())) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    if (watched == lstArgomenti->viewport() && event->type() == QEvent::Drop) {
        auto *drop = static_cast<QDropEvent *>(event);
        if (lstArgomenti_DragOver(drop->mimeData())) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            lstArgomenti_Drop(drop->mimeData());
        } else {
            drop->ignore();
        }
        return true;
    }
    if (watched == lstArgomenti->viewport() && event->type() == QEvent::MouseMove) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->buttons() == Qt::NoButton)
            lstArgomenti_MouseMove(mouse->position().toPoint());
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmPrincipale::isTopicMode() const
{
    return !frmCategoria->isHidden();
}

int frmPrincipale::ShownCategoryId() const
{
    return isTopicMode() ? m_shownCategory : -1;
}

int frmPrincipale::AddListEntry(const QString &text, int key)
{
    const QCollator &c = store::ListCollator();
    // After every entry that sorts before or equal to it.
    int lo = 0, hi = lstArgomenti->count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (c.compare(lstArgomenti->item(mid)->text(), text) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    auto *item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, key);
    lstArgomenti->insertItem(lo, item);
    return lo;
}

QListWidgetItem *frmPrincipale::ListItemOf(int key) const
{
    for (int i = 0; i < lstArgomenti->count(); ++i)
        if (lstArgomenti->item(i)->data(Qt::UserRole).toInt() == key)
            return lstArgomenti->item(i);
    return nullptr;
}

void frmPrincipale::DropListEntries(const QList<int> &keys)
{
    const QSet<int> gone(keys.cbegin(), keys.cend());
    // Taking an entry out moves the selection to a neighbour on the way;
    // after a removal nothing is selected. From the end, so that a whole
    // list moved away goes in one pass.
    const QSignalBlocker quiet(lstArgomenti);
    bool any = false;
    for (int i = lstArgomenti->count() - 1; i >= 0; --i) {
        if (gone.contains(lstArgomenti->item(i)->data(Qt::UserRole).toInt())) {
            delete lstArgomenti->takeItem(i);
            any = true;
        }
    }
    if (any) {
        lstArgomenti->setCurrentRow(-1);
        lstArgomenti->clearSelection();
    }
}

void frmPrincipale::TopicsChanged(const notes::TopicChange &change)
{
    using Kind = notes::TopicChange::Kind;
    // An alarm held after a refused write rings again once saved anew.
    if (change.alarm) {
        if (change.kind == Kind::Saved)
            AlarmSavedAgain(change.keys.constFirst());
        RescheduleAlarms();
    }
    const int shown = ShownCategoryId();
    if (shown == -1)
        return;
    switch (change.kind) {
    case Kind::Added:
        if (change.category != shown || change.keys.isEmpty())
            break;
        if (change.keys.size() == 1) {
            lstArgomenti->setCurrentRow(AddListEntry(change.title, change.keys.constFirst()));
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

void frmPrincipale::CategoriesChanged(const notes::CategoryChange &change)
{
    if (ShownCategoryId() != -1)
        return;
    using Kind = notes::CategoryChange::Kind;
    switch (change.kind) {
    case Kind::Added:
        lstArgomenti->setCurrentRow(AddListEntry(change.name, change.key));
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

int frmPrincipale::SelectedKey() const
{
    const QListWidgetItem *item = lstArgomenti->currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).toInt() : -1;
}

void frmPrincipale::FillCategoryList()
{
    lstArgomenti->clear();
    const int last = m_session.settings.lastCategory().value_or(0);
    bool ok = true;
    std::vector<Entry> entries;
    for (const notes::ListEntry &e : m_session.categories.inListOrder(&ok))
        entries.push_back({e.text, e.key});
    if (!ok)
        ShowDatabaseErrors(m_session, this);
    fillSorted(lstArgomenti, entries);
    if (lstArgomenti->count() > 0) {
        int row = 0;
        for (int i = 0; i < lstArgomenti->count(); ++i)
            if (lstArgomenti->item(i)->data(Qt::UserRole).toInt() == last) {
                row = i;
                break;
            }
        lstArgomenti->setCurrentRow(row);
    }
}

bool frmPrincipale::FillTopicList()
{
    QString name;
    bool ok = m_session.categories.name(m_shownCategory, &name) != notes::Found::Failed;
    labCategoria->setText(name);
    lstArgomenti->clear();
    std::vector<Entry> entries;
    if (ok) {
        for (const notes::ListEntry &e : m_session.topics.listOf(m_shownCategory, &ok))
            entries.push_back({e.text, e.key});
    }
    fillSorted(lstArgomenti, entries);
    lstArgomenti->setCurrentRow(-1);
    return ok;
}

void frmPrincipale::SelectListItem(int key)
{
    if (QListWidgetItem *item = ListItemOf(key))
        lstArgomenti->setCurrentItem(item);
    else if (lstArgomenti->count() > 0)
        lstArgomenti->setCurrentRow(0);
}

void frmPrincipale::OpenCategory()
{
    const int key = SelectedKey();
    if (key == -1)
        return;
    QString name;
    if (m_session.categories.name(key, &name) != notes::Found::Yes)
        return;
    m_shownCategory = key;
    frmCategoria->show();
    SetListTitle(207);
    for (QAction *a : {mnuTaglia, mnuCopia, mnuIncolla, mnuSposta, mnuSpostaTutti})
        a->setEnabled(true);
    SyncToolbar();
    FillTopicList();
    // Reopened at the next start when it can be kept.
    static_cast<void>(m_session.settings.setLastCategory(key));
}

void frmPrincipale::cmdCambia_Click()
{
    frmCategoria->hide();
    SetListTitle(206);
    for (QAction *a : {mnuTaglia, mnuCopia, mnuIncolla, mnuSposta, mnuSpostaTutti})
        a->setEnabled(false);
    mnuRinomina->setEnabled(true);
    SyncToolbar();
    FillCategoryList();
    if (txtCerca->isVisible())
        txtCerca->setFocus();
}

frmNuovoArg *frmPrincipale::OpenEditor(int topicId, int categoryId, bool focusBody)
{
    auto *editor = new frmNuovoArg(m_session, topicId, categoryId);
    // A new topic starts at its title, an existing one in its body.
    editor->BringForward();
    if (focusBody)
        editor->rtfContenuto->setFocus();
    return editor;
}

void frmPrincipale::OpenTopic()
{
    const int key = SelectedKey();
    if (key == -1)
        return;
    if (m_session.finestre.ActivateTopicWindow(key, QString()))
        return;
    OpenEditor(key, ShownCategoryId(), true);
}

void frmPrincipale::lstArgomenti_Click()
{
    if (SelectedKey() != -1)
        txtCerca->setText(lstArgomenti->currentItem()->text());
}

void frmPrincipale::lstArgomenti_DblClick()
{
    if (!isTopicMode()) {
        OpenCategory();
        mnuRinomina->setEnabled(false);
        StatusPanel1->setText(m_session.GetString(220));
    } else {
        OpenTopic();
    }
}

bool frmPrincipale::lstArgomenti_KeyPress(int character)
{
    switch (character) {
    case 13:
        if (!isTopicMode())
            OpenCategory();
        else
            OpenTopic();
        return true;
    case 3:
        copyOrCut(false);
        return true;
    case 24:
        copyOrCut(true);
        return true;
    case 22:
        paste();
        return true;
    default:
        return false;
    }
}

void frmPrincipale::lstArgomenti_MouseMove(const QPoint &pos)
{
    // The whole text of the entry under the pointer, for titles wider than
    // the list; no tooltip elsewhere.
    const QListWidgetItem *item = lstArgomenti->itemAt(pos);
    // A tip that looks like markup would be drawn as such: it is escaped.
    const QString tip = item ? item->text() : QString();
    lstArgomenti->setToolTip(Qt::mightBeRichText(tip) ? QStringLiteral("<qt>%1</qt>").arg(tip.toHtmlEscaped()) : tip);
}

void frmPrincipale::Individua(int topicId)
{
    int category = -1;
    if (m_session.topics.categoryOf(topicId, &category) != notes::Found::Yes)
        return;
    if (isTopicMode())
        cmdCambia_Click();
    int row = -1;
    for (int i = 0; i < lstArgomenti->count() && row < 0; ++i)
        if (lstArgomenti->item(i)->data(Qt::UserRole).toInt() == category)
            row = i;
    if (row < 0)
        return;
    lstArgomenti->setCurrentRow(row);
    lstArgomenti_DblClick();
    for (int i = 0; i < lstArgomenti->count(); ++i) {
        if (lstArgomenti->item(i)->data(Qt::UserRole).toInt() == topicId) {
            lstArgomenti->setCurrentRow(i);
            return;
        }
    }
}

void frmPrincipale::mnuMinimizza_Click()
{
    for (frmNuovoArg *e : m_session.finestre.editors())
        e->setWindowState(e->windowState() | Qt::WindowMinimized);
}

void frmPrincipale::mnuMassimizza_Click()
{
    for (frmNuovoArg *e : m_session.finestre.editors())
        e->setWindowState(e->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
}

void frmPrincipale::mnuFinestra_Click(int index)
{
    const int number = mnuFinestra[size_t(index)]->data().toInt();
    for (frmNuovoArg *e : m_session.finestre.editors()) {
        if (e->NumFinestra == number) {
            e->setWindowState(e->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
            e->BringForward();
        }
    }
}

void frmPrincipale::mnuFinestraAltre_Click()
{
    frmListaFinestre list(m_session, this);
    if (list.exec() != QDialog::Accepted)
        return;
    if (frmNuovoArg *e = m_session.finestre.editorByNumber(list.chosenWindow())) {
        e->setWindowState(e->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        e->BringForward();
    }
}
