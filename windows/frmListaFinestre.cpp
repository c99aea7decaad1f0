#include "frmListaFinestre.h"
#include "Str.h"

#include "Session.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmListaFinestre::frmListaFinestre(Session &session, QWidget *parent)
    : QDialog(parent), Form(session.forms, this, QStringLiteral("main2")), m_session(session)
{
    setObjectName(QStringLiteral("frmListaFinestre"));
    setModal(true);
    lstFinestre = new QListWidget(this);
    cmdPassa = new QPushButton(this);
    cmdChiudi = new QPushButton(this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdPassa);
    buttons->addWidget(cmdChiudi);
    auto *root = new QVBoxLayout(this);
    root->addWidget(lstFinestre, 1);
    root->addLayout(buttons);
    resize(340, 360);
    connect(cmdPassa, &QPushButton::clicked, this, &frmListaFinestre::cmdPassa_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &frmListaFinestre::cmdChiudi_Click);
    connect(lstFinestre, &QListWidget::itemDoubleClicked, this, &frmListaFinestre::cmdPassa_Click);
    lstFinestre->installEventFilter(this);

    // Load: the registry's entries in registration order.
    AggiornaLingua();
    for (const Finestre::Entry &e : m_session.finestre.entries()) {
        auto *item = new QListWidgetItem(e.caption);
        item->setData(Qt::UserRole, e.number);
        lstFinestre->addItem(item);
    }
    // The list comes first in the tab order and takes the focus.
    lstFinestre->setFocus();
}

void frmListaFinestre::AggiornaLingua()
{
    setWindowTitle(m_session.GetString(Str::WindowsTitle));
    lstFinestre->setToolTip(m_session.GetString(Str::WindowsListTip));
    lstFinestre->setAccessibleName(m_session.GetString(Str::WindowsListTip));
    cmdPassa->setText(m_session.GetString(Str::WindowsPass));
    cmdPassa->setToolTip(m_session.GetString(Str::WindowsPassTip));
    cmdChiudi->setText(m_session.GetString(Str::WindowsClose));
    cmdChiudi->setToolTip(m_session.GetString(Str::WindowsCloseTip));
}

bool frmListaFinestre::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstFinestre) {
        if (event->type() == QEvent::FocusIn && lstFinestre->currentRow() < 0 && lstFinestre->count() > 0)
            lstFinestre->setCurrentRow(0);
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                cmdPassa_Click();
                return true;
            }
            if (key == Qt::Key_Escape) {
                cmdChiudi_Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmListaFinestre::cmdPassa_Click()
{
    const QListWidgetItem *item = lstFinestre->currentItem();
    if (!item || !item->isSelected())
        return;  // no line selected
    m_chosen = item->data(Qt::UserRole).toInt();
    accept();
}

void frmListaFinestre::cmdChiudi_Click()
{
    reject();
}
