// Building the main window's controls, menus and toolbar, and applying their
// captions in the current language.

#include "frmPrincipale.h"

#include "Pictures.h"
#include "Session.h"
#include "TopicList.h"
#include "TextFit.h"
#include "Twips.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

QToolButton *pictureButton(QWidget *parent, const QString &pictureName)
{
    auto *b = new QToolButton(parent);
    b->setIcon(picture(pictureName));
    b->setIconSize(QSize(twips::toPixels(480), twips::toPixels(480)));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return b;
}

} // namespace

void frmPrincipale::buildControls()
{
    auto *client = new QWidget(this);
    client->setFixedSize(twips::toPixels(6705), twips::toPixels(6930));
    setCentralWidget(client);
    // The window has a fixed border: its size follows the client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Toolbar1 = new QToolBar(client);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setGeometry(twips::rect(135, 60, 6435, 420));
    Toolbar1->setIconSize(QSize(twips::toPixels(330), twips::toPixels(330)));
    Toolbar1->setMovable(false);

    labCerca = new QLabel(client);
    labCerca->setGeometry(twips::rect(120, 615, 540, 225));
    txtCerca = new QLineEdit(client);
    txtCerca->setObjectName(QStringLiteral("txtCerca"));
    txtCerca->setGeometry(twips::rect(660, 525, 5910, 435));
    labCerca->setBuddy(txtCerca);

    frmArgomenti = new QGroupBox(client);
    frmArgomenti->setGeometry(twips::rect(120, 960, 6465, 4545));
    lstArgomenti = new QListWidget(frmArgomenti);
    lstArgomenti->setObjectName(QStringLiteral("lstArgomenti"));
    lstArgomenti->setGeometry(twips::rect(210, 345, 6045, 3960));
    lstArgomenti->setSelectionMode(QAbstractItemView::SingleSelection);
    lstArgomenti->setUniformItemSizes(true);

    frmCategoria = new QWidget(client);
    frmCategoria->setGeometry(twips::rect(120, 5505, 5325, 1050));
    labTitoloCategoria = new QLabel(frmCategoria);
    labTitoloCategoria->setGeometry(twips::rect(0, 90, 915, 210));
    labCategoria = new QLabel(frmCategoria);
    labCategoria->setObjectName(QStringLiteral("labCategoria"));
    labCategoria->setGeometry(twips::rect(75, 315, 4065, 585));
    labCategoria->setWordWrap(true);
    // A name is shown as typed, even one that looks like markup.
    labCategoria->setTextFormat(Qt::PlainText);
    labCategoria->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette blue = labCategoria->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 0xff));
    labCategoria->setPalette(blue);
    QFont bold = labCategoria->font();
    bold.setPointSizeF(8.25);
    bold.setBold(true);
    labCategoria->setFont(bold);
    cmdCambia = pictureButton(frmCategoria, QStringLiteral("cambia"));
    cmdCambia->setGeometry(twips::rect(4365, 210, 975, 780));

    cmdChiudi = pictureButton(client, QStringLiteral("chiudi"));
    cmdChiudi->setGeometry(twips::rect(5610, 5715, 975, 780));

    // Carriers of the insert and delete commands: never seen, never focused.
    cmdCancella = new QToolButton(client);
    cmdCancella->setGeometry(twips::rect(8505, 3105, 975, 780));
    cmdCancella->hide();
    cmdInserisci = new QToolButton(client);
    cmdInserisci->setGeometry(twips::rect(8520, 4035, 975, 780));
    cmdInserisci->hide();

    StatusBar1 = new QStatusBar(client);
    StatusBar1->setGeometry(twips::rect(0, 6570, 6705, 360));
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel1 = new QLabel(StatusBar1);
    StatusBar1->addWidget(StatusPanel1, 1);

    setTabOrder(txtCerca, lstArgomenti);
    setTabOrder(lstArgomenti, cmdCambia);
    setTabOrder(cmdCambia, cmdChiudi);
}

void frmPrincipale::buildMenus()
{
    QMenuBar *bar = menuBar();
    mnuFile = bar->addMenu(QString());
    mnuFileExit = mnuFile->addAction(QString());

    mnuModifica = bar->addMenu(QString());
    mnuRinomina = mnuModifica->addAction(QString());
    mnuInserisci = mnuModifica->addAction(QString());
    mnuCancella = mnuModifica->addAction(QString());
    mnuModifica->addSeparator();  // bar0
    mnuTaglia = mnuModifica->addAction(QString());
    mnuCopia = mnuModifica->addAction(QString());
    mnuIncolla = mnuModifica->addAction(QString());
    mnuSposta = mnuModifica->addAction(QString());
    mnuSpostaTutti = mnuModifica->addAction(QString());
    mnuModifica->addSeparator();  // bar5
    mnuTrovaArgomenti = mnuModifica->addAction(QString());

    mnuStrumenti = bar->addMenu(QString());
    mnuFontSistema = mnuStrumenti->addAction(QString());
    mnuCompatta = mnuStrumenti->addAction(QString());

    mnuFinestre = bar->addMenu(QString());
    mnuMinimizza = mnuFinestre->addAction(QString());
    mnuMassimizza = mnuFinestre->addAction(QString());
    bar10 = mnuFinestre->addSeparator();
    bar10->setVisible(false);
    for (int i = 1; i <= 9; ++i) {
        mnuFinestra[size_t(i)] = mnuFinestre->addAction(QStringLiteral("nome%1").arg(i));
        mnuFinestra[size_t(i)]->setVisible(false);
    }
    mnuFinestraAltre = mnuFinestre->addAction(QStringLiteral("Altre.."));
    mnuFinestraAltre->setVisible(false);

    mnuLingue = bar->addMenu(QString());
    mnuItaliano = mnuLingue->addAction(QStringLiteral("&Italiano"));
    mnuEnglish = mnuLingue->addAction(QStringLiteral("&English"));
    mnuItaliano->setCheckable(true);
    mnuEnglish->setCheckable(true);

    mnuInfo = bar->addMenu(QStringLiteral("&?"));
    mnuInformazioni = mnuInfo->addAction(QString());
}

void frmPrincipale::buildToolbar()
{
    struct Button {
        int position;
        const char *key;
    };
    // Positions 5, 9, 12 and 14 are separators; the others get pictures 1-12.
    static const Button buttons[] = {
        {1, "Apri"},     {2, "Nuovo"},        {3, "Rinomina"},    {4, "Cancella"},
        {6, "Taglia"},   {7, "Copia"},        {8, "Incolla"},     {10, "Sposta"},
        {11, "SpostaTutti"}, {13, "TrovaTutti"}, {15, "Minimizza"}, {16, "Ripristina"},
    };
    int pictureIndex = 1;
    int position = 1;
    for (const Button &b : buttons) {
        while (position < b.position) {
            Toolbar1->addSeparator();
            ++position;
        }
        QAction *a = Toolbar1->addAction(picture(QStringLiteral("toolbar%1").arg(pictureIndex++, 2, 10, QLatin1Char('0'))),
                                         QString());
        a->setData(QString::fromLatin1(b.key));
        ToolbarButtons[size_t(b.position)] = a;
        ++position;
    }
}

void frmPrincipale::SetListTitle(int id)
{
    frmArgomenti->setTitle(m_session.GetString(id));
    // The list has no label of its own: its frame's caption names it.
    lstArgomenti->setAccessibleName(textfit::shownText(frmArgomenti->title()).trimmed());
}

void frmPrincipale::AggiornaLingua()
{
    const bool english = m_session.LanguageOffset != 0;
    mnuEnglish->setChecked(english);
    mnuItaliano->setChecked(!english);

    const auto s = [this](int id) { return m_session.GetString(id); };
    mnuFile->setTitle(s(100));
    mnuFileExit->setText(s(101));
    mnuModifica->setTitle(s(102));
    mnuRinomina->setText(s(103));
    mnuInserisci->setText(s(104));
    mnuCancella->setText(s(105));
    mnuTaglia->setText(s(118));
    mnuCopia->setText(s(119));
    mnuIncolla->setText(s(120));
    mnuSposta->setText(s(106));
    mnuSpostaTutti->setText(s(107));
    mnuTrovaArgomenti->setText(s(108));
    mnuStrumenti->setTitle(s(109));
    mnuFontSistema->setText(s(110));
    mnuCompatta->setText(s(111));
    mnuFinestre->setTitle(s(112));
    mnuMinimizza->setText(s(113));
    mnuMassimizza->setText(s(114));
    mnuFinestraAltre->setText(s(115));
    mnuInformazioni->setText(s(116));
    mnuLingue->setTitle(s(117));
    labCerca->setText(s(200));
    txtCerca->setToolTip(s(201));
    cmdInserisci->setText(s(202));
    cmdInserisci->setToolTip(s(203));
    cmdCancella->setText(s(204));
    cmdCancella->setToolTip(s(205));
    lstArgomenti->setToolTip(s(208));
    labTitoloCategoria->setText(s(209));
    textfit::fitRow({labCerca, txtCerca});
    textfit::fitRow({labTitoloCategoria});
    cmdCambia->setText(s(210));
    cmdCambia->setToolTip(s(211));
    cmdChiudi->setText(s(212));
    cmdChiudi->setToolTip(s(213));

    SetListTitle(m_list->isTopicMode() ? 207 : 206);

    static const int tooltipIds[] = {0, 246, 247, 248, 249, 0, 250, 251, 252, 0, 253, 254, 0, 255, 0, 256, 257};
    for (size_t i = 1; i < ToolbarButtons.size(); ++i)
        if (ToolbarButtons[i]) {
            ToolbarButtons[i]->setToolTip(s(tooltipIds[i]));
            // A picture alone says nothing to a screen reader.
            if (QWidget *button = Toolbar1->widgetForAction(ToolbarButtons[i]))
                button->setAccessibleName(s(tooltipIds[i]));
        }

    StatusPanel1->clear();
}
