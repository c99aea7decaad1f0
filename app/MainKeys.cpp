#include "MainKeys.h"
#include "Str.h"

#include "Session.h"
#include "TopicList.h"
#include "db/Like.h"
#include "frmPrincipale.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

MainKeys::MainKeys(Session &session, frmPrincipale &window) : m_session(session), w(window)
{
}

bool MainKeys::route(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        // The hint of the control that got the focus.
        int id = 0;
        if (watched == w.txtCerca) {
            id = w.list().isTopicMode() ? Str::HintFindTopic : Str::HintFindCategory;
            QMetaObject::invokeMethod(w.txtCerca, &QLineEdit::selectAll, Qt::QueuedConnection);
        } else if (watched == w.lstArgomenti) {
            id = w.list().isTopicMode() ? Str::HintTopicList : Str::HintCategoryList;
        } else if (watched == w.cmdCambia) {
            id = Str::HintChange;
        } else if (watched == w.cmdChiudi) {
            id = Str::HintExit;
        }
        if (id)
            w.StatusPanel1->setText(m_session.GetString(id));
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
    if (keyDown(k->key()))
        return true;
    if (watched == w.txtCerca) {
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            return searchBoxKey(13);
        if (k->key() == Qt::Key_Escape)
            return searchBoxKey(27);
    } else if (watched == w.lstArgomenti) {
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            return w.lstArgomenti_KeyPress(13);
        if (k->modifiers() & Qt::ControlModifier) {
            if (k->key() == Qt::Key_C)
                return w.lstArgomenti_KeyPress(3);
            if (k->key() == Qt::Key_X)
                return w.lstArgomenti_KeyPress(24);
            if (k->key() == Qt::Key_V)
                return w.lstArgomenti_KeyPress(22);
        }
    }
    return false;
}

bool MainKeys::keyDown(int key)
{
    // Shift, Ctrl and Alt are not looked at: Shift+F7 acts as F7.
    switch (key) {
    case Qt::Key_F2:
        if (w.mnuRinomina->isEnabled())
            w.mnuRinomina_Click();
        return true;
    case Qt::Key_F3:
        w.mnuTrovaArgomenti_Click();
        return true;
    case Qt::Key_F5:
        w.mnuSync_Click();
        return true;
    case Qt::Key_F6:
        if (w.mnuSposta->isEnabled())
            w.mnuSposta_Click();
        return true;
    case Qt::Key_F7:
        w.cmdInserisci_Click();
        return true;
    case Qt::Key_F9:
        if (w.mnuSpostaTutti->isEnabled())
            w.mnuSpostaTutti_Click();
        return true;
    case Qt::Key_F10:
        w.mnuFontSistema_Click();
        return true;
    case Qt::Key_Delete:
        // Never reaches the search box: DEL always deletes the entry.
        w.cmdCancella_Click();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int row = w.lstArgomenti->currentItem() && w.lstArgomenti->currentItem()->isSelected()
            ? w.lstArgomenti->currentRow()
            : -1;
        const int next = key == Qt::Key_Up ? row - 1 : row + 1;
        if ((key == Qt::Key_Up && row > 0) || (key == Qt::Key_Down && row < w.lstArgomenti->count() - 1)) {
            w.lstArgomenti->setCurrentRow(next);
            w.txtCerca->setText(w.lstArgomenti->item(next)->text());
            w.txtCerca->selectAll();
        }
        w.txtCerca->setFocus();
        return true;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // One line of scrolling; the selection stays.
        QScrollBar *bar = w.lstArgomenti->verticalScrollBar();
        bar->setValue(bar->value() + (key == Qt::Key_PageUp ? -1 : 1));
        return false;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        QWidget *focused = w.focusWidget();
        const QListWidgetItem *item = w.lstArgomenti->currentItem();
        // The list's value is its selected entry's text, empty with none
        // selected; any other control's value is never a search text.
        QString value = QString(QChar(0xFFFF));
        if (focused == w.lstArgomenti)
            value = item && item->isSelected() ? item->text() : QString();
        if (focused != w.txtCerca && value != w.txtCerca->text())
            w.txtCerca->setFocus();
        return false;
    }
    default:
        return false;
    }
}

bool MainKeys::searchBoxKey(int character)
{
    if (character == 27) {
        if (w.list().isTopicMode()) {
            w.txtCerca->clear();
            return false;
        }
        if (w.list().SelectedKey() != -1) {
            w.OpenCategory();
            w.StatusPanel1->setText(m_session.GetString(Str::HintTopicList));
        }
        return true;
    }
    if (character != 13)
        return false;
    w.txtCerca->selectAll();
    const QString s = w.txtCerca->text().trimmed().toUpper();
    const QListWidgetItem *selected = w.list().SelectedKey() != -1 ? w.lstArgomenti->currentItem() : nullptr;
    if (s.isEmpty() && selected) {
        w.txtCerca->setText(selected->text());
        w.txtCerca->selectAll();
        return true;
    }
    const QString selectedText = selected ? selected->text().toUpper() : QString();
    if (s == selectedText) {
        if (w.list().isTopicMode()) {
            w.OpenTopic();
        } else {
            w.OpenCategory();
            w.StatusPanel1->setText(m_session.GetString(Str::HintTopicList));
        }
        return true;
    }
    // The typed text is a pattern; the first entry that holds it is selected.
    const store::LikePattern pattern(store::LikePattern::anywhere(s));
    for (int i = 0; i < w.lstArgomenti->count(); ++i) {
        if (pattern.matches(w.lstArgomenti->item(i)->text().toUpper())) {
            w.lstArgomenti->setCurrentRow(i);
            // The entry may have been selected already: then the list says
            // nothing, and the box must still show the entry's text.
            w.lstArgomenti_Click();
            return true;
        }
    }
    return false;
}

void MainKeys::toolbarButton(QAction *button)
{
    const QString key = button->data().toString();
    if (key == QLatin1String("Apri"))
        w.lstArgomenti_KeyPress(13);
    else if (key == QLatin1String("Nuovo"))
        w.cmdInserisci_Click();
    else if (key == QLatin1String("Rinomina")) {
        if (w.mnuRinomina->isEnabled())
            w.mnuRinomina_Click();
    } else if (key == QLatin1String("Cancella"))
        w.cmdCancella_Click();
    else if (key == QLatin1String("Taglia"))
        w.mnuTaglia_Click();
    else if (key == QLatin1String("Copia"))
        w.mnuCopia_Click();
    else if (key == QLatin1String("Incolla"))
        w.mnuIncolla_Click();
    else if (key == QLatin1String("Sposta")) {
        if (w.mnuSposta->isEnabled())
            w.mnuSposta_Click();
    } else if (key == QLatin1String("SpostaTutti")) {
        if (w.mnuSpostaTutti->isEnabled())
            w.mnuSpostaTutti_Click();
    } else if (key == QLatin1String("TrovaTutti"))
        w.mnuTrovaArgomenti_Click();
    else if (key == QLatin1String("Minimizza"))
        w.mnuMinimizza_Click();
    else if (key == QLatin1String("Ripristina"))
        w.mnuMassimizza_Click();
}
