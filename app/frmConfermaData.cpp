#include "frmConfermaData.h"
#include "Str.h"
#include "ShownDates.h"

#include "TextFit.h"

#include "Session.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

frmConfermaData::frmConfermaData(Session &session, QWidget *parent)
    : QDialog(parent), Form(session.forms, this, QStringLiteral("main2")), m_session(session)
{
    setObjectName(QStringLiteral("frmConfermaData"));
    setWindowTitle(QStringLiteral(" Conferma data e ora"));
    setMinimumWidth(textfit::titleWidth(this, windowTitle()));
    setModal(true);
    labDataView = new QLabel(this);
    labData = new QLabel(this);
    labOraView = new QLabel(this);
    labOra = new QLabel(this);
    labDataInput = new QLabel(this);
    labOraInput = new QLabel(this);
    // Exactly two digits for each part; blanks show what is missing.
    mskData = new QLineEdit(this);
    mskData->setInputMask(QStringLiteral("00/00/00;_"));
    mskOra = new QLineEdit(this);
    mskOra->setInputMask(QStringLiteral("00.00.00;_"));
    labDataInput->setBuddy(mskData);
    labOraInput->setBuddy(mskOra);
    cmdConferma = new QPushButton(this);
    cmdModifica = new QPushButton(this);
    QFont big = labData->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    labData->setFont(big);
    labOra->setFont(big);

    auto *grid = new QGridLayout;
    grid->addWidget(labDataView, 0, 0);
    grid->addWidget(labData, 0, 1);
    grid->addWidget(labOraView, 1, 0);
    grid->addWidget(labOra, 1, 1);
    grid->addWidget(labDataInput, 2, 0);
    grid->addWidget(mskData, 2, 1);
    grid->addWidget(labOraInput, 3, 0);
    grid->addWidget(mskOra, 3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdConferma);
    buttons->addWidget(cmdModifica);
    auto *root = new QVBoxLayout(this);
    root->addLayout(grid);
    root->addLayout(buttons);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmConfermaData::Timer1_Timer);
    connect(cmdConferma, &QPushButton::clicked, this, &frmConfermaData::cmdConferma_Click);
    connect(cmdModifica, &QPushButton::clicked, this, &frmConfermaData::cmdModifica_Click);

    // Opening: texts, the clock running, view mode.
    AllowClose = false;
    EditMode = false;
    SetMode();
}

void frmConfermaData::AggiornaLingua()
{
    const auto s = [this](int id) { return m_session.GetString(id); };
    labDataView->setText(s(Str::ClockDateShown));
    labOraView->setText(s(Str::ClockTimeShown));
    labDataInput->setText(s(Str::ClockDateEdit));
    labOraInput->setText(s(Str::ClockTimeEdit));
    cmdConferma->setText(s(EditMode ? Str::ClockSet : Str::ClockConfirm));
    cmdConferma->setToolTip(s(Str::ClockConfirmTip));
    cmdModifica->setText(s(EditMode ? Str::ClockAbort : Str::ClockModify));
    cmdModifica->setToolTip(s(Str::ClockModifyTip));
}

void frmConfermaData::SetMode()
{
    AggiornaLingua();
    const QDateTime now = m_session.clock().now();
    if (EditMode) {
        mskData->setText(now.toString(shown::date()));
        mskOra->setText(now.toString(shown::clockTimeField()));
        Timer1->stop();
    } else {
        Timer1_Timer();
        Timer1->start();
    }
    for (QWidget *w : {static_cast<QWidget *>(labDataInput), static_cast<QWidget *>(labOraInput),
                       static_cast<QWidget *>(mskData), static_cast<QWidget *>(mskOra)})
        w->setVisible(EditMode);
    for (QWidget *w : {labData, labOra, labDataView, labOraView})
        w->setVisible(!EditMode);
    if (EditMode)
        mskData->setFocus();
    else
        cmdConferma->setFocus();
}

void frmConfermaData::Timer1_Timer()
{
    const QDateTime now = m_session.clock().now();
    const QString date = now.toString(shown::clockDate());
    if (labData->text() != date)
        labData->setText(date);
    labOra->setText(now.toString(shown::clockTime()));
}

QDate frmConfermaData::parseDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^(\\d\\d)/(\\d\\d)/(\\d\\d)$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return QDate();
    const int yy = m.captured(3).toInt();
    return QDate(yy < 50 ? 2000 + yy : 1900 + yy, m.captured(2).toInt(), m.captured(1).toInt());
}

QTime frmConfermaData::parseTime(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^(\\d\\d)\\.(\\d\\d)\\.(\\d\\d)$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return QTime();
    return QTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

void frmConfermaData::cmdConferma_Click()
{
    if (!EditMode) {
        AllowClose = true;
        accept();
        return;
    }
    Session &s = m_session;
    const QDate date = parseDate(mskData->displayText());
    if (!date.isValid()) {
        s.dialogs().MsgBox(this, s.GetString(Str::ClockBadDate), platform::vbCritical, s.GetString(Str::ErrorTitle));
        return;
    }
    const QTime time = parseTime(mskOra->displayText());
    if (!time.isValid()) {
        s.dialogs().MsgBox(this, s.GetString(Str::ClockBadTime), platform::vbCritical, s.GetString(Str::ErrorTitle));
        return;
    }
    QString error;
    if (!s.clock().setSystemDateTime(QDateTime(date, time), &error)) {
        // Usually a lack of rights: say so, change nothing, stay here.
        s.dialogs().MsgBox(this, s.GetString(Str::ClockNotSet).arg(error), platform::vbCritical,
                           s.GetString(Str::ErrorTitle));
        return;
    }
    EditMode = false;
    SetMode();
}

void frmConfermaData::cmdModifica_Click()
{
    EditMode = !EditMode;
    SetMode();
}

void frmConfermaData::closeEvent(QCloseEvent *event)
{
    if (!AllowClose) {
        event->ignore();
        return;
    }
    Timer1->stop();
    QDialog::closeEvent(event);
}

void frmConfermaData::reject()
{
    // Esc and the close box end nothing: only Confirm closes the window.
    if (AllowClose)
        QDialog::reject();
}
