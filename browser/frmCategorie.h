#pragma once
// The destination chooser: a modal list of the categories for Move and Move
// all. exec() accepts with a category chosen (chosen()) or rejects.

#include "Forms.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class Session;

class frmCategorie final : public QDialog, public Form {
    Q_OBJECT
public:
    // remembered, when it is listed, is preselected; else the first.
    frmCategorie(Session &session, QWidget *parent, int remembered);

    int chosen() const { return m_chosen; }

    void AggiornaLingua() override;
    void cmdConferma_Click();
    void cmdAnnulla_Click();
    void lstCategorie_DblClick();

    QListWidget *lstCategorie = nullptr;
    QPushButton *cmdConferma = nullptr;
    QPushButton *cmdAnnulla = nullptr;

private:
    void Form_Load(int remembered);
    Session &m_session;
    int m_chosen = -1;
};
