#pragma once
// The results of Find in topics: one window, reused by every search.

#include "Forms.h"

#include <QWidget>

class QListWidget;
class QPushButton;
class Session;

class frmListaArgomenti final : public QWidget, public Form {
    Q_OBJECT
public:
    explicit frmListaArgomenti(Session &session);

    void AggiornaLingua() override;
    void cmdMostra_Click();
    void cmdIndividua_Click();
    void cmdChiudi_Click();

    QListWidget *lstArgomenti = nullptr;
    QPushButton *cmdMostra = nullptr;
    QPushButton *cmdIndividua = nullptr;
    QPushButton *cmdChiudi = nullptr;
    // What the listed topics were found by, shown in each topic opened.
    QString Pattern;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The selected line, or -1 when none is.
    int selectedRow() const;
    Session &m_session;
};
