#pragma once
// The language window: shown at the first start, it stores the choice of
// Italian or English in the Setup record. Its texts are its own, in both
// languages, since no language is chosen yet.

#include "Forms.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;
class Session;

class frmLanguage final : public QDialog, public Form {
    Q_OBJECT
public:
    explicit frmLanguage(Session &session, QWidget *parent = nullptr);

    // True when Ok was pressed but the choice could not be stored.
    bool saveFailed() const { return m_saveFailed; }

    QRadioButton *optEnglish = nullptr;
    QRadioButton *optItalian = nullptr;
    QLabel *Image1 = nullptr;  // Italian flag
    QLabel *Image2 = nullptr;  // English flag
    QLabel *Image3 = nullptr;
    QLabel *labIstruzioni = nullptr;
    QLabel *Label8 = nullptr;
    QWidget *Frame1 = nullptr;
    QPushButton *cmdOk = nullptr;

    void Image1_Click();
    void Image2_Click();
    void cmdOk_Click();

    static const QString kEnglishText;
    static const QString kItalianText;
    static const QString kOpeningText;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowInstructions();

    Session &m_session;
    bool m_saveFailed = false;
};
