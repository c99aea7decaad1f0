#include "frmLanguage.h"

#include "Pictures.h"
#include "Session.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

const QString frmLanguage::kEnglishText = QStringLiteral(
    "Select your language by clicking on the corresponding flag; you can change language at any time by using "
    "the menu item in the main program interface. Click on Ok when you are done.");
const QString frmLanguage::kItalianText = QStringLiteral(
    "Selezionare la lingua scegliendo la bandiera corrispondente; l'impostazione può essere cambiata in ogni "
    "momento dall'interfaccia principale. Premere Ok per confermare.");
const QString frmLanguage::kOpeningText = QStringLiteral(
    "Select your language by clicking on the corresponding flag; you can change language at any time by using "
    "the menu item in the main program interface. Click on \"Ok\" when you are done.");

namespace {

constexpr int kFlagWidth = 60;
constexpr int kFlagHeight = 40;

// Flags are drawn rather than shipped, sharp at any screen density.
QPixmap flag(bool english, qreal dpr)
{
    QPixmap pm(QSize(kFlagWidth, kFlagHeight) * dpr);
    pm.setDevicePixelRatio(dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, kFlagWidth, kFlagHeight);
    if (!english) {
        const qreal w = r.width() / 3;
        p.fillRect(QRectF(0, 0, w, r.height()), QColor(0x00, 0x92, 0x46));
        p.fillRect(QRectF(w, 0, w, r.height()), Qt::white);
        p.fillRect(QRectF(2 * w, 0, w, r.height()), QColor(0xce, 0x2b, 0x37));
    } else {
        const QColor blue(0x01, 0x21, 0x69), red(0xc8, 0x10, 0x2e);
        p.fillRect(r, blue);
        p.setClipRect(r);
        p.setPen(QPen(Qt::white, r.height() / 5));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.topRight());
        p.setPen(QPen(red, r.height() / 15));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.topRight());
        const qreal c = r.height() / 3;
        p.fillRect(QRectF(0, (r.height() - c) / 2, r.width(), c), Qt::white);
        p.fillRect(QRectF((r.width() - c) / 2, 0, c, r.height()), Qt::white);
        const qreal c2 = r.height() / 5;
        p.fillRect(QRectF(0, (r.height() - c2) / 2, r.width(), c2), red);
        p.fillRect(QRectF((r.width() - c2) / 2, 0, c2, r.height()), red);
    }
    p.setClipping(false);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    return pm;
}

} // namespace

frmLanguage::frmLanguage(Session &session, QWidget *parent)
    : QDialog(parent), Form(session.forms, this, QStringLiteral("main2")), m_session(session)
{
    setObjectName(QStringLiteral("frmLanguage"));
    setWindowTitle(QStringLiteral(" Quorvel"));
    setModal(true);
    const qreal dpr = devicePixelRatioF();

    Image3 = new QLabel(this);
    Image3->setPixmap(appIcon().pixmap(QSize(32, 32), dpr));
    Label8 = new QLabel(QStringLiteral("Quorvel ®"), this);
    QFont big = Label8->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    Label8->setFont(big);

    Frame1 = new QGroupBox(this);
    Image2 = new QLabel(Frame1);
    Image2->setPixmap(flag(true, dpr));
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->installEventFilter(this);
    Image1 = new QLabel(Frame1);
    Image1->setPixmap(flag(false, dpr));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
    optEnglish = new QRadioButton(QStringLiteral("English"), Frame1);
    optItalian = new QRadioButton(QStringLiteral("Italiano"), Frame1);
    optEnglish->setChecked(true);

    labIstruzioni = new QLabel(kOpeningText, this);
    labIstruzioni->setWordWrap(true);
    labIstruzioni->setMinimumWidth(320);

    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setDefault(true);

    auto *head = new QHBoxLayout;
    head->addWidget(Image3);
    head->addWidget(Label8, 1);
    auto *flags = new QHBoxLayout(Frame1);
    for (auto [pic, opt] : {std::pair{Image2, optEnglish}, std::pair{Image1, optItalian}}) {
        auto *col = new QVBoxLayout;
        col->addWidget(pic, 0, Qt::AlignHCenter);
        col->addWidget(opt, 0, Qt::AlignHCenter);
        flags->addLayout(col);
    }
    auto *root = new QVBoxLayout(this);
    root->addLayout(head);
    root->addWidget(Frame1);
    root->addWidget(labIstruzioni);
    root->addWidget(cmdOk, 0, Qt::AlignRight);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(optEnglish, &QRadioButton::clicked, this, &frmLanguage::ShowInstructions);
    connect(optItalian, &QRadioButton::clicked, this, &frmLanguage::ShowInstructions);
    connect(cmdOk, &QPushButton::clicked, this, &frmLanguage::cmdOk_Click);
}

bool frmLanguage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Image1)
            Image1_Click();
        else if (watched == Image2)
            Image2_Click();
    }
    return QDialog::eventFilter(watched, event);
}

void frmLanguage::Image1_Click()
{
    optItalian->setChecked(true);
    ShowInstructions();
}

void frmLanguage::Image2_Click()
{
    optEnglish->setChecked(true);
    ShowInstructions();
}

void frmLanguage::ShowInstructions()
{
    labIstruzioni->setText(optEnglish->isChecked() ? kEnglishText : kItalianText);
}

void frmLanguage::cmdOk_Click()
{
    if (!m_session.settings.setLanguage(optEnglish->isChecked() ? 1 : 0))
        m_saveFailed = true;
    accept();
}
