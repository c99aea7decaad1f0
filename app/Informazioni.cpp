#include "Informazioni.h"
#include "Str.h"

#include "Pictures.h"
#include "Session.h"

#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

const QString Informazioni::kEmail = QStringLiteral("info@quorvel.example");
const QString Informazioni::kWeb = QStringLiteral("https://quorvel.example");

Informazioni::Informazioni(Session &session, QWidget *parent)
    : QDialog(parent), Form(session.forms, this, QStringLiteral("main2")), m_session(session)
{
    setObjectName(QStringLiteral("Informazioni"));
    setModal(true);
    NameClicks = 0;
    setWindowTitle(VersionCaption());

    const auto label = [this](const QString &text, double scale = 1.0, bool bold = false) {
        auto *l = new QLabel(text, this);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(p);
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * scale);
        f.setBold(bold);
        l->setFont(f);
        l->setWordWrap(true);
        l->installEventFilter(this);
        return l;
    };
    Label8 = label(QStringLiteral("Quorvel ®"), 2.0, true);
    Label4 = label(QStringLiteral("The Quorvel project"), 1.2, true);
    Label1 = label(QStringLiteral("(postal address not published)"));
    Label3 = label(QStringLiteral("Tel. —   Fax —"));
    Label6 = label(QStringLiteral("E-mail: ") + kEmail);
    Label7 = label(QStringLiteral("Web: ") + kWeb);
    for (QLabel *link : {Label6, Label7}) {
        link->setCursor(Qt::PointingHandCursor);
        QFont f = link->font();
        f.setUnderline(true);
        link->setFont(f);
    }
    Label9 = label(QStringLiteral("© %1 The Quorvel project").arg(QDate::currentDate().year()));
    Label5 = label(QStringLiteral("All rights reserved. Tutti i diritti riservati."), 0.85);

    const qreal dpr = devicePixelRatioF();
    imgOstwick = new QLabel(this);
    imgOstwick->setPixmap(appIcon().pixmap(QSize(64, 64), dpr));
    imgOstwick->installEventFilter(this);
    imgPortrait = new QLabel(this);
    imgPortrait->setPixmap(picture(QStringLiteral("timer")).pixmap(QSize(64, 64), dpr));
    imgPortrait->hide();
    Image2 = new QLabel(this);
    Image2->setPixmap(appIcon().pixmap(QSize(24, 24), dpr));
    Image2->installEventFilter(this);

    cmdChiudi = new QPushButton(this);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::close);
    AggiornaLingua();

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(24, 20, 24, 20);
    root->addWidget(imgOstwick, 0, Qt::AlignHCenter);
    for (QLabel *l : {Label8, Label4, Label1, Label3, Label6, Label7, Label9, Label5})
        root->addWidget(l);
    root->addWidget(cmdChiudi, 0, Qt::AlignHCenter);
    root->addWidget(Image2, 0, Qt::AlignRight);
    setMinimumWidth(360);
}

void Informazioni::AggiornaLingua()
{
    cmdChiudi->setText(m_session.GetString(Str::DraftsClose));
}

QString Informazioni::VersionCaption()
{
    return QStringLiteral("Quorvel v%1.%2.%3").arg(QUORVEL_VERSION_MAJOR).arg(QUORVEL_VERSION_MINOR).arg(QUORVEL_VERSION_PATCH);
}

void Informazioni::paintEvent(QPaintEvent *)
{
    // 256 bands from black at the top to blue at the bottom.
    QPainter p(this);
    const double band = height() / 256.0;
    for (int i = 0; i < 256; ++i)
        p.fillRect(QRectF(0, i * band, width(), band + 1), QColor(0, 0, i));
}

void Informazioni::mouseReleaseEvent(QMouseEvent *)
{
    close();
}

void Informazioni::keyPressEvent(QKeyEvent *)
{
    close();
}

bool Informazioni::eventFilter(QObject *watched, QEvent *event)
{
    // The small picture is the one place a click does nothing: it must not
    // reach the window either, where it would close it.
    if (watched == Image2
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
            || event->type() == QEvent::MouseButtonDblClick))
        return true;
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Label4)
            Label4_Click();
        else if (watched == Label6)
            Label6_Click();
        else if (watched == Label7)
            Label7_Click();
        else
            close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Informazioni::Label4_Click()
{
    if (++NameClicks == 5)
        imgOstwick->setPixmap(imgPortrait->pixmap());
}

void Informazioni::Label6_Click()
{
    m_session.desktop().openUrl(QStringLiteral("mailto:") + kEmail);
}

void Informazioni::Label7_Click()
{
    m_session.desktop().openUrl(kWeb);
}
