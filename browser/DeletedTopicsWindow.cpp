#include "DeletedTopicsWindow.h"

#include "Session.h"
#include "ShownDates.h"
#include "Str.h"
#include "Utility.h"
#include "frmCategorie.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

DeletedTopicsWindow::DeletedTopicsWindow(Session &session, QWidget *parent) : QDialog(parent), m_session(session)
{
    const auto s = [&](int id) { return session.GetString(id); };
    setWindowTitle(s(Str::DeletedTitle));
    auto *findLabel = new QLabel(s(Str::DeletedFind), this);
    m_find = new QLineEdit(this);
    findLabel->setBuddy(m_find);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels({s(Str::DeletedColumnTopic), s(Str::DeletedColumnCategory), s(Str::DeletedColumnWhen)});
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->setAccessibleName(s(Str::DeletedTitle));
    auto *buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(s(Str::DeletedRestore), QDialogButtonBox::ActionRole);
    m_restoreInto = buttons->addButton(s(Str::DeletedRestoreInto), QDialogButtonBox::ActionRole);
    QPushButton *close = buttons->addButton(s(Str::DeletedClose), QDialogButtonBox::RejectRole);
    auto *findRow = new QHBoxLayout;
    findRow->addWidget(findLabel);
    findRow->addWidget(m_find, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(findRow);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(640, 400);

    connect(m_find, &QLineEdit::textChanged, this, &DeletedTopicsWindow::fill);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &DeletedTopicsWindow::selectionChanged);
    connect(m_list, &QTreeWidget::itemActivated, this, [this] { restoreSelected(-1); });
    connect(m_restore, &QPushButton::clicked, this, [this] { restoreSelected(-1); });
    connect(m_restoreInto, &QPushButton::clicked, this, &DeletedTopicsWindow::restoreInto);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    fill();
}

void DeletedTopicsWindow::fill()
{
    bool ok = false;
    m_shown = m_session.history.deleted(m_find->text(), &ok);
    if (!ok)
        ShowDatabaseErrors(m_session, this);
    m_list->clear();
    for (const notes::DeletedTopic &t : std::as_const(m_shown))
        m_list->addTopLevelItem(new QTreeWidgetItem(QStringList{t.title, t.categoryName, ShownMoment(t.deleted)}));
    if (m_shown.isEmpty() && m_find->text().isEmpty())
        m_list->addTopLevelItem(new QTreeWidgetItem(QStringList{m_session.GetString(Str::DeletedNone)}));
    selectionChanged();
}

void DeletedTopicsWindow::selectionChanged()
{
    // Nothing comes back into a file that cannot be written.
    const bool chosen = !m_shown.isEmpty() && !m_list->selectedItems().isEmpty() && !m_session.store.isReadOnly();
    m_restore->setEnabled(chosen);
    m_restoreInto->setEnabled(chosen);
}

void DeletedTopicsWindow::restoreSelected(int category)
{
    QList<int> keys;
    for (int row = 0; row < m_shown.size(); ++row)
        if (m_list->topLevelItem(row)->isSelected())
            keys << m_shown[row].key;
    if (keys.isEmpty() || RefusedReadOnly(m_session, this))
        return;
    QList<int> back;
    if (!m_session.history.undelete(keys, category, &back))
        ShowDatabaseErrors(m_session, this);
    m_restored += back;
    fill();
}

void DeletedTopicsWindow::restoreInto()
{
    frmCategorie chooser(m_session, this, -1);
    if (chooser.exec() == QDialog::Accepted && chooser.chosen() != -1)
        restoreSelected(chooser.chosen());
}
