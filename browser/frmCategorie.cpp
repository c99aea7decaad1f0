#include "frmCategorie.h"

#include "Session.h"
#include "frmPrincipale.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmCategorie::frmCategorie(Session &session, frmPrincipale *main)
    : QDialog(main), Form(session.forms, this, QStringLiteral("main2")), m_session(session)
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
    Form_Load(main);
}

void frmCategorie::AggiornaLingua()
{
    setWindowTitle(m_session.GetString(300));
    lstCategorie->setToolTip(m_session.GetString(301));
    lstCategorie->setAccessibleName(m_session.GetString(301));
    cmdConferma->setText(m_session.GetString(302));
    cmdConferma->setToolTip(m_session.GetString(303));
    cmdAnnulla->setText(m_session.GetString(304));
    cmdAnnulla->setToolTip(m_session.GetString(305));
}

void frmCategorie::Form_Load(frmPrincipale *main)
{
    AggiornaLingua();
    m_session.MoveTargetCategory = -1;
    bool ok = true;
    const QList<notes::ListEntry> all = m_session.categories.inListOrder(&ok);
    if (all.isEmpty()) {
        cmdConferma->setEnabled(false);
        return;
    }
    if (main && main->lstArgomenti->count() > 0 && m_session.LastMoveTarget == -1) {
        int category = -1;
        if (m_session.topics.categoryOf(main->lstArgomenti->item(0)->data(Qt::UserRole).toInt(), &category)
            == notes::Found::Yes)
            m_session.LastMoveTarget = category;
    }
    lstCategorie->clear();
    int remembered = 0;
    for (const notes::ListEntry &e : all) {
        auto *item = new QListWidgetItem(e.text);
        item->setData(Qt::UserRole, e.key);
        lstCategorie->addItem(item);
        if (e.key == m_session.LastMoveTarget)
            remembered = lstCategorie->count() - 1;
    }
    if (lstCategorie->count() > 0)
        lstCategorie->setCurrentRow(remembered);
}

void frmCategorie::cmdConferma_Click()
{
    const QListWidgetItem *item = lstCategorie->currentItem();
    if (!item || !item->isSelected())
        return;
    m_session.MoveTargetCategory = item->data(Qt::UserRole).toInt();
    m_session.LastMoveTarget = m_session.MoveTargetCategory;
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
