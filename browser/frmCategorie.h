#pragma once
// The destination chooser: a modal list of the categories for Move and Move
// all. Its answer is the session's MoveTargetCategory (-1: none chosen).

#include "Forms.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class Session;
class frmPrincipale;

class frmCategorie final : public QDialog, public Form {
    Q_OBJECT
public:
    frmCategorie(Session &session, frmPrincipale *main);

    void AggiornaLingua() override;
    void cmdConferma_Click();
    void cmdAnnulla_Click();
    void lstCategorie_DblClick();

    QListWidget *lstCategorie = nullptr;
    QPushButton *cmdConferma = nullptr;
    QPushButton *cmdAnnulla = nullptr;

private:
    void Form_Load(frmPrincipale *main);
    Session &m_session;
};
