// How the keyboard, the search box and the toolbar drive the main window,
// and the one-line hints of the status bar.

#include "frmPrincipale.h"

#include "db/Like.h"
#include "Session.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

void frmPrincipale::connectRouting()
{
    connect(Toolbar1, &QToolBar::actionTriggered, this, &frmPrincipale::Toolbar1_ButtonClick);
    connect(mnuTaglia, &QAction::triggered, this, &frmPrincipale::mnuTaglia_Click);
    connect(mnuCopia, &QAction::triggered, this, &frmPrincipale::mnuCopia_Click);
    connect(mnuIncolla, &QAction::triggered, this, &frmPrincipale::mnuIncolla_Click);
    connect(mnuSposta, &QAction::triggered, this, &frmPrincipale::mnuSposta_Click);
    connect(mnuSpostaTutti, &QAction::triggered, this, &frmPrincipale::mnuSpostaTutti_Click);
    connect(mnuTrovaArgomenti, &QAction::triggered, this, &frmPrincipale::mnuTrovaArgomenti_Click);
    connect(mnuFontSistema, &QAction::triggered, this, &frmPrincipale::mnuFontSistema_Click);
    connect(mnuCompatta, &QAction::triggered, this, &frmPrincipale::mnuCompatta_Click);
    connect(mnuInformazioni, &QAction::triggered, this, &frmPrincipale::mnuInformazioni_Click);
    // The window sees every key before the focused control does.
    for (QWidget *w : {static_cast<QWidget *>(txtCerca), static_cast<QWidget *>(lstArgomenti),
                       static_cast<QWidget *>(cmdCambia), static_cast<QWidget *>(cmdChiudi)})
        w->installEventFilter(this);
}

bool frmPrincipale::routeKey(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        // The hint of the control that got the focus.
        int id = 0;
        if (watched == txtCerca) {
            id = isTopicMode() ? 222 : 223;
            QMetaObject::invokeMethod(txtCerca, &QLineEdit::selectAll, Qt::QueuedConnection);
        } else if (watched == lstArgomenti) {
            id = isTopicMode() ? 220 : 221;
        } else if (watched == cmdCambia) {
            id = 214;
        } else if (watched == cmdChiudi) {
            id = 217;
        }
        if (id)
            StatusPanel1->setText(m_session.GetString(id));
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Function keys and DEL belong to the window, not to a text box.
        const auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Delete || (k->key() >= Qt::Key_F1 && k->key() <= Qt::Key_F12))
            event->accept();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *k = static_cast<QKeyEvent *>(event);
    if (Form_KeyDown(k->key()))
        return true;
    if (watched == txtCerca) {
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            return txtCerca_KeyPress(13);
        if (k->key() == Qt::Key_Escape)
            return txtCerca_KeyPress(27);
    } else if (watched == lstArgomenti) {
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            return lstArgomenti_KeyPress(13);
        if (k->modifiers() & Qt::ControlModifier) {
            if (k->key() == Qt::Key_C)
                return lstArgomenti_KeyPress(3);
            if (k->key() == Qt::Key_X)
                return lstArgomenti_KeyPress(24);
            if (k->key() == Qt::Key_V)
                return lstArgomenti_KeyPress(22);
        }
    }
    return false;
}

bool frmPrincipale::Form_KeyDown(int key)
{
    // Shift, Ctrl and Alt are not looked at: Shift+F7 acts as F7.
    switch (key) {
    case Qt::Key_F2:
        if (mnuRinomina->isEnabled())
            mnuRinomina_Click();
        return true;
    case Qt::Key_F3:
        mnuTrovaArgomenti_Click();
        return true;
    case Qt::Key_F6:
        if (mnuSposta->isEnabled())
            mnuSposta_Click();
        return true;
    case Qt::Key_F7:
        cmdInserisci_Click();
        return true;
    case Qt::Key_F9:
        if (mnuSpostaTutti->isEnabled())
            mnuSpostaTutti_Click();
        return true;
    case Qt::Key_F10:
        mnuFontSistema_Click();
        return true;
    case Qt::Key_Delete:
        // Never reaches the search box: DEL always deletes the entry.
        cmdCancella_Click();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int row = lstArgomenti->currentItem() && lstArgomenti->currentItem()->isSelected()
            ? lstArgomenti->currentRow()
            : -1;
        const int next = key == Qt::Key_Up ? row - 1 : row + 1;
        if ((key == Qt::Key_Up && row > 0) || (key == Qt::Key_Down && row < lstArgomenti->count() - 1)) {
            lstArgomenti->setCurrentRow(next);
            txtCerca->setText(lstArgomenti->item(next)->text());
            txtCerca->selectAll();
        }
        txtCerca->setFocus();
        return true;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // One line of scrolling; the selection stays.
        QScrollBar *bar = lstArgomenti->verticalScrollBar();
        bar->setValue(bar->value() + (key == Qt::Key_PageUp ? -1 : 1));
        return false;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        QWidget *focused = focusWidget();
        const QListWidgetItem *item = lstArgomenti->currentItem();
        // The list's value is its selected entry's text, empty with none
        // selected; any other control's value is never a search text.
        QString value = QString(QChar(0xFFFF));
        if (focused == lstArgomenti)
            value = item && item->isSelected() ? item->text() : QString();
        if (focused != txtCerca && value != txtCerca->text())
            txtCerca->setFocus();
        return false;
    }
    default:
        return false;
    }
}

bool frmPrincipale::txtCerca_KeyPress(int character)
{
    if (character == 27) {
        if (isTopicMode()) {
            txtCerca->clear();
            return false;
        }
        if (SelectedKey() != -1) {
            OpenCategory();
            StatusPanel1->setText(m_session.GetString(220));
        }
        return true;
    }
    if (character != 13)
        return false;
    txtCerca->selectAll();
    const QString s = txtCerca->text().trimmed().toUpper();
    const QListWidgetItem *selected = SelectedKey() != -1 ? lstArgomenti->currentItem() : nullptr;
    if (s.isEmpty() && selected) {
        txtCerca->setText(selected->text());
        txtCerca->selectAll();
        return true;
    }
    const QString selectedText = selected ? selected->text().toUpper() : QString();
    if (s == selectedText) {
        if (isTopicMode()) {
            OpenTopic();
        } else {
            OpenCategory();
            StatusPanel1->setText(m_session.GetString(220));
        }
        return true;
    }
    // The typed text is a pattern; the first entry that holds it is selected.
    const store::LikePattern pattern(store::LikePattern::anywhere(s));
    for (int i = 0; i < lstArgomenti->count(); ++i) {
        if (pattern.matches(lstArgomenti->item(i)->text().toUpper())) {
            lstArgomenti->setCurrentRow(i);
            // The entry may have been selected already: then the list says
            // nothing, and the box must still show the entry's text.
            lstArgomenti_Click();
            return true;
        }
    }
    return false;
}

void frmPrincipale::Toolbar1_ButtonClick(QAction *button)
{
    const QString key = button->data().toString();
    if (key == QLatin1String("Apri"))
        lstArgomenti_KeyPress(13);
    else if (key == QLatin1String("Nuovo"))
        cmdInserisci_Click();
    else if (key == QLatin1String("Rinomina")) {
        if (mnuRinomina->isEnabled())
            mnuRinomina_Click();
    } else if (key == QLatin1String("Cancella"))
        cmdCancella_Click();
    else if (key == QLatin1String("Taglia"))
        mnuTaglia_Click();
    else if (key == QLatin1String("Copia"))
        mnuCopia_Click();
    else if (key == QLatin1String("Incolla"))
        mnuIncolla_Click();
    else if (key == QLatin1String("Sposta")) {
        if (mnuSposta->isEnabled())
            mnuSposta_Click();
    } else if (key == QLatin1String("SpostaTutti")) {
        if (mnuSpostaTutti->isEnabled())
            mnuSpostaTutti_Click();
    } else if (key == QLatin1String("TrovaTutti"))
        mnuTrovaArgomenti_Click();
    else if (key == QLatin1String("Minimizza"))
        mnuMinimizza_Click();
    else if (key == QLatin1String("Ripristina"))
        mnuMassimizza_Click();
}

void frmPrincipale::SyncToolbar()
{
    const bool e = mnuSposta->isEnabled();
    ToolbarButtons[3]->setEnabled(!e);
    for (size_t b : {6, 7, 10, 11})
        ToolbarButtons[b]->setEnabled(e);
    ToolbarButtons[8]->setEnabled(e && ClipboardState == 1);
}
