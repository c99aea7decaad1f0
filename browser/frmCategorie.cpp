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
    store::NoteStore &st = m_session.store;
    if (st.rsCategorie->recordCount() == 0) {
        cmdConferma->setEnabled(false);
        return;
    }
    // The main window's current category is the current record of
    // rsCategorie: it is put back after the walk.
    const qint64 current = st.rsCategorie->bookmark();
    if (main && main->lstArgomenti->count() > 0) {
        st.rsArgomenti->setIndex(QStringLiteral("PrimaryKey"));
        if (st.rsArgomenti->seek(main->lstArgomenti->item(0)->data(Qt::UserRole)) && m_session.LastMoveTarget == -1)
            m_session.LastMoveTarget = st.rsArgomenti->field(QStringLiteral("idCategoria")).toInt();
    }
    st.rsCategorie->setIndex(QStringLiteral("Categoria"));
    lstCategorie->clear();
    int remembered = 0;
    for (st.rsCategorie->moveFirst(); !st.rsCategorie->eof(); st.rsCategorie->moveNext()) {
        const int key = st.rsCategorie->field(QStringLiteral("idCategoria")).toInt();
        auto *item = new QListWidgetItem(st.rsCategorie->field(QStringLiteral("Categoria")).toString());
        item->setData(Qt::UserRole, key);
        lstCategorie->addItem(item);
        if (key == m_session.LastMoveTarget)
            remembered = lstCategorie->count() - 1;
    }
    if (current >= 0)
        st.rsCategorie->setBookmark(current);
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
