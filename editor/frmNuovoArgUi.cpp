// Building the editor window's controls and applying their captions.

#include "frmNuovoArg.h"

#include "EditorLayout.h"
#include "FindBar.h"
#include "FramedSize.h"
#include "Pictures.h"
#include "Session.h"
#include "TextFit.h"
#include "Twips.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <algorithm>

void frmNuovoArg::buildControls()
{
    // Controls are placed by Form_Resize, from the window's size.
    auto *client = new QWidget(this);
    setCentralWidget(client);

    labTitolo = new QLabel(client);
    txtArgomento = new QLineEdit(client);
    txtArgomento->setObjectName(QStringLiteral("txtArgomento"));
    labTitolo->setBuddy(txtArgomento);

    frmPulsanti = new QWidget(client);
    Toolbar1 = new QToolBar(frmPulsanti);
    Toolbar1->setIconSize(QSize(twips::toPixels(240), twips::toPixels(240)));
    // Twenty-three buttons share the strip's fixed width: keep them tight.
    Toolbar1->setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; padding: 0px; } "
                                           "QToolButton { padding: 1px; margin: 0px; }"));
    Toolbar1->setGeometry(twips::rect(0, 0, 7305 - 300, 735));
    imgChiudi = new QToolButton(frmPulsanti);
    imgChiudi->setAutoRaise(true);
    imgChiudi->setArrowType(Qt::UpArrow);
    imgChiudi->setGeometry(twips::rect(7305 - 285, 60, 255, 255));

    buildLegend(client);

    rtfContenuto = new QTextEdit(client);
    rtfContenuto->setObjectName(QStringLiteral("rtfContenuto"));
    rtfContenuto->setAcceptRichText(true);
    // Below the body while open; it takes its height from the body's.
    barTrova = new FindBar(m_session, rtfContenuto, client);
    connect(barTrova, &FindBar::visibilityChanged, this, &frmNuovoArg::Form_Resize);

    buildAlarmPanel(client);

    labModifica = new QLabel(client);
    cmdTimer = new QToolButton(client);
    cmdTimer->setIcon(picture(QStringLiteral("timer")));
    cmdSalva = new QPushButton(client);
    cmdAnnulla = new QPushButton(client);

    setTabOrder(txtArgomento, rtfContenuto);
    setTabOrder(rtfContenuto, cmdTimer);
    setTabOrder(cmdTimer, cmdSalva);
    setTabOrder(cmdSalva, cmdAnnulla);
}

void frmNuovoArg::buildLegend(QWidget *client)
{
    // The legend of the Ctrl-letter shortcuts, shown instead of the toolbar:
    // a Ctrl key, a plus sign, then the letters and their commands.
    frmScritte = new QWidget(client);
    Image1 = new QLabel(QStringLiteral("Ctrl"), frmScritte);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setFrameShape(QFrame::Panel);
    Image1->setFrameShadow(QFrame::Raised);
    Image1->setGeometry(twips::rect(0, 150, 540, 420));
    Label2 = new QLabel(QStringLiteral("+"), frmScritte);
    QFont plus = Label2->font();
    plus.setBold(true);
    plus.setPointSizeF(plus.pointSizeF() * 1.4);
    Label2->setFont(plus);
    Label2->setGeometry(twips::rect(600, 150, 240, 420));
    QLabel **labels[] = {&labGrassetto, &labCorsivo,       &labSottolineato, &labTaglia,
                         &labRientro,   &labAnnullaRientro, &labElencoPuntato, &labCopia,
                         &labSinistra,  &labCentro,         &labDestra,        &labIncolla,
                         &labFont,      &labIngrandisci,    &labRimpicciolisci, &labColore};
    int k = 0;
    for (QLabel **l : labels) {
        *l = new QLabel(frmScritte);
        QFont small = (*l)->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        (*l)->setFont(small);
        (*l)->setGeometry(twips::rect(900 + (k / 4) * 1500, (k % 4) * 185, 1500, 185));
        ++k;
    }
    imgApri = new QToolButton(frmScritte);
    imgApri->setAutoRaise(true);
    imgApri->setArrowType(Qt::DownArrow);
    imgApri->setGeometry(twips::rect(7275 - 285, 60, 255, 255));
    frmScritte->hide();
}

void frmNuovoArg::buildAlarmPanel(QWidget *client)
{
    // The alarm panel lies over the body and is hidden until asked for.
    frmAllarme = new QWidget(client);
    frmAllarme->setAutoFillBackground(true);
    Calendar1 = new QCalendarWidget(frmAllarme);
    // The years the stored form holds, so that any date picked can be saved.
    Calendar1->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    labOra = new QLabel(frmAllarme);
    cmbOre = new QComboBox(frmAllarme);
    for (int h = 0; h < 24; ++h)
        cmbOre->addItem(QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')));
    cmbMinuti = new QComboBox(frmAllarme);
    for (int m = 0; m < 60; ++m)
        cmbMinuti->addItem(QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')));
    labTipo = new QLabel(frmAllarme);
    cmbTipoAllarme = new QComboBox(frmAllarme);
    frmAllarme->hide();
}

void frmNuovoArg::Form_Resize()
{
    if (isMinimized())
        return;
    const EditorLayout l = computeEditorLayout(twips::fromPixels(frameGeometry().width()),
                                               twips::fromPixels(frameGeometry().height()));
    const auto place = [&l](QWidget *w, const char *name) {
        if (!l.has(name))
            return;  // a placement that cannot apply is skipped
        const QRectF r = l.rect(name);
        QRect g = twips::rect(int(r.left()), int(r.top()), int(r.width()), int(std::max(0.0, r.height())));
        if (r.height() < 0)
            g.setHeight(w->height());  // the height cannot be applied: kept
        w->setGeometry(g);
    };
    place(cmdSalva, "cmdSalva");
    place(cmdAnnulla, "cmdAnnulla");
    place(labModifica, "labModifica");
    place(labTitolo, "labTitolo");
    place(txtArgomento, "txtArgomento");
    place(frmScritte, "frmScritte");
    place(frmPulsanti, "frmPulsanti");
    place(rtfContenuto, "rtfContenuto");
    if (barTrova->isVisible()) {
        const QRect body = rtfContenuto->geometry();
        const int h = barTrova->sizeHint().height();
        const int gap = twips::toPixels(60);
        rtfContenuto->resize(body.width(), std::max(0, body.height() - h - gap));
        barTrova->setGeometry(body.left(), rtfContenuto->geometry().bottom() + 1 + gap, body.width(), h);
    }
    place(frmAllarme, "frmAllarme");
    place(Calendar1, "Calendar1");
    place(labOra, "labOra");
    place(cmbOre, "cmbOre");
    place(cmbMinuti, "cmbMinuti");
    place(labTipo, "labTipo");
    place(cmbTipoAllarme, "cmbTipoAllarme");
    place(cmdTimer, "cmdTimer");
    FitTexts();
}

void frmNuovoArg::FitTexts()
{
    textfit::fitRow({labTitolo, txtArgomento});
    textfit::fitRow({labOra, cmbOre, cmbMinuti, labTipo, cmbTipoAllarme});
}

void frmNuovoArg::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmNuovoArg::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_size->shown();
    Form_Resize();
}

void frmNuovoArg::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    m_size->moved();
}

void frmNuovoArg::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Restoring from minimized lays the window out again.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmNuovoArg::SetToolbarVisible(bool buttons)
{
    frmPulsanti->setVisible(buttons);
    frmScritte->setVisible(!buttons);
}

void frmNuovoArg::imgChiudi_Click()
{
    SetToolbarVisible(false);
    saveStripChoice(false);
}

void frmNuovoArg::imgApri_Click()
{
    SetToolbarVisible(true);
    saveStripChoice(true);
}

void frmNuovoArg::saveStripChoice(bool buttons)
{
    // A choice not kept only leaves the next editor with the last one.
    static_cast<void>(m_session.settings.setShowButtons(buttons));
}

void frmNuovoArg::buildMenus()
{
    mnuFile = menuBar()->addMenu(QString());
    mnuEsporta = mnuFile->addAction(QString());
    mnuStampa = mnuFile->addAction(QString());
    mnuModificaNA = menuBar()->addMenu(QString());
    mnuAnnullaNA = mnuModificaNA->addAction(QString());
    mnuTagliaNA = mnuModificaNA->addAction(QString());
    mnuCopiaNA = mnuModificaNA->addAction(QString());
    mnuIncollaNA = mnuModificaNA->addAction(QString());
    mnuModificaNA->addSeparator();
    // Keys no other command of the window takes; window-wide, so they work
    // from the body, the title and the bar alike.
    mnuTrovaNA = mnuModificaNA->addAction(QString());
    mnuTrovaNA->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuTrovaSuccessivoNA = mnuModificaNA->addAction(QString());
    mnuTrovaSuccessivoNA->setShortcut(QKeySequence(Qt::Key_F8));
    mnuTrovaPrecedenteNA = mnuModificaNA->addAction(QString());
    mnuTrovaPrecedenteNA->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8));
}

void frmNuovoArg::buildToolbar()
{
    // 23 positions; 3, 7, 11, 15 and 19 are separators, the others take
    // pictures 1 to 18 in order, and the names Toolbar1_ButtonClick knows.
    static const char *const keys[24] = {nullptr,   "Esporta",     "Stampa",         nullptr,     "Taglia",
                                         "Copia",   "Incolla",     nullptr,          "Grassetto", "Corsivo",
                                         "Sottolineato", nullptr,  "Rientro",        "EliminaRientro",
                                         "ElencoPuntato", nullptr, "Sinistra",       "Centro",    "Destra",
                                         nullptr,   "Font",        "Ingrandisci",    "Rimpicciolisci", "Colore"};
    int pictureIndex = 1;
    for (size_t position = 1; position <= 23; ++position) {
        if (!keys[position]) {
            Toolbar1->addSeparator();
            continue;
        }
        QAction *button =
            Toolbar1->addAction(picture(QStringLiteral("editor%1").arg(pictureIndex++, 2, 10, QLatin1Char('0'))), QString());
        button->setData(QString::fromLatin1(keys[position]));
        ToolbarButtons[position] = button;
    }
    // Pressed while the text at the insertion point has the format.
    for (size_t i : {8, 9, 10, 14, 16, 17, 18})
        ToolbarButtons[i]->setCheckable(true);
}

void frmNuovoArg::AggiornaLingua()
{
    const auto s = [this](int id) { return m_session.GetString(id); };
    mnuFile->setTitle(s(701));
    mnuEsporta->setText(s(702));
    mnuStampa->setText(s(703));
    mnuModificaNA->setTitle(s(734));
    mnuAnnullaNA->setText(s(737));
    mnuTagliaNA->setText(s(731));
    mnuCopiaNA->setText(s(732));
    mnuIncollaNA->setText(s(733));
    mnuTrovaNA->setText(s(793));
    mnuTrovaSuccessivoNA->setText(s(795));
    mnuTrovaPrecedenteNA->setText(s(796));
    barTrova->AggiornaLingua();
    labTitolo->setText(s(704));
    txtArgomento->setToolTip(s(705));
    labTaglia->setText(s(728));
    labCopia->setText(s(729));
    labIncolla->setText(s(730));
    labColore->setText(s(727));
    labGrassetto->setText(s(706));
    labCorsivo->setText(s(707));
    labSottolineato->setText(s(708));
    labRientro->setText(s(709));
    labAnnullaRientro->setText(s(710));
    labElencoPuntato->setText(s(711));
    labSinistra->setText(s(712));
    labCentro->setText(s(713));
    labDestra->setText(s(714));
    labFont->setText(s(715));
    labIngrandisci->setText(s(716));
    labRimpicciolisci->setText(s(717));
    cmdSalva->setText(s(718));
    cmdSalva->setToolTip(s(719));
    cmdAnnulla->setText(s(720));
    cmdAnnulla->setToolTip(s(721));
    cmdTimer->setToolTip(s(738));
    // Controls without a caption of their own still need a name a screen
    // reader can say.
    cmdTimer->setAccessibleName(s(738));
    imgChiudi->setToolTip(s(749));
    imgChiudi->setAccessibleName(s(749));
    imgApri->setToolTip(s(750));
    imgApri->setAccessibleName(s(750));
    rtfContenuto->setAccessibleName(s(761));
    captionAlarmPanel();
    captionToolbar();

    if (txtArgomento->text().trimmed().isEmpty())
        setWindowTitle(s(700));

    const QString current = labModifica->text();
    const qsizetype colon = current.indexOf(QLatin1Char(':'));
    const QString stamp = colon >= 0 ? current.mid(colon + 2) : QString();
    labModifica->setText(m_recoveredAt.isValid() ? recoveredText() : s(722) + stamp);
    FitTexts();
}

void frmNuovoArg::captionAlarmPanel()
{
    const auto s = [this](int id) { return m_session.GetString(id); };
    cmbOre->setAccessibleName(s(762));
    cmbMinuti->setAccessibleName(s(763));
    Calendar1->setAccessibleName(s(764));
    // Month and day names in the program's language: the calendar took the
    // locale that was current when the window was built.
    Calendar1->setLocale(QLocale());
    labOra->setText(s(739));
    labTipo->setText(s(740));
    cmbTipoAllarme->setToolTip(s(741));

    const int selected = cmbTipoAllarme->currentIndex();
    cmbTipoAllarme->clear();
    for (int id = 742; id <= 747; ++id)
        cmbTipoAllarme->addItem(s(id));
    if (selected >= 0)
        cmbTipoAllarme->setCurrentIndex(selected);
}

void frmNuovoArg::captionToolbar()
{
    const auto s = [this](int id) { return m_session.GetString(id); };
    const QString ctrl = QStringLiteral("Ctrl-");
    static const int legendIds[24] = {0,   735, 736, 0,   728, 729, 730, 0,   706, 707, 708, 0,
                                      709, 710, 711, 0,   712, 713, 714, 0,   715, 716, 717, 727};
    for (size_t b = 1; b <= 23; ++b) {
        if (!ToolbarButtons[b])
            continue;
        // Export and print have tooltips of their own; the others are the
        // legend texts behind "Ctrl-".
        ToolbarButtons[b]->setToolTip(b <= 2 ? s(legendIds[b]) : ctrl + s(legendIds[b]));
        // A picture alone says nothing to a screen reader.
        if (QWidget *button = Toolbar1->widgetForAction(ToolbarButtons[b]))
            button->setAccessibleName(s(legendIds[b]));
    }
}
