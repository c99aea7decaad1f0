// The main window's handlers: each hands its work to the part that does it.

#include "frmPrincipale.h"
#include "Str.h"

#include "AlarmRinging.h"
#include "DatabasePacking.h"
#include "DeletedTopicsWindow.h"
#include "DropImport.h"
#include "Finestre.h"
#include "FindInTopics.h"
#include "ListCommands.h"
#include "MainKeys.h"
#include "Session.h"
#include "SystemFont.h"
#include "SyncRunner.h"
#include "SyncSettingsWindow.h"
#include "TopicClipboard.h"
#include "TopicList.h"
#include "TopicMoves.h"
#include "Utility.h"
#include "WindowMenu.h"
#include "frmNuovoArg.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>

void frmPrincipale::connectHandlers()
{
    Session &s = m_session;
    connect(&s.instance(), &platform::InstanceChannel::commandReceived, this, &frmPrincipale::CommandReceived);
    // The desktop session ending asks to close the program like any close:
    // a window holding changes keeps the session from ending.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmPrincipale::commitDataRequest);
    connect(m_alarms, &AlarmRinging::windowsWanted, this, &frmPrincipale::BringBackFromTray);
    connect(m_alarms, &AlarmRinging::topicWanted, this, [this](int topic) {
        Individua(topic);
        if (m_list->isTopicMode() && m_list->SelectedKey() == topic)
            lstArgomenti_DblClick();
    });
    connect(m_find, &FindInTopics::locate, this, &frmPrincipale::Individua);
    connect(m_clipboard, &TopicClipboard::filled, this, &frmPrincipale::SyncToolbar);

    connect(cmdChiudi, &QToolButton::clicked, this, &frmPrincipale::cmdChiudi_Click);
    connect(cmdCambia, &QToolButton::clicked, this, &frmPrincipale::cmdCambia_Click);
    connect(cmdInserisci, &QToolButton::clicked, this, &frmPrincipale::cmdInserisci_Click);
    connect(cmdCancella, &QToolButton::clicked, this, &frmPrincipale::cmdCancella_Click);
    // Click runs on every click and on every change of selection, also one
    // made by code, as the search box follows the selected entry.
    connect(lstArgomenti, &QListWidget::itemClicked, this, &frmPrincipale::lstArgomenti_Click);
    connect(lstArgomenti, &QListWidget::itemSelectionChanged, this, &frmPrincipale::lstArgomenti_Click);
    connect(lstArgomenti, &QListWidget::itemDoubleClicked, this, &frmPrincipale::lstArgomenti_DblClick);
    lstArgomenti->viewport()->setMouseTracking(true);
    lstArgomenti->viewport()->installEventFilter(this);
    lstArgomenti->viewport()->setAcceptDrops(true);
    connect(Toolbar1, &QToolBar::actionTriggered, this, &frmPrincipale::Toolbar1_ButtonClick);
    // The window sees every key before the focused control does.
    for (QWidget *w : {static_cast<QWidget *>(txtCerca), static_cast<QWidget *>(lstArgomenti),
                       static_cast<QWidget *>(cmdCambia), static_cast<QWidget *>(cmdChiudi)})
        w->installEventFilter(this);
}

void frmPrincipale::connectMenus()
{
    const auto on = [this](QAction *entry, void (frmPrincipale::*handler)()) {
        connect(entry, &QAction::triggered, this, handler);
    };
    on(mnuFileExit, &frmPrincipale::mnuFileExit_Click);
    on(mnuSync, &frmPrincipale::mnuSync_Click);
    on(mnuSyncSettings, &frmPrincipale::mnuSyncSettings_Click);
    on(mnuItaliano, &frmPrincipale::mnuItaliano_Click);
    on(mnuEnglish, &frmPrincipale::mnuEnglish_Click);
    on(mnuInserisci, &frmPrincipale::cmdInserisci_Click);
    on(mnuCancella, &frmPrincipale::cmdCancella_Click);
    on(mnuRinomina, &frmPrincipale::mnuRinomina_Click);
    on(mnuTaglia, &frmPrincipale::mnuTaglia_Click);
    on(mnuCopia, &frmPrincipale::mnuCopia_Click);
    on(mnuIncolla, &frmPrincipale::mnuIncolla_Click);
    on(mnuSposta, &frmPrincipale::mnuSposta_Click);
    on(mnuSpostaTutti, &frmPrincipale::mnuSpostaTutti_Click);
    on(mnuTrovaArgomenti, &frmPrincipale::mnuTrovaArgomenti_Click);
    on(mnuEliminati, &frmPrincipale::mnuEliminati_Click);
    on(mnuFontSistema, &frmPrincipale::mnuFontSistema_Click);
    on(mnuCompatta, &frmPrincipale::mnuCompatta_Click);
    on(mnuInformazioni, &frmPrincipale::mnuInformazioni_Click);
    on(mnuMinimizza, &frmPrincipale::mnuMinimizza_Click);
    on(mnuMassimizza, &frmPrincipale::mnuMassimizza_Click);
    on(mnuFinestraAltre, &frmPrincipale::mnuFinestraAltre_Click);
    for (int i = 1; i <= 9; ++i)
        connect(mnuFinestra[size_t(i)], &QAction::triggered, this, [this, i] { mnuFinestra_Click(i); });
}

bool frmPrincipale::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstArgomenti->viewport())
        return listViewportEvent(event) || QMainWindow::eventFilter(watched, event);
    return m_keys->route(watched, event) || QMainWindow::eventFilter(watched, event);
}

bool frmPrincipale::listViewportEvent(QEvent *event)
{
    if (m_drop->dragEvent(event, m_list->ShownCategoryId()))
        return true;
    if (event->type() == QEvent::MouseMove && static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton)
        lstArgomenti_MouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
    return false;
}

void frmPrincipale::enableTopicCommands(bool on)
{
    for (QAction *a : {mnuTaglia, mnuCopia, mnuIncolla, mnuSposta, mnuSpostaTutti})
        a->setEnabled(on);
    SyncToolbar();
}

void frmPrincipale::SyncToolbar()
{
    const bool e = mnuSposta->isEnabled();
    ToolbarButtons[3]->setEnabled(!e);
    for (size_t b : {6, 7, 10, 11})
        ToolbarButtons[b]->setEnabled(e);
    ToolbarButtons[8]->setEnabled(e && m_clipboard->holdsTopic());
}

void frmPrincipale::OpenCategory()
{
    const int key = m_list->SelectedKey();
    if (key == -1)
        return;
    QString name;
    if (m_session.categories.name(key, &name) != notes::Found::Yes)
        return;
    frmCategoria->show();
    SetListTitle(Str::TopicsFrame);
    enableTopicCommands(true);
    m_list->FillTopicList(key);
    // Reopened at the next start when it can be kept.
    static_cast<void>(m_session.settings.setLastCategory(key));
}

void frmPrincipale::cmdCambia_Click()
{
    frmCategoria->hide();
    SetListTitle(Str::CategoriesFrame);
    enableTopicCommands(false);
    mnuRinomina->setEnabled(true);
    m_list->FillCategoryList();
    if (txtCerca->isVisible())
        txtCerca->setFocus();
}

void frmPrincipale::OpenTopic()
{
    const int key = m_list->SelectedKey();
    if (key == -1 || m_session.finestre.ActivateTopicWindow(key, QString()))
        return;
    frmNuovoArg::Open(m_session, key, m_list->ShownCategoryId());
}

void frmPrincipale::lstArgomenti_Click()
{
    if (m_list->SelectedKey() != -1)
        txtCerca->setText(lstArgomenti->currentItem()->text());
}

void frmPrincipale::lstArgomenti_DblClick()
{
    if (!m_list->isTopicMode()) {
        OpenCategory();
        mnuRinomina->setEnabled(false);
        StatusPanel1->setText(m_session.GetString(Str::HintTopicList));
    } else {
        OpenTopic();
    }
}

bool frmPrincipale::lstArgomenti_KeyPress(int character)
{
    switch (character) {
    case 13:
        if (!m_list->isTopicMode())
            OpenCategory();
        else
            OpenTopic();
        return true;
    case 3:
        m_clipboard->copyOrCut(false);
        return true;
    case 24:
        m_clipboard->copyOrCut(true);
        return true;
    case 22:
        m_clipboard->paste();
        return true;
    default:
        return false;
    }
}

void frmPrincipale::lstArgomenti_MouseMove(const QPoint &pos)
{
    m_list->showTipAt(pos);
}

void frmPrincipale::Individua(int topicId)
{
    int category = -1;
    if (m_session.topics.categoryOf(topicId, &category) != notes::Found::Yes)
        return;
    if (m_list->isTopicMode())
        cmdCambia_Click();
    if (!m_list->selectKey(category))
        return;
    lstArgomenti_DblClick();
    m_list->selectKey(topicId);
}

void frmPrincipale::cmdInserisci_Click()
{
    const bool categories = !m_list->isTopicMode();
    if (m_commands->insert() && categories)
        txtCerca->setFocus();
}

void frmPrincipale::cmdCancella_Click()
{
    if (m_commands->remove())
        txtCerca->setFocus();
}

void frmPrincipale::mnuRinomina_Click()
{
    m_commands->rename();
}

void frmPrincipale::mnuTaglia_Click()
{
    lstArgomenti_KeyPress(24);
}

void frmPrincipale::mnuCopia_Click()
{
    lstArgomenti_KeyPress(3);
}

void frmPrincipale::mnuIncolla_Click()
{
    lstArgomenti_KeyPress(22);
}

void frmPrincipale::mnuSposta_Click()
{
    m_moves->moveSelected();
}

void frmPrincipale::mnuSpostaTutti_Click()
{
    m_moves->moveAll();
}

void frmPrincipale::mnuTrovaArgomenti_Click()
{
    m_find->run();
}

void frmPrincipale::mnuEliminati_Click()
{
    DeletedTopicsWindow deleted(m_session, this);
    deleted.exec();
}

void frmPrincipale::mnuCompatta_Click()
{
    // Packing puts another file under the store's name: never under a sync.
    if (!m_sync->waitForEnd(3000)) {
        m_session.dialogs().MsgBox(this, m_session.GetString(Str::SyncPackBusy), platform::vbCritical,
                                   m_session.GetString(Str::ErrorTitle));
        return;
    }
    if (!DatabasePacking(m_session, this).run())
        ShutdownProgram();
}

void frmPrincipale::mnuSync_Click()
{
    if (RefusedReadOnly(m_session, this))
        return;
    if (!m_sync->isSetUp()) {
        mnuSyncSettings_Click();
        return;
    }
    m_sync->syncNow();
}

void frmPrincipale::mnuSyncSettings_Click()
{
    SyncSettingsWindow settings(m_session, this);
    if (settings.exec() != QDialog::Accepted)
        return;
    m_sync->reconfigured();
    if (m_sync->isSetUp())
        m_sync->syncNow();
}

void frmPrincipale::ApplyMainWindowFont()
{
    for (QWidget *control : {static_cast<QWidget *>(txtCerca), static_cast<QWidget *>(lstArgomenti),
                             static_cast<QWidget *>(labCategoria)})
        ApplySystemFont(m_session.settings, control);
    QFont bold = labCategoria->font();
    bold.setBold(true);
    labCategoria->setFont(bold);
}

void frmPrincipale::mnuFontSistema_Click()
{
    if (!RefusedReadOnly(m_session, this) && ChooseSystemFont(m_session.settings, m_session.dialogs(), this))
        ApplyMainWindowFont();
}

void frmPrincipale::mnuMinimizza_Click()
{
    m_windowMenu->minimizeAll();
}

void frmPrincipale::mnuMassimizza_Click()
{
    m_windowMenu->restoreAll();
}

void frmPrincipale::mnuFinestra_Click(int index)
{
    m_windowMenu->activate(index);
}

void frmPrincipale::mnuFinestraAltre_Click()
{
    m_windowMenu->chooseFromList();
}

bool frmPrincipale::Form_KeyDown(int key)
{
    return m_keys->keyDown(key);
}

bool frmPrincipale::txtCerca_KeyPress(int character)
{
    return m_keys->searchBoxKey(character);
}

void frmPrincipale::Toolbar1_ButtonClick(QAction *button)
{
    m_keys->toolbarButton(button);
}
