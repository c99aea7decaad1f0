#include "frmListaArgomenti.h"
#include "Str.h"

#include "Finestre.h"
#include "Session.h"
#include "frmNuovoArg.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>

int TopicListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_found.size());
}

QVariant TopicListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_found.size())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_found.title(index.row());
    if (role == Qt::UserRole)
        return m_found.key(index.row());
    return QVariant();
}

void TopicListModel::append(store::FoundTopics &&found)
{
    if (found.isEmpty())
        return;
    const int first = int(m_found.size());
    beginInsertRows(QModelIndex(), first, first + int(found.size()) - 1);
    m_found.append(std::move(found));
    endInsertRows();
}

void TopicListModel::clear()
{
    beginResetModel();
    m_found.clear();
    endResetModel();
}

void TopicListModel::removeLine(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    m_found.remove(row);
    endRemoveRows();
}

ListaRisultati::ListaRisultati(QWidget *parent) : QListView(parent), m_lines(new TopicListModel(this))
{
    setModel(m_lines);
    // One line height for all: laying out a million lines measures none.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

int ListaRisultati::currentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void ListaRisultati::setCurrentRow(int row)
{
    if (row < 0 || row >= count()) {
        setCurrentIndex(QModelIndex());
        clearSelection();
        return;
    }
    setCurrentIndex(m_lines->index(row));
}

namespace {

// Qt tells a screen reader that a top-level plain QWidget is a "client"
// area (a filler), not a window: the results would not be listed among the
// program's windows. They are one, like the editors.
QAccessibleInterface *resultsAsWindow(const QString &className, QObject *object)
{
    if (className == QLatin1String("frmListaArgomenti") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

frmListaArgomenti::frmListaArgomenti(Session &session)
    : QWidget(nullptr, Qt::Window), Form(session.forms, this, QStringLiteral("main2")), m_session(session)
{
    setObjectName(QStringLiteral("frmListaArgomenti"));
    setAttribute(Qt::WA_DeleteOnClose);
    [[maybe_unused]] static const bool asWindow = (QAccessible::installFactory(resultsAsWindow), true);
    lstArgomenti = new ListaRisultati(this);
    cmdMostra = new QPushButton(this);
    cmdIndividua = new QPushButton(this);
    cmdChiudi = new QPushButton(this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdMostra);
    buttons->addWidget(cmdIndividua);
    buttons->addStretch(1);
    buttons->addWidget(cmdChiudi);
    auto *root = new QVBoxLayout(this);
    root->addWidget(lstArgomenti, 1);
    root->addLayout(buttons);
    resize(380, 420);
    connect(cmdMostra, &QPushButton::clicked, this, &frmListaArgomenti::cmdMostra_Click);
    connect(cmdIndividua, &QPushButton::clicked, this, &frmListaArgomenti::cmdIndividua_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &frmListaArgomenti::cmdChiudi_Click);
    connect(lstArgomenti, &QAbstractItemView::doubleClicked, this, &frmListaArgomenti::cmdMostra_Click);
    lstArgomenti->installEventFilter(this);
    AggiornaLingua();
}

void frmListaArgomenti::AggiornaLingua()
{
    setWindowTitle(m_session.GetString(Str::FoundTitle));
    lstArgomenti->setToolTip(m_session.GetString(Str::FoundListTip));
    lstArgomenti->setAccessibleName(m_session.GetString(Str::FoundListTip));
    cmdMostra->setText(m_session.GetString(Str::FoundShow));
    cmdMostra->setToolTip(m_session.GetString(Str::FoundShowTip));
    cmdChiudi->setText(m_session.GetString(Str::FoundClose));
    cmdChiudi->setToolTip(m_session.GetString(Str::FoundCloseTip));
    cmdIndividua->setText(m_session.GetString(Str::FoundLocate));
    cmdIndividua->setToolTip(m_session.GetString(Str::FoundLocateTip));
}

bool frmListaArgomenti::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstArgomenti && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdMostra_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

int frmListaArgomenti::selectedRow() const
{
    const QModelIndex current = lstArgomenti->currentIndex();
    return current.isValid() && lstArgomenti->selectionModel()->isSelected(current) ? current.row() : -1;
}

void frmListaArgomenti::cmdMostra_Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const int key = lstArgomenti->key(row);
    int category = -1;
    if (m_session.topics.categoryOf(key, &category) != notes::Found::Yes) {
        m_session.dialogs().MsgBox(this, m_session.GetString(Str::TopicDeleted), platform::vbCritical, m_session.GetString(Str::ErrorTitle));
        lstArgomenti->lines()->removeLine(row);
        // No line is selected afterwards, as in the main list.
        lstArgomenti->setCurrentRow(-1);
        return;
    }
    frmNuovoArg *editor = nullptr;
    if (m_session.finestre.ActivateTopicWindow(key, QString()))
        editor = dynamic_cast<frmNuovoArg *>(m_session.finestre.editorOfTopic(key));
    else
        editor = frmNuovoArg::Open(m_session, key, category);
    // What was looked for is shown in the topic.
    if (editor && !Pattern.isEmpty())
        editor->ShowFound(Pattern);
}

void frmListaArgomenti::cmdIndividua_Click()
{
    const int row = selectedRow();
    if (row >= 0)
        emit locate(lstArgomenti->key(row));
}

void frmListaArgomenti::cmdChiudi_Click()
{
    close();
}

void frmListaArgomenti::closeEvent(QCloseEvent *event)
{
    event->accept();
    formClosed();
}
