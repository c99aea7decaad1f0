#pragma once
// The window list: every open editor, to switch to one of them.

#include "Forms.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class Session;

class frmListaFinestre final : public QDialog, public Form {
    Q_OBJECT
public:
    frmListaFinestre(Session &session, QWidget *parent);

    void AggiornaLingua() override;
    void cmdPassa_Click();
    void cmdChiudi_Click();

    QListWidget *lstFinestre = nullptr;
    QPushButton *cmdPassa = nullptr;
    QPushButton *cmdChiudi = nullptr;

    // The number of the window chosen, -1 when none was.
    int chosenWindow() const { return m_chosen; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Session &m_session;
    int m_chosen = -1;
};
