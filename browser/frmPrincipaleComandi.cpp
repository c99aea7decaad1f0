// Insert, delete and rename, on categories or topics by the list's mode.

#include "frmPrincipale.h"

#include "Finestre.h"
#include "Session.h"
#include "Utility.h"
#include "frmNuovoArg.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

void frmPrincipale::cmdInserisci_Click()
{
    if (RefusedReadOnly(m_session, this))
        return;
    if (isTopicMode()) {
        // Every request opens another empty editor; the topic exists only
        // once that editor saves it.
        OpenEditor(-1, m_session.store.rsCategorie->field(QStringLiteral("idCategoria")).toInt(), false);
    } else {
        InsertCategory();
        txtCerca->setFocus();
    }
}

void frmPrincipale::InsertCategory()
{
    Session &s = m_session;
    const auto answer = s.dialogs().InputBox(this, s.GetString(227), s.GetString(228), QString());
    // Cancel and an emptied field are alike.
    if (!answer || answer->isEmpty())
        return;
    store::TableRecordset &rs = *s.store.rsCategorie;
    const int width = rs.fieldSize(QStringLiteral("Categoria"));
    if (!rs.addNew() || !rs.setField(QStringLiteral("Categoria"), store::CutToWidth(*answer, width)) || !rs.update()
        || !rs.setBookmark(rs.lastModified())) {
        rs.cancelUpdate();
        ShowDatabaseErrors(s, this);
        return;
    }
    const int key = rs.field(QStringLiteral("idCategoria")).toInt();
    lstArgomenti->setCurrentRow(AddListEntry(*answer, key));
}

void frmPrincipale::cmdCancella_Click()
{
    Session &s = m_session;
    const int row = lstArgomenti->currentRow();
    const int key = SelectedKey();
    if (key == -1 || RefusedReadOnly(s, this))
        return;
    if (s.dialogs().MsgBox(this, s.GetString(225), platform::vbYesNo | platform::vbQuestion, s.GetString(725))
        == platform::vbYes) {
        store::NoteStore &st = s.store;
        bool deleted = true;
        if (isTopicMode()) {
            if (s.finestre.ActivateTopicWindow(key, QString())) {
                s.dialogs().MsgBox(this, s.GetString(224), platform::vbCritical, s.GetString(507));
                return;
            }
            st.rsArgomenti->setIndex(QStringLiteral("PrimaryKey"));
            if (st.rsArgomenti->seek(key))
                deleted = st.rsArgomenti->remove();
        } else {
            st.rsArgomenti->setIndex(QStringLiteral("Categorie"));
            if (st.rsArgomenti->seek(key)) {
                s.dialogs().MsgBox(this, s.GetString(226), platform::vbCritical, s.GetString(507));
                return;
            }
            // A new topic being written in the category would be saved into
            // a category that no longer exists, and be listed nowhere.
            for (frmNuovoArg *e : s.finestre.editors())
                if (e->idCategoria == key) {
                    e->BringForward();
                    s.dialogs().MsgBox(this, s.GetString(224), platform::vbCritical, s.GetString(507));
                    return;
                }
            st.rsCategorie->setIndex(QStringLiteral("PrimaryKey"));
            if (st.rsCategorie->seek(key))
                deleted = st.rsCategorie->remove();
        }
        if (!deleted) {
            // The entry stays listed: its record is still there.
            ShowDatabaseErrors(s, this);
        } else {
            // Taking the entry out moves the selection to a neighbour on
            // the way; after a removal nothing is selected.
            {
                const QSignalBlocker quiet(lstArgomenti);
                delete lstArgomenti->takeItem(row);
                lstArgomenti->setCurrentRow(-1);
                lstArgomenti->clearSelection();
            }
        }
    }
    txtCerca->setFocus();
}

void frmPrincipale::mnuRinomina_Click()
{
    Session &s = m_session;
    QListWidgetItem *item = lstArgomenti->currentItem();
    const int key = SelectedKey();
    if (key == -1 || !item || RefusedReadOnly(s, this))
        return;
    const bool topics = isTopicMode();
    const auto answer = s.dialogs().InputBox(this, s.GetString(239), s.GetString(topics ? 240 : 241), item->text());
    if (!answer || answer->isEmpty())
        return;
    store::TableRecordset &rs = topics ? *s.store.rsArgomenti : *s.store.rsCategorie;
    const QString field = topics ? QStringLiteral("argomento") : QStringLiteral("Categoria");
    // Cut to the field's width as insertion does; the list shows the text typed.
    const QString stored = store::CutToWidth(*answer, rs.fieldSize(field));
    rs.setIndex(QStringLiteral("PrimaryKey"));
    if (!rs.seek(key)) {
        return;
    }
    if (!rs.edit() || !rs.setField(field, stored) || !rs.update()) {
        rs.cancelUpdate();
        ShowDatabaseErrors(s, this);
        return;
    }
    item->setText(*answer);
}
