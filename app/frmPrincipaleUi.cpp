// Building the main window's controls, menus and toolbar, and applying their
// captions in the current language.

#include "frmPrincipale.h"
#include "Str.h"

#include "Pictures.h"
#include "Session.h"
#include "SyncRunner.h"
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
    StatusSync = new QLabel(StatusBar1);
    StatusBar1->addPermanentWidget(StatusSync);

    setTabOrder(txtCerca, lstArgomenti);
    setTabOrder(lstArgomenti, cmdCambia);
    setTabOrder(cmdCambia, cmdChiudi);
}

void frmPrincipale::buildMenus()
{
    QMenuBar *bar = menuBar();
    mnuFile = bar->addMenu(QString());
    mnuSync = mnuFile->addAction(QString());
    // A key no other command takes; the window's own keys run it (the
    // shortcut shows it in the menu).
    mnuSync->setShortcut(QKeySequence(Qt::Key_F5));
    mnuSyncSettings = mnuFile->addAction(QString());
    mnuFile->addSeparator();
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
    mnuEliminati = mnuModifica->addAction(QString());

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
    mnuFile->setTitle(s(Str::MenuFile));
    mnuFileExit->setText(s(Str::MenuExit));
    mnuSync->setText(s(Str::MenuSync));
    mnuSyncSettings->setText(s(Str::MenuSyncSettings));
    mnuModifica->setTitle(s(Str::MenuEdit));
    mnuRinomina->setText(s(Str::MenuRename));
    mnuInserisci->setText(s(Str::MenuInsert));
    mnuCancella->setText(s(Str::MenuDelete));
    mnuTaglia->setText(s(Str::MenuCut));
    mnuCopia->setText(s(Str::MenuCopy));
    mnuIncolla->setText(s(Str::MenuPaste));
    mnuSposta->setText(s(Str::MenuMove));
    mnuSpostaTutti->setText(s(Str::MenuMoveAll));
    mnuTrovaArgomenti->setText(s(Str::MenuFindInTopics));
    mnuEliminati->setText(s(Str::MenuDeletedTopics));
    mnuStrumenti->setTitle(s(Str::MenuTools));
    mnuFontSistema->setText(s(Str::MenuSystemFont));
    mnuCompatta->setText(s(Str::MenuPackDatabase));
    mnuFinestre->setTitle(s(Str::MenuWindow));
    mnuMinimizza->setText(s(Str::MenuMinimizeAll));
    mnuMassimizza->setText(s(Str::MenuRestoreAll));
    mnuFinestraAltre->setText(s(Str::MenuOtherWindows));
    mnuInformazioni->setText(s(Str::MenuAbout));
    mnuLingue->setTitle(s(Str::MenuLanguages));
    labCerca->setText(s(Str::SearchLabel));
    txtCerca->setToolTip(s(Str::SearchTip));
    cmdInserisci->setText(s(Str::InsertCaption));
    cmdInserisci->setToolTip(s(Str::InsertTip));
    cmdCancella->setText(s(Str::DeleteCaption));
    cmdCancella->setToolTip(s(Str::DeleteTip));
    lstArgomenti->setToolTip(s(Str::ListTip));
    labTitoloCategoria->setText(s(Str::CategoryLabel));
    textfit::fitRow({labCerca, txtCerca});
    textfit::fitRow({labTitoloCategoria});
    cmdCambia->setText(s(Str::ChangeCaption));
    cmdCambia->setToolTip(s(Str::ChangeTip));
    cmdChiudi->setText(s(Str::ExitCaption));
    cmdChiudi->setToolTip(s(Str::ExitTip));

    SetListTitle(m_list->isTopicMode() ? Str::TopicsFrame : Str::CategoriesFrame);

    static const int tooltipIds[] = {0,
                                     Str::ToolOpen, Str::ToolNew, Str::ToolRename, Str::ToolDelete, 0,
                                     Str::ToolCut, Str::ToolCopy, Str::ToolPaste, 0,
                                     Str::ToolMove, Str::ToolMoveAll, 0, Str::ToolFindInTopics, 0,
                                     Str::ToolMinimizeAll, Str::ToolRestoreAll};
    for (size_t i = 1; i < ToolbarButtons.size(); ++i)
        if (ToolbarButtons[i]) {
            ToolbarButtons[i]->setToolTip(s(tooltipIds[i]));
            // A picture alone says nothing to a screen reader.
            if (QWidget *button = Toolbar1->widgetForAction(ToolbarButtons[i]))
                button->setAccessibleName(s(tooltipIds[i]));
        }

    StatusPanel1->clear();
    if (m_sync)
        m_sync->showStatus();
}
