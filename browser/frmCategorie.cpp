#include "frmCategorie.h"
#include "Str.h"

#include "Session.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmCategorie::frmCategorie(Session &session, QWidget *parent, int remembered)
    : QDialog(parent), Form(session.forms, this, QStringLiteral("main2")), m_session(session)
{
    setObjectName(QStringLiteral("frmCategorie"));
    setModal(true);
    lstCategorie = new QListWidget(this);
    cmdConferma = new QPushButton(this);
    cmdAnnulla = new QPushButton(this);
    cmdConferma->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdConferma);
    buttons->addWidget(cmdAnnulla);
    auto *root = new QVBoxLayout(this);
    root->addWidget(lstCategorie, 1);
    root->addLayout(buttons);
    resize(320, 360);
    connect(cmdConferma, &QPushButton::clicked, this, &frmCategorie::cmdConferma_Click);
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmCategorie::cmdAnnulla_Click);
    connect(lstCategorie, &QListWidget::itemDoubleClicked, this, &frmCategorie::lstCategorie_DblClick);
    Form_Load(remembered);
}

void frmCategorie::AggiornaLingua()
{
    setWindowTitle(m_session.GetString(Str::MoveTitle));
    lstCategorie->setToolTip(m_session.GetString(Str::MoveListTip));
    lstCategorie->setAccessibleName(m_session.GetString(Str::MoveListTip));
    cmdConferma->setText(m_session.GetString(Str::MoveConfirm));
    cmdConferma->setToolTip(m_session.GetString(Str::MoveConfirmTip));
    cmdAnnulla->setText(m_session.GetString(Str::MoveAbort));
    cmdAnnulla->setToolTip(m_session.GetString(Str::MoveAbortTip));
}

void frmCategorie::Form_Load(int remembered)
{
    AggiornaLingua();
    bool ok = true;
    const QList<notes::ListEntry> all = m_session.categories.inListOrder(&ok);
    if (all.isEmpty()) {
        cmdConferma->setEnabled(false);
        return;
    }
    lstCategorie->clear();
    int row = 0;
    for (const notes::ListEntry &e : all) {
        auto *item = new QListWidgetItem(e.text);
        item->setData(Qt::UserRole, e.key);
        lstCategorie->addItem(item);
        if (e.key == remembered)
            row = lstCategorie->count() - 1;
    }
    if (lstCategorie->count() > 0)
        lstCategorie->setCurrentRow(row);
}

void frmCategorie::cmdConferma_Click()
{
    const QListWidgetItem *item = lstCategorie->currentItem();
    if (!item || !item->isSelected())
        return;
    m_chosen = item->data(Qt::UserRole).toInt();
    accept();
}

void frmCategorie::cmdAnnulla_Click()
{
    reject();
}

void frmCategorie::lstCategorie_DblClick()
{
    if (cmdConferma->isEnabled())
        cmdConferma_Click();
}
