#pragma once
// Shown at start when the clock lies before the last recorded run: a live
// clock to confirm, or a date and time to set.

#include "Forms.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class Session;

class frmConfermaData final : public QDialog, public Form {
    Q_OBJECT
public:
    frmConfermaData(Session &session, QWidget *parent);

    void AggiornaLingua() override;
    void SetMode();
    void Timer1_Timer();
    void cmdConferma_Click();
    void cmdModifica_Click();

    // "dd/mm/yy" and "hh.mm.ss" as typed; invalid results when they are not
    // a whole date or time. Two-digit years below 50 are 20xx.
    static QDate parseDate(const QString &text);
    static QTime parseTime(const QString &text);

    bool AllowClose = false;
    bool EditMode = false;

    QLabel *labDataView = nullptr, *labData = nullptr, *labOraView = nullptr, *labOra = nullptr;
    QLabel *labDataInput = nullptr, *labOraInput = nullptr;
    QLineEdit *mskData = nullptr, *mskOra = nullptr;
    QPushButton *cmdConferma = nullptr, *cmdModifica = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    Session &m_session;
};
