#include "frmListaArgomenti.h"

#include "Finestre.h"
#include "Session.h"
#include "frmNuovoArg.h"
#include "frmPrincipale.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmListaArgomenti::frmListaArgomenti(Session &session)
    : QWidget(nullptr, Qt::Window), Form(session.forms, this, QStringLiteral("main2")), m_session(session)
{
    setObjectName(QStringLiteral("frmListaArgomenti"));
    setAttribute(Qt::WA_DeleteOnClose);
    lstArgomenti = new QListWidget(this);
    lstArgomenti->setUniformItemSizes(true);
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
    connect(lstArgomenti, &QListWidget::itemDoubleClicked, this, &frmListaArgomenti::cmdMostra_Click);
    lstArgomenti->installEventFilter(this);
    AggiornaLingua();
}

void frmListaArgomenti::AggiornaLingua()
{
    setWindowTitle(m_session.GetString(500));
    lstArgomenti->setToolTip(m_session.GetString(501));
    lstArgomenti->setAccessibleName(m_session.GetString(501));
    cmdMostra->setText(m_session.GetString(502));
    cmdMostra->setToolTip(m_session.GetString(503));
    cmdChiudi->setText(m_session.GetString(504));
    cmdChiudi->setToolTip(m_session.GetString(505));
    cmdIndividua->setText(m_session.GetString(508));
    cmdIndividua->setToolTip(m_session.GetString(509));
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
    const QListWidgetItem *item = lstArgomenti->currentItem();
    return item && item->isSelected() ? lstArgomenti->row(item) : -1;
}

void frmListaArgomenti::cmdMostra_Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const int key = lstArgomenti->item(row)->data(Qt::UserRole).toInt();
    store::TableRecordset &rs = *m_session.store.rsArgomenti;
    rs.setIndex(QStringLiteral("PrimaryKey"));
    if (!rs.seek(key)) {
        m_session.dialogs().MsgBox(this, m_session.GetString(506), platform::vbCritical, m_session.GetString(507));
        delete lstArgomenti->takeItem(row);
        // No line is selected afterwards, as in the main list.
        lstArgomenti->setCurrentRow(-1);
        lstArgomenti->clearSelection();
        return;
    }
    frmPrincipale *main = m_session.MainWindow;
    if (!main)
        return;
    main->CurrentTopicId = key;
    main->CurrentCategoryId = rs.field(QStringLiteral("idCategoria")).toInt();
    frmNuovoArg *editor = nullptr;
    if (m_session.finestre.ActivateTopicWindow(key, QString())) {
        for (frmNuovoArg *e : m_session.finestre.editors())
            if (e->idArgomento == key)
                editor = e;
    } else {
        editor = main->OpenEditor(main->CurrentTopicId, main->CurrentCategoryId, true);
    }
    // What was looked for is shown in the topic.
    if (editor && !Pattern.isEmpty())
        editor->ShowFound(Pattern);
}

void frmListaArgomenti::cmdIndividua_Click()
{
    const int row = selectedRow();
    if (row >= 0 && m_session.MainWindow)
        m_session.MainWindow->Individua(lstArgomenti->item(row)->data(Qt::UserRole).toInt());
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
